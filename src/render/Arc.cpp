#include "render/Arc.h"

#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "platform/ArcGeometry.h"
#include "platform/Canvas.h"
#include "platform/Rounding.h"

namespace kestrel {

namespace {

QPoint Rounded(QPointF p)
{
    return {static_cast<int>(RoundHalfAway(p.x())), static_cast<int>(RoundHalfAway(p.y()))};
}

// Unit normal of the polyline at point i (from the neighbouring points).
QPointF NormalAt(const std::vector<QPointF>& line, size_t i)
{
    const QPointF a = line[i ? i - 1 : 0], b = line[std::min(i + 1, line.size() - 1)];
    const QPointF d = b - a;
    const double length = std::hypot(d.x(), d.y());
    return length > 0 ? QPointF(d.y() / length, -d.x() / length) : QPointF();
}

}  // namespace

void DrawArc(TCanvas& canvas, QPoint p0, QPoint p1, QPoint p2)
{
    const std::vector<QPointF> line = ArcPolyline(p0, p1, p2);
    QPolygon rest;
    for (size_t i = 1; i < line.size(); ++i) rest << Rounded(line[i]);
    canvas.MoveTo(p0);
    canvas.PolylineTo(rest);
}

void DrawArcBand(TCanvas& canvas, QPoint p0, QPoint p1, QPoint p2)
{
    const TArc arc = CircleThrough(p0, p1, p2);
    const int segments = arc.radius >= BandLargeRadius ? BandSegmentsLarge : BandSegments;
    const std::vector<QPointF> line = ArcPolyline(p0, p1, p2, 2 * std::numbers::pi / segments);
    const double half = std::max(1, canvas.Pen().width / 2);
    QPolygon outline;
    for (size_t i = 0; i < line.size(); ++i) outline << Rounded(line[i] + half * NormalAt(line, i));
    for (size_t i = line.size(); i-- > 0;) outline << Rounded(line[i] - half * NormalAt(line, i));
    canvas.MoveTo(outline.first());
    canvas.PolylineTo(outline.mid(1) << outline.first());
    canvas.CloseFigure();
}

}  // namespace kestrel
