#include "platform/ArcGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/Rounding.h"

namespace kestrel {

namespace {

constexpr double TwoPi = 2 * std::numbers::pi;
constexpr int FlatSegments = 8;

double Cross(QPointF a, QPointF b) { return a.x() * b.y() - a.y() * b.x(); }
double Dot(QPointF a, QPointF b) { return a.x() * b.x() + a.y() * b.y(); }
double Length(QPointF v) { return std::hypot(v.x(), v.y()); }

double NormalizedAngle(double a)
{
    a = std::fmod(a, TwoPi);
    return a < 0 ? a + TwoPi : a;
}

double AngleOf(QPointF p, QPointF center) { return NormalizedAngle(std::atan2(p.y() - center.y(), p.x() - center.x())); }

bool IsCollinear(QPoint p0, QPoint p1, QPoint p2) { return std::abs(Cross(p1 - p0, p2 - p0)) < 0.1; }

// Centre of the circle through three points that are not collinear.
QPointF Circumcenter(QPointF a, QPointF b, QPointF c)
{
    const double d = 2 * (a.x() * (b.y() - c.y()) + b.x() * (c.y() - a.y()) + c.x() * (a.y() - b.y()));
    const double a2 = Dot(a, a), b2 = Dot(b, b), c2 = Dot(c, c);
    return {(a2 * (b.y() - c.y()) + b2 * (c.y() - a.y()) + c2 * (a.y() - b.y())) / d,
            (a2 * (c.x() - b.x()) + b2 * (a.x() - c.x()) + c2 * (b.x() - a.x())) / d};
}

TArc MakeArc(QPointF center, double radius, QPoint p0, QPoint p2)
{
    TArc arc;
    arc.radius = static_cast<int>(RoundHalfAway(radius));
    if (arc.IsZero()) {
        arc.radius = 0;
        return arc;
    }
    arc.center = center;
    arc.startAngle = AngleOf(p0, center);
    arc.endAngle = AngleOf(p2, center);
    return arc;
}

// Unit normal (dy, -dx) / length of the chord p0..p2; the chord must not be degenerate.
QPointF ChordNormal(QPoint p0, QPoint p2, double length)
{
    return {(p2.y() - p0.y()) / length, -(p2.x() - p0.x()) / length};
}

QPointF Midpoint(QPoint p0, QPoint p2) { return {(p0.x() + p2.x()) / 2.0, (p0.y() + p2.y()) / 2.0}; }

std::vector<QPointF> FlatCurve(QPoint p0, QPoint p1, QPoint p2)
{
    // Control point of the quadratic that passes p1 at the parameter midpoint.
    const QPointF control = 2.0 * QPointF(p1) - (QPointF(p0) + QPointF(p2)) / 2.0;
    std::vector<QPointF> points;
    for (int i = 0; i <= FlatSegments; ++i) {
        const double t = double(i) / FlatSegments, u = 1 - t;
        points.push_back(u * u * QPointF(p0) + 2 * u * t * control + t * t * QPointF(p2));
    }
    points.front() = p0;
    points.back() = p2;
    return points;
}

// Angle swept from `from` to `to` in the direction dir (+1 clockwise on screen, -1 the other way).
double Sweep(double from, double to, int dir) { return NormalizedAngle(dir * (to - from)); }

}  // namespace

TArc CircleThrough(QPoint p0, QPoint p1, QPoint p2)
{
    if (IsCollinear(p0, p1, p2)) {
        const QPoint center((p0.x() + p1.x() + p2.x()) / 3, (p0.y() + p1.y() + p2.y()) / 3);
        return MakeArc(center, Length(p1 - center), p0, p2);
    }
    const QPointF center = Circumcenter(p0, p1, p2);
    return MakeArc(center, Length(QPointF(p1) - center), p0, p2);
}

int ArcBulge(QPoint p0, QPoint p1, QPoint p2)
{
    const double chord = Length(p2 - p0);
    if (IsCollinear(p0, p1, p2) || chord < 0.1) return 0;
    const QPointF center = Circumcenter(p0, p1, p2);
    const double radius = Length(QPointF(p1) - center);
    const QPointF mid = Midpoint(p0, p2), normal = ChordNormal(p0, p2, chord);
    const double side = Dot(QPointF(p1) - mid, normal) < 0 ? -1 : 1;
    // The arc's middle lies on p1's side at one radius from the centre.
    return static_cast<int>(RoundHalfAway(side * radius + Dot(center - mid, normal)));
}

QPoint ViaPoint(QPoint p0, QPoint p2, int bulge)
{
    const double chord = Length(p2 - p0);
    if (chord < 0.1) return p0;
    const QPointF via = Midpoint(p0, p2) + std::clamp(bulge, -MaxArcBulge, MaxArcBulge) * ChordNormal(p0, p2, chord);
    return {static_cast<int>(RoundHalfAway(via.x())), static_cast<int>(RoundHalfAway(via.y()))};
}

TArc ArcFromChord(QPoint p0, QPoint p2, int bulge)
{
    const double chord = Length(p2 - p0);
    const double h = std::abs(bulge);
    if (h < 1 || chord < 0.1) return {};
    const double radius = chord * chord / (8 * h) + h / 2;
    const double towardsCenter = bulge > 0 ? bulge - radius : bulge + radius;
    return MakeArc(Midpoint(p0, p2) + towardsCenter * ChordNormal(p0, p2, chord), radius, p0, p2);
}

std::vector<QPointF> ArcPolyline(QPoint p0, QPoint p1, QPoint p2, double step)
{
    const TArc arc = CircleThrough(p0, p1, p2);
    if (std::abs(ArcBulge(p0, p1, p2)) <= FlatArcBulge || arc.radius > MaxArcRadius || arc.IsZero())
        return FlatCurve(p0, p1, p2);
    // Walk the way that passes p1.
    const double viaAngle = AngleOf(p1, arc.center);
    const int dir = Sweep(arc.startAngle, viaAngle, 1) < Sweep(arc.startAngle, arc.endAngle, 1) ? 1 : -1;
    const double sweep = Sweep(arc.startAngle, arc.endAngle, dir);
    std::vector<QPointF> points{p0};
    if (!(step > 0)) step = ArcDrawStep;
    for (double done = step; done < sweep; done += step) {
        const double a = arc.startAngle + dir * done;
        points.emplace_back(arc.center.x() + arc.radius * std::cos(a), arc.center.y() + arc.radius * std::sin(a));
    }
    points.emplace_back(p2);
    return points;
}

}  // namespace kestrel
