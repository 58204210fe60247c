#include "render/Stroke.h"

#include <QPolygon>
#include <algorithm>
#include <cmath>

#include "platform/Canvas.h"
#include "platform/Error.h"
#include "platform/Rounding.h"

namespace kestrel {

namespace {

uint8_t BaseType(uint8_t type) { return type & ~ptCloseFigure; }

QPoint RoundPoint(double x, double y)
{
    return {static_cast<int>(RoundHalfAway(x)), static_cast<int>(RoundHalfAway(y))};
}

// Points every MaxSegment units from a towards b while more than MaxSegment is left to b.
void AddSplitPoints(TPathPoints& out, QPoint a, QPoint b)
{
    const double dx = b.x() - a.x(), dy = b.y() - a.y(), length = std::hypot(dx, dy);
    for (int d = TStroke::MaxSegment; length - (d - TStroke::MaxSegment) > TStroke::MaxSegment;
         d += TStroke::MaxSegment)
        out.push_back({RoundPoint(a.x() + dx * d / length, a.y() + dy * d / length), ptLineTo});
}

QPointF BezierAt(QPointF p0, QPointF p1, QPointF p2, QPointF p3, double t)
{
    const double u = 1 - t;
    return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
}

}  // namespace

void TStroke::CheckIndex(int i) const
{
    if (i < 0 || i >= Count()) throw EKestrel(QStringLiteral("パスの点番号 %1 は範囲外です").arg(i));
}

void TStroke::SetCount(int n)
{
    if (n < 0) throw EKestrel(QStringLiteral("パスの点数 %1 は使えません").arg(n));
    points_.resize(static_cast<size_t>(n));
    types_.resize(static_cast<size_t>(n), ptMoveTo);
}

QPoint TStroke::Point(int i) const
{
    CheckIndex(i);
    return points_[static_cast<size_t>(i)];
}

void TStroke::SetPoint(int i, QPoint p)
{
    CheckIndex(i);
    points_[static_cast<size_t>(i)] = p;
}

uint8_t TStroke::Type(int i) const
{
    CheckIndex(i);
    return types_[static_cast<size_t>(i)];
}

void TStroke::AddPoint(int x, int y, uint8_t type)
{
    points_.emplace_back(x, y);
    types_.push_back(type);
}

TPathPoints TStroke::Points() const
{
    TPathPoints out;
    out.reserve(points_.size());
    for (size_t i = 0; i < points_.size(); ++i) out.push_back({points_[i], types_[i]});
    return out;
}

void TStroke::SetPoints(const TPathPoints& points)
{
    Clear();
    for (const TPathPoint& p : points) AddPoint(p.point, p.type);
}

void TStroke::AppendPath(const TCanvas& canvas)
{
    for (const TPathPoint& p : canvas.PathPoints()) AddPoint(p.point, p.type);
}

TRect TStroke::GetBounds() const
{
    if (points_.empty()) return {};
    TRect r{points_[0].x(), points_[0].y(), points_[0].x(), points_[0].y()};
    for (const QPoint& p : points_) {
        r.left = std::min(r.left, p.x());
        r.top = std::min(r.top, p.y());
        r.right = std::max(r.right, p.x());
        r.bottom = std::max(r.bottom, p.y());
    }
    return r;
}

void TStroke::SetRect(const TRect& rect)
{
    TPathPoints points;
    AddRectPoints(points, rect);
    SetPoints(points);
}

void TStroke::SetEllipse(const TRect& rect)
{
    TPathPoints points;
    AddEllipsePoints(points, rect);
    SetPoints(points);
}

void TStroke::SetRoundRect(const TRect& rect, int d)
{
    TPathPoints points;
    AddRoundRectPoints(points, rect, d);
    SetPoints(points);
}

void TStroke::Subdivide()
{
    const TPathPoints source = Points();
    TPathPoints out;
    QPoint figureStart;
    for (size_t i = 0; i < source.size(); ++i) {
        const TPathPoint& p = source[i];
        const uint8_t base = BaseType(p.type);
        if (base == ptMoveTo) figureStart = p.point;
        if (base != ptLineTo || i == 0) {
            out.push_back(p);
            continue;
        }
        AddSplitPoints(out, source[i - 1].point, p.point);
        if (!(p.type & ptCloseFigure)) {
            out.push_back(p);
            continue;
        }
        out.push_back({p.point, ptLineTo});
        AddSplitPoints(out, p.point, figureStart);
        out.back().type |= ptCloseFigure;
    }
    SetPoints(out);
}

void TStroke::Draw(TCanvas& canvas) const
{
    if (points_.empty()) {
        canvas.MoveTo({0, 0});
        canvas.LineTo({0, 0});
        return;
    }
    QPoint figureStart;
    const auto closeToStart = [&] {
        canvas.LineTo(figureStart);
        canvas.CloseFigure();
    };
    for (size_t i = 0; i < points_.size();) {
        const uint8_t base = BaseType(types_[i]);
        if (base == ptMoveTo) {
            figureStart = points_[i];
            canvas.MoveTo(points_[i++]);
        } else if (base == ptLineTo) {
            QPolygon run;
            while (i < points_.size() && types_[i] == ptLineTo) run << points_[i++];
            if (!run.isEmpty()) {
                canvas.PolylineTo(run);
                continue;
            }
            canvas.LineTo(points_[i++]);  // line with the close bit
            closeToStart();
        } else if (base == ptBezierTo && i + 2 < points_.size()) {
            const QPointF p0 = i ? QPointF(points_[i - 1]) : QPointF(figureStart);
            QPolygon flat;
            QPoint lastDevice = canvas.LogToDev(p0.toPoint());
            for (int step = 1; step <= BezierSteps; ++step) {
                const QPointF q = BezierAt(p0, points_[i], points_[i + 1], points_[i + 2], double(step) / BezierSteps);
                const QPoint logical = RoundPoint(q.x(), q.y());
                const QPoint device = canvas.LogToDev(logical);
                if (device == lastDevice && step < BezierSteps) continue;
                lastDevice = device;
                flat << logical;
            }
            canvas.PolylineTo(flat);
            const bool close = types_[i + 2] & ptCloseFigure;
            i += 3;
            if (close) closeToStart();
        } else {
            break;
        }
    }
    canvas.CloseFigure();
}

void TStroke::DrawPath(TCanvas& canvas) const
{
    canvas.BeginPath();
    Draw(canvas);
    canvas.EndPath();
}

}  // namespace kestrel
