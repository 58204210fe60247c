#include "imaging/StrokeRaster.h"

#include <gtest/gtest.h>

#include "platform/Geometry.h"
#include "render/Stroke.h"

namespace kestrel {
namespace {

int At(const QImage& map, int x, int y)
{
    return map.constScanLine(y)[x];
}

TEST(StrokeRaster, RectangleStrokeCoversItsEdgesOnlyThroughTheGivenMapping)
{
    QImage map(60, 60, QImage::Format_Grayscale8);
    map.fill(0);
    TStroke stroke;
    stroke.SetRect(TRect{100, 100, 400, 400});
    // Logical tenths of a millimetre onto a map of one pixel per millimetre, offset by 5 pixels.
    RasterizeAntialiased(stroke, map, [](QPoint p) { return p / 10 + QPoint(5, 5); });
    EXPECT_EQ(At(map, 30, 15), 255);  // top edge
    EXPECT_EQ(At(map, 45, 30), 255);  // right edge
    EXPECT_EQ(At(map, 30, 45), 255);  // bottom edge
    EXPECT_EQ(At(map, 15, 30), 255);  // left edge, drawn by closing the figure
    EXPECT_EQ(At(map, 30, 30), 0);
    EXPECT_EQ(At(map, 55, 55), 0);
}

TEST(StrokeRaster, MapOfAnotherDepthIsLeftAlone)
{
    QImage colour(20, 20, QImage::Format_RGB32);
    colour.fill(Qt::white);
    TStroke stroke;
    stroke.SetRect(TRect{0, 0, 100, 100});
    RasterizeAntialiased(stroke, colour, [](QPoint p) { return p / 10; });
    EXPECT_EQ(colour.pixel(5, 0), QColor(Qt::white).rgb());
}

}  // namespace
}  // namespace kestrel
