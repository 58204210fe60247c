#include "objects/LORect.h"

#include <cmath>

#include "document/stream/ValueCodec.h"
#include "platform/Canvas.h"

namespace kestrel {

namespace {
QPoint CentreOf(const TRect& r)
{
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TPathPoints RectPoints(const TRect& r)
{
    TPathPoints points;
    AddRectPoints(points, r);
    return points;
}
}  // namespace

// ---------------------------------------------------------------- TLORect

const TClassInfo& TLORect::StaticClass()
{
    using C = TLORect;
    static const TClassInfo info("TLORect", &TLORectBase::StaticClass(), FactoryOf<C>(), [] {
        return TPropsOf<C>()
            .Int("FrameWidth", &C::FrameWidth, &C::SetFrameWidth, NoDefault)
            .Nested("FrameColor", &C::FrameColorObject)
            .Nested("FillColor", &C::FillColorObject)
            .Bool("FillInside", &C::FillInside, &C::SetFillInside, NoDefault)
            .Int("Angle", &C::Angle, &C::SetAngle, NoDefault)
            .Bool("RoundRect", &C::RoundRect, &C::SetRoundRect, NoDefault)
            .Done();
    });
    return info;
}

TLORect::TLORect()
{
    RepaintOnChange(frameColor_, *this);
    RepaintOnChange(fillColor_, *this);
}

void TLORect::DefineProperties(TFiler& filer)
{
    TCachedAppearance<TBlendableObject<TLORectBase>>::DefineProperties(filer);
    // Older documents said "Round"; it is read, never written.
    filer.DefineProperty("Round", [this](TReader& reader) { SetRoundRect(reader.ReadBoolean()); }, {}, false);
}

void TLORect::SetFrameWidth(int width)
{
    if (width == frameWidth_) return;
    frameWidth_ = width;
    ShapeChanged();
}

void TLORect::SetFillInside(bool value)
{
    if (value == fillInside_) return;
    fillInside_ = value;
    Changed();
    Repaint(*this);
}

void TLORect::SetRoundRect(bool value)
{
    if (value == roundRect_) return;
    roundRect_ = value;
    ShapeChanged();
}

void TLORect::SetAngle(int degrees)
{
    if (degrees == rotator_.Angle()) return;
    rotator_.SetAngle(degrees);
    ShapeChanged();
}

void TLORect::DropCaches()
{
    outline_.reset();
    bounds_.reset();
    frame_.reset();
}

void TLORect::ShapeChanged()
{
    DropCaches();
    Changed();
    if (Site()) Site()->UpdateElementBounds(*this);
}

void TLORect::SetBounds(const TRect& rect)
{
    DropCaches();
    rotator_.SetCentre(CentreOf(rect.Normalized()));
    TLORectBase::SetBounds(rect);
}

void TLORect::SetSize(int width, int height)
{
    QSize size(width - frameWidth_, height - frameWidth_);
    if (rotator_.Angle() % 360 != 0) {
        const TRect bounds = GetBounds();
        size = ScaleTurnedSize({Width(), Height()}, {width, height}, {bounds.Width(), bounds.Height()}, rotator_.Angle());
    }
    SetBounds({Left(), Top(), Left() + size.width(), Top() + size.height()});
}

TPathPoints TLORect::OutlinePoints() const
{
    TPathPoints points;
    if (roundRect_)
        AddRoundRectPoints(points, Rect(), std::min(Width(), Height()) / 3);
    else
        AddRectPoints(points, Rect());
    return Rotated(std::move(points), rotator_);
}

const QPainterPath& TLORect::Outline() const
{
    if (!outline_) outline_ = ShapePath(OutlinePoints());
    return *outline_;
}

TRect TLORect::GetBounds() const
{
    if (!bounds_)
        bounds_ =
            PathBounds(frameWidth_ > 0 ? WidenedPath(Outline(), frameWidth_, TShapePen::spFrame) : Outline());
    return *bounds_;
}

bool TLORect::PaintsFill() const
{
    return fillInside_ && frameWidth_ < Width() && frameWidth_ < Height();
}

int TLORect::PaintedFrameWidth(const TCanvas& canvas) const
{
    if (!Site()) return frameWidth_;
    return std::max(frameWidth_, int(std::ceil(MinFramePixels() * CanvasPixel(canvas))));
}

QPainterPath TLORect::RectFrameArea(int w) const
{
    // The band is w wide on every side; the odd half of an odd width lies outside.
    const int b = w / 2;
    const TRect r = Rect();
    const TRect outer{r.left - b, r.top - b, r.right + w - b, r.bottom + w - b};
    const TRect inner{r.left + w - b, r.top + w - b, r.right - b, r.bottom - b};
    TPathPoints points = Rotated(RectPoints(outer), rotator_);
    // A frame as wide as the rectangle leaves no hole.
    if (!inner.IsEmpty()) {
        const TPathPoints hole = Rotated(RectPoints(inner), rotator_);
        points.insert(points.end(), hole.begin(), hole.end());
    }
    return ToPainterPath(points, Qt::OddEvenFill);
}

QPainterPath TLORect::FrameArea(int width) const
{
    return roundRect_ ? WidenedPath(Outline(), width, TShapePen::spFrame) : RectFrameArea(width);
}

const QPainterPath& TLORect::CachedFrameArea(int width) const
{
    if (!frame_ || frame_->first != width) frame_ = std::pair(width, FrameArea(width));
    return frame_->second;
}

void TLORect::Paint(TCanvas& canvas)
{
    const TRect over = GetBounds();
    if (PaintsFill()) FillThrough(canvas, Outline(), fillColor_, over);
    if (frameWidth_ > 0) FillThrough(canvas, CachedFrameArea(PaintedFrameWidth(canvas)), frameColor_, over);
}

void TLORect::PaintMask(TCanvas& mask)
{
    if (PaintsFill()) PaintCoverage(mask, Outline());
    if (frameWidth_ > 0) PaintCoverage(mask, CachedFrameArea(PaintedFrameWidth(mask)));
}

int TLORect::HitTest(QPoint logical) const
{
    const QPointF p(logical);
    if ((fillInside_ || frameWidth_ == 0) && Outline().contains(p)) return 1;
    if (frameWidth_ == 0) return 0;
    return WidenedPath(Outline(), frameWidth_ + SitePixel(*this), TShapePen::spFrame).contains(p) ? 1 : 0;
}

void TLORect::DrawOutline(TCanvas& canvas)
{
    DrawOutlinePath(canvas, Outline());
}

// ---------------------------------------------------------------- TLOCircle

const TClassInfo& TLOCircle::StaticClass()
{
    static const TClassInfo info("TLOCircle", &TLORect::StaticClass(), FactoryOf<TLOCircle>(), {});
    return info;
}

TPathPoints TLOCircle::OutlinePoints() const
{
    TPathPoints points;
    AddEllipsePoints(points, Rect());
    return Rotated(std::move(points), Rotator());
}

QPainterPath TLOCircle::FrameArea(int width) const
{
    return WidenedPath(Outline(), width, TShapePen::spPlain);
}

}  // namespace kestrel
