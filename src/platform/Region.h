#pragma once

// Regions in device pixels, as the platform's region calls make them: a pixel belongs to a
// shape made from (l, t, r, b) when it lies in columns l..r-1 and rows t..b-1 of that shape.

#include <QPainterPath>
#include <QPolygon>
#include <QRegion>

#include "platform/Geometry.h"

namespace kestrel {

enum class TRegionOp { rgnAnd, rgnCopy, rgnDiff, rgnOr, rgnXor };

class TRegion {
public:
    TRegion() = default;
    explicit TRegion(QRegion region) : region_(std::move(region)) {}

    static TRegion Rect(const TRect& device);
    static TRegion Ellipse(const TRect& device);
    // Corners are quarter ellipses of the given width and height.
    static TRegion RoundRect(const TRect& device, int cornerWidth, int cornerHeight);
    static TRegion Polygon(const QPolygon& device, bool winding = false);
    // The pixels whose centres the path covers under its fill rule.
    static TRegion Path(const QPainterPath& device);

    // rgnCopy gives other.
    TRegion Combined(const TRegion& other, TRegionOp op) const;
    TRegion Translated(int dx, int dy) const { return TRegion(region_.translated(dx, dy)); }

    bool IsEmpty() const { return region_.isEmpty(); }
    bool Contains(QPoint device) const { return region_.contains(device); }
    bool Intersects(const TRect& device) const { return region_.intersects(device.ToQRect()); }
    TRect Bounds() const { return TRect::FromQRect(region_.boundingRect()); }
    const QRegion& ToQRegion() const { return region_; }

    friend bool operator==(const TRegion& a, const TRegion& b) { return a.region_ == b.region_; }

private:
    QRegion region_;
};

}  // namespace kestrel
