#include "imaging/StrokeRaster.h"

#include <vector>

#include "imaging/AALine.h"
#include "render/Stroke.h"

namespace kestrel {

void RasterizeAntialiased(const TStroke& stroke, QImage& coverageMap, const std::function<QPoint(QPoint)>& toDevice)
{
    TAALineAlphaMap line;
    if (!line.Attach(coverageMap)) return;
    std::vector<QPoint> points;
    std::vector<uint8_t> types;
    for (const TPathPoint& p : stroke.Points()) {
        points.push_back(p.point);
        types.push_back(p.type);
    }
    TraceAntialiased(line, points, types, toDevice);
}

}  // namespace kestrel
