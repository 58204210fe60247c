#pragma once

#include <QPoint>
#include <QRect>
#include <algorithm>

namespace kestrel {

// Logical units (0.1 mm) per inch: positions and sizes of documents, papers and faces.
inline constexpr int LogicalUnitsPerInch = 254;

// A rectangle by its edges, right and bottom exclusive (the convention of logical bounds and of
// every hit test). Unlike QRect, width is right - left.
struct TRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static TRect FromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
    QRect ToQRect() const { return QRect(left, top, right - left, bottom - top); }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    QPoint TopLeft() const { return {left, top}; }
    QPoint BottomRight() const { return {right, bottom}; }
    bool IsEmpty() const { return right <= left || bottom <= top; }

    TRect Normalized() const
    {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    }
    TRect Translated(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    TRect Inflated(int d) const { return {left - d, top - d, right + d, bottom + d}; }
    bool Contains(QPoint p) const { return p.x() >= left && p.x() < right && p.y() >= top && p.y() < bottom; }
    TRect Intersected(const TRect& o) const
    {
        TRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
        return r.IsEmpty() ? TRect{} : r;
    }
    bool Intersects(const TRect& o) const { return !Intersected(o).IsEmpty(); }
    // The smallest rectangle holding both (an empty one counts as a point or a line).
    TRect United(const TRect& o) const
    {
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
    }

    friend bool operator==(const TRect&, const TRect&) = default;
};

}  // namespace kestrel
