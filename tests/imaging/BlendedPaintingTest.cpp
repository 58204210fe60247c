#include <gtest/gtest.h>

#include <QPicture>

#include "document/DrawObjectFixtures.h"
#include "imaging/BlendedPainting.h"

namespace kestrel {
namespace {

using test::PixelAt;
using test::TFilledRect;
using test::WhiteImage;

// 10 logical units per pixel, origin at the bitmap's corner.
void UseTenthMillimetrePixels(TCanvas& canvas)
{
    canvas.SetMapping({QPoint(0, 0), QSize(10, 10), QPoint(0, 0), QSize(1, 1)});
}

// Covers only the left half of its bounds in the mask.
class THalfCovered : public TFilledRect {
public:
    void PaintMask(TCanvas& mask) override
    {
        TRect left = Rect();
        left.right = (left.left + left.right) / 2;
        mask.SetBrush({clWhite, TBrushStyle::bsSolid});
        mask.FillRect(left);
    }
};

// Asks for blending without offering IBlendable.
class TAlwaysBlended : public test::TPlainRect {
public:
    bool NeedsBlend() const override { return true; }
    void Paint(TCanvas& canvas) override
    {
        canvas.SetBrush({clRed, TBrushStyle::bsSolid});
        canvas.FillRect(Rect());
    }
};

class BlendedPainting : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = SetMaskBlender({});
        InstallBlendedPainting();
    }
    void TearDown() override { SetMaskBlender(previous_); }

    // Replaces the installed blender by one that counts its calls and passes them on.
    void CountBlends()
    {
        SetMaskBlender([this](QImage& target, const QImage& source, const QImage& mask, int ratio) {
            ratios.push_back(ratio);
            return BlendThroughMask(target, source, mask, ratio);
        });
    }

    std::vector<int> ratios;

private:
    TMaskBlender previous_;
};

// White moved towards the colour with the ratio's share of full opacity.
TColor Mixed(TColor colour, int ratio)
{
    const int opacity = std::min(255, (255 * ratio + 50) / 100);
    auto channel = [&](int shift) { return 255 + opacity * (((colour >> shift) & 0xFF) - 255) / 255; };
    return RGBColor(channel(0), channel(8), channel(16));
}

TEST_F(BlendedPainting, RatioMixesTheObjectIntoTheBitmapInsideItsBoundsOnly)
{
    for (int ratio : {0, 50, 100}) {
        TFilledRect obj;
        obj.SetBounds({100, 100, 300, 200});
        obj.fill = RGBColor(20, 90, 200);
        obj.SetBlendRatio(ratio);
        obj.SetBlendShade(true);  // ratio 100 blends only when asked
        QImage image = WhiteImage(40, 30);
        {
            TCanvas canvas(image);
            UseTenthMillimetrePixels(canvas);
            obj.PaintTo(canvas);
        }
        EXPECT_EQ(PixelAt(image, 15, 15), Mixed(obj.fill, ratio)) << ratio;
        EXPECT_EQ(PixelAt(image, 10, 10), Mixed(obj.fill, ratio)) << ratio;
        EXPECT_EQ(PixelAt(image, 29, 19), Mixed(obj.fill, ratio)) << ratio;
        EXPECT_EQ(PixelAt(image, 30, 15), clWhite) << ratio;
        EXPECT_EQ(PixelAt(image, 15, 9), clWhite) << ratio;
    }
    EXPECT_EQ(Mixed(clBlue, 50), RGBColor(127, 127, 255));
}

TEST_F(BlendedPainting, FullRatioWithoutShadePaintsDirectly)
{
    CountBlends();
    TFilledRect obj;
    obj.SetBounds({0, 0, 100, 100});
    QImage image = WhiteImage(20, 20);
    TCanvas canvas(image);
    UseTenthMillimetrePixels(canvas);
    obj.PaintTo(canvas);
    EXPECT_TRUE(ratios.empty());
    EXPECT_EQ(obj.paintCount, 1);
    EXPECT_EQ(canvas.Pixel({50, 50}), clBlue);

    obj.SetBlendRatio(40);
    obj.PaintTo(canvas);
    EXPECT_EQ(ratios, std::vector<int>{40});
}

TEST_F(BlendedPainting, ObjectsWithoutBlendCapabilityBlendAtFullStrength)
{
    CountBlends();
    TAlwaysBlended obj;
    obj.SetBounds({0, 0, 100, 100});
    QImage image = WhiteImage(20, 20);
    TCanvas canvas(image);
    UseTenthMillimetrePixels(canvas);
    obj.PaintTo(canvas);
    EXPECT_EQ(ratios, std::vector<int>{100});
    EXPECT_EQ(canvas.Pixel({50, 50}), clRed);  // the base mask covers everything
}

TEST_F(BlendedPainting, MaskDecidesWhichPixelsChange)
{
    THalfCovered obj;
    obj.SetBounds({0, 0, 200, 100});
    obj.SetBlendRatio(50);
    QImage image = WhiteImage(30, 20);
    TCanvas canvas(image);
    UseTenthMillimetrePixels(canvas);
    obj.PaintTo(canvas);
    EXPECT_EQ(canvas.Pixel({50, 50}), Mixed(clBlue, 50));
    EXPECT_EQ(canvas.Pixel({150, 50}), clWhite);
}

TEST_F(BlendedPainting, SurfaceClippingHoldsAndMappingIsFollowed)
{
    TFilledRect obj;
    obj.SetBounds({100, 100, 300, 300});
    obj.SetBlendRatio(50);
    QImage image = WhiteImage(40, 40);
    TCanvas canvas(image);
    UseTenthMillimetrePixels(canvas);
    canvas.SetDeviceOffset({5, 3});
    canvas.IntersectClipRect({0, 0, 200, 400});
    obj.PaintContent(canvas);
    // object spans device 15..34 x 13..32; clipped at logical x 200, device 25
    EXPECT_EQ(PixelAt(image, 15, 13), Mixed(clBlue, 50));
    EXPECT_EQ(PixelAt(image, 24, 32), Mixed(clBlue, 50));
    EXPECT_EQ(PixelAt(image, 25, 20), clWhite);  // inside the working margin, outside the clip
    EXPECT_EQ(PixelAt(image, 14, 20), clWhite);
    EXPECT_EQ(PixelAt(image, 20, 33), clWhite);
}

// Screens and printers cannot be mixed into: the object is laid over them at its opacity. A
// bitmap without a blender, or whose blend fails, gets the object painted plainly.
TEST_F(BlendedPainting, SurfacesWithoutBitmapsShowTheOpacityAndMissingBlenderPaintsPlainly)
{
    CountBlends();
    TFilledRect obj;
    obj.SetBounds({0, 0, 100, 100});
    obj.SetBlendRatio(30);
    QPicture picture;
    picture.setBoundingRect(QRect(0, 0, 20, 20));
    {
        TCanvas canvas(picture);
        EXPECT_FALSE(canvas.IsBitmapBacked());
        UseTenthMillimetrePixels(canvas);
        obj.PaintTo(canvas);
    }
    EXPECT_TRUE(ratios.empty());
    EXPECT_EQ(obj.paintCount, 1);
    QImage replay = WhiteImage(20, 20);
    {
        QPainter painter(&replay);
        picture.play(&painter);
    }
    EXPECT_EQ(PixelAt(replay, 5, 5), RGBColor(0xB2, 0xB2, 0xFF)) << "30 % blue over white";

    SetMaskBlender({});
    QImage image = WhiteImage(20, 20);
    TCanvas canvas(image);
    UseTenthMillimetrePixels(canvas);
    obj.PaintTo(canvas);
    EXPECT_EQ(canvas.Pixel({50, 50}), clBlue);

    SetMaskBlender([](QImage&, const QImage&, const QImage&, int) { return false; });  // cannot blend
    obj.fill = clRed;
    obj.PaintTo(canvas);
    EXPECT_EQ(canvas.Pixel({50, 50}), clRed);
}

}  // namespace
}  // namespace kestrel
