#pragma once

// The layout engine of text objects: lines of text, a font and the spacing and alignment
// settings become glyphs placed in a box, horizontal or vertical, straight, turned or bent along
// an arc. It draws them directly or records their outlines as a path.

#include <QPainterPath>
#include <QPointF>
#include <QTransform>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Color.h"
#include "platform/Geometry.h"
#include "platform/PathData.h"
#include "text/PointBasedFont.h"

namespace kestrel {

class TCanvas;
class TFontFace;

// Shown in place of a text without lines.
inline const QString EmptyTextPlaceholder = QStringLiteral("未入力項目");

// One character of a display line: its A, B and C widths in logical units and the glyph drawn.
struct TCharMetrics {
    int a = 0;
    int b = 0;
    int c = 0;
    uint32_t glyph = 0;
    bool upright = false;  // vertical writing: stands upright in the column (full-width)
};

// One display line laid out along its extent: pen positions and the ink's start and end.
struct TCharLayout {
    std::vector<int> positions;
    int start = 0;
    int end = 0;
    bool empty = true;
};

// A glyph at its final place: origin on the baseline, turned clockwise by angle degrees.
struct TGlyphPlacement {
    uint32_t glyph = 0;
    QPointF origin;
    double angle = 0;
};

// Places the characters of one line along its extent: align 0 start, 1 centre, 2 end, 3 spread
// over the extent (without spacing).
TCharLayout LayoutCharacters(const std::vector<TCharMetrics>& chars, int extent, int align, int charSpacing);

// Turns clockwise on screen (y down) by degrees about a centre.
QTransform TurnAbout(QPointF centre, double degrees);
QPointF BoxCentre(const TRect& box);

class TSimpleText {
public:
    TSimpleText();
    // The settings only: the copy reports its changes to nobody.
    TSimpleText(const TSimpleText& other);
    TSimpleText& operator=(const TSimpleText&) = delete;

    // One change notification when the outermost update ends (or at once outside updates).
    void SetOnChange(std::function<void()> handler) { onChange_ = std::move(handler); }
    void BeginUpdate() { ++updates_; }
    void EndUpdate();

    const QStringList& Text() const { return text_; }
    void SetText(const QStringList& lines);
    const TPointBasedFont& Font() const { return font_; }
    TPointBasedFont& Font() { return font_; }
    int Align() const { return align_; }
    void SetAlign(int align);
    bool Vertical() const { return vertical_; }
    void SetVertical(bool value);
    int CharSpacing() const { return charSpacing_; }
    void SetCharSpacing(int value);
    int LineSpacing() const { return lineSpacing_; }
    void SetLineSpacing(int value);
    int Bulge() const { return bulge_; }
    void SetBulge(int value);
    int Angle() const { return angle_; }
    void SetAngle(int degrees);
    bool HanToZen() const { return hanToZen_; }
    void SetHanToZen(bool value);
    bool NumToKnj() const { return numToKnj_; }
    void SetNumToKnj(bool value);
    bool MinusExc() const { return minusExc_; }
    void SetMinusExc(bool value);
    int FeedAngle() const { return feedAngle_; }
    void SetFeedAngle(int degrees);
    TColor TextColor() const { return textColor_; }
    void SetTextColor(TColor color) { textColor_ = color; }

    // The lines as shown: the placeholder for no lines, then the display conversions; no more
    // than MaxShownCharacters of them (a label never shows that many, and laying out more would
    // cost memory by the character).
    const QStringList& DisplayLines() const;
    static constexpr qsizetype MaxShownCharacters = 100000;
    // More text than is shown; the text object reports it.
    bool TextCutShort() const;
    // Ascent plus descent of the font, in logical units.
    int LineHeight() const;
    int LinePitch() const { return LineHeight() + lineSpacing_; }
    // Bounds of the laid-out text in the box (unturned, straight); forAutoSize lays justified
    // lines out as start-aligned.
    TRect GetTextBounds(const TRect& box, bool forAutoSize = false) const;
    // Every glyph at its place (arc lines whose inner radius reaches zero are left out).
    std::vector<TGlyphPlacement> Glyphs(const TRect& box) const;
    // Underline and strike-out boxes as closed four-point figures.
    TPathPoints Decorations(const TRect& box) const;
    void Draw(TCanvas& canvas, const TRect& box) const;
    void AppendOutline(TPathPoints& path, const TRect& box, bool withDecorations) const;
    // The same outlines, one entry per glyph (the decorations last, as one more entry).
    std::vector<TPathPoints> GlyphOutlines(const TRect& box, bool withDecorations) const;

    // The circle arc text follows in a box: centre, radius and the chord's end points.
    struct TArc {
        QPointF centre;
        double radius = 0;
        QPointF start;
        QPointF end;
    };
    std::optional<TArc> ArcOf(const TRect& box) const;
    // The band arc text occupies: the arc through the middle of the block of lines, from the
    // chord's start to its end, and the block's thickness.
    struct TBand {
        std::vector<QPointF> arc;
        double thickness = 0;
    };
    std::optional<TBand> ArcBand(const TRect& box) const;
    // The baseline chord of arc text in a box: middle of the left edge to the middle of the right
    // edge (top to bottom in vertical writing), turned by the angle about the box centre.
    std::pair<QPointF, QPointF> Chord(const TRect& box) const;

private:
    struct TMeasured {
        std::shared_ptr<const TFontFace> face;
        double scale = 0;  // logical units per font unit
        int ascent = 0;
        int lineHeight = 0;
        std::vector<std::vector<TCharMetrics>> lines;
        // Glyph outlines in font units, made once per glyph: arc text places each by its own
        // turn, and a glyph drawn turned would otherwise be rasterised anew every time.
        mutable std::map<uint32_t, QPainterPath> outlines;
    };

    template <typename T>
    void Change(T& field, T value);
    void Changed();
    const TMeasured& Measured() const;
    std::vector<TCharMetrics> MeasureLine(const TMeasured& m, const QString& line) const;
    TCharLayout LayoutLine(const std::vector<TCharMetrics>& chars, int extent, int align) const;
    int FeedShift(int line, int lineCount) const;
    void PlaceStraight(const TRect& box, std::vector<TGlyphPlacement>& out, TPathPoints* decorations) const;
    void PlaceOnArc(const TRect& box, std::vector<TGlyphPlacement>& out, TPathPoints* decorations) const;
    // The angle swept from the chord's start to its end in the reading direction, 0..2pi.
    double ArcSpan(const TArc& arc) const;
    // Underline and strike-out: distance of the bar's top from the line top, and its thickness.
    struct TBar {
        int top;
        int thickness;
    };
    std::vector<TBar> Bars(const TMeasured& m) const;
    void AddDecorations(const TMeasured& m, QPointF lineOrigin, int length, TPathPoints& out) const;
    QTransform GlyphTransform(const TGlyphPlacement& g) const;
    const QPainterPath& GlyphOutline(uint32_t glyph) const;
    // Glyphs each turned their own way, filled from their cached outlines.
    void FillTurnedGlyphs(QPainter& painter, const std::vector<TGlyphPlacement>& glyphs) const;
    // The face lacks the asked italic or bold design, which is then made from the outlines.
    bool SyntheticStyle() const;
    bool SyntheticBold() const;

    QStringList text_;
    TPointBasedFont font_;
    int align_ = 0;
    bool vertical_ = false;
    int charSpacing_ = 0;
    int lineSpacing_ = 0;
    int bulge_ = 0;
    int angle_ = 0;
    bool hanToZen_ = false;
    bool numToKnj_ = false;
    bool minusExc_ = false;
    int feedAngle_ = 0;
    TColor textColor_ = clBlack;

    int updates_ = 0;
    bool changed_ = false;
    std::function<void()> onChange_;
    mutable std::optional<QStringList> display_;
    mutable std::optional<TMeasured> measured_;
};

}  // namespace kestrel
