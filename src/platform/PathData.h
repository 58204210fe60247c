#pragma once

// Paths as the drawing surface records them: logical points, each with the point type of the
// platform's path API.

#include <QPainterPath>
#include <QPoint>
#include <cstdint>
#include <vector>

#include "platform/Geometry.h"

namespace kestrel {

// A Bezier point comes in threes (two control points and the end point); the close bit on a
// point closes its figure after it.
enum TPathPointType : uint8_t { ptCloseFigure = 1, ptLineTo = 2, ptBezierTo = 4, ptMoveTo = 6 };

struct TPathPoint {
    QPoint point;
    uint8_t type = ptMoveTo;
    friend bool operator==(const TPathPoint&, const TPathPoint&) = default;
};
using TPathPoints = std::vector<TPathPoint>;

// Control offset of a cubic quarter arc, relative to the radius.
inline constexpr double BezierCircleK = 0.5522847;

// Shapes as path points (logical, rounded half away from zero), closed.
// (L,T) (R,T) (R,B) (L,B).
void AddRectPoints(TPathPoints& path, const TRect& rect);
// 13 points from (R, cy), four quarter arcs clockwise on screen through the top.
void AddEllipsePoints(TPathPoints& path, const TRect& rect);
// 21 points from (R, T + r): corners of diameter d, counter-clockwise on screen; every edge is
// two line points (its start, where the corner ended, and its end).
void AddRoundRectPoints(TPathPoints& path, const TRect& rect, int diameter);

// Sets the close bit of the last point (nothing for an empty path).
void CloseLastFigure(TPathPoints& path);
// Start of the figure the last point belongs to ((0, 0) for an empty path).
QPoint FigureStart(const TPathPoints& path);

// Figures are closed where a close bit says so; a Bezier point outside a complete triple ends
// the conversion.
QPainterPath ToPainterPath(const TPathPoints& path, Qt::FillRule rule);
// Curves are flattened; every polygon becomes a closed figure of line points.
TPathPoints FromPainterPathPolygons(const QPainterPath& path);
// The outline (filled by winding) united with a round-joined pen of penWidth along it. Meant for
// one glyph at a time: the union's cost grows much faster than the outline.
TPathPoints Thickened(const TPathPoints& outline, double penWidth);
// The paths one after another.
TPathPoints Joined(const std::vector<TPathPoints>& paths);

}  // namespace kestrel
