#include "render/Stroke.h"

#include <gtest/gtest.h>

#include "platform/ArcGeometry.h"
#include "platform/Canvas.h"
#include "platform/Error.h"
#include "render/Arc.h"

namespace kestrel {
namespace {

TPathPoints P(std::initializer_list<std::tuple<int, int, int>> list)
{
    TPathPoints out;
    for (auto [x, y, t] : list) out.push_back({QPoint(x, y), uint8_t(t)});
    return out;
}

struct TPathCanvas {
    QImage image{100, 100, QImage::Format_RGB32};
    std::unique_ptr<TCanvas> canvas;
    TPathCanvas() { canvas = std::make_unique<TCanvas>(image); }
};

TEST(Stroke, ShapeBuildersRoundHalfAwayFromZero)
{
    TStroke stroke;
    stroke.SetEllipse({0, 0, 100, 50});
    EXPECT_EQ(stroke.Points(), P({{100, 25, 6},
                                  {100, 11, 4}, {78, 0, 4}, {50, 0, 4},
                                  {22, 0, 4}, {0, 11, 4}, {0, 25, 4},
                                  {0, 39, 4}, {22, 50, 4}, {50, 50, 4},
                                  {78, 50, 4}, {100, 39, 4}, {100, 25, 5}}));
    stroke.SetRect({1, 2, 3, 4});
    EXPECT_EQ(stroke.Points(), P({{1, 2, 6}, {3, 2, 2}, {3, 4, 2}, {1, 4, 3}}));
    stroke.SetRoundRect({0, 0, 100, 60}, 21);  // r = 10, b = round(5.798) = 6
    ASSERT_EQ(stroke.Count(), 21);
    EXPECT_EQ(stroke.Points(), P({{100, 10, 6},
                                  {100, 4, 4}, {96, 0, 4}, {90, 0, 4}, {90, 0, 2}, {10, 0, 2},
                                  {4, 0, 4}, {0, 4, 4}, {0, 10, 4}, {0, 10, 2}, {0, 50, 2},
                                  {0, 56, 4}, {4, 60, 4}, {10, 60, 4}, {10, 60, 2}, {90, 60, 2},
                                  {96, 60, 4}, {100, 56, 4}, {100, 50, 4}, {100, 50, 2}, {100, 10, 3}}));
    EXPECT_EQ(stroke.GetBounds(), (TRect{0, 0, 100, 60}));
    stroke.Clear();
    EXPECT_EQ(stroke.GetBounds(), TRect{});
    EXPECT_THROW(stroke.Point(0), EKestrel);
}

TEST(Stroke, SubdivideSplitsLongLinesAndTheClosingSegment)
{
    TStroke stroke;
    stroke.AddPoint(0, 0, ptMoveTo);
    stroke.AddPoint(20, 0, ptLineTo);
    stroke.AddPoint(20, 16, ptLineTo | ptCloseFigure);
    stroke.Subdivide();
    EXPECT_EQ(stroke.Points(), P({{0, 0, 6}, {8, 0, 2}, {16, 0, 2}, {20, 0, 2}, {20, 8, 2}, {20, 16, 2},
                                  // back to (0, 0): 25.6 long
                                  {14, 11, 2}, {8, 6, 2}, {1, 1, 3}}));

    TStroke curve;
    curve.SetEllipse({0, 0, 100, 50});
    const TStroke before = curve;
    curve.Subdivide();
    EXPECT_EQ(curve, before);  // Bezier points are kept as they are
}

TEST(Stroke, DrawReplaysIntoTheCanvasPath)
{
    TPathCanvas s;
    TStroke stroke;
    stroke.AddPoint(10, 10, ptMoveTo);
    stroke.AddPoint(50, 10, ptLineTo);
    stroke.AddPoint(50, 50, ptLineTo | ptCloseFigure);
    stroke.AddPoint(60, 60, ptMoveTo);
    stroke.AddPoint(70, 60, ptBezierTo);
    stroke.AddPoint(80, 70, ptBezierTo);
    stroke.AddPoint(80, 80, ptBezierTo | ptCloseFigure);
    stroke.DrawPath(*s.canvas);
    const TPathPoints& path = s.canvas->PathPoints();
    EXPECT_EQ(TPathPoints(path.begin(), path.begin() + 5),
              P({{10, 10, 6}, {50, 10, 2}, {50, 50, 2}, {10, 10, 3}, {60, 60, 6}}));
    // The curve is flattened, one point per device pixel at most, ending exactly at its end.
    const size_t curvePoints = path.size() - 5;
    EXPECT_GT(curvePoints, 10u);
    EXPECT_LT(curvePoints, size_t(TStroke::BezierSteps));
    EXPECT_EQ(path[path.size() - 2].point, QPoint(80, 80));
    EXPECT_EQ(path.back(), (TPathPoint{QPoint(60, 60), 3}));

    TStroke round;
    round.AppendPath(*s.canvas);
    EXPECT_EQ(round.Count(), int(path.size()));

    TStroke empty;
    empty.DrawPath(*s.canvas);
    EXPECT_EQ(s.canvas->PathPoints(), P({{0, 0, 6}, {0, 0, 2}}));
}

TEST(Arc, FlatArcIsTheEightSegmentCurve)
{
    TPathCanvas s;
    s.canvas->BeginPath();
    DrawArc(*s.canvas, {0, 0}, {50, 10}, {100, 0});
    s.canvas->EndPath();
    const TPathPoints& path = s.canvas->PathPoints();
    ASSERT_EQ(path.size(), 9u);
    EXPECT_EQ(path.front(), (TPathPoint{QPoint(0, 0), ptMoveTo}));
    EXPECT_EQ(path[4].point, QPoint(50, 10));  // the middle point is reached half way
    EXPECT_EQ(path.back().point, QPoint(100, 0));
}

TEST(Arc, RoundArcFollowsTheCircleAndItsBandIsAsWideAsThePen)
{
    TPathCanvas s;
    const QPoint p0(0, 500), p1(500, 0), p2(1000, 500);  // half circle of radius 500 around (500, 500)
    s.canvas->BeginPath();
    DrawArc(*s.canvas, p0, p1, p2);
    s.canvas->EndPath();
    const TPathPoints arc = s.canvas->PathPoints();
    EXPECT_NEAR(double(arc.size()), 91, 1);  // a point every 2 degrees over 180, plus both ends
    for (const TPathPoint& p : arc) EXPECT_NEAR(std::hypot(p.point.x() - 500, p.point.y() - 500), 500, 1);
    EXPECT_EQ(arc.back().point, p2);

    s.canvas->SetPen({clBlack, 40, TPenStyle::psSolid, TPenMode::pmCopy});
    s.canvas->BeginPath();
    DrawArcBand(*s.canvas, p0, p1, p2);
    s.canvas->EndPath();
    const TPathPoints band = s.canvas->PathPoints();
    EXPECT_EQ(band.back().type, ptLineTo | ptCloseFigure);
    int outer = 0, inner = 0;
    for (const TPathPoint& p : band) {
        const double r = std::hypot(p.point.x() - 500, p.point.y() - 500);
        outer += std::abs(r - 520) <= 1.5;
        inner += std::abs(r - 480) <= 1.5;
    }
    EXPECT_EQ(outer, inner + 1);  // the outer start closes the figure
    EXPECT_NEAR(inner, 46, 1);    // 90 segments a turn from radius 500: 45 over the half circle
    EXPECT_EQ(outer + inner, int(band.size()));
}

}  // namespace
}  // namespace kestrel
