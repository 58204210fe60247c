// The shade shape: its mask, its geometry, its streams and how it paints on surfaces with and
// without pixels of their own.

#include <gtest/gtest.h>

#include <QPainter>
#include <QPixmap>
#include <random>

#include "ShapeFixtures.h"
#include "document/stream/ObjectStream.h"
#include "imaging/BlendedPainting.h"
#include "imaging/Effects.h"
#include "objects/LOAlphaMask.h"
#include "platform/BoundedReader.h"

namespace kestrel {
namespace {

// Black with a white rectangle `inset` pixels inside each edge.
QImage WhiteInside(int w, int h, int inset)
{
    QImage picture(w, h, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter(&picture).fillRect(inset, inset, w - 2 * inset, h - 2 * inset, Qt::white);
    return picture;
}

std::unique_ptr<TLOAlphaMask> Shade(const QImage& picture, const TRect& rect, int shadeSize = 0)
{
    auto shade = std::make_unique<TLOAlphaMask>();
    shade->Picture().SetImage(picture);
    shade->SetBounds(rect);
    shade->SetShadeSize(shadeSize);
    return shade;
}

std::unique_ptr<TLOAlphaMask> ReadBack(const QByteArray& bytes)
{
    TBoundedReader in(bytes);
    std::unique_ptr<TComponent> read = ReadObject(in);
    auto* shade = dynamic_cast<TLOAlphaMask*>(read.get());
    if (!shade) return nullptr;
    read.release();
    return std::unique_ptr<TLOAlphaMask>(shade);
}

TEST(AlphaMask, TheBlurMarginKeepsTheSoftEdgeInsideTheMask)
{
    auto shade = Shade(WhiteInside(100, 50, 0), {0, 0, 240, 140}, 10);
    const QImage& mask = shade->MaskPicture();
    ASSERT_EQ(mask.size(), QSize(120, 70));
    const uchar* middle = mask.constScanLine(35);
    EXPECT_EQ(middle[60], 255) << "the middle of the white picture shows the fill fully";
    EXPECT_LT(middle[0], 8) << "the margin's outer edge stays black";
    EXPECT_GT(middle[10], 60);
    EXPECT_LT(middle[10], 200) << "the picture's edge is softened";
    for (int x = 1; x <= 30; ++x) EXPECT_GE(middle[x], middle[x - 1]) << "a ramp, not a step, at " << x;

    shade->SetShadeSize(0);
    EXPECT_EQ(shade->MaskPicture().size(), QSize(100, 50)) << "no blur, no margin";
}

// Pixels from the first at or above 10 % to the first at or above 90 %: how wide an edge spreads.
int RampWidth(const uchar* row, int count, int step = 1)
{
    int low = -1, high = -1;
    for (int x = 0; x < count && high < 0; ++x) {
        if (low < 0 && row[x * step] >= 26) low = x;
        if (row[x * step] >= 230) high = x;
    }
    return high - low;
}

// The edge ramp of `passes` passes of the image effects' 3 x 3 blur, over one row.
int EffectBlurRamp(int passes)
{
    const int width = 4 * passes + 40;
    QImage edge(width, 1, QImage::Format_BGR888);
    edge.fill(Qt::black);
    QPainter(&edge).fillRect(width / 2, 0, width - width / 2, 1, Qt::white);
    QImage blurred;
    TGREffectBlur blur;
    blur.Source = &edge;
    blur.Dest = &blurred;
    blur.Passes = passes;
    blur.Execute();
    return RampWidth(blurred.constBits(), width, 3);
}

TEST(AlphaMask, TheBlurSpreadsAnEdgeAsShadeSizePassesOfTheImageBlur)
{
    for (const int shadeSize : {1, 5, 30, 60, 200}) {
        auto shade = Shade(WhiteInside(200, 100, 0), {0, 0, 260, 160}, shadeSize);
        const QImage& mask = shade->MaskPicture();
        ASSERT_EQ(mask.size(), QSize(200 + 2 * shadeSize, 100 + 2 * shadeSize));
        const int ramp = RampWidth(mask.constScanLine(mask.height() / 2), mask.width() / 2);
        EXPECT_NEAR(ramp, EffectBlurRamp(shadeSize), 2) << shadeSize;
    }
    EXPECT_NEAR(EffectBlurRamp(30), 12, 1);
}

TEST(AlphaMask, AShadeOfFiveHundredOnALargePictureIsBuiltSmallerAndDrawn)
{
    constexpr int ShadeSize = 500;
    auto shade = Shade(WhiteInside(3700, 200, 0), {0, 0, 470, 120}, ShadeSize);
    const QImage& mask = shade->MaskPicture();
    ASSERT_FALSE(mask.isNull());
    EXPECT_LE(std::max(mask.width(), mask.height()), TLOAlphaMask::MaxMaskSide);
    const double scale = double(mask.width()) / (3700 + 2 * ShadeSize);
    EXPECT_NEAR(double(mask.height()) / (200 + 2 * ShadeSize), scale, 0.01) << "proportions kept";
    const int ramp = RampWidth(mask.constScanLine(mask.height() / 2), mask.width() / 2);
    EXPECT_NEAR(ramp / scale, EffectBlurRamp(ShadeSize), 2);

    InstallBlendedPainting();
    shade->FillColor().SetColor(0xFF0000);  // blue
    QImage surface(470, 120, QImage::Format_RGB32);
    surface.fill(Qt::white);
    {
        TCanvas canvas(surface);
        shade->PaintTo(canvas);
    }
    EXPECT_EQ(surface.pixel(235, 60), qRgb(0, 0, 255));
    EXPECT_EQ(surface.pixel(2, 60), qRgb(255, 255, 255)) << "the margin's outer edge stays clear";
}

TEST(AlphaMask, WithoutAPictureNothingButTheOutlineShows)
{
    TLOAlphaMask shade;
    shade.SetBounds({10, 10, 110, 60});
    shade.FillColor().SetColor(0x0000FF);
    EXPECT_FALSE(shade.NeedsBlend());
    EXPECT_TRUE(shade.MaskPicture().isNull());
    QImage surface(120, 70, QImage::Format_RGB32);
    surface.fill(Qt::white);
    TCanvas canvas(surface);
    shade.PaintTo(canvas);
    EXPECT_EQ(surface.pixel(60, 35), qRgb(255, 255, 255));
    EXPECT_EQ(shade.HitTest({60, 35}), 1) << "still selectable";
}

TEST(AlphaMask, ATurnedShapeIsHitAndBoundedAsItsTurnedRectangle)
{
    auto shade = Shade(WhiteInside(20, 10, 0), {0, 0, 200, 100});
    shade->SetAngle(90);
    EXPECT_EQ(shade->GetBounds(), (TRect{50, -50, 150, 150}));
    EXPECT_EQ(shade->HitTest({100, -40}), 1);
    EXPECT_EQ(shade->HitTest({20, 50}), 0) << "inside the unturned rectangle only";
    // Resizing a turned shape scales each side by the change of the bounds' axis it stands
    // along; flat bounds take the request as it is.
    shade->SetSize(50, 400);
    EXPECT_EQ(QSize(shade->Width(), shade->Height()), QSize(400, 50));
    EXPECT_EQ(shade->GetBounds().Width(), 50);
    TLOAlphaMask flat;
    flat.SetBounds({0, 0, 0, 100});
    flat.SetAngle(180);
    flat.SetSize(60, 100);
    EXPECT_EQ(flat.Width(), 60);
}

TEST(AlphaMask, OffersBlendingTurningAndItsFillToOthers)
{
    TLOAlphaMask shade;
    TDrawObject& object = shade;
    EXPECT_NE(dynamic_cast<IBlendable*>(&object), nullptr);
    auto* turn = dynamic_cast<IDORotate*>(&object);
    ASSERT_NE(turn, nullptr);
    turn->SetAngle(20);
    EXPECT_EQ(shade.Angle(), 20);
    auto* fill = dynamic_cast<IFillColor*>(&object);
    ASSERT_NE(fill, nullptr);
    TColorSpec red;
    red.SetColor(0x0000FF);
    fill->SetFillColorSpec(red);
    EXPECT_EQ(shade.FillColor().Color(), 0x0000FF);
    fill->SetNoFill(true);
    EXPECT_FALSE(fill->NoFill()) << "the fill always shows through the mask";
}

TEST(AlphaMask, ANewPictureBringsItsNaturalSizeOrTheShapesProportions)
{
    TLOAlphaMask shade;
    EXPECT_EQ(QSize(shade.Width(), shade.Height()), QSize(300, 200));
    shade.Picture().SetImage(WhiteInside(180, 90, 0));
    shade.ResetSize(false);
    EXPECT_EQ(QSize(shade.Width(), shade.Height()), QSize(254, 127)) << "180 dots per inch";
    shade.SetBounds({0, 0, 400, 400});
    shade.ResetSize(true);
    EXPECT_EQ(QSize(shade.Width(), shade.Height()), QSize(400, 200));
    shade.Picture().SetImage(WhiteInside(4, 2, 0));
    shade.ResetSize(false);
    EXPECT_EQ(QSize(shade.Width(), shade.Height()), QSize(30, 30)) << "at least 30 units a side";
}

TEST(AlphaMask, StreamsKeepEverySettingAndANegativeShadeSizeCountsAsNone)
{
    auto shade = Shade(WhiteInside(30, 20, 5), {10, 20, 310, 220}, 7);
    shade->SetAngle(30);
    shade->SetBlendRatio(70);
    shade->FillColor().SetKind(cskGradation);
    shade->FillColor().GradColors().SetStop(0, 0x00FF00);
    QByteArray bytes;
    WriteObject(bytes, *shade);
    const auto back = ReadBack(bytes);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Angle(), 30);
    EXPECT_EQ(back->ShadeSize(), 7);
    EXPECT_EQ(back->BlendRatio(), 70);
    EXPECT_EQ(back->FillColor().GradColors().Stop(0), 0x00FF00);
    EXPECT_EQ(back->Picture().Image().convertToFormat(QImage::Format_RGB32), shade->Picture().Image());
    QByteArray again;
    WriteObject(again, *back);
    EXPECT_EQ(again, bytes);

    // The same stream with ShadeSize -5 (a one-byte integer after the name).
    const int at = bytes.indexOf("ShadeSize");
    ASSERT_GT(at, 0);
    const int value = at + int(qstrlen("ShadeSize"));
    ASSERT_EQ(bytes[value], char(2)) << "vaInt8";
    bytes[value + 1] = char(-5);
    const auto negative = ReadBack(bytes);
    ASSERT_NE(negative, nullptr);
    EXPECT_EQ(negative->ShadeSize(), 0);
    negative->SetAngle(0);
    EXPECT_EQ(negative->MaskPicture().size(), QSize(30, 20)) << "no margin";
}

TEST(AlphaMask, AHugeShadeSizeBuildsNoMaskInsteadOfOverflowing)
{
    auto shade = Shade(WhiteInside(10, 10, 0), {0, 0, 100, 100}, 1 << 30);
    EXPECT_TRUE(shade->MaskPicture().isNull());
    QImage surface(100, 100, QImage::Format_RGB32);
    surface.fill(Qt::white);
    InstallBlendedPainting();
    TCanvas canvas(surface);
    shade->PaintTo(canvas);
    EXPECT_EQ(surface.pixel(50, 50), qRgb(255, 255, 255));
}

// A shade shape on a bitmap is mixed by the blender; on a surface without its own pixels the
// painter lays the fill over it with the mask as opacity. Both show the same picture.
TEST(AlphaMask, BitmapsAndOtherSurfacesShowTheFillThroughTheMask)
{
    InstallBlendedPainting();
    auto shade = Shade(WhiteInside(100, 100, 25), {0, 0, 100, 100});
    shade->FillColor().SetColor(0xFF0000);  // blue
    shade->SetBlendRatio(50);
    QImage bitmap(100, 100, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    {
        TCanvas canvas(bitmap);
        shade->PaintTo(canvas);
    }
    QPixmap pixmap(100, 100);
    pixmap.fill(Qt::white);
    {
        TCanvas canvas(pixmap);
        ASSERT_FALSE(canvas.IsBitmapBacked());
        shade->PaintTo(canvas);
    }
    const QImage shown = pixmap.toImage();
    for (const QImage* image : {static_cast<const QImage*>(&bitmap), &shown}) {
        const QRgb middle = image->pixel(50, 50);
        EXPECT_NEAR(qRed(middle), 128, 2) << "half of the blue over white";
        EXPECT_EQ(qBlue(middle), 255);
        EXPECT_EQ(image->pixel(10, 10), qRgb(255, 255, 255)) << "black in the picture keeps the background";
    }
}

// With a white picture and no blur the turned mask covers the turned rectangle; what it paints
// is what the hit test answers.
TEST(AlphaMask, HitTestAgreesWithThePaintedPixelsAtAnyAngle)
{
    InstallBlendedPainting();
    constexpr int Size = 400, Dpi = 508;
    std::mt19937 engine(5);
    const auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine); };
    int agree = 0, total = 0;
    for (int round = 0; round < 20; ++round) {
        test::TShapeSite site(Size, Size, Dpi);
        const QPoint a(between(80, 200), between(80, 200));
        auto& shade = site.Add(Shade(WhiteInside(256, 256, 0), {a.x(), a.y(), a.x() + between(40, 120), a.y() + between(40, 120)}));
        shade.SetAngle(between(-180, 180));
        const QImage image = site.Render();
        const TRect area = shade.GetBounds().Inflated(10);
        for (int i = 0; i < 300; ++i) {
            const QPoint p(between(area.left, area.right - 1), between(area.top, area.bottom - 1));
            const bool painted = test::TShapeSite::At(image, site.Site(), p) != 0xFFFFFF;
            agree += (shade.HitTest(p) == 1) == painted;
            ++total;
        }
    }
    EXPECT_GE(agree, total * 99 / 100) << agree << " of " << total;
}

}  // namespace
}  // namespace kestrel
