#pragma once

#include <QImage>
#include <QPoint>
#include <functional>

namespace kestrel {

class TStroke;

// Traces the stroke's path with the anti-aliased line rasteriser into an 8-bit coverage map
// (coverage combined by maximum). toDevice maps the stroke's logical points to the map's pixels,
// as the canvas the map stands for would. The soft edges of outlines are made from this map.
void RasterizeAntialiased(const TStroke& stroke, QImage& coverageMap, const std::function<QPoint(QPoint)>& toDevice);

}  // namespace kestrel
