#include "render/Gradation.h"

#include <gtest/gtest.h>

#include "platform/Canvas.h"

namespace kestrel {
namespace {

constexpr TColor Red = RGBColor(255, 0, 0), Blue = RGBColor(0, 0, 255), Green = RGBColor(0, 255, 0);

TRampColor Rgb(TColor c) { return {uint8_t(c & 0xFF), uint8_t((c >> 8) & 0xFF), uint8_t((c >> 16) & 0xFF)}; }

// Each channel within tol of the colour.
::testing::AssertionResult Near(const TRampColor& got, TColor want, int tol = 2)
{
    const TRampColor w = Rgb(want);
    if (std::abs(got.r - w.r) <= tol && std::abs(got.g - w.g) <= tol && std::abs(got.b - w.b) <= tol)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << int(got.r) << "," << int(got.g) << "," << int(got.b) << ")";
}

TRampColor TileAt(const QImage& tile, int x, int y)
{
    const QColor c = tile.pixelColor(x, y);
    return {uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())};
}

TEST(GradationRamp, OneColourIsConstantAndNoColourIsBlack)
{
    const TGradationRamp one = BuildGradationRamp({Green}, false);
    for (const TRampColor& c : one) ASSERT_EQ(c, Rgb(Green));
    const TGradationRamp none = BuildGradationRamp({}, true);
    EXPECT_EQ(none[700], Rgb(clBlack));
}

TEST(GradationRamp, StopsAreSpreadEvenlyAndReverseRunsBackwards)
{
    const TGradationRamp ramp = BuildGradationRamp({Red, Blue, Red, Blue}, false);
    EXPECT_EQ(ramp[0], Rgb(Red));
    EXPECT_TRUE(Near(ramp[342], Blue, 3));  // 342 * 3 / 1024 = 1.002
    EXPECT_TRUE(Near(ramp[683], Red, 3));
    EXPECT_TRUE(Near(ramp[1023], Blue, 3));
    EXPECT_EQ(ramp[171].r, 128);  // half way: trunc(0.5 * -255) + 255
    const TGradationRamp reversed = BuildGradationRamp({Red, Blue}, true);
    EXPECT_EQ(reversed[1023], Rgb(Red));
    EXPECT_TRUE(Near(reversed[0], Blue));
}

TEST(GradationRamp, ARepeatedListRampsLikeItsStopsWrittenOutAndLongListsCostNoMemory)
{
    EXPECT_EQ(BuildGradationRamp(TGradationColorList({Red, Blue, Green}, 3), false),
              BuildGradationRamp({Red, Blue, Green, Red, Blue, Green, Red, Blue, Green}, false));
    EXPECT_EQ(BuildGradationRamp(TGradationColorList({Red, Blue}, 2).Closed(), true),
              BuildGradationRamp({Red, Blue, Red, Blue, Red}, true));

    // A hundred thousand stops repeated 1024 times: a hundred million entries, never spelled out.
    std::vector<TColor> stops(100000);
    for (size_t i = 0; i < stops.size(); ++i) stops[i] = i % 2 ? Red : Blue;
    const TGradationColorList huge(stops, 1024);
    EXPECT_EQ(huge.Count(), 102400000);
    const TGradationRamp ramp = BuildGradationRamp(huge, false);
    EXPECT_EQ(ramp[0], Rgb(Blue));
    EXPECT_FALSE(GradationTile(huge, rgkConeClockwise, 45).isNull());
}

TEST(GradationTile, SimpleKindsRunAlongTheirAngle)
{
    const QImage leftToRight = GradationTile({Red, Blue}, rgkSimple, 270);
    EXPECT_EQ(TileAt(leftToRight, 0, 64), Rgb(Red));
    EXPECT_TRUE(Near(TileAt(leftToRight, 127, 64), Blue));
    const QImage topToBottom = GradationTile({Red, Blue}, rgkSimple, 0);
    EXPECT_EQ(TileAt(topToBottom, 64, 0), Rgb(Red));
    EXPECT_TRUE(Near(TileAt(topToBottom, 64, 127), Blue));
    const QImage bottomToTop = GradationTile({Red, Blue}, rgkSimple, 180);
    EXPECT_EQ(TileAt(bottomToTop, 30, 127), Rgb(Red));
    const QImage diagonal = GradationTile({Red, Blue}, rgkSimple, 315);
    EXPECT_EQ(TileAt(diagonal, 0, 0), Rgb(Red));
    EXPECT_TRUE(Near(TileAt(diagonal, 127, 127), Blue));
    EXPECT_EQ(TileAt(diagonal, 127, 0), TileAt(diagonal, 0, 127));
}

TEST(GradationTile, RepeatedTilesComeFromTheCacheAndDifferOnlyWithTheirSource)
{
    const QImage first = GradationTile({Red, Blue}, rgkSimple, 30);
    EXPECT_EQ(GradationTile({Red, Blue}, rgkSimple, 30).cacheKey(), first.cacheKey()) << "computed once";
    EXPECT_NE(GradationTile({Red, Blue}, rgkSimple, 31), first);
    EXPECT_NE(GradationTile({Red, Blue}, rgkBoxToRim, 30), first);
    EXPECT_NE(GradationTile({Red, Red, Blue}, rgkSimple, 30), first);
    // Many other tiles push it out; computed again it is the same picture.
    for (int angle = 0; angle < 200; ++angle) GradationTile({Blue, Red}, rgkSimple, angle);
    const QImage again = GradationTile({Red, Blue}, rgkSimple, 30);
    EXPECT_NE(again.cacheKey(), first.cacheKey());
    EXPECT_EQ(again, first);
}

TEST(GradationTile, BoxAndCircleKindsStartAtTheCentreUnlessReversed)
{
    const QImage toCenter = GradationTile({Red, Blue}, rgkBoxToCenter, 0);
    EXPECT_TRUE(Near(TileAt(toCenter, 64, 64), Red, 10));
    EXPECT_TRUE(Near(TileAt(toCenter, 0, 64), Blue));
    EXPECT_TRUE(Near(TileAt(toCenter, 127, 127), Blue));
    const QImage toRim = GradationTile({Red, Blue}, rgkBoxToRim, 0);
    EXPECT_TRUE(Near(TileAt(toRim, 64, 64), Blue, 10));
    EXPECT_TRUE(Near(TileAt(toRim, 64, 0), Red));

    const QImage circle = GradationTile({Red, Blue}, rgkCircleToCenter, 0);
    EXPECT_TRUE(Near(TileAt(circle, 64, 64), Red, 4));
    EXPECT_TRUE(Near(TileAt(circle, 127, 127), Blue));
    EXPECT_TRUE(Near(TileAt(circle, 127, 64), RGBColor(75, 0, 180), 3));  // edge midpoint: 1/sqrt 2 of the way
    const QImage circleToRim = GradationTile({Red, Blue}, rgkCircleToRim, 0);
    EXPECT_TRUE(Near(TileAt(circleToRim, 0, 0), Red));
}

TEST(GradationTile, ConeWrapsBackToTheFirstColourAtItsCut)
{
    // Start angle 0: the cut runs from the centre straight up; both sides show the first colour.
    const QImage cone = GradationTile({Red, Green, Blue}, rgkConeCounterClockwise, 0);
    EXPECT_TRUE(Near(TileAt(cone, 63, 5), Red, 3));
    EXPECT_TRUE(Near(TileAt(cone, 64, 5), Red, 3));
    EXPECT_TRUE(Near(TileAt(cone, 64, 120), RGBColor(0, 128, 127), 4));  // half way round: green to blue
    // A start angle of 180 turns the cut downwards.
    EXPECT_LT(GradationIndex(rgkConeCounterClockwise, 180, 64, 120), 3);
    EXPECT_GT(GradationIndex(rgkConeCounterClockwise, 180, 63, 120), 1020);
    EXPECT_EQ(GradationIndex(rgkConeClockwise, 0, 64, 120), GradationIndex(rgkConeCounterClockwise, 0, 64, 120));
}

TEST(GradationRender, TheTileIsStretchedOverTheLogicalRectangle)
{
    QImage image(100, 50, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(image);
    canvas.SetMapping({QPoint(0, 0), QSize(2, 2), QPoint(0, 0), QSize(1, 1)});
    RenderGradation(canvas, {20, 20, 180, 80}, {Red, Blue}, false, 270, rgkSimple);
    EXPECT_TRUE(Near(Rgb(canvas.Pixel({22, 50})), Red, 5));
    EXPECT_TRUE(Near(Rgb(canvas.Pixel({177, 50})), Blue, 5));
    EXPECT_TRUE(Near(Rgb(canvas.Pixel({100, 50})), RGBColor(128, 0, 127), 6));
    EXPECT_EQ(canvas.Pixel({10, 50}), clWhite);
    RenderGradation(canvas, {20, 20, 180, 80}, {Red, Blue}, true, 270, rgkSimple);
    EXPECT_EQ(canvas.Pixel({100, 50}), clBlack);  // the inverted pass cancels the first
    EXPECT_EQ(canvas.Pixel({10, 50}), clWhite);
}

}  // namespace
}  // namespace kestrel
