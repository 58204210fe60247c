#pragma once

// The drawing state both metafile kinds play into, over our canvas: the object table (pens,
// brushes, fonts, regions), saved states, window/viewport mapping and world transform, clipping,
// and the shapes, text and blits the records ask for. The record players (WmfRecords,
// EmfRecords) only decode records into these calls.

#include <QImage>
#include <QPolygon>
#include <QRect>
#include <QRegion>
#include <QTransform>
#include <map>
#include <set>
#include <vector>

#include "platform/BoundedReader.h"
#include "platform/Canvas.h"

namespace kestrel::metafile {

inline constexpr uint32_t StockObject = 0x80000000;
inline constexpr int MaxObjects = 65535;

// Text-out options.
inline constexpr uint32_t EtoOpaque = 2, EtoClipped = 4;

[[noreturn]] void Fail();
// Raised when a playback has used up its work budget; ends it like a damaged record.
struct TBudgetSpent {};

// The rectangle between two corners, in either order; the far edges are not part of it.
QRect Box(int left, int top, int right, int bottom);
TRect ToTRect(const QRect& box);

int ReadCoord(TBoundedReader& in);
QRect ReadRectL(TBoundedReader& in);
QPoint ReadPointL(TBoundedReader& in);
std::vector<QRect> ReadRegionRects(TBoundedReader& in, uint32_t count);

enum class TObjectKind { okPen, okBrush, okFont, okRegion, okOther };

struct TFontObject {
    TFont font;
    int escapement = 0;  // tenths of a degree, counter-clockwise
    bool shiftJis = false;
};

// A drawing object as the records create it. Regions hold device pixels of the canvas.
struct TGdiObject {
    TObjectKind kind = TObjectKind::okOther;
    TPen pen;
    TBrush brush;
    TFontObject font;
    TRegion region;
};

TGdiObject MakePen(uint32_t style, int64_t width, uint32_t colour);
TGdiObject MakeBrush(uint32_t style, uint32_t colour, uint32_t hatch);
// A pattern brush paints in the pattern's average colour: the canvas has no pattern fills.
TGdiObject MakePatternBrush(const QImage& pattern);
// The logical font record both kinds share (16-bit fields in WMF, 32-bit in EMF).
TGdiObject MakeFont(TBoundedReader& in, bool wide);

// The maps from the metafile's frame onto a logical rectangle of the canvas.
QTransform FrameOnto(const QRectF& frame, const TRect& target);

class TPlayback {
public:
    // frameToTarget maps the metafile's device units onto the canvas's logical units.
    TPlayback(TCanvas& canvas, const QTransform& frameToTarget, bool wmf);

    TCanvas& Canvas() { return canvas_; }

    // ---- work: every record, point and painted pixel counts against one budget per playback
    void SpendRecord();

    // ---- mapping
    void SetMapMode(uint32_t mode);
    void SetWindowOrg(QPointF origin);
    void SetWindowExt(QSizeF extent);
    void SetViewportOrg(QPointF origin);
    void SetViewportExt(QSizeF extent);
    void SetDeviceResolution(QSizeF pixelsPerMm) { pixelsPerMm_ = pixelsPerMm; }
    void SetFrameSize(QSizeF size) { frameSize_ = size; }
    void SetWorld(const QTransform& world);
    void ModifyWorld(const QTransform& x, uint32_t mode);

    // ---- objects
    // Into the lowest free slot when slot is negative.
    void Create(TGdiObject object, int slot = -1);
    const TGdiObject* Object(uint32_t index) const;
    void Select(uint32_t index);
    void Delete(uint32_t index);

    // ---- state
    void Save();
    // Negative: that many saves back; positive: the save of that number.
    void Restore(int which);
    void SetRop2(uint32_t rop);
    void SetPolyFillMode(uint32_t mode);
    void SetTextAlign(uint32_t align) { state_.textAlign = align; }
    void SetTextColor(uint32_t colour);
    void SetBkColor(uint32_t colour);
    void SetBkMode(uint32_t mode) { state_.bkMode = int(mode); }
    // Halftone smooths stretched pictures; the other modes take the nearest pixel.
    void SetStretchMode(uint32_t mode) { state_.smoothStretch = mode == 4; }
    bool ShiftJisText() const { return state_.font.shiftJis; }

    // ---- output
    void MoveTo(QPoint p);
    void LineTo(QPoint p);
    void Polyline(const QPolygon& points);
    void PolylineTo(const QPolygon& points);
    void Polygon(const QPolygon& points);
    void PolyBezier(const QPolygon& points);
    void PolyBezierTo(const QPolygon& points);
    void PolyPolyline(const std::vector<QPolygon>& lines);
    void PolyPolygon(const std::vector<QPolygon>& polygons);
    void Rectangle(const QRect& box);
    void Ellipse(const QRect& box);
    void RoundRect(const QRect& box, int cornerWidth, int cornerHeight);
    enum class TArcKind { akArc, akChord, akPie };
    // Counter-clockwise from the ray through start to the ray through end.
    void Arc(TArcKind kind, const QRect& box, QPoint start, QPoint end);
    void TextOut(QPoint reference, const QString& text, uint32_t options, const QRect* box);
    // Source and destination rectangles in picture pixels and logical units; a destination with a
    // negative side (after mapping) mirrors the picture.
    void Blit(const QRect& dest, const QImage& picture, QRect source, uint32_t rop);
    // Raster operations that take no source; true when rop was one of them.
    bool PatternOperation(const QRect& dest, uint32_t rop);

    // ---- paths
    void BeginPath() { canvas_.BeginPath(); }
    void EndPath() { canvas_.EndPath(); }
    void AbortPath() { canvas_.BeginPath(), canvas_.EndPath(); }
    void CloseFigure() { canvas_.CloseFigure(); }
    void FillPath();
    void StrokePath();
    void StrokeAndFillPath();
    void FlattenPath() { canvas_.FlattenPath(); }
    void WidenPath() { canvas_.WidenPath(); }

    // ---- regions and clipping
    // Rectangles of the metafile's device units (enhanced metafiles) into device pixels.
    TRegion DeviceRegion(const std::vector<QRect>& frameUnits);
    // Rectangles of logical units (WMF) into device pixels.
    TRegion LogicalRegion(const std::vector<QRect>& logical);
    void FillRegion(const TRegion& region, const TBrush& brush);
    void FrameRegion(const TRegion& region, const TBrush& brush, int width, int height);
    void InvertRegion(const TRegion& region);
    void PaintRegion(const TRegion& region);
    void IntersectClipRect(const QRect& logical);
    void ExcludeClipRect(const QRect& logical);
    // No region: back to the clipping the playback started with. Nothing escapes that clipping.
    void SelectClip(const TRegion* region, TRegionOp op);
    void SelectClipPath(TRegionOp op);

private:
    struct TState {
        uint32_t mapMode = 1;
        QPointF windowOrg, viewportOrg;
        QSizeF windowExt{1, 1}, viewportExt{1, 1};
        bool windowExtSet = false;
        QTransform world;
        TPenMode penMode = TPenMode::pmCopy;
        uint32_t textAlign = 0;
        TColor textColor = clBlack;
        TColor bkColor = clWhite;
        int bkMode = 2;
        bool smoothStretch = false;
        TFontObject font;
    };

    // Metafile logical units to canvas device pixels, the world transform's turn and shear
    // included, each part clamped.
    QTransform Full() const;
    // A world transform that turns or shears the axes is left to the canvas's device turn.
    bool Turned() const { return Full().type() > QTransform::TxScale; }
    // Metafile logical units to canvas device pixels before the device turn (scale and offset).
    QTransform Composite() const { return Turned() ? QTransform() : Full(); }
    // Logical units to the metafile's device units.
    QTransform Page() const;
    void Apply();
    // The canvas's integer mapping nearest to a scale-and-offset transform to device pixels.
    void InstallMapping(const QTransform& t);

    void Spend(double units);
    void SpendPoints(qsizetype count);
    // The pixels of the canvas a shape of these logical bounds may paint.
    void SpendArea(const QRectF& logical);
    void SpendDeviceArea(const QRect& device);
    void SpendPathArea();
    void SpendShape(const QPolygon& points);
    // The rectangles mapped to device pixels and united; each counts as a point.
    TRegion MappedRegion(const std::vector<QRect>& rects, const QTransform& toDevice);

    void SetPen(TPen pen);
    void SelectStock(uint32_t n);
    void FillWith(TColor colour, const TRect& logical);
    void KeepInsideInitialClip();

    TCanvas& canvas_;
    QTransform frameToDevice_;
    bool wmf_;
    QRect deviceRect_;
    QSizeF frameSize_{1, 1};
    QSizeF pixelsPerMm_{96 / 25.4, 96 / 25.4};
    TState state_;
    QPoint position_;
    TClipState initialClip_;
    std::map<int, TGdiObject> objects_;
    // Slots records create into without naming one (Windows metafiles): the lowest free one.
    std::set<int> freeSlots_;  // free slots below nextFreeSlot_
    int nextFreeSlot_ = 0;     // this slot and all above are free
    std::vector<TState> saved_;
    double workLeft_;
    // Glyph area the whole playback may rasterise: many large glyphs would take seconds.
    double textPixelBudget_;
};

// Runs a playback, ending it quietly at the first malformed record or when its budget is spent.
template <typename F>
void PlayRecords(F play)
{
    try {
        play();
    } catch (const EReadError&) {
        // a damaged record ends the picture
    } catch (const TBudgetSpent&) {
        // so does one record too many: what was drawn stays
    }
}

}  // namespace kestrel::metafile
