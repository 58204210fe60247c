#pragma once

// Circular arcs through three points, in logical units (y grows downwards, so angles grow
// clockwise on screen).

#include <QPoint>
#include <QPointF>
#include <vector>

namespace kestrel {

struct TArc {
    QPointF center;
    int radius = 0;           // rounded half away from zero; below 1 the arc is degenerate
    double startAngle = 0;    // angle of the first point, 0..2pi
    double endAngle = 0;      // angle of the last point, 0..2pi
    bool IsZero() const { return radius < 1; }
};

// Bulges larger than this are clamped when a via point is placed.
inline constexpr int MaxArcBulge = 4000;
// Below or at this bulge, or above MaxArcRadius, an arc is drawn as a flat curve instead.
inline constexpr int FlatArcBulge = 20;
inline constexpr int MaxArcRadius = 7999;

TArc CircleThrough(QPoint p0, QPoint p1, QPoint p2);

// Signed sagitta of the arc from p0 through p1 to p2: positive on the side of the chord normal
// (dy, -dx), i.e. above a left-to-right chord. 0 when the points are collinear.
int ArcBulge(QPoint p0, QPoint p1, QPoint p2);

// The chord midpoint moved by bulge (clamped to +-MaxArcBulge) along the normal (dy, -dx) / length.
QPoint ViaPoint(QPoint p0, QPoint p2, int bulge);

// The arc over the chord p0..p2 whose middle lies bulge away from the chord's midpoint.
TArc ArcFromChord(QPoint p0, QPoint p2, int bulge);

// Angle between the points of a drawn arc: 2 degrees.
inline constexpr double ArcDrawStep = 0.034906585;

// The points an arc drawing connects, from p0 to p2: the circle every step radians, or for a
// flat arc the quadratic curve through the three points in 8 segments. The first and last
// points are exactly p0 and p2.
std::vector<QPointF> ArcPolyline(QPoint p0, QPoint p1, QPoint p2, double step = ArcDrawStep);

}  // namespace kestrel
