#include "text/LOText.h"

#include <QPainterPathStroker>
#include <array>
#include <cmath>
#include <numbers>

#include "app/RuntimeFlags.h"
#include "document/CanvasMixing.h"
#include "document/ObjectSite.h"
#include "imaging/CoverageFill.h"
#include "platform/ArcGeometry.h"
#include "platform/Canvas.h"
#include "platform/Clipboard.h"
#include "platform/Cp932.h"
#include "platform/Error.h"
#include "platform/RenderBudget.h"
#include "platform/Rounding.h"

namespace kestrel {

namespace {

constexpr std::array<QPoint, 9> ShadowPresets = {
    QPoint(0, 0), {-7, -7}, {0, -7}, {7, -7}, {-7, 0}, {7, 0}, {-7, 7}, {0, 7}, {7, 7}};
// Distorted text is laid out at least this large so that it stays smooth when bent.
constexpr int DistortionMinPoints = 72;

QPoint RoundedPoint(QPointF p)
{
    return {int(RoundHalfAway(p.x())), int(RoundHalfAway(p.y()))};
}

int NormalisedAngle(int degrees)
{
    return ((degrees % 360) + 360) % 360;
}

TRect BoundingBox(const std::vector<QPointF>& points)
{
    double l = 1e18, t = 1e18, r = -1e18, b = -1e18;
    for (QPointF p : points) {
        l = std::min(l, p.x()), t = std::min(t, p.y());
        r = std::max(r, p.x()), b = std::max(b, p.y());
    }
    return {int(std::floor(l)), int(std::floor(t)), int(std::ceil(r)), int(std::ceil(b))};
}

std::vector<QPointF> TurnedCorners(const TRect& r, QPointF centre, int angle)
{
    const QTransform turn = TurnAbout(centre, angle);
    return {turn.map(QPointF(r.left, r.top)), turn.map(QPointF(r.right, r.top)), turn.map(QPointF(r.right, r.bottom)),
            turn.map(QPointF(r.left, r.bottom))};
}

TRect PathBounds(const TPathPoints& path)
{
    if (path.empty()) return {};
    TRect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (const TPathPoint& p : path) {
        r.left = std::min(r.left, p.point.x()), r.top = std::min(r.top, p.point.y());
        r.right = std::max(r.right, p.point.x() + 1), r.bottom = std::max(r.bottom, p.point.y() + 1);
    }
    return r;
}

TRect Union(const TRect& a, const TRect& b)
{
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

TPathPoints Shifted(TPathPoints path, QPoint offset)
{
    if (offset.isNull()) return path;
    for (TPathPoint& p : path) p.point += offset;
    return path;
}

// Paints the fill where the outline covers the canvas: soft-edged through a coverage mask on
// bitmaps while anti-aliasing is on, else through the outline as a clipping path.
void FillOutline(TCanvas& canvas, const TPathPoints& outline, const TColorSpec& spec, const TRect& over)
{
    if (AntiAliasDistortionText() && FillThroughCoverage(canvas, outline, spec, over)) return;
    TCanvasStateSaver saver(canvas);
    canvas.IntersectClipPath(ToPainterPath(outline, Qt::WindingFill));
    spec.FillRect(canvas, over);
}

}  // namespace

const TEnumInfo& FieldTypeInfo()
{
    static const TEnumInfo info{"TFieldType", {"ftProduct", "ftCreatorJapanese", "ftCreatorEnglish"}};
    return info;
}

const TClassInfo& TLOText::StaticClass()
{
    static const TClassInfo info("TLOText", &TLORectBase::StaticClass(), FactoryOf<TLOText>(), [] {
        using C = TLOText;
        return TPropsOf<C>()
            .Int("Version", &C::Version, &C::SetStoredVersion, NoDefault)
            .Strings("Text", &C::Text, &C::SetText)
            .StoredIf([](const C& c) { return !c.Text().isEmpty(); })
            .Nested("Font", &C::FontObject)
            .Int("Align", &C::Align, &C::SetAlign, 0)
            .Bool("Vertical", &C::Vertical, &C::SetVerticalStored, false)
            .Int("CharSpacing", &C::CharSpacing, &C::SetCharSpacing, 0)
            .Int("LineSpacing", &C::LineSpacing, &C::SetLineSpacing, 0)
            .Int("Angle", &C::Angle, &C::SetAngleStored, NoDefault)
            .Nested("CoonsDistortion", &C::DistortionObject)
            .Int("DistortionRatio", &C::DistortionRatio, &C::SetDistortionRatio, NoDefault)
            .Nested("TextColor", &C::TextColorObject)
            .Bool("Outline", &C::Outline, &C::SetOutline, NoDefault)
            .Nested("OutlineColor", &C::OutlineColorObject)
            .Int("OutLineWidth", &C::OutLineWidth, &C::SetOutLineWidth, NoDefault)
            .Int("Shadow", &C::Shadow, &C::SetShadow, NoDefault)
            .StoredIf([](const C& c) { return c.Shadow() != CustomShadow; })
            .Int("ShadowOffsetX", &C::ShadowOffsetX, &C::SetShadowOffsetX, NoDefault)
            .StoredIf([](const C& c) { return c.Shadow() == CustomShadow; })
            .Int("ShadowOffsetY", &C::ShadowOffsetY, &C::SetShadowOffsetY, NoDefault)
            .StoredIf([](const C& c) { return c.Shadow() == CustomShadow; })
            .Nested("ShadowColor", &C::ShadowColorObject)
            .Bool("AutoSize", &C::AutoSize, &C::SetAutoSize, NoDefault)
            .Int("Bulge", &C::Bulge, &C::SetBulge, NoDefault)
            .Int("FieldNo", &C::FieldNo, &C::SetFieldNo, NoDefault)
            .Enum("FieldType", FieldTypeInfo(), &C::FieldType, &C::SetFieldType, NoDefault)
            .Bool("HanToZen", &C::HanToZen, &C::SetHanToZen, false)
            .Bool("NumToKnj", &C::NumToKnj, &C::SetNumToKnj, false)
            .Bool("MinusExc", &C::MinusExc, &C::SetMinusExc, false)
            .Int("FeedAngle", &C::FeedAngle, &C::SetFeedAngle, 0)
            .Int("DiagonalAlign", &C::DiagonalAlign, &C::SetDiagonalAlign, NoDefault)
            .StoredIf([](const C&) { return false; })
            .Done();
    });
    return info;
}

TLOText::TLOText()
    : distortion_(std::make_unique<TCoonsDistortion>()),
      textColor_(std::make_unique<TColorSpec>()),
      outlineColor_(std::make_unique<TColorSpec>()),
      shadowColor_(std::make_unique<TColorSpec>())
{
    layout_.SetOnChange([this] { LayoutChanged(); });
    for (TColorSpec* spec : {textColor_.get(), outlineColor_.get(), shadowColor_.get()})
        spec->SetOnChange([this] { StyleChanged(); });
}

TLOText::~TLOText() = default;

void TLOText::Repaint()
{
    displayOutline_.reset();
    if (Site()) Site()->InvalidateElement(*this);
}

void TLOText::LayoutChanged()
{
    displayOutline_.reset();
    ApplyAutoSize();
    if (Site()) Site()->UpdateElementBounds(*this);
    Changed();
    Repaint();
}

void TLOText::StyleChanged()
{
    Changed();
    Repaint();
}

void TLOText::SetVertical(bool value)
{
    if (value == Vertical()) return;
    if (!assigning_) {
        // The box turns about its centre so it keeps its place.
        const TRect r = Rect();
        const int cx2 = r.left + r.right, cy2 = r.top + r.bottom;
        const int w = r.Width(), h = r.Height();
        TLORectBase::SetBounds({(cx2 - h) / 2, (cy2 - w) / 2, (cx2 - h) / 2 + h, (cy2 - w) / 2 + w});
    }
    layout_.SetVertical(value);
}

void TLOText::SetAngle(int degrees)
{
    layout_.SetAngle(NormalisedAngle(degrees));
}

void TLOText::SetCoonsDistortion(const TCoonsDistortion& distortion)
{
    if (*distortion_ == distortion) return;
    distortion_->Assign(distortion);
    LayoutChanged();
}

void TLOText::SetDistortionRatio(int percent)
{
    if (percent == distortionRatio_) return;
    distortionRatio_ = percent;
    StyleChanged();
}

void TLOText::SetOutline(bool value)
{
    if (value == outline_) return;
    outline_ = value;
    StyleChanged();
}

void TLOText::SetOutLineWidth(int value)
{
    if (value == outlineWidth_) return;
    outlineWidth_ = value;
    StyleChanged();
}

int TLOText::Shadow() const
{
    for (int i = 0; i < int(ShadowPresets.size()); ++i)
        if (ShadowPresets[i] == QPoint(shadowX_, shadowY_)) return i;
    return CustomShadow;
}

void TLOText::SetShadow(int preset)
{
    if (preset < 0 || preset >= int(ShadowPresets.size())) return;
    layout_.BeginUpdate();
    SetShadowOffsetX(ShadowPresets[preset].x());
    SetShadowOffsetY(ShadowPresets[preset].y());
    layout_.EndUpdate();
}

void TLOText::SetShadowOffsetX(int percent)
{
    if (percent == shadowX_) return;
    shadowX_ = percent;
    LayoutChanged();
}

void TLOText::SetShadowOffsetY(int percent)
{
    if (percent == shadowY_) return;
    shadowY_ = percent;
    LayoutChanged();
}

void TLOText::SetAutoSize(bool value)
{
    if (value == autoSize_) return;
    autoSize_ = value;
    ApplyAutoSize();
    Changed();
}

void TLOText::SetDiagonalAlign(int value)
{
    if (value == 1 || value == 4) SetFeedAngle(45);
    if (value == 2 || value == 3) SetFeedAngle(-45);
}

bool TLOText::IsDistorted() const
{
    return Bulge() == 0 && !distortion_->IsEmpty();
}

QPoint TLOText::ShadowOffset() const
{
    const int h = layout_.LineHeight();
    return {int(RoundHalfAway(h * shadowX_ / 100.0)), int(RoundHalfAway(h * shadowY_ / 100.0))};
}

QPoint TLOText::ShadowDisplacement() const
{
    const QPoint offset = ShadowOffset();
    // The shadow keeps its side of the characters however the text is turned.
    return Angle() == 0 ? offset : RoundedPoint(TurnAbout({0, 0}, Angle()).map(QPointF(offset)));
}

void TLOText::ApplyInformation(TFieldType set, const QStringList& items)
{
    if (fieldNo_ < 1 || set != fieldType_ || fieldNo_ > items.size()) return;
    SetText(items[fieldNo_ - 1].split(u'\n'));
}

void TLOText::ShrinkToFit(QSize area)
{
    if (!autoSize_) return;
    const auto fits = [&] {
        const TRect bounds = GetBounds();
        return bounds.Width() <= area.width() && bounds.Height() <= area.height();
    };
    for (int size = Font().Size(); size > 1 && !fits(); --size) EditFont().SetSize(size - 1);
}

void TLOText::ApplyAutoSize()
{
    if (!autoSize_ || !Site() || Bulge() != 0 || assigning_) return;
    const TRect rect = Rect();
    TRect box = layout_.GetTextBounds(rect, true);
    const int align = Align();
    if (box.Width() < MinAutoSize) {
        box.right = box.left + MinAutoSize;
        if (Vertical() || align == 2)
            box = box.Translated(rect.right - box.right, 0);
        else if (align == 1)
            box = box.Translated((rect.left + rect.right) / 2 - (box.left + box.right) / 2, 0);
    }
    if (box.Height() < MinAutoSize) {
        box.bottom = box.top + MinAutoSize;
        if (Vertical() && align == 2)
            box = box.Translated(0, rect.bottom - box.bottom);
        else if (Vertical() && align == 1)
            box = box.Translated(0, (rect.top + rect.bottom) / 2 - (box.top + box.bottom) / 2);
    }
    if (Angle() != 0 && !(align == 3 && rect.IsEmpty())) {
        // The anchor of the alignment stays where it is on screen.
        auto anchor = [&](const TRect& r) {
            if (!Vertical()) return QPointF(align == 1 ? (r.left + r.right) / 2.0 : align == 2 ? r.right : r.left, r.top);
            return QPointF(r.right, align == 1 ? (r.top + r.bottom) / 2.0 : align == 2 ? r.bottom : r.top);
        };
        auto turned = [&](const TRect& r) {
            const QPointF c = BoxCentre(r);
            return TurnAbout(c, Angle()).map(anchor(r));
        };
        const QPointF shift = turned(rect) - turned(box);
        box = box.Translated(int(RoundHalfAway(shift.x())), int(RoundHalfAway(shift.y())));
    }
    TLORectBase::SetBounds(box);
}

std::pair<QPoint, QPoint> TLOText::Baseline() const
{
    if (baseline_ && baseline_->box == Rect() && baseline_->angle == Angle() && baseline_->vertical == Vertical())
        return {baseline_->start, baseline_->end};
    const auto [start, end] = layout_.Chord(Rect());
    return {RoundedPoint(start), RoundedPoint(end)};
}

void TLOText::FitToBaseline(QPoint start, QPoint end)
{
    // The layout draws along the chord of its box: the box is centred on the baseline, as long
    // as the baseline along the writing direction, and turned with it.
    const QPointF d = end - start;
    const int length = std::max(1, int(RoundHalfAway(std::hypot(d.x(), d.y()))));
    const double direction = std::atan2(d.y(), d.x()) * 180 / std::numbers::pi - (Vertical() ? 90 : 0);
    const TRect r = Rect();
    const int w = Vertical() ? r.Width() : length, h = Vertical() ? length : r.Height();
    const QPointF mid = (QPointF(start) + QPointF(end)) / 2;
    const QPoint topLeft = RoundedPoint(mid - QPointF(w / 2.0, h / 2.0));
    layout_.BeginUpdate();
    SetAutoSize(false);
    SetBounds({topLeft.x(), topLeft.y(), topLeft.x() + w, topLeft.y() + h});
    if (!d.isNull()) SetAngle(int(RoundHalfAway(direction)));
    layout_.EndUpdate();
    baseline_ = TPlacedBaseline{start, end, Rect(), Angle(), Vertical()};
}

QPoint TLOText::StartPoint() const
{
    return Baseline().first;
}

void TLOText::SetStartPoint(QPoint p)
{
    FitToBaseline(p, EndPoint());
}

QPoint TLOText::EndPoint() const
{
    return Baseline().second;
}

void TLOText::SetEndPoint(QPoint p)
{
    FitToBaseline(StartPoint(), p);
}

bool TLOText::Offers(const std::type_info& capability) const
{
    return !IsDistorted() || (capability != typeid(IDOCurve) && capability != typeid(IDOLine));
}

QPoint TLOText::ViaPoint() const
{
    return kestrel::ViaPoint(StartPoint(), EndPoint(), Bulge());
}

void TLOText::SetBulgeFromPoint(QPoint p)
{
    SetBulge(ArcBulge(StartPoint(), p, EndPoint()));
}

void TLOText::SetBounds(const TRect& rect)
{
    TLORectBase::SetBounds(rect);
    displayOutline_.reset();
}

std::vector<TPathPoints> TLOText::DistortedGlyphs() const
{
    // Laid out large and unturned, flattened, bent onto the box, then turned.
    TSimpleText big(layout_);
    big.SetAngle(0);
    const int lineHeight = std::max(1, layout_.LineHeight());
    big.Font().SetSize(std::max(layout_.Font().Size(), DistortionMinPoints));
    const double factor = double(big.LineHeight()) / lineHeight;
    const TRect rect = Rect();
    const TRect bigBox{0, 0, int(RoundHalfAway(rect.Width() * factor)), int(RoundHalfAway(rect.Height() * factor))};
    std::vector<TPathPoints> glyphs = big.GlyphOutlines(bigBox, true);
    for (TPathPoints& glyph : glyphs) glyph = FromPainterPathPolygons(ToPainterPath(glyph, Qt::WindingFill));
    // The whole text's bounds, so that every glyph bends with the same mapping.
    const TRect source = PathBounds(Joined(glyphs));
    for (TPathPoints& glyph : glyphs) glyph = Bent(std::move(glyph), source);
    return glyphs;
}

std::vector<TPathPoints> TLOText::DisplayGlyphs() const
{
    return IsDistorted() ? DistortedGlyphs() : layout_.GlyphOutlines(Rect(), true);
}

TPathPoints TLOText::Bent(TPathPoints points, const TRect& source) const
{
    TCoonsDistortion working;
    working.Assign(*distortion_);
    working.SetRatio(distortionRatio_);
    working.SetSourceRect(source);
    working.SetTargetRect(Rect());
    const QTransform turn = TurnAbout(BoxCentre(Rect()), Angle());
    for (TPathPoint& p : points) p.point = RoundedPoint(turn.map(QPointF(working.TransformPoint(p.point))));
    return points;
}

TPathPoints TLOText::BentFrame() const
{
    // The box's edges in short steps, so that they follow the curved sides.
    constexpr int Steps = 16;
    const TRect r = Rect();
    const QPoint corners[] = {r.TopLeft(), {r.right, r.top}, r.BottomRight(), {r.left, r.bottom}};
    TPathPoints frame;
    for (int side = 0; side < 4; ++side) {
        const QPointF from = corners[side], to = corners[(side + 1) % 4];
        for (int k = 0; k < Steps; ++k)
            frame.push_back({RoundedPoint(from + (to - from) * k / Steps), frame.empty() ? ptMoveTo : ptLineTo});
    }
    CloseLastFigure(frame);
    return Bent(std::move(frame), r);
}

const TPathPoints& TLOText::DisplayOutline()
{
    if (!displayOutline_) displayOutline_ = Joined(DisplayGlyphs());
    return *displayOutline_;
}

std::optional<QPainterPath> TLOText::ArcBandArea() const
{
    const auto band = layout_.ArcBand(Rect());
    if (!band) return std::nullopt;
    QPainterPath arc(band->arc.front());
    for (size_t k = 1; k < band->arc.size(); ++k) arc.lineTo(band->arc[k]);
    QPainterPathStroker pen;
    pen.setWidth(std::max(1.0, band->thickness));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen.createStroke(arc);
}

TRect TLOText::ArcTextBounds() const
{
    const TRect rect = Rect();
    const auto band = layout_.ArcBand(rect);
    if (!band) return rect;
    const TRect arc = BoundingBox(band->arc).Inflated(int(std::ceil(band->thickness / 2)));
    // Characters that run past the ends of the arc still lie within the bounds.
    TPathPoints ink;
    layout_.AppendOutline(ink, rect, true);
    return ink.empty() ? arc : Union(arc, PathBounds(ink));
}

TRect TLOText::GetBounds() const
{
    const TRect rect = Rect();
    const int grow = outline_ ? outlineWidth_ : 0;
    const QPoint shadow = ShadowDisplacement();
    if (Bulge() != 0) {
        const TRect both = ArcTextBounds().Inflated(grow);
        return Union(both, both.Translated(shadow.x(), shadow.y()));
    }
    std::vector<QPointF> corners = TurnedCorners(rect.Inflated(grow), BoxCentre(rect), Angle());
    for (size_t i = 0, n = corners.size(); i < n; ++i) corners.push_back(corners[i] + shadow);
    return BoundingBox(corners);
}

int TLOText::HitTest(QPoint logical) const
{
    if (Bulge() != 0) {
        const auto band = ArcBandArea();
        return band && band->contains(QPointF(logical)) ? 1 : 0;
    }
    const QPointF c = BoxCentre(Rect());
    const QTransform back = TurnAbout(c, -Angle());
    const QPointF p = back.map(QPointF(logical));
    return Rect().Contains(QPoint(int(std::floor(p.x())), int(std::floor(p.y())))) ? 1 : 0;
}

void TLOText::SetSize(int width, int height)
{
    const TRect bounds = GetBounds();
    const TRect r = Rect();
    if (Bulge() != 0 || Angle() != 0) {
        const QSize size =
            ScaleTurnedSize({r.Width(), r.Height()}, {width, height}, {bounds.Width(), bounds.Height()}, Angle());
        SetBounds({r.left, r.top, r.left + size.width(), r.top + size.height()});
        return;
    }
    SetBounds({r.left, r.top, r.right + width - bounds.Width(), r.bottom + height - bounds.Height()});
}

void TLOText::DrawOutline(TCanvas& canvas)
{
    if (Bulge() != 0) {
        if (const auto band = ArcBandArea())
            for (const QPolygonF& polygon : band->toFillPolygons()) canvas.Polyline(polygon.toPolygon());
        return;
    }
    // The laid-out text, and when bent, the shape it is bent into.
    const TRect laidOut = layout_.GetTextBounds(Rect());
    const TRect box = IsDistorted() ? laidOut.Intersected(Rect()) : laidOut;
    QPolygon polygon;
    for (QPointF p : TurnedCorners(box, BoxCentre(Rect()), Angle())) polygon << RoundedPoint(p);
    polygon << polygon.front();
    canvas.Polyline(polygon);
    if (IsDistorted()) canvas.Polyline(ToPainterPath(BentFrame(), Qt::WindingFill).toFillPolygon().toPolygon());
}

TPathPoints TLOText::RingOutline() const
{
    // Half the pen lies inside the glyphs and is covered by the fill. One glyph at a time, as
    // a union over a whole long text takes minutes.
    std::vector<TPathPoints> glyphs = DisplayGlyphs();
    for (TPathPoints& glyph : glyphs) glyph = Thickened(glyph, 2.0 * outlineWidth_);
    return Joined(glyphs);
}

void TLOText::DrawText(TCanvas& canvas, const TColorSpec& fill, const TColorSpec* ring, QPoint offset)
{
    if (!ring && !IsDistorted() && fill.IsPureColor(canvas)) {
        layout_.SetTextColor(fill.Color());
        layout_.Draw(canvas, Rect().Translated(offset.x(), offset.y()));
        return;
    }
    const TRect over = GetBounds().Translated(offset.x(), offset.y());
    if (ring) FillOutline(canvas, Shifted(RingOutline(), offset), *ring, over);
    FillOutline(canvas, Shifted(DisplayOutline(), offset), fill, over);
}

QString TLOText::Problem()
{
    if (!layout_.TextCutShort()) return {};
    return QStringLiteral("テキストが長すぎるため、先頭の %1 文字だけを描きます").arg(TSimpleText::MaxShownCharacters);
}

void TLOText::Paint(TCanvas& canvas)
{
    if (TRenderBudget* budget = canvas.RenderBudget(); budget && layout_.TextCutShort())
        budget->Note(QStringLiteral("テキスト: %1").arg(Problem()));
    const QPoint shadow = ShadowDisplacement();
    if (!shadow.isNull()) DrawText(canvas, *shadowColor_, nullptr, shadow);
    PaintBody(canvas);
}

void TLOText::PaintBody(TCanvas& canvas)
{
    DrawText(canvas, *textColor_, outline_ ? outlineColor_.get() : nullptr, {});
    displayOutline_.reset();
}

bool TLOText::NeedsBlend() const
{
    // Soft edges come from painting itself; a second pass through the object's coverage would
    // only lighten them, so only a blend ratio asks for it.
    return BlendRatio() != 100;
}

QImage TLOText::RenderToBitmap(const TCanvas& reference, const TRect& device)
{
    // Painted on one ground, the soft edges would carry that ground into the blend.
    auto paintedOn = [&](Qt::GlobalColor ground) {
        QImage image(std::max(1, device.Width()), std::max(1, device.Height()), QImage::Format_RGB888);
        image.fill(ground);
        {
            TCanvas canvas(image);
            AlignWith(canvas, reference, device.TopLeft());
            Paint(canvas);
        }
        return image;
    };
    return ColoursFromGrounds(paintedOn(Qt::white), paintedOn(Qt::black));
}

void TLOText::PaintMask(TCanvas& mask)
{
    const QPoint shadow = ShadowDisplacement();
    if (!shadow.isNull()) PaintShadowMask(mask, shadow);
    PaintBodyMask(mask);
}

void TLOText::PaintShadowMask(TCanvas& mask, QPoint displacement)
{
    PaintOutlineCoverage(mask, Shifted(DisplayOutline(), displacement));
}

void TLOText::PaintBodyMask(TCanvas& mask)
{
    PaintOutlineCoverage(mask, outline_ ? RingOutline() : DisplayOutline());
    displayOutline_.reset();
}

void TLOText::ConvertLegacyAlign()
{
    const int align = Align();
    if (align != 4 && align != 5) return;
    const TRect r = Rect();
    const int h = layout_.LineHeight();
    const int s = std::min(r.Width(), r.Height());
    layout_.SetBulge(align == 4 ? (s - h) / 2 : (h - s) / 2);
    layout_.SetAlign(1);
    // Shrunk about the centre, never below one unit.
    const int d = h / 2;
    const int w = std::max(1, r.Width() - 2 * d), hh = std::max(1, r.Height() - 2 * d);
    const int cx2 = r.left + r.right, cy2 = r.top + r.bottom;
    TLORectBase::SetBounds({(cx2 - w) / 2, (cy2 - hh) / 2, (cx2 - w) / 2 + w, (cy2 - hh) / 2 + hh});
}

void TLOText::ConvertOldArcText()
{
    if (storedVersion_ == FormatVersion || Bulge() == 0) return;
    layout_.SetAlign(1);
    layout_.SetCharSpacing(0);
    if (Text().size() > 1) layout_.SetText({Text().front()});
    if (Vertical()) {
        const TRect r = Rect();
        const int cy2 = r.top + r.bottom;
        TLORectBase::SetBounds({r.left, (cy2 - r.Width()) / 2, r.right, (cy2 - r.Width()) / 2 + r.Width()});
        SetAngle(Angle() - 90);
    }
}

void TLOText::Loaded()
{
    TBlendableObject<TLORectBase>::Loaded();
    if (outline_ && outlineWidth_ == 0) outlineWidth_ = 1;
    ConvertLegacyAlign();
    ConvertOldArcText();
    storedVersion_ = FormatVersion;
}

void TLOText::AssignFrom(const TDrawObject& source)
{
    // The published properties arrive one by one: lay out and fit once, at the end.
    assigning_ = true;
    layout_.BeginUpdate();
    TBlendableObject<TLORectBase>::AssignFrom(source);
    layout_.EndUpdate();
    assigning_ = false;
    displayOutline_.reset();
}

void PasteClipboardText(TLOText& text)
{
    QString pasted = ClipboardText();
    pasted.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    for (char32_t code : pasted.toUcs4()) {
        const QString character = QString::fromUcs4(&code, 1);
        if (code != '\n' && !CanEncodeCp932(character))
            throw EKestrel(QStringLiteral("「%1」はラベルに使えない文字なので貼り付けられません").arg(character));
    }
    QStringList lines = pasted.split(QLatin1Char('\n'));
    while (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
    text.SetBounds({100, 100, 700, 100 + text.Layout().LineHeight()});
    text.SetText(lines);
    text.SetAutoSize(true);
}

}  // namespace kestrel
