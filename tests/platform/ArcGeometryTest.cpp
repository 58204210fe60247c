#include "platform/ArcGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace kestrel {
namespace {

TEST(ArcGeometry, CircleThroughFindsCentreRadiusAndEndAngles)
{
    const TArc arc = CircleThrough({100, 0}, {0, 100}, {-100, 0});
    EXPECT_NEAR(arc.center.x(), 0, 1e-9);
    EXPECT_NEAR(arc.center.y(), 0, 1e-9);
    EXPECT_EQ(arc.radius, 100);
    EXPECT_NEAR(arc.startAngle, 0, 1e-9);
    EXPECT_NEAR(arc.endAngle, std::numbers::pi, 1e-9);
    // Angles are normalised into 0..2pi: (0, -100) lies at 3/2 pi, not at -pi/2.
    EXPECT_NEAR(CircleThrough({0, -100}, {100, 0}, {-100, 0}).startAngle, 1.5 * std::numbers::pi, 1e-9);
}

TEST(ArcGeometry, CollinearPointsUseTheIntegerAverageAndGiveNoBulge)
{
    const TArc arc = CircleThrough({0, 0}, {10, 0}, {31, 0});
    EXPECT_EQ(arc.center, QPointF(13, 0));  // 41 / 3 truncated
    EXPECT_EQ(arc.radius, 3);
    EXPECT_EQ(ArcBulge({0, 0}, {10, 0}, {31, 0}), 0);
    EXPECT_EQ(ArcBulge({0, 0}, {5, 5}, {0, 0}), 0);  // degenerate chord
}

TEST(ArcGeometry, TinyRadiusYieldsAZeroArc)
{
    EXPECT_TRUE(CircleThrough({0, 0}, {0, 0}, {0, 0}).IsZero());
    EXPECT_FALSE(CircleThrough({0, 0}, {1, 0}, {0, 1}).IsZero());  // radius 0.707 rounds to 1
    EXPECT_TRUE(CircleThrough({0, 0}, {0, 0}, {1, 0}).IsZero());   // collinear, centre (0, 0), radius 0
}

TEST(ArcGeometry, RadiusRoundsHalfAwayFromZero)
{
    // Circle through (0,0), (5,5), (10,0): centre (5, 0), radius 5 exactly; (0,0),(1,1),(2,0): radius 1.
    EXPECT_EQ(CircleThrough({0, 0}, {5, 5}, {10, 0}).radius, 5);
    EXPECT_EQ(CircleThrough({0, 0}, {1, 1}, {2, 0}).radius, 1);
}

TEST(ArcGeometry, PositiveBulgeLiesAboveALeftToRightChord)
{
    EXPECT_EQ(ViaPoint({0, 0}, {100, 0}, 30), QPoint(50, -30));
    EXPECT_EQ(ViaPoint({100, 0}, {0, 0}, 30), QPoint(50, 30));
    EXPECT_EQ(ArcBulge({0, 0}, {50, -30}, {100, 0}), 30);
    EXPECT_EQ(ArcBulge({0, 0}, {50, 30}, {100, 0}), -30);
}

TEST(ArcGeometry, ViaPointClampsTheBulgeAndHandlesAShortChord)
{
    EXPECT_EQ(ViaPoint({0, 0}, {100, 0}, 5000), QPoint(50, -4000));
    EXPECT_EQ(ViaPoint({0, 0}, {100, 0}, -5000), QPoint(50, 4000));
    EXPECT_EQ(ViaPoint({7, 9}, {7, 9}, 100), QPoint(7, 9));
}

TEST(ArcGeometry, BulgeOfAMajorArcExceedsTheRadius)
{
    // Three quarters of the circle of radius 100 around the origin pass (0, 100).
    EXPECT_EQ(ArcBulge({100, 0}, {0, 100}, {0, -100}), 171);  // 100 + 100 / sqrt(2), on the normal's side
    EXPECT_EQ(ArcBulge({0, -100}, {0, 100}, {100, 0}), -171);
}

TEST(ArcGeometry, ArcFromChordAgreesWithTheCircleThroughItsViaPoint)
{
    for (int bulge : {120, -250, 900, -1500}) {
        const QPoint p0(-120, 40), p2(380, -60);
        const TArc fromChord = ArcFromChord(p0, p2, bulge);
        const TArc through = CircleThrough(p0, ViaPoint(p0, p2, bulge), p2);
        // The via point is rounded to whole units, so allow a little drift.
        EXPECT_NEAR(fromChord.center.x(), through.center.x(), 3.0) << bulge;
        EXPECT_NEAR(fromChord.center.y(), through.center.y(), 3.0) << bulge;
        EXPECT_NEAR(fromChord.radius, through.radius, 3) << bulge;
        EXPECT_NEAR(ArcBulge(p0, ViaPoint(p0, p2, bulge), p2), bulge, 1) << bulge;
    }
    EXPECT_TRUE(ArcFromChord({0, 0}, {100, 0}, 0).IsZero());
    EXPECT_EQ(ArcFromChord({0, 0}, {100, 0}, 50).radius, 50);
}

TEST(ArcGeometry, PolylineFollowsTheCircleThroughTheViaPoint)
{
    const QPoint p0(1000, 0), p1(0, 1000), p2(-1000, 0);
    const auto points = ArcPolyline(p0, p1, p2);
    ASSERT_GE(points.size(), 90u);  // 180 degrees in 2-degree steps
    EXPECT_EQ(points.front(), QPointF(p0));
    EXPECT_EQ(points.back(), QPointF(p2));
    bool passedVia = false;
    for (const QPointF& p : points) {
        EXPECT_NEAR(std::hypot(p.x(), p.y()), 1000, 1e-6);
        EXPECT_GE(p.y(), -1e-6);  // the lower half, where p1 lies
        passedVia |= std::abs(p.x()) < 20 && p.y() > 990;
    }
    EXPECT_TRUE(passedVia);
}

TEST(ArcGeometry, FlatArcsAndHugeRadiiBecomeAQuadraticInEightSegments)
{
    const auto flat = ArcPolyline({0, 0}, {50, -20}, {100, 0});
    ASSERT_EQ(flat.size(), 9u);
    EXPECT_EQ(flat[4], QPointF(50, -20));
    EXPECT_EQ(flat.back(), QPointF(100, 0));
    // Radius above 7999 with a bulge above 20.
    EXPECT_EQ(ArcPolyline({0, 0}, {5000, -300}, {10000, 0}).size(), 9u);
}

}  // namespace
}  // namespace kestrel
