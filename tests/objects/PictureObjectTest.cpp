#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "document/stream/ObjectStream.h"
#include "document/stream/ValueCodec.h"
#include "objects/PictureObject.h"
#include "platform/BoundedReader.h"
#include "platform/Canvas.h"
#include "platform/Clipboard.h"
#include "platform/PictureCodecs.h"
#include "platform/RenderBudget.h"
#include "support/PictureFixtures.h"

namespace kestrel {
namespace {

using test::Solid;
using test::Bitmap;

std::unique_ptr<TLOImage> Picture(const QImage& image, TRect rect)
{
    auto object = std::make_unique<TLOImage>();
    object->ImageData().Picture().SetGraphic(Bitmap(image));
    object->SetBounds(rect);
    return object;
}

QImage Render(TLOImage& object, QSize size = {100, 100})
{
    QImage surface(size, QImage::Format_RGB32);
    surface.fill(qRgb(128, 128, 128));
    TCanvas canvas(surface);
    object.Paint(canvas);
    return surface;
}

QByteArray StreamOf(const TLOImage& object)
{
    QByteArray out;
    WriteObject(out, object);
    return out;
}

std::unique_ptr<TLOImage> ReadBack(const QByteArray& bytes)
{
    TBoundedReader in(bytes);
    std::unique_ptr<TComponent> read = ReadObject(in);
    auto* image = dynamic_cast<TLOImage*>(read.get());
    if (!image) return nullptr;
    read.release();
    return std::unique_ptr<TLOImage>(image);
}

TEST(PictureObject, NaturalSizeAndTurnedBounds)
{
    auto object = Picture(Solid(36, 18, 0), {0, 0, 10, 10});
    object->ResetSize();
    EXPECT_EQ(object->Width(), 51);
    EXPECT_EQ(object->Height(), 30);

    object->SetBounds({100, 100, 300, 200});
    object->SetAngle(90);
    EXPECT_EQ(object->GetBounds(), (TRect{150, 50, 250, 250}));
    EXPECT_EQ(object->HitTest({200, 60}), 1);
    EXPECT_EQ(object->HitTest({120, 150}), 0);
    // Sizing the bounds of a turned picture scales its own sides by the change of the axis
    // each stands along.
    object->SetSize(50, 400);
    EXPECT_EQ(object->Width(), 400);
    EXPECT_EQ(object->Height(), 50);
    EXPECT_EQ(object->GetBounds().Height(), 400);
}

TEST(PictureObject, PaintsThePictureAndItsKeyColourShowsThrough)
{
    QImage picture = Solid(4, 4, qRgb(255, 0, 0));
    picture.setPixel(0, 0, qRgb(255, 255, 255));
    auto object = Picture(picture, {10, 10, 50, 50});
    EXPECT_EQ(Render(*object).pixel(40, 40), qRgb(255, 0, 0));
    EXPECT_EQ(Render(*object).pixel(5, 5), qRgb(128, 128, 128));
    EXPECT_EQ(Render(*object).pixel(12, 12), qRgb(255, 255, 255));
    object->ImageData().SetTransparentColor(clWhite);
    EXPECT_EQ(Render(*object).pixel(12, 12), qRgb(128, 128, 128));
}

// A 10 × 10 metafile: red on the left half, blue on the right, no outlines.
TGraphic HalvesMetafile()
{
    return TGraphic(TGraphicClass::gcMetafile,
                    QByteArray::fromHex("d7cdc69a0000000000000a000a00a00500000000b152"  // placeable: 10 × 10
                                        "0100090000033c000000100008000000" "0000"
                                        "08000000fa0205000100000000000000"  // null pen
                                        "07000000fc020000ff0000000000"  // red brush
                                        "07000000fc0200000000ff000000"  // blue brush
                                        "040000002d010000" "040000002d010100"
                                        "070000001b040a00050000000000"  // left half, red
                                        "040000002d010200"
                                        "070000001b040a000a0000000500"  // right half, blue
                                        "030000000000"));
}

TEST(PictureObject, MetafilesPaintAsVectorsThroughTheirCrop)
{
    auto object = std::make_unique<TLOImage>();
    object->ImageData().Picture().SetGraphic(HalvesMetafile());
    object->SetBounds({0, 0, 200, 100});
    const QImage whole = Render(*object, {200, 100});
    // The border between the halves stays one sharp step at 20 times the natural size.
    EXPECT_EQ(whole.pixel(99, 50), qRgb(255, 0, 0));
    EXPECT_EQ(whole.pixel(100, 50), qRgb(0, 0, 255));
    // The crop of the right half fills the rectangle; the left half is clipped away.
    object->ImageData().ClipFilter().SetClipRect({5, 0, 10, 10});
    object->SetBounds({20, 0, 120, 100});
    const QImage cropped = Render(*object, {200, 100});
    EXPECT_EQ(cropped.pixel(20, 50), qRgb(0, 0, 255));
    EXPECT_EQ(cropped.pixel(119, 50), qRgb(0, 0, 255));
    EXPECT_EQ(cropped.pixel(19, 50), qRgb(128, 128, 128));
    EXPECT_EQ(cropped.pixel(120, 50), qRgb(128, 128, 128));
}

TEST(PictureObject, AFrameIsLaidOverAndCutsAway)
{
    auto object = Picture(Solid(8, 8, qRgb(0, 0, 255)), {0, 0, 80, 80});
    QImage frame = Solid(8, 8, qRgb(0xF0, 0xF0, 0xF0));
    for (int x = 0; x < 8; ++x) frame.setPixel(x, 0, qRgb(0, 255, 0));      // a green top edge
    for (int x = 0; x < 8; ++x) frame.setPixel(x, 7, qRgb(0x90, 0x70, 0x60));  // a cut-away bottom edge
    object->FramePicture().SetGraphic(Bitmap(frame));
    const QImage out = Render(*object);
    EXPECT_EQ(out.pixel(40, 4), qRgb(0, 255, 0));
    EXPECT_EQ(out.pixel(40, 40), qRgb(0, 0, 255));
    EXPECT_EQ(out.pixel(40, 76), qRgb(128, 128, 128));
    EXPECT_FALSE(object->NeedsBlend());
    object->SetAlphaFrame(true);
    EXPECT_TRUE(object->NeedsBlend());
}

TEST(PictureObject, ATurnedPictureFillsItsTurnedRectangle)
{
    auto object = Picture(Solid(20, 10, qRgb(255, 0, 0)), {20, 40, 80, 60});
    object->SetAngle(90);
    const QImage out = Render(*object);
    EXPECT_EQ(out.pixel(50, 25), qRgb(255, 0, 0));
    EXPECT_EQ(out.pixel(25, 50), qRgb(128, 128, 128));
}

TEST(PictureObject, ALargePictureDrawnSmallIsDecodedSmall)
{
    auto object = std::make_unique<TLOImage>();
    object->ImageData().Picture().SetGraphic(TGraphic(TGraphicClass::gcJpeg, EncodeJpeg(Solid(1600, 1200, qRgb(0, 0, 255)))));
    object->SetBounds({10, 10, 90, 70});
    QImage surface(100, 100, QImage::Format_RGB32);
    surface.fill(Qt::white);
    TCanvas canvas(surface);
    EXPECT_EQ(object->ImageData().PaintedImage(canvas, object->Rect()).size(), QSize(100, 75));
    object->Paint(canvas);
    EXPECT_NEAR(qBlue(surface.pixel(50, 40)), 255, 4);
    EXPECT_EQ(surface.pixel(95, 95), qRgb(255, 255, 255));
    // The picture itself was never decoded whole.
    EXPECT_EQ(object->ImageData().Picture().Graphic().DecodingBytes({1600, 1200}), 1600 * 1200 * 4);
}

TEST(PictureObject, APictureBeyondThePaintersBudgetDrawsTheErrorPictureAndIsNamed)
{
    auto object = Picture(Solid(1000, 1000, qRgb(0, 200, 0)), {0, 0, 100, 100});
    object->ImageData().Picture().SetImageID("/photos/big.bmp");
    QImage surface(100, 100, QImage::Format_RGB32);
    surface.fill(qRgb(128, 128, 128));
    TRenderBudget budget(1 << 20);
    {
        TCanvas canvas(surface);
        canvas.SetRenderBudget(&budget);
        // Drawn at ten times its size it needs 40 MB of decoded pixels.
        canvas.SetMapping({{0, 0}, {1, 1}, {0, 0}, {10, 10}});
        object->Paint(canvas);
    }
    ASSERT_EQ(budget.Problems().size(), 1);
    EXPECT_TRUE(budget.Problems()[0].startsWith(QStringLiteral("BMP 画像（1000×1000）「/photos/big.bmp」は描くのに"))) << budget.Problems()[0].toStdString();
    EXPECT_NE(surface.pixel(50, 50), qRgb(0, 200, 0));
    EXPECT_NE(surface.pixel(50, 50), qRgb(128, 128, 128));  // the error picture covers it
    EXPECT_EQ(budget.Held(), 0);
}

TEST(PictureObject, PicturesSharingABudgetTakeTurnsInIt)
{
    auto first = Picture(Solid(300, 300, qRgb(255, 0, 0)), {0, 0, 300, 300});
    auto second = Picture(Solid(300, 300, qRgb(0, 0, 255)), {0, 0, 300, 300});
    QImage surface(300, 300, QImage::Format_RGB32);
    TRenderBudget budget(1 << 20);  // room for one decoded picture at a time
    TCanvas canvas(surface);
    canvas.SetRenderBudget(&budget);
    for (int round = 0; round < 2; ++round) {
        first->Paint(canvas);
        EXPECT_EQ(surface.pixel(150, 150), qRgb(255, 0, 0));
        second->Paint(canvas);
        EXPECT_EQ(surface.pixel(150, 150), qRgb(0, 0, 255));
    }
    EXPECT_TRUE(budget.Problems().isEmpty());
    EXPECT_LE(budget.Held(), budget.Limit());
}

TEST(PictureObject, ObjectsOfTheSameBytesDrawnAlikeDecodeOncePerBudget)
{
    QImage photo(400, 400, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x) photo.setPixel(x, y, qRgb(x * 255 / 400, y * 255 / 400, (x ^ y) & 0xFF));
    const QByteArray png = EncodePng(photo);
    std::array<std::unique_ptr<TLOImage>, 10> objects;
    for (int i = 0; i < 10; ++i) {
        objects[i] = std::make_unique<TLOImage>();
        // As if each were read from its own stream: equal bytes in buffers of their own.
        objects[i]->ImageData().Picture().SetGraphic(TGraphic(TGraphicClass::gcPng, QByteArray(png.constData(), png.size())));
        objects[i]->SetBounds({i * 60, 0, i * 60 + 100, 100});
    }
    objects[9]->ImageData().ClipFilter().SetClipRect({0, 0, 200, 200});  // drawn otherwise: a picture of its own

    const auto render = [&](const std::function<TRenderBudget*(int)>& budgetOf) {
        QImage surface(640, 100, QImage::Format_RGB32);
        surface.fill(qRgb(128, 128, 128));
        TCanvas canvas(surface);
        for (int i = 0; i < 10; ++i) {
            canvas.SetRenderBudget(budgetOf(i));
            objects[i]->Paint(canvas);
        }
        return surface;
    };
    TRenderBudget shared;
    const QImage together = render([&](int) { return &shared; });
    EXPECT_EQ(shared.SharedPictureCount(), 2);
    EXPECT_EQ(shared.Held(), 2 * 100 * 100 * 4);  // each picture charged once, at the size drawn
    EXPECT_TRUE(shared.Problems().isEmpty());

    std::array<TRenderBudget, 10> own;
    const QImage apart = render([&](int i) { return &own[i]; });
    EXPECT_EQ(together, apart);
    EXPECT_NE(together.copy(0, 0, 60, 100), together.copy(540, 0, 60, 100));
}

TEST(PictureObject, StreamsKeepTheFileBytesAndOldPicturesConvert)
{
    auto object = Picture(Solid(5, 3, qRgb(1, 2, 3)), {0, 0, 50, 30});
    object->SetAngle(30);
    object->FramePicture().SetGraphic(TGraphic(TGraphicClass::gcPng, EncodePng(Solid(2, 2, 0))));
    object->ImageData().LightFilter().SetContrast(40);
    const QByteArray bytes = StreamOf(*object);
    EXPECT_FALSE(bytes.contains("AlphaFrame"));
    const auto back = ReadBack(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->ImageData().Picture().Graphic().Bytes(), object->ImageData().Picture().Graphic().Bytes());
    EXPECT_EQ(back->FramePicture().Graphic().Bytes(), object->FramePicture().Graphic().Bytes());
    EXPECT_EQ(StreamOf(*back), bytes);

    // An old stream with "Picture.Data" from the illustration library.
    const QByteArray bmp = EncodeBmp24(Solid(2, 2, qRgb(0xF0, 0xF0, 0xF0)));
    QByteArray data;
    TWriter(data).WriteShortString("TBitmap");
    TWriter(data).WriteInt32(int32_t(bmp.size()));
    data += bmp;
    QByteArray old = "TPF0";
    TWriter w(old);
    w.WriteShortString("TLOImage");
    w.WriteShortString("");
    w.WriteShortString("ImageSource");
    w.WriteIdent("isOnePoint");
    w.WriteShortString("Picture.Data");
    w.WriteBinary(data);
    w.WriteListEnd();
    w.WriteListEnd();
    const auto converted = ReadBack(old);
    ASSERT_TRUE(converted);
    EXPECT_EQ(converted->ImageData().Picture().Graphic().Bytes(), bmp);
    EXPECT_EQ(converted->ImageData().TransparentColor(), 0xF0F0F0);
    EXPECT_FALSE(StreamOf(*converted).contains("\x0CPicture.Data"));
}

TEST(PictureObject, CopiesCarryThePictures)
{
    auto object = Picture(Solid(3, 3, qRgb(9, 9, 9)), {0, 0, 30, 30});
    object->SetAngle(45);
    object->ImageData().BlurFilter().SetBlurCount(2);
    TLOImage copy;
    copy.Assign(*object);
    EXPECT_EQ(copy.ImageData().Picture().Graphic(), object->ImageData().Picture().Graphic());
    EXPECT_EQ(copy.Angle(), 45);
    EXPECT_EQ(copy.ImageData().BlurFilter().BlurCount(), 2);
    EXPECT_EQ(StreamOf(copy), StreamOf(*object));
}

}  // namespace
}  // namespace kestrel

namespace kestrel {
namespace {

TEST(PictureObject, ClipboardPicturesBecomeBitmapsAtTheirNaturalSize)
{
    QImage picture(36, 18, QImage::Format_RGB32);
    picture.fill(qRgb(5, 6, 7));
    SetClipboardImage(picture);
    TLOImage image;
    PasteClipboardPicture(image);
    EXPECT_EQ(image.ImageData().Picture().Graphic().Class(), TGraphicClass::gcBitmap);
    EXPECT_EQ(image.ImageData().ProcessedImage().pixel(3, 3), qRgb(5, 6, 7));
    EXPECT_EQ(image.Width(), 51);
    CopyPictureToClipboard(image);
    EXPECT_EQ(ClipboardImage().size(), QSize(36, 18));
    SetClipboardImage(QImage());
    EXPECT_THROW(PasteClipboardPicture(image), EKestrel);
}

}  // namespace
}  // namespace kestrel
