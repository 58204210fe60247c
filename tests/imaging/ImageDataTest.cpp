#include <gtest/gtest.h>

#include "document/stream/ObjectStream.h"
#include "imaging/ImageFilters.h"
#include "platform/BoundedReader.h"
#include "platform/PictureCodecs.h"
#include "render/ColorSpecHistory.h"
#include "support/PictureFixtures.h"

namespace kestrel {
namespace {

using test::Solid;
using test::Bitmap;

QByteArray StreamOf(TColorSpecWrapper& wrapper)
{
    QByteArray out;
    WriteObject(out, wrapper);
    return out;
}

class ImageData : public ::testing::Test {
protected:
    void SetUp() override { InstallImageFilters(); }
};

TEST_F(ImageData, DefaultsWriteThePictureAndTheFiltersButNoCropOrKeyColour)
{
    TColorSpecWrapper wrapper;
    wrapper.ColorSpec().SetKind(cskBitmap);
    wrapper.ColorSpec().ImageData().Picture().SetGraphic(Bitmap(Solid(4, 3, qRgb(1, 2, 3))));
    const QByteArray bytes = StreamOf(wrapper);
    EXPECT_TRUE(bytes.contains("ImageData.Picture.Data"));
    EXPECT_FALSE(bytes.contains("ClipRect"));
    EXPECT_FALSE(bytes.contains("TransparentColor"));

    TImageData& data = wrapper.ColorSpec().ImageData();
    data.ClipFilter().SetClipRect({1, 0, 3, 2});
    data.BlurFilter().SetBlurCount(-3);
    data.LightFilter().SetBrightness(20);
    data.MonotoneFilter().SetRefColor(0x6680A0);
    data.SetTransparentColor(clWhite);
    const QByteArray full = StreamOf(wrapper);
    TColorSpecWrapper back;
    TBoundedReader in(full);
    ReadObjectInto(in, back);
    const TImageData& read = back.ColorSpec().ImageData();
    EXPECT_EQ(read.Picture().Graphic().Bytes(), data.Picture().Graphic().Bytes());
    EXPECT_EQ(read.EffectiveClip(), (TRect{1, 0, 3, 2}));
    EXPECT_EQ(read.BlurFilter().BlurCount(), -3);
    EXPECT_EQ(read.LightFilter().Brightness(), 20);
    EXPECT_EQ(read.MonotoneFilter().RefColor(), 0x6680A0);
    EXPECT_EQ(read.TransparentColor(), clWhite);
    EXPECT_EQ(StreamOf(back), full);  // the original bytes go back unchanged
}

TEST_F(ImageData, ACropFollowsOnlyPicturesOfTheSameWidthOrHeightAndStaysInside)
{
    TImageData data;
    data.Picture().SetGraphic(Bitmap(Solid(400, 300, 0)));
    data.ResetClip(1, 1);
    EXPECT_EQ(data.ClipFilter().ClipRect(), (TRect{50, 0, 350, 300}));
    data.Picture().SetGraphic(Bitmap(Solid(300, 150, 0)));  // neither side kept: the crop is reset
    EXPECT_TRUE(data.ClipFilter().ClipRect().IsEmpty());

    data.Picture().SetGraphic(Bitmap(Solid(400, 300, 0)));
    data.ClipFilter().SetClipRect({50, 0, 350, 300});
    data.Picture().SetGraphic(Bitmap(Solid(400, 100, 0)));  // same width: the crop stays, cut to the picture
    EXPECT_EQ(data.ClipFilter().ClipRect(), (TRect{50, 0, 350, 100}));
    data.ClipFilter().SetClipRect({500, 500, 600, 600});  // outside, as from a damaged stream
    EXPECT_TRUE(data.ClipFilter().ClipRect().IsEmpty());
    EXPECT_EQ(data.EffectiveClip(), (TRect{0, 0, 400, 100}));
}

TEST_F(ImageData, ProcessingCropsKeysAndFiltersInOrder)
{
    QImage picture = Solid(6, 4, qRgb(255, 255, 255));
    for (int y = 0; y < 4; ++y) picture.setPixel(2, y, qRgb(0, 0, 0));
    TImageData data;
    data.Picture().SetGraphic(Bitmap(picture));
    data.ClipFilter().SetClipRect({1, 0, 4, 4});
    data.SetTransparentColor(clWhite);
    data.BlurFilter().SetBlurCount(1);
    const QImage& out = data.ProcessedImage();
    ASSERT_EQ(out.size(), QSize(3, 4));
    // White was keyed before blurring: the greyed neighbours of the black line stay transparent,
    // the line itself is opaque and blurred.
    EXPECT_EQ(qAlpha(out.pixel(0, 1)), 0);
    EXPECT_EQ(qAlpha(out.pixel(1, 1)), 255);
    EXPECT_EQ(qRed(out.pixel(1, 1)), 170);  // (3 × 255 + 3 × 0 + 3 × 255) / 9
    // Monotone white gives grey levels; a change drops the cache.
    data.SetTransparentColor(clNone);
    data.BlurFilter().SetBlurCount(0);
    data.MonotoneFilter().SetRefColor(clWhite);
    data.LightFilter().SetContrast(100);
    EXPECT_EQ(data.ProcessedImage().pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(data.ProcessedImage().pixel(0, 0), qRgb(255, 255, 255));
}

TEST_F(ImageData, FiltersLeavePngAndGifPicturesAlone)
{
    TImageData data;
    data.Picture().SetGraphic(TGraphic(TGraphicClass::gcPng, EncodePng(Solid(2, 2, qRgb(10, 10, 10)))));
    data.LightFilter().SetBrightness(100);
    EXPECT_EQ(data.ProcessedImage().pixel(0, 0), qRgb(10, 10, 10));
}

TEST_F(ImageData, OldColourSpecBitmapsBecomeTheFillPicture)
{
    // A hand-made stream with the old "Bitmap.Data": an int32 count and a BMP file.
    const QByteArray bmp = EncodeBmp24(Solid(4, 4, qRgb(255, 0, 0)));
    QByteArray data;
    TWriter(data).WriteInt32(int32_t(bmp.size()));
    data += bmp;
    QByteArray stream = "TPF0";
    TWriter w(stream);
    w.WriteShortString("TColorSpecWrapper");
    w.WriteShortString("");
    w.WriteShortString("ColorSpec.Kind");
    w.WriteIdent("cskBitmap");
    w.WriteShortString("ColorSpec.Bitmap.Data");
    w.WriteBinary(data);
    w.WriteListEnd();
    w.WriteListEnd();
    TColorSpecWrapper wrapper;
    TBoundedReader in(stream);
    ReadObjectInto(in, wrapper);
    EXPECT_EQ(wrapper.ColorSpec().Picture().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(wrapper.ColorSpec().ImageData().Picture().Graphic().Bytes(), bmp);
}

}  // namespace
}  // namespace kestrel
