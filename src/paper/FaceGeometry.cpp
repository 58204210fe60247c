#include "paper/FaceGeometry.h"

#include <algorithm>
#include <cmath>

#include "platform/Rounding.h"
#include "platform/ArcGeometry.h"

namespace kestrel {

namespace {

int Round(double v) { return static_cast<int>(RoundHalfEven(v)); }

// The arc drawn into the polygon with its end points exactly as given.
void AppendArc(QPolygon& polygon, QPoint p0, QPoint via, QPoint p2)
{
    const auto points = ArcPolyline(p0, via, p2);
    polygon << p0;
    for (size_t i = 1; i + 1 < points.size(); ++i) polygon << QPoint(Round(points[i].x()), Round(points[i].y()));
    polygon << p2;
}

QRegion EllipseRegion(const TSheetRect& r) { return QRegion(r.ToQRect(), QRegion::Ellipse); }

// Rounded rectangle whose corner ellipses are d wide and d high.
QRegion RoundRectRegion(const TSheetRect& r, int d)
{
    d = std::clamp(d, 0, std::min(r.Width(), r.Height()));
    const int h = d / 2;
    QRegion region = QRegion(QRect(r.left + h, r.top, r.Width() - 2 * h, r.Height()))
                         .united(QRect(r.left, r.top + h, r.Width(), r.Height() - 2 * h));
    if (d == 0) return region;
    for (const QPoint corner : {QPoint(r.left, r.top), QPoint(r.right - d, r.top), QPoint(r.left, r.bottom - d),
                                QPoint(r.right - d, r.bottom - d)})
        region = region.united(QRegion(QRect(corner, QSize(d, d)), QRegion::Ellipse));
    return region;
}

QRegion PolygonRegion(const QPolygon& polygon) { return QRegion(polygon, Qt::WindingFill); }

QPainterPath PolygonPath(const QPolygon& polygon)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(polygon));
    path.closeSubpath();
    return path;
}

}  // namespace

TSheetRect TurnLandscape(const TSheetRect& p, int portraitWidth)
{
    return {p.top, portraitWidth - p.right, p.bottom, portraitWidth - p.left};
}

TSheetRect TFaceGeometry::HoleRect() const
{
    const int left = rect.left + (rect.Width() - cutCenterWidth) / 2;
    const int top = rect.top + (rect.Height() - cutCenterHeight) / 2;
    return {left, top, left + cutCenterWidth, top + cutCenterHeight};
}

QPolygon BarrelOutline(const TSheetRect& r)
{
    const double a = r.Width(), b = r.Height();
    const double f = std::sqrt(std::abs((b / 2) * (b / 2) - (a / 2) * (a / 2)));
    QPolygon polygon;
    if (a > b) {
        const double cx = (r.left + r.right) / 2.0;
        const int cy = Round((r.top + r.bottom) / 2.0);
        const int x1 = Round(cx - f), x2 = Round(cx + f);
        AppendArc(polygon, {x1, r.bottom}, {r.left, cy}, {x1, r.top});
        AppendArc(polygon, {x2, r.top}, {r.right, cy}, {x2, r.bottom});
    } else {
        const int cx = Round((r.left + r.right) / 2.0);
        const double cy = (r.top + r.bottom) / 2.0;
        const int y1 = Round(cy - f), y2 = Round(cy + f);
        AppendArc(polygon, {r.left, y1}, {cx, r.top}, {r.right, y1});
        AppendArc(polygon, {r.right, y2}, {cx, r.bottom}, {r.left, y2});
    }
    return polygon;
}

QPainterPath OutlinePath(const TFaceGeometry& face)
{
    const TSheetRect outer = face.OuterRect();
    QPainterPath path;
    switch (face.shape) {
    case fsDoughnut:
    case fsEllipse:
        path.addEllipse(outer.ToQRect());
        return path;
    case fsRoundRect:
    case fsRectCD:
        path.addRoundedRect(outer.ToQRect(), face.roundSize / 2.0, face.roundSize / 2.0);
        return path;
    case fsBarrelCD:
        return PolygonPath(BarrelOutline(outer));
    case fsRect:
        break;
    }
    path.addRect(outer.ToQRect());
    return path;
}

QPainterPath PrintedHolePath(const TFaceGeometry& face)
{
    QPainterPath path;
    const TSheetRect hole = face.PrintedHoleRect();
    if (!HasHole(face.shape) || hole.Width() <= 0 || hole.Height() <= 0) return path;
    if (face.centerShape == csBarrel) return PolygonPath(BarrelOutline(hole));
    path.addEllipse(hole.ToQRect());
    return path;
}

QRegion ShapeRegion(TFaceShape shape, const TSheetRect& r, int roundSize)
{
    if (r.Width() <= 0 || r.Height() <= 0) return {};
    switch (shape) {
    case fsDoughnut:
    case fsEllipse: return EllipseRegion(r);
    case fsRoundRect:
    case fsRectCD: return RoundRectRegion(r, roundSize);
    case fsBarrelCD: return PolygonRegion(BarrelOutline(r));
    case fsRect: break;
    }
    return QRegion(r.ToQRect());
}

QRegion HoleRegion(TCenterShape shape, const TSheetRect& hole)
{
    // A barrel of a negative size would still enclose an area.
    if (hole.Width() <= 0 || hole.Height() <= 0) return {};
    return shape == csBarrel ? PolygonRegion(BarrelOutline(hole)) : EllipseRegion(hole);
}

QRegion FaceRegion(const TFaceGeometry& face, bool withHole)
{
    const QRegion region = ShapeRegion(face.shape, face.OuterRect(), face.roundSize);
    if (!withHole || !HasHole(face.shape)) return region;
    return region.subtracted(HoleRegion(face.centerShape, face.PrintedHoleRect()));
}

}  // namespace kestrel
