#include "platform/PathData.h"

#include <QPainterPathStroker>

#include "platform/Rounding.h"

namespace kestrel {

namespace {

int Round(double v) { return static_cast<int>(RoundHalfAway(v)); }

void Add(TPathPoints& path, int x, int y, uint8_t type) { path.push_back({QPoint(x, y), type}); }

void AddBezier(TPathPoints& path, QPoint c1, QPoint c2, QPoint end)
{
    for (QPoint p : {c1, c2, end}) path.push_back({p, ptBezierTo});
}

}  // namespace

void AddRectPoints(TPathPoints& path, const TRect& r)
{
    Add(path, r.left, r.top, ptMoveTo);
    Add(path, r.right, r.top, ptLineTo);
    Add(path, r.right, r.bottom, ptLineTo);
    Add(path, r.left, r.bottom, ptLineTo | ptCloseFigure);
}

void AddEllipsePoints(TPathPoints& path, const TRect& r)
{
    const int cx = Round((r.left + r.right) / 2.0), cy = Round((r.top + r.bottom) / 2.0);
    const int ax = Round(r.Width() * BezierCircleK / 2), ay = Round(r.Height() * BezierCircleK / 2);
    Add(path, r.right, cy, ptMoveTo);
    AddBezier(path, {r.right, cy - ay}, {cx + ax, r.top}, {cx, r.top});
    AddBezier(path, {cx - ax, r.top}, {r.left, cy - ay}, {r.left, cy});
    AddBezier(path, {r.left, cy + ay}, {cx - ax, r.bottom}, {cx, r.bottom});
    AddBezier(path, {cx + ax, r.bottom}, {r.right, cy + ay}, {r.right, cy});
    CloseLastFigure(path);
}

void AddRoundRectPoints(TPathPoints& path, const TRect& rc, int diameter)
{
    const int r = diameter / 2, b = Round(diameter * BezierCircleK / 2);
    const int L = rc.left, T = rc.top, R = rc.right, B = rc.bottom;
    Add(path, R, T + r, ptMoveTo);
    AddBezier(path, {R, T + r - b}, {R - r + b, T}, {R - r, T});
    Add(path, R - r, T, ptLineTo);
    Add(path, L + r, T, ptLineTo);
    AddBezier(path, {L + r - b, T}, {L, T + r - b}, {L, T + r});
    Add(path, L, T + r, ptLineTo);
    Add(path, L, B - r, ptLineTo);
    AddBezier(path, {L, B - r + b}, {L + r - b, B}, {L + r, B});
    Add(path, L + r, B, ptLineTo);
    Add(path, R - r, B, ptLineTo);
    AddBezier(path, {R - r + b, B}, {R, B - r + b}, {R, B - r});
    Add(path, R, B - r, ptLineTo);
    Add(path, R, T + r, ptLineTo | ptCloseFigure);
}

void CloseLastFigure(TPathPoints& path)
{
    if (!path.empty()) path.back().type |= ptCloseFigure;
}

QPoint FigureStart(const TPathPoints& path)
{
    for (auto it = path.rbegin(); it != path.rend(); ++it)
        if ((it->type & ~ptCloseFigure) == ptMoveTo) return it->point;
    return path.empty() ? QPoint() : path.front().point;
}

QPainterPath ToPainterPath(const TPathPoints& path, Qt::FillRule rule)
{
    QPainterPath out;
    out.setFillRule(rule);
    for (size_t i = 0; i < path.size(); ++i) {
        const uint8_t type = path[i].type & ~ptCloseFigure;
        if (type == ptMoveTo) {
            out.moveTo(path[i].point);
        } else if (type == ptLineTo) {
            out.lineTo(path[i].point);
        } else if (type == ptBezierTo && i + 2 < path.size() && (path[i + 1].type & ~ptCloseFigure) == ptBezierTo &&
                   (path[i + 2].type & ~ptCloseFigure) == ptBezierTo) {
            out.cubicTo(path[i].point, path[i + 1].point, path[i + 2].point);
            i += 2;
        } else {
            break;
        }
        if (path[i].type & ptCloseFigure) out.closeSubpath();
    }
    return out;
}

TPathPoints FromPainterPathPolygons(const QPainterPath& path)
{
    TPathPoints out;
    for (const QPolygonF& polygon : path.toSubpathPolygons()) {
        if (polygon.size() < 2) continue;
        qsizetype n = polygon.size();
        if (polygon.isClosed()) --n;  // the closing point repeats the start
        for (qsizetype i = 0; i < n; ++i)
            out.push_back({QPoint(Round(polygon[i].x()), Round(polygon[i].y())), i == 0 ? ptMoveTo : ptLineTo});
        CloseLastFigure(out);
    }
    return out;
}

TPathPoints Thickened(const TPathPoints& outline, double penWidth)
{
    const QPainterPath path = ToPainterPath(outline, Qt::WindingFill);
    QPainterPathStroker stroker;
    stroker.setWidth(penWidth);
    stroker.setJoinStyle(Qt::RoundJoin);
    return FromPainterPathPolygons(stroker.createStroke(path).united(path));
}

TPathPoints Joined(const std::vector<TPathPoints>& paths)
{
    TPathPoints joined;
    for (const TPathPoints& path : paths) joined.insert(joined.end(), path.begin(), path.end());
    return joined;
}

}  // namespace kestrel
