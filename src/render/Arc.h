#pragma once

// Circular arcs through three points drawn onto a canvas (geometry in platform/ArcGeometry.h).

#include <QPoint>

namespace kestrel {

class TCanvas;

// Segments of a full turn of a band; large radii get the finer count.
inline constexpr int BandSegments = 60;
inline constexpr int BandSegmentsLarge = 90;
inline constexpr int BandLargeRadius = 500;

// From p0 through p1 to p2: a move to p0 and lines along the arc (the flat curve for nearly
// straight or huge arcs).
void DrawArc(TCanvas& canvas, QPoint p0, QPoint p1, QPoint p2);
// The closed outline of the arc widened to the canvas pen: half the pen width, at least 1, on
// each side.
void DrawArcBand(TCanvas& canvas, QPoint p0, QPoint p1, QPoint p2);

}  // namespace kestrel
