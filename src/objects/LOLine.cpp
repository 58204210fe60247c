#include "objects/LOLine.h"

#include <cmath>
#include <numbers>

#include "document/Transformer.h"
#include "platform/ArcGeometry.h"
#include "platform/Canvas.h"
#include "platform/Rounding.h"

namespace kestrel {

// ---------------------------------------------------------------- TLOLine

const TClassInfo& TLOLine::StaticClass()
{
    using C = TLOLine;
    static const TClassInfo info("TLOLine", &TLabelObject::StaticClass(), FactoryOf<C>(), [] {
        return TPropsOf<C>()
            .Int("StartX", &C::StartX, &C::SetStartX, NoDefault)
            .Int("StartY", &C::StartY, &C::SetStartY, NoDefault)
            .Int("EndX", &C::EndX, &C::SetEndX, NoDefault)
            .Int("EndY", &C::EndY, &C::SetEndY, NoDefault)
            .Nested("LineColor", &C::LineColorObject)
            .Int("LineWidth", &C::LineWidth, &C::SetLineWidth, NoDefault)
            .NeverStored("Angle")  // follows from the end points
            .Done();
    });
    return info;
}

TLOLine::TLOLine()
{
    RepaintOnChange(lineColor_, *this);
}

void TLOLine::SetStartPoint(QPoint p)
{
    SetEnds(p, end_);
}

void TLOLine::SetEndPoint(QPoint p)
{
    SetEnds(start_, p);
}

void TLOLine::SetEnds(QPoint start, QPoint end)
{
    if (start == start_ && end == end_) return;
    start_ = start;
    end_ = end;
    GeometryChanged();
}

void TLOLine::SetLineWidth(int width)
{
    if (width == lineWidth_) return;
    lineWidth_ = width;
    GeometryChanged();
}

void TLOLine::GeometryChanged()
{
    turnStart_.reset();
    covered_.reset();
    bounds_.reset();
    Changed();
    if (Site()) Site()->UpdateElementBounds(*this);
}

int TLOLine::Angle() const
{
    const QPoint d = end_ - start_;
    if (d.isNull()) return 0;
    return int(RoundHalfAway(std::atan2(double(d.y()), double(d.x())) * 180 / std::numbers::pi));
}

void TLOLine::SetAngle(int degrees)
{
    if (degrees == Angle()) return;
    const TTurnStart from = turnStart_.value_or(TTurnStart{start_, end_, Angle(), RotationCentre()});
    const TRotator rotator(degrees - from.angle, from.centre);
    SetEnds(rotator.TransformPoint(from.start), rotator.TransformPoint(from.end));
    turnStart_ = from;
}

QPoint TLOLine::RotationCentre() const
{
    return {(start_.x() + end_.x() + 1) / 2, (start_.y() + end_.y() + 1) / 2};
}

TRect TLOLine::SourceRect() const
{
    return TRect{start_.x(), start_.y(), end_.x(), end_.y()}.Normalized();
}

void TLOLine::MoveBy(int dx, int dy)
{
    SetEnds(start_ + QPoint(dx, dy), end_ + QPoint(dx, dy));
}

void TLOLine::SetSize(int width, int height)
{
    // The end with the smaller coordinate stays on each axis.
    const auto resize = [this](int a, int b, int size) {
        const int far = std::min(a, b) + size - lineWidth_;
        return a <= b ? std::pair(a, far) : std::pair(far, b);
    };
    const auto [x1, x2] = resize(start_.x(), end_.x(), width);
    const auto [y1, y2] = resize(start_.y(), end_.y(), height);
    SetEnds({x1, y1}, {x2, y2});
}

QPainterPath TLOLine::CentrePath() const
{
    QPainterPath path(start_);
    path.lineTo(end_);
    return path;
}

TShapePen TLOLine::PenKind() const
{
    return TShapePen::spLine;
}

QPainterPath TLOLine::Covered(double minWidth, double extra) const
{
    // Arcs widened with round joins are costly; painting asks again and again for the same.
    const double width = std::max<double>(lineWidth_, minWidth) + extra;
    if (!covered_ || covered_->width != width)
        covered_ = TCoveredArea{width, WidenedPath(CentrePath(), width, PenKind())};
    return covered_->area;
}

TRect TLOLine::GetBounds() const
{
    if (!bounds_) bounds_ = PathBounds(WidenedPath(CentrePath(), std::max(lineWidth_, 1), PenKind()));
    return *bounds_;
}

int TLOLine::HitTest(QPoint logical) const
{
    return Covered(0, SitePixel(*this)).contains(QPointF(logical)) ? 1 : 0;
}

void TLOLine::Paint(TCanvas& canvas)
{
    FillThrough(canvas, Covered(CanvasPixel(canvas)), lineColor_, GetBounds());
}

void TLOLine::PaintMask(TCanvas& mask)
{
    PaintCoverage(mask, Covered(CanvasPixel(mask)));
}

void TLOLine::DrawOutline(TCanvas& canvas)
{
    DrawOutlinePath(canvas, CentrePath());
}

// ---------------------------------------------------------------- TLOCurve

const TClassInfo& TLOCurve::StaticClass()
{
    static const TClassInfo info("TLOCurve", &TLOLine::StaticClass(), FactoryOf<TLOCurve>(), [] {
        return TPropsOf<TLOCurve>().Int("Bulge", &TLOCurve::Bulge, &TLOCurve::SetBulge, NoDefault).Done();
    });
    return info;
}

TLOCurve::TLOCurve() = default;

void TLOCurve::SetBulge(int bulge)
{
    if (bulge == bulge_) return;
    bulge_ = bulge;
    GeometryChanged();
}

QPoint TLOCurve::ViaPoint() const
{
    return kestrel::ViaPoint(StartPoint(), EndPoint(), bulge_);
}

void TLOCurve::SetBulgeFromPoint(QPoint p)
{
    SetBulge(ArcBulge(StartPoint(), p, EndPoint()));
}

void TLOCurve::SetSize(int width, int height)
{
    const TRect bounds = GetBounds();
    const auto resize = [](int a, int b, int size, int boundsSize) {
        const int spread = ScaleRotatedSide(std::abs(b - a), size, boundsSize);
        return a <= b ? std::pair(a, a + spread) : std::pair(b + spread, b);
    };
    const auto [x1, x2] = resize(StartX(), EndX(), width, bounds.Width());
    const auto [y1, y2] = resize(StartY(), EndY(), height, bounds.Height());
    SetEnds({x1, y1}, {x2, y2});
}

QPainterPath TLOCurve::CentrePath() const
{
    const QPoint via = ViaPoint();
    const std::vector<QPointF> points =
        bulge_ <= 0 ? ArcPolyline(EndPoint(), via, StartPoint()) : ArcPolyline(StartPoint(), via, EndPoint());
    QPainterPath path(points.front());
    for (size_t i = 1; i < points.size(); ++i) path.lineTo(points[i]);
    return path;
}

TShapePen TLOCurve::PenKind() const
{
    return TShapePen::spPlain;
}

QPoint TLOCurve::RotationCentre() const
{
    const TRect bounds = GetBounds();
    return {(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
}

}  // namespace kestrel
