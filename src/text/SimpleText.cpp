#include "text/SimpleText.h"

#include <QGlyphRun>
#include <QPainter>
#include <cmath>
#include <numbers>

#include "platform/Canvas.h"
#include "platform/ArcGeometry.h"
#include "platform/FontServices.h"
#include "platform/Rounding.h"
#include "text/CharConvert.h"

namespace kestrel {

namespace {

// Slant of an italic drawn from an upright face.
constexpr double SyntheticSlant = 0.2;
// Ring width, relative to the em, that thickens a face without a bold design.
constexpr double SyntheticBoldWidth = 0.04;
constexpr int TabStop = 8;
// Turned points that are whole units but for rounding noise floor to those units.
constexpr double FloorTolerance = 1e-6;

double Radians(double degrees)
{
    return degrees * std::numbers::pi / 180;
}

double Degrees(double radians)
{
    return radians * 180 / std::numbers::pi;
}

int FloorDiv(int64_t a, int64_t b)
{
    return int(a / b - ((a % b != 0) && ((a < 0) != (b < 0))));
}

double PositiveAngle(double radians)
{
    const double full = 2 * std::numbers::pi;
    const double r = std::fmod(radians, full);
    return r < 0 ? r + full : r;
}


double AngleOf(QPointF v)
{
    return std::atan2(v.y(), v.x());
}

// Points along a circle from an angle over a signed sweep, no further apart than the arc steps
// of drawn curves.
std::vector<QPointF> ArcPoints(QPointF centre, double radius, double from, double sweep)
{
    const int steps = std::max(1, int(std::ceil(std::abs(sweep) / ArcDrawStep)));
    std::vector<QPointF> points;
    points.reserve(steps + 1);
    for (int k = 0; k <= steps; ++k) {
        const double a = from + sweep * k / steps;
        points.push_back(centre + QPointF(std::cos(a), std::sin(a)) * radius);
    }
    return points;
}

// The ring segment between two radii as one closed figure.
void AddArcBand(TPathPoints& out, QPointF centre, double nearRadius, double farRadius, double from, double sweep)
{
    std::vector<QPointF> outline = ArcPoints(centre, farRadius, from, sweep);
    const std::vector<QPointF> back = ArcPoints(centre, std::max(0.0, nearRadius), from + sweep, -sweep);
    outline.insert(outline.end(), back.begin(), back.end());
    for (size_t k = 0; k < outline.size(); ++k)
        out.push_back({QPoint(int(RoundHalfAway(outline[k].x())), int(RoundHalfAway(outline[k].y()))), k == 0 ? ptMoveTo : ptLineTo});
    CloseLastFigure(out);
}

void AddBox(TPathPoints& out, QPointF a, QPointF b, QPointF c, QPointF d)
{
    for (QPointF p : {a, b, c, d})
        out.push_back({QPoint(int(RoundHalfAway(p.x())), int(RoundHalfAway(p.y()))), p == a ? ptMoveTo : ptLineTo});
    CloseLastFigure(out);
}

}  // namespace

QTransform TurnAbout(QPointF centre, double degrees)
{
    return QTransform::fromTranslate(-centre.x(), -centre.y()) * QTransform().rotate(degrees) *
           QTransform::fromTranslate(centre.x(), centre.y());
}

QPointF BoxCentre(const TRect& box)
{
    return {(box.left + box.right) / 2.0, (box.top + box.bottom) / 2.0};
}

TSimpleText::TSimpleText()
{
    font_.SetSize(24);
    font_.SetOnChange([this] { Changed(); });
}

TSimpleText::TSimpleText(const TSimpleText& other)
    : text_(other.text_), align_(other.align_), vertical_(other.vertical_), charSpacing_(other.charSpacing_),
      lineSpacing_(other.lineSpacing_), bulge_(other.bulge_), angle_(other.angle_), hanToZen_(other.hanToZen_),
      numToKnj_(other.numToKnj_), minusExc_(other.minusExc_), feedAngle_(other.feedAngle_),
      textColor_(other.textColor_)
{
    font_.Assign(other.font_);
    font_.SetOnChange([this] { Changed(); });
}

void TSimpleText::Changed()
{
    display_.reset();
    measured_.reset();
    if (updates_ > 0) {
        changed_ = true;
        return;
    }
    if (onChange_) onChange_();
}

void TSimpleText::EndUpdate()
{
    if (updates_ > 0 && --updates_ == 0 && changed_) {
        changed_ = false;
        if (onChange_) onChange_();
    }
}

template <typename T>
void TSimpleText::Change(T& field, T value)
{
    if (field == value) return;
    field = value;
    Changed();
}

void TSimpleText::SetText(const QStringList& lines) { Change(text_, lines); }
void TSimpleText::SetAlign(int align) { Change(align_, align); }
void TSimpleText::SetVertical(bool value) { Change(vertical_, value); }
void TSimpleText::SetCharSpacing(int value) { Change(charSpacing_, value); }
void TSimpleText::SetLineSpacing(int value) { Change(lineSpacing_, value); }
void TSimpleText::SetBulge(int value) { Change(bulge_, value); }
void TSimpleText::SetAngle(int degrees) { Change(angle_, degrees); }
void TSimpleText::SetHanToZen(bool value) { Change(hanToZen_, value); }
void TSimpleText::SetNumToKnj(bool value) { Change(numToKnj_, value); }
void TSimpleText::SetMinusExc(bool value) { Change(minusExc_, value); }
void TSimpleText::SetFeedAngle(int degrees) { Change(feedAngle_, degrees); }

const QStringList& TSimpleText::DisplayLines() const
{
    if (display_) return *display_;
    QStringList lines;
    qsizetype room = MaxShownCharacters;
    for (const QString& line : text_.isEmpty() ? QStringList{EmptyTextPlaceholder} : text_) {
        if (room <= 0) break;
        lines << line.left(room);
        room -= lines.last().size();
    }
    for (QString& line : lines) {
        if (hanToZen_) line = ToFullWidth(line, minusExc_ ? QChar(u'-') : QChar());
        if (numToKnj_) line = DigitsToKanji(line);
    }
    display_ = std::move(lines);
    return *display_;
}

bool TSimpleText::TextCutShort() const
{
    qsizetype characters = 0;
    for (const QString& line : text_) characters += line.size();
    return characters > MaxShownCharacters;
}

const TSimpleText::TMeasured& TSimpleText::Measured() const
{
    if (measured_) return *measured_;
    TMeasured m;
    m.face = font_.Face();
    const double em = font_.EmHeight();
    if (m.face) {
        const TFaceMetrics& fm = m.face->Metrics();
        m.scale = em / fm.unitsPerEm;
        m.ascent = int(RoundHalfAway(fm.ascent * m.scale));
        m.lineHeight = int(RoundHalfAway((fm.ascent + fm.descent) * m.scale));
    } else {
        m.lineHeight = int(RoundHalfAway(em));
        m.ascent = m.lineHeight;
    }
    for (const QString& line : DisplayLines()) m.lines.push_back(MeasureLine(m, line));
    measured_ = std::move(m);
    return *measured_;
}

std::vector<TCharMetrics> TSimpleText::MeasureLine(const TMeasured& m, const QString& line) const
{
    auto metricsOf = [&](QChar ch) {
        TCharMetrics cm;
        if (!m.face) return cm;
        cm.upright = vertical_ && !IsSingleByteChar(ch);
        cm.glyph = cm.upright ? m.face->VerticalGlyph(ch.unicode()) : m.face->Glyph(ch.unicode());
        const TGlyphBox box = m.face->Box(cm.glyph);
        cm.a = int(RoundHalfAway(box.xMin * m.scale));
        cm.b = int(RoundHalfAway((box.xMax - box.xMin) * m.scale));
        cm.c = int(RoundHalfAway(box.advance * m.scale)) - cm.a - cm.b;
        return cm;
    };
    std::vector<TCharMetrics> chars;
    chars.reserve(line.size());
    for (qsizetype k = 0; k < line.size(); ++k) {
        if (line[k] != u'\t') {
            chars.push_back(metricsOf(line[k]));
            continue;
        }
        // Tab stops every eight character positions, measured in widths of "0".
        const TCharMetrics zero = metricsOf(u'0');
        TCharMetrics tab;
        tab.b = (zero.a + zero.b + zero.c) * (TabStop - int(k % TabStop));
        chars.push_back(tab);
    }
    return chars;
}

int TSimpleText::LineHeight() const
{
    return Measured().lineHeight;
}

TCharLayout TSimpleText::LayoutLine(const std::vector<TCharMetrics>& chars, int extent, int align) const
{
    return LayoutCharacters(chars, extent, align, charSpacing_);
}

TCharLayout LayoutCharacters(const std::vector<TCharMetrics>& chars, int extent, int align, int charSpacing)
{
    TCharLayout layout;
    if (chars.empty()) return layout;
    layout.empty = false;
    const int spacing = align == 3 ? 0 : charSpacing;
    int pen = 0;
    int inkLeft = INT_MAX;
    int inkRight = INT_MIN;
    for (const TCharMetrics& c : chars) {
        layout.positions.push_back(pen);
        pen += c.a;
        inkLeft = std::min(inkLeft, pen);
        inkRight = std::max(inkRight, pen + c.b);
        pen += c.b + c.c + spacing;
    }
    if (align == 3) {
        // The slack is spread over the gaps; a single character gets none.
        const int n = int(chars.size());
        const int64_t slack = int64_t(extent) - (inkRight - inkLeft);
        pen = -inkLeft;
        int given = 0;
        for (int k = 0; k < n; ++k) {
            layout.positions[k] = pen;
            pen += chars[k].a + chars[k].b + chars[k].c;
            if (n > 1) {
                const int total = FloorDiv(slack * (k + 1), n - 1);
                pen += total - given;
                given = total;
            }
        }
        layout.start = 0;
        layout.end = extent;
        return layout;
    }
    const int shift = align == 0 ? -inkLeft : align == 2 ? extent - inkRight : FloorDiv(int64_t(extent) - inkRight - inkLeft, 2);
    for (int& p : layout.positions) p += shift;
    layout.start = inkLeft + shift;
    layout.end = inkRight + shift;
    return layout;
}

int TSimpleText::FeedShift(int line, int lineCount) const
{
    // Centred and justified lines stay where their alignment puts them.
    if (feedAngle_ == 0 || (align_ != 0 && align_ != 2)) return 0;
    const double c = std::sin(Radians(-feedAngle_));
    const double pitch = LinePitch();
    const double c0 = (align_ == 0) == (c >= 0) ? 0 : -c * pitch * (lineCount - 1);
    return int(RoundHalfAway(c * pitch * line + c0));
}

TRect TSimpleText::GetTextBounds(const TRect& box, bool forAutoSize) const
{
    const TMeasured& m = Measured();
    const int n = int(m.lines.size());
    const int thickness = n * LinePitch() - lineSpacing_;
    const int extent = vertical_ ? box.Height() : box.Width();
    const int align = forAutoSize && align_ == 3 ? 0 : align_;
    int first = INT_MAX;
    int last = INT_MIN;
    for (int i = 0; i < n; ++i) {
        const TCharLayout layout = LayoutLine(m.lines[i], extent, align);
        if (layout.empty) continue;
        const int shift = FeedShift(i, n);
        first = std::min(first, layout.start + shift);
        last = std::max(last, layout.end + shift);
    }
    if (vertical_) {
        const int top = first == INT_MAX ? box.top : box.top + first;
        const int bottom = first == INT_MAX ? box.bottom : box.top + last;
        return {box.right - thickness, top, box.right, bottom};
    }
    const int left = first == INT_MAX ? box.left : box.left + first;
    const int right = first == INT_MAX ? box.right : box.left + last;
    return {left, box.top, right, box.top + thickness};
}

std::vector<TSimpleText::TBar> TSimpleText::Bars(const TMeasured& m) const
{
    std::vector<TBar> bars;
    const TFaceMetrics* fm = m.face ? &m.face->Metrics() : nullptr;
    const bool outline = fm && fm->hasOutlineMetrics;
    auto scaled = [&](int units) { return int(RoundHalfAway(units * m.scale)); };
    if (font_.HasStyle(fsUnderline))
        bars.push_back(outline ? TBar{m.ascent - scaled(fm->underlinePosition), std::max(1, scaled(fm->underlineThickness))}
                               : TBar{m.ascent + (fm ? scaled(fm->externalLeading) : 0), 1});
    if (font_.HasStyle(fsStrikeOut))
        bars.push_back(outline ? TBar{m.ascent - scaled(fm->strikeoutPosition), std::max(1, scaled(fm->strikeoutThickness))}
                               : TBar{m.ascent * 3 / 4 + (fm ? scaled(fm->externalLeading) : 0), 1});
    return bars;
}

void TSimpleText::AddDecorations(const TMeasured& m, QPointF lineOrigin, int length, TPathPoints& out) const
{
    const double len = length - 1;
    for (const TBar& bar : Bars(m)) {
        if (vertical_) {
            // lineOrigin is the column's right edge at the ink start.
            const double x1 = lineOrigin.x() - bar.top, x0 = x1 - bar.thickness;
            AddBox(out, {x0, lineOrigin.y()}, {x1, lineOrigin.y()}, {x1, lineOrigin.y() + len}, {x0, lineOrigin.y() + len});
        } else {
            const double y0 = lineOrigin.y() + bar.top, y1 = y0 + bar.thickness;
            AddBox(out, {lineOrigin.x(), y0}, {lineOrigin.x() + len, y0}, {lineOrigin.x() + len, y1}, {lineOrigin.x(), y1});
        }
    }
}

void TSimpleText::PlaceStraight(const TRect& box, std::vector<TGlyphPlacement>& out, TPathPoints* decorations) const
{
    const TMeasured& m = Measured();
    const int n = int(m.lines.size());
    const int pitch = LinePitch();
    const int h = m.lineHeight;
    const int extent = vertical_ ? box.Height() : box.Width();
    const bool turned = angle_ % 360 != 0;
    const QTransform turn = TurnAbout(BoxCentre(box), angle_);
    const QTransform glyphTurn = QTransform().rotate(angle_);
    const QTransform lineTurn = QTransform().rotate(vertical_ ? angle_ + 90 : angle_);
    for (int i = 0; i < n; ++i) {
        const auto& chars = m.lines[i];
        const TCharLayout layout = LayoutLine(chars, extent, align_);
        const int shift = FeedShift(i, n);
        const int lineStart = layout.start + shift, lineLength = layout.end - layout.start;
        const int columnRight = box.right - i * pitch;
        const QPointF lineCentre = vertical_ ? QPointF(columnRight - h / 2.0, box.top + lineStart + lineLength / 2.0)
                                             : QPointF(box.left + lineStart + lineLength / 2.0, box.top + i * pitch + h / 2.0);
        for (size_t k = 0; k < chars.size(); ++k) {
            const TCharMetrics& c = chars[k];
            if (c.glyph == 0) continue;
            const int pos = layout.positions[k] + shift;
            // The character's reference point (top left of its cell; in vertical writing the
            // column's right edge at its top) and its glyph origin relative to that point.
            const QPointF reference = vertical_ ? QPointF(columnRight, box.top + pos) : QPointF(box.left + pos, box.top + i * pitch);
            QPointF cell(0, m.ascent);
            double angle = 0;
            if (vertical_ && c.upright) cell = QPointF(-h + (h - (c.a + c.b + c.c)) / 2.0, m.ascent);
            if (vertical_ && !c.upright) {
                cell = QPointF(-m.ascent, 0);
                angle = 90;
            }
            if (!turned) {
                out.push_back({c.glyph, reference + cell, angle});
                continue;
            }
            // Turned: from the turned centre of the line, floored to whole units.
            const double along = (pos - lineStart) - lineLength / 2.0;
            const QPointF point = turn.map(lineCentre) + lineTurn.map(QPointF(along, -h / 2.0));
            const QPointF floored(std::floor(point.x() + FloorTolerance), std::floor(point.y() + FloorTolerance));
            out.push_back({c.glyph, floored + glyphTurn.map(cell), angle + angle_});
        }
        if (decorations && !layout.empty) {
            const QPointF origin = vertical_ ? QPointF(columnRight, box.top + lineStart) : QPointF(box.left + lineStart, box.top + i * pitch);
            AddDecorations(m, origin, lineLength, *decorations);
        }
    }
}

std::pair<QPointF, QPointF> TSimpleText::Chord(const TRect& box) const
{
    const QPointF centre = BoxCentre(box);
    const QPointF p1 = vertical_ ? QPointF(centre.x(), box.top) : QPointF(box.left, centre.y());
    const QPointF p2 = vertical_ ? QPointF(centre.x(), box.bottom) : QPointF(box.right, centre.y());
    const QTransform turn = TurnAbout(centre, angle_);
    return {turn.map(p1), turn.map(p2)};
}

double TSimpleText::ArcSpan(const TArc& arc) const
{
    const double a1 = AngleOf(arc.start - arc.centre), a2 = AngleOf(arc.end - arc.centre);
    return PositiveAngle(bulge_ > 0 ? a2 - a1 : a1 - a2);
}

std::optional<TSimpleText::TArc> TSimpleText::ArcOf(const TRect& box) const
{
    if (bulge_ == 0) return std::nullopt;
    const auto [p1, p2] = Chord(box);
    const QPointF d = p2 - p1;
    const double chord = std::hypot(d.x(), d.y());
    if (chord == 0) return std::nullopt;
    const QPointF normal(d.y() / chord, -d.x() / chord);
    const double b = bulge_;
    const double radius = chord * chord / (8 * std::abs(b)) + std::abs(b) / 2;
    const QPointF mid = (p1 + p2) / 2;
    const double sign = b > 0 ? 1 : -1;
    return TArc{mid + normal * (b - sign * radius), radius, p1, p2};
}

void TSimpleText::PlaceOnArc(const TRect& box, std::vector<TGlyphPlacement>& out, TPathPoints* decorations) const
{
    const auto arc = ArcOf(box);
    if (!arc) return;
    const TMeasured& m = Measured();
    const double sign = bulge_ > 0 ? 1 : -1;  // positive bulges read clockwise
    const double a1 = AngleOf(arc->start - arc->centre);
    const double span = ArcSpan(*arc);
    const int h = m.lineHeight;
    const std::vector<TBar> bars = decorations ? Bars(m) : std::vector<TBar>{};
    for (size_t i = 0; i < m.lines.size(); ++i) {
        const auto& chars = m.lines[i];
        const double outer = arc->radius + h / 2.0 - double(i) * LinePitch();
        const double inner = outer - h;
        // A line whose inner radius reaches the centre would come out mirrored.
        if (inner <= 0 || chars.empty()) continue;
        const TCharLayout layout = LayoutLine(chars, 0, 0);
        const int length = layout.end - layout.start;
        const double angularLength = length / inner;
        const int n = int(chars.size());
        double start = a1;
        if (align_ == 1) start += sign * (span - angularLength) / 2;
        if (align_ == 2) start += sign * (span - angularLength);
        const double gap = align_ == 3 && n > 1 ? (span - angularLength) / (n - 1) : 0;
        const double mid = outer - h / 2.0;
        for (int j = 0; j < n; ++j) {
            const TCharMetrics& c = chars[j];
            if (c.glyph == 0) continue;
            const double centreDistance = layout.positions[j] + c.a + c.b / 2.0 - layout.start;
            const double theta = start + sign * (j * gap + centreDistance / inner);
            const QPointF centre = arc->centre + QPointF(std::cos(theta), std::sin(theta)) * mid;
            double turn = Degrees(theta) + sign * 90;
            if (c.upright) turn -= 90;
            const QPointF offset = QTransform().rotate(turn).map(QPointF(-(c.a + c.b + c.c) / 2.0, -h / 2.0 + m.ascent));
            out.push_back({c.glyph, centre + offset, turn});
        }
        // Bars follow the line's ink along its own arc; the characters' tops face outward on
        // positive bulges and inward on negative ones.
        const double sweep = sign * ((n - 1) * gap + (length - 1) / inner);
        for (const TBar& bar : bars) {
            const double near = sign > 0 ? mid + h / 2.0 - bar.top - bar.thickness : mid - h / 2.0 + bar.top;
            AddArcBand(*decorations, arc->centre, near, near + bar.thickness, start, sweep);
        }
    }
}

std::optional<TSimpleText::TBand> TSimpleText::ArcBand(const TRect& box) const
{
    const auto arc = ArcOf(box);
    if (!arc) return std::nullopt;
    const int n = int(Measured().lines.size());
    const double thickness = n * LinePitch() - lineSpacing_;
    const double radius = arc->radius + LineHeight() / 2.0 - thickness / 2;
    const double sweep = (bulge_ > 0 ? 1 : -1) * ArcSpan(*arc);
    return TBand{ArcPoints(arc->centre, radius, AngleOf(arc->start - arc->centre), sweep), thickness};
}

std::vector<TGlyphPlacement> TSimpleText::Glyphs(const TRect& box) const
{
    std::vector<TGlyphPlacement> glyphs;
    if (bulge_ != 0) {
        PlaceOnArc(box, glyphs, nullptr);
        return glyphs;
    }
    PlaceStraight(box, glyphs, nullptr);
    return glyphs;
}

TPathPoints TSimpleText::Decorations(const TRect& box) const
{
    TPathPoints boxes;
    std::vector<TGlyphPlacement> unused;
    if (bulge_ != 0) {
        PlaceOnArc(box, unused, &boxes);
        return boxes;
    }
    PlaceStraight(box, unused, &boxes);
    if (angle_ % 360 != 0) {
        const QTransform turn = TurnAbout(BoxCentre(box), angle_);
        for (TPathPoint& p : boxes) {
            const QPointF q = turn.map(QPointF(p.point));
            p.point = QPoint(int(RoundHalfAway(q.x())), int(RoundHalfAway(q.y())));
        }
    }
    return boxes;
}

const QPainterPath& TSimpleText::GlyphOutline(uint32_t glyph) const
{
    const TMeasured& m = Measured();
    auto found = m.outlines.find(glyph);
    if (found != m.outlines.end()) return found->second;
    TPathPoints points;
    m.face->AppendOutline(glyph, QTransform(), points);
    return m.outlines.emplace(glyph, ToPainterPath(points, Qt::WindingFill)).first->second;
}

void TSimpleText::FillTurnedGlyphs(QPainter& painter, const std::vector<TGlyphPlacement>& glyphs) const
{
    // One glyph at a time: a long title wraps round its arc, and one path of all its glyphs
    // piled on each other costs the rasteriser far more than the glyphs one by one.
    const QBrush brush(ToQColor(textColor_));
    // Glyphs that land off the surface (or outside its clipping) are passed over.
    QRectF visible = painter.worldTransform().inverted().mapRect(QRectF(0, 0, painter.device()->width(), painter.device()->height()));
    if (painter.hasClipping()) visible &= painter.clipBoundingRect();
    const double reach = 2 * font_.EmHeight();
    visible.adjust(-reach, -reach, reach, reach);
    for (const TGlyphPlacement& g : glyphs)
        if (visible.contains(g.origin)) painter.fillPath(GlyphTransform(g).map(GlyphOutline(g.glyph)), brush);
}

QTransform TSimpleText::GlyphTransform(const TGlyphPlacement& g) const
{
    const TMeasured& m = Measured();
    QTransform t = QTransform::fromScale(m.scale, -m.scale);
    if (font_.HasStyle(fsItalic) && m.face && !m.face->HasItalic()) t *= QTransform(1, 0, -SyntheticSlant, 1, 0, 0);
    return t * QTransform().rotate(g.angle) * QTransform::fromTranslate(g.origin.x(), g.origin.y());
}

bool TSimpleText::SyntheticStyle() const
{
    const TMeasured& m = Measured();
    return m.face && ((font_.HasStyle(fsItalic) && !m.face->HasItalic()) || SyntheticBold());
}

bool TSimpleText::SyntheticBold() const
{
    const TMeasured& m = Measured();
    return m.face && font_.HasStyle(fsBold) && !m.face->HasBold();
}

std::vector<TPathPoints> TSimpleText::GlyphOutlines(const TRect& box, bool withDecorations) const
{
    std::vector<TPathPoints> outlines;
    const TMeasured& m = Measured();
    if (!m.face) return outlines;
    // A face without a bold design is thickened by a ring round its outlines.
    const bool thicken = SyntheticBold();
    for (const TGlyphPlacement& g : Glyphs(box)) {
        TPathPoints glyph;
        m.face->AppendOutline(g.glyph, GlyphTransform(g), glyph);
        outlines.push_back(thicken ? Thickened(glyph, font_.EmHeight() * SyntheticBoldWidth) : std::move(glyph));
    }
    if (withDecorations) outlines.push_back(Decorations(box));
    return outlines;
}

void TSimpleText::AppendOutline(TPathPoints& path, const TRect& box, bool withDecorations) const
{
    const TPathPoints all = Joined(GlyphOutlines(box, withDecorations));
    path.insert(path.end(), all.begin(), all.end());
}

void TSimpleText::Draw(TCanvas& canvas, const TRect& box) const
{
    const TMeasured& m = Measured();
    if (!m.face) return;
    QPainter& painter = canvas.Painter();
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (SyntheticStyle()) {
        // Qt slants and thickens only fonts it opened itself: the made outlines are filled.
        TPathPoints path;
        AppendOutline(path, box, true);
        painter.fillPath(ToPainterPath(path, Qt::WindingFill), ToQColor(textColor_));
        painter.restore();
        return;
    }
    painter.setPen(ToQColor(textColor_));
    const QTransform base = painter.worldTransform();
    const QRawFont raw = m.face->RawFont(font_.EmHeight());
    const std::vector<TGlyphPlacement> glyphs = Glyphs(box);
    if (bulge_ != 0) FillTurnedGlyphs(painter, glyphs);
    // Glyphs of one angle share a run, drawn in their own turned frame.
    for (size_t first = 0; bulge_ == 0 && first < glyphs.size();) {
        size_t last = first;
        while (last < glyphs.size() && glyphs[last].angle == glyphs[first].angle) ++last;
        const QTransform frame = QTransform().rotate(glyphs[first].angle) *
                                 QTransform::fromTranslate(glyphs[first].origin.x(), glyphs[first].origin.y());
        const QTransform back = frame.inverted();
        QList<quint32> indexes;
        QList<QPointF> positions;
        for (size_t k = first; k < last; ++k) {
            indexes.append(glyphs[k].glyph);
            positions.append(back.map(glyphs[k].origin));
        }
        QGlyphRun run;
        run.setRawFont(raw);
        run.setGlyphIndexes(indexes);
        run.setPositions(positions);
        painter.setWorldTransform(frame * base);
        painter.drawGlyphRun(QPointF(0, 0), run);
        first = last;
    }
    painter.setWorldTransform(base);
    const TPathPoints boxes = Decorations(box);
    if (!boxes.empty()) painter.fillPath(ToPainterPath(boxes, Qt::WindingFill), ToQColor(textColor_));
    painter.restore();
}

}  // namespace kestrel
