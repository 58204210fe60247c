#include <gtest/gtest.h>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Error.h"

namespace kestrel {
namespace {

// 100 x 100 logical units on 50 x 50 pixels, so probes sit at logical points.
struct TSurface {
    TBitmap bitmap{50, 50, TPixelFormat::pf32bit, 127};
    TCanvas canvas{bitmap.Image()};
    TSurface() { canvas.SetMapping({QPoint(0, 0), QSize(2, 2), QPoint(0, 0), QSize(1, 1)}); }
};

std::vector<uint8_t> TypesOf(const TPathPoints& path)
{
    std::vector<uint8_t> types;
    for (const TPathPoint& p : path) types.push_back(p.type);
    return types;
}

TEST(CanvasPath, BracketRecordsShapesWithoutPaintingAndFillUsesThePathUp)
{
    TSurface s;
    s.canvas.SetBrush({clRed, TBrushStyle::bsSolid});
    s.canvas.BeginPath();
    s.canvas.Rectangle({10, 10, 50, 50});
    s.canvas.MoveTo({60, 60});
    s.canvas.LineTo({90, 60});
    s.canvas.LineTo({90, 90});
    s.canvas.CloseFigure();
    s.canvas.EndPath();
    EXPECT_EQ(s.canvas.Pixel({30, 30}), clWhite);  // nothing painted inside the bracket
    const TPathPoints path = s.canvas.PathPoints();
    EXPECT_EQ(TypesOf(path), (std::vector<uint8_t>{6, 2, 2, 3, 6, 2, 3}));
    EXPECT_EQ(path[2].point, QPoint(50, 50));
    s.canvas.FillPath();
    EXPECT_TRUE(s.canvas.PathPoints().empty());
    EXPECT_EQ(s.canvas.Pixel({30, 30}), clRed);
    EXPECT_EQ(s.canvas.Pixel({86, 70}), clRed);  // inside the triangle
    EXPECT_EQ(s.canvas.Pixel({64, 84}), clWhite);
    EXPECT_EQ(s.canvas.Pixel({56, 30}), clWhite);
}

TEST(CanvasPath, StrokePaintsTheOutlineOnlyAndEllipsesBecomeBezierFigures)
{
    TSurface s;
    s.canvas.SetPen({clBlue, 2, TPenStyle::psSolid, TPenMode::pmCopy});
    s.canvas.BeginPath();
    s.canvas.Ellipse({10, 10, 90, 90});
    s.canvas.EndPath();
    ASSERT_EQ(s.canvas.PathPoints().size(), 13u);
    EXPECT_EQ(s.canvas.PathPoints()[12].type, ptBezierTo | ptCloseFigure);
    s.canvas.StrokePath();
    EXPECT_EQ(s.canvas.Pixel({50, 10}), clBlue);
    EXPECT_EQ(s.canvas.Pixel({90, 50}), clBlue);
    EXPECT_EQ(s.canvas.Pixel({50, 50}), clWhite);
}

TEST(CanvasPath, WidenedLineIsABandAsWideAsThePen)
{
    TSurface s;
    s.canvas.SetPen({clBlack, 10, TPenStyle::psSolid, TPenMode::pmCopy});
    s.canvas.BeginPath();
    s.canvas.MoveTo({20, 50});
    s.canvas.LineTo({80, 50});
    s.canvas.EndPath();
    s.canvas.WidenPath();
    int top = 1000, bottom = -1000;
    for (const TPathPoint& p : s.canvas.PathPoints()) {
        top = std::min(top, p.point.y());
        bottom = std::max(bottom, p.point.y());
    }
    EXPECT_NEAR(top, 45, 1);
    EXPECT_NEAR(bottom, 55, 1);
    s.canvas.SetBrush({clRed, TBrushStyle::bsSolid});
    s.canvas.FillPath();
    EXPECT_EQ(s.canvas.Pixel({50, 52}), clRed);
    EXPECT_EQ(s.canvas.Pixel({50, 62}), clWhite);
}

TEST(CanvasPath, ClipPathDifferenceCutsAHoleAndTheGuardPutsTheClipBack)
{
    TSurface s;
    s.canvas.SetBrush({clBlack, TBrushStyle::bsSolid});
    {
        TClipGuard guard(s.canvas);
        s.canvas.IntersectClipRect({0, 0, 80, 100});
        s.canvas.BeginPath();
        s.canvas.Ellipse({20, 20, 60, 60});
        s.canvas.EndPath();
        s.canvas.SelectClipPath(TRegionOp::rgnDiff);
        s.canvas.FillRect({0, 0, 100, 100});
    }
    EXPECT_EQ(s.canvas.Pixel({40, 40}), clWhite);  // the hole
    EXPECT_EQ(s.canvas.Pixel({10, 40}), clBlack);
    EXPECT_EQ(s.canvas.Pixel({90, 40}), clWhite);  // outside the first clip
    s.canvas.FillRect({0, 0, 100, 100});
    EXPECT_EQ(s.canvas.Pixel({40, 40}), clBlack);  // clipping gone after the guard
}

TEST(CanvasPath, WindingModeFillsTheOverlapThatAlternateLeavesOut)
{
    TSurface s;
    s.canvas.SetPen({clBlack, 1, TPenStyle::psClear, TPenMode::pmCopy});
    s.canvas.SetBrush({clRed, TBrushStyle::bsSolid});
    // Two overlapping squares of the same orientation in one figure list.
    const QPolygon twice({{10, 10}, {60, 10}, {60, 60}, {10, 60}, {10, 10}, {40, 40}, {90, 40}, {90, 90}, {40, 90}, {40, 40}});
    s.canvas.Polygon(twice);
    EXPECT_EQ(s.canvas.Pixel({50, 50}), clWhite);
    s.canvas.SetPolyFillMode(TPolyFillMode::pfmWinding);
    s.canvas.Polygon(twice);
    EXPECT_EQ(s.canvas.Pixel({50, 50}), clRed);
}

TEST(CanvasRegion, ShapesTestAndCombine)
{
    const TRegion ellipse = TRegion::Ellipse({0, 0, 40, 20});
    EXPECT_TRUE(ellipse.Contains({20, 10}));
    EXPECT_FALSE(ellipse.Contains({1, 1}));
    EXPECT_FALSE(ellipse.Contains({40, 10}));
    EXPECT_EQ(ellipse.Bounds(), (TRect{0, 0, 40, 20}));
    const TRegion round = TRegion::RoundRect({0, 0, 40, 40}, 20, 20);
    EXPECT_FALSE(round.Contains({1, 1}));
    EXPECT_TRUE(round.Contains({20, 1}));
    const TRegion triangle = TRegion::Polygon(QPolygon({{0, 0}, {40, 0}, {0, 40}}));
    EXPECT_TRUE(triangle.Contains({5, 5}));
    EXPECT_FALSE(triangle.Contains({35, 35}));

    const TRegion rect = TRegion::Rect({0, 0, 20, 20});
    const TRegion other = TRegion::Rect({10, 10, 30, 30});
    EXPECT_EQ(rect.Combined(other, TRegionOp::rgnAnd).Bounds(), (TRect{10, 10, 20, 20}));
    const TRegion diff = rect.Combined(other, TRegionOp::rgnDiff);
    EXPECT_TRUE(diff.Contains({5, 5}));
    EXPECT_FALSE(diff.Contains({15, 15}));
    const TRegion x = rect.Combined(other, TRegionOp::rgnXor);
    EXPECT_TRUE(x.Contains({25, 25}));
    EXPECT_FALSE(x.Contains({15, 15}));
    EXPECT_TRUE(rect.Combined(other, TRegionOp::rgnOr).Contains({25, 25}));
    EXPECT_EQ(rect.Combined(other, TRegionOp::rgnCopy), other);
    EXPECT_TRUE(x.Intersects({24, 24, 26, 26}));
    EXPECT_FALSE(x.Intersects({12, 12, 18, 18}));
}

TEST(CanvasRegion, RegionsFillAndClipInDevicePixels)
{
    TSurface s;
    s.canvas.SetBrush({clBlue, TBrushStyle::bsSolid});
    s.canvas.FillRegion(TRegion::Rect({0, 0, 10, 10}));
    EXPECT_EQ(s.canvas.Pixel({10, 10}), clBlue);  // device (5, 5)
    EXPECT_EQ(s.canvas.Pixel({30, 30}), clWhite);

    s.canvas.SelectClipRegion(TRegion::Rect({20, 20, 50, 50}), TRegionOp::rgnCopy);
    s.canvas.SelectClipRegion(TRegion::Ellipse({25, 25, 45, 45}), TRegionOp::rgnDiff);
    s.canvas.SetBrush({clRed, TBrushStyle::bsSolid});
    s.canvas.FillRect({0, 0, 100, 100});
    EXPECT_EQ(s.canvas.Pixel({70, 70}), clWhite);  // inside the ellipse hole
    EXPECT_EQ(s.canvas.Pixel({42, 90}), clRed);
    EXPECT_EQ(s.canvas.Pixel({10, 10}), clBlue);  // outside the clip

    s.canvas.BeginPath();
    s.canvas.Rectangle({0, 0, 20, 20});
    s.canvas.EndPath();
    EXPECT_EQ(s.canvas.PathToRegion(), TRegion::Rect({0, 0, 10, 10}));
}

TEST(CanvasBitmap, MemorySurfacesKeepTheirResolutionAndRowsAreReachable)
{
    TBitmap bitmap(8, 4, TPixelFormat::pf24bit, 254);
    EXPECT_EQ(bitmap.Dpi(), 254);
    {
        TCanvas canvas(bitmap.Image());
        EXPECT_EQ(canvas.DeviceDpi(), 254);
        canvas.SetBrush({clRed, TBrushStyle::bsSolid});
        canvas.FillRect({0, 0, 2, 4});
    }
    EXPECT_EQ(bitmap.ScanLine(1)[0], 0xFF);  // R of pixel 0
    EXPECT_EQ(bitmap.ScanLine(1)[6], 0xFF);  // pixel 2 is still white
    uint8_t* row = bitmap.ScanLine(3);
    row[3 * 5] = 0, row[3 * 5 + 1] = 0, row[3 * 5 + 2] = 0xFF;
    TCanvas canvas(bitmap.Image());
    EXPECT_EQ(canvas.Pixel({5, 3}), clBlue);
    EXPECT_THROW(bitmap.ScanLine(4), EKestrel);
    EXPECT_THROW(TBitmap(-1, 5, TPixelFormat::pf8bit), EKestrel);

    TBitmap mask(4, 4, TPixelFormat::pf8bit);
    EXPECT_EQ(mask.ScanLine(2)[2], 0);
    {
        TCanvas maskCanvas(mask.Image());
        maskCanvas.SetBrush({clWhite, TBrushStyle::bsSolid});
        maskCanvas.FillRect({0, 0, 4, 2});
    }
    EXPECT_EQ(mask.ScanLine(1)[3], 0xFF);
    EXPECT_EQ(mask.ScanLine(2)[3], 0);
}

TEST(CanvasBitmap, PatternInvertAndSourceInvertUndoThemselves)
{
    TSurface s;
    s.canvas.SetBrush({RGBColor(0x10, 0x20, 0x30), TBrushStyle::bsSolid});
    s.canvas.PatternInvertRect({0, 0, 40, 40});
    EXPECT_EQ(s.canvas.Pixel({20, 20}), RGBColor(0xEF, 0xDF, 0xCF));
    s.canvas.PatternInvertRect({0, 0, 40, 40});
    EXPECT_EQ(s.canvas.Pixel({20, 20}), clWhite);

    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(QColor(0xFF, 0x00, 0x00));
    s.canvas.SetCopyMode(TCopyMode::cmSrcInvert);
    s.canvas.StretchDraw({50, 50, 100, 100}, picture);
    EXPECT_EQ(s.canvas.Pixel({70, 70}), RGBColor(0x00, 0xFF, 0xFF));
    s.canvas.StretchDraw({50, 50, 100, 100}, picture);
    EXPECT_EQ(s.canvas.Pixel({70, 70}), clWhite);
}

}  // namespace
}  // namespace kestrel
