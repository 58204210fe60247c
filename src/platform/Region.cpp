#include "platform/Region.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace kestrel {

namespace {

// Pixels whose centres the filled path covers, the rule of every filled shape of the canvas.
QRegion PixelsOf(const QPainterPath& path)
{
    const QRect bounds = path.boundingRect().toAlignedRect();
    if (bounds.isEmpty()) return {};
    QImage mask(bounds.size(), QImage::Format_Grayscale8);
    mask.fill(0);
    {
        QPainter painter(&mask);
        painter.translate(-bounds.topLeft());
        painter.fillPath(path, Qt::white);
    }
    QRegion out;
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* row = mask.constScanLine(y);
        for (int x = 0; x < mask.width();) {
            if (!row[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < mask.width() && row[x]) ++x;
            out += QRect(bounds.left() + start, bounds.top() + y, x - start, 1);
        }
    }
    return out;
}

}  // namespace

TRegion TRegion::Rect(const TRect& device)
{
    return TRegion(QRegion(device.Normalized().ToQRect()));
}

TRegion TRegion::Ellipse(const TRect& device)
{
    QPainterPath path;
    path.addEllipse(QRectF(device.Normalized().ToQRect()));
    return TRegion(PixelsOf(path));
}

TRegion TRegion::RoundRect(const TRect& device, int cornerWidth, int cornerHeight)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(device.Normalized().ToQRect()), std::abs(cornerWidth) / 2.0,
                        std::abs(cornerHeight) / 2.0);
    return TRegion(PixelsOf(path));
}

TRegion TRegion::Polygon(const QPolygon& device, bool winding)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(device));
    path.closeSubpath();
    path.setFillRule(winding ? Qt::WindingFill : Qt::OddEvenFill);
    return TRegion(PixelsOf(path));
}

TRegion TRegion::Path(const QPainterPath& device)
{
    return TRegion(PixelsOf(device));
}

TRegion TRegion::Combined(const TRegion& other, TRegionOp op) const
{
    switch (op) {
    case TRegionOp::rgnAnd: return TRegion(region_.intersected(other.region_));
    case TRegionOp::rgnCopy: return other;
    case TRegionOp::rgnDiff: return TRegion(region_.subtracted(other.region_));
    case TRegionOp::rgnOr: return TRegion(region_.united(other.region_));
    case TRegionOp::rgnXor: return TRegion(region_.xored(other.region_));
    }
    return *this;
}

}  // namespace kestrel
