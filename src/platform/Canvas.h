#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QString>
#include <QTransform>
#include <memory>
#include <vector>

#include "platform/Color.h"
#include "platform/Geometry.h"
#include "platform/PathData.h"
#include "platform/Region.h"

class QPaintDevice;

namespace kestrel {

class TRenderBudget;

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// Raster modes take effect on raster surfaces (bitmaps and windows) only; elsewhere they copy.
enum class TPenMode { pmCopy, pmNot, pmXor };
enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

// Which parts of self-overlapping polygons and paths count as inside.
enum class TPolyFillMode { pfmAlternate, pfmWinding };
// How StretchDraw combines the picture with the surface (raster surfaces; elsewhere it copies).
enum class TCopyMode { cmSrcCopy, cmSrcInvert, cmSrcAnd, cmSrcPaint };

// sqDevice takes the nearest picture pixel, as the device's own stretching does.
enum class TStretchQuality { sqSmooth, sqDevice };

// The clipping of a canvas in device pixels, for putting it back later.
struct TClipState {
    bool clipped = false;
    QPainterPath device;
};

struct TPen {
    TColor color = clBlack;
    int width = 1;  // logical units; never thinner than one device pixel
    TPenStyle style = TPenStyle::psSolid;
    TPenMode mode = TPenMode::pmCopy;
    friend bool operator==(const TPen&, const TPen&) = default;
};

struct TBrush {
    TColor color = clWhite;
    TBrushStyle style = TBrushStyle::bsSolid;
    friend bool operator==(const TBrush&, const TBrush&) = default;
};

struct TFont {
    QString name = QStringLiteral("ＭＳ Ｐゴシック");
    int size = 9;  // points at the canvas's font resolution
    TColor color = clWindowText;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    friend bool operator==(const TFont&, const TFont&) = default;
};

// Anisotropic window/viewport mapping: device = (logical - windowOrg) * viewportExt / windowExt
// + viewportOrg.
struct TMapping {
    QPoint windowOrg;
    QSize windowExt{1, 1};
    QPoint viewportOrg;
    QSize viewportExt{1, 1};
    friend bool operator==(const TMapping&, const TMapping&) = default;
};

// The one drawing surface of the program: screen, preview, export and print all paint through
// it. Coordinates passed to the drawing calls are logical; the canvas maps them to device pixels
// (mapping, then the device offset) and rasterises with pixel-exact rules: a rectangle covers
// device pixels left..right-1, top..bottom-1. The QPainter's world transform always equals that
// mapping, so code that uses Painter() directly also draws in logical units.
class TCanvas {
public:
    // Paints on a device for the life of the canvas (a QImage, QPrinter, QPdfWriter, ...).
    explicit TCanvas(QPaintDevice& device);
    // Wraps a painter that is already active (a widget's paint event); the caller keeps it.
    explicit TCanvas(QPainter& painter);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    QPainter& Painter() { return *painter_; }
    QPaintDevice& Device() const { return *painter_->device(); }
    bool IsPrinter() const;
    bool IsBitmapBacked() const;
    // Whether what is painted here goes onto paper: a printer, or a bitmap a print job renders
    // its bands into. Canvases aligned with one for blending (AlignWith) say the same.
    bool IsPrintOutput() const { return printOutput_ || IsPrinter(); }
    void SetPrintOutput(bool value) { printOutput_ = value; }
    // Vertical device resolution in pixels per inch.
    int DeviceDpi() const;
    // The budget of whoever paints on this canvas (see RenderBudget.h); null: none.
    TRenderBudget* RenderBudget() const { return budget_; }
    void SetRenderBudget(TRenderBudget* budget) { budget_ = budget; }

    const TPen& Pen() const { return pen_; }
    void SetPen(const TPen& pen);
    const TBrush& Brush() const { return brush_; }
    void SetBrush(const TBrush& brush) { brush_ = brush; }
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font) { font_ = font; }
    // Pixels per inch that font point sizes are measured in; 0 means the device's.
    int FontResolution() const { return fontResolution_ ? fontResolution_ : DeviceDpi(); }
    void SetFontResolution(int dpi) { fontResolution_ = dpi; }

    TPolyFillMode PolyFillMode() const { return polyFillMode_; }
    void SetPolyFillMode(TPolyFillMode mode) { polyFillMode_ = mode; }
    TCopyMode CopyMode() const { return copyMode_; }
    void SetCopyMode(TCopyMode mode) { copyMode_ = mode; }

    // Saves pen, brush, font, fill and copy modes, mapping, offset and clipping; Restore brings
    // back the last save.
    void Save();
    void Restore();

    const TMapping& Mapping() const { return mapping_; }
    void SetMapping(const TMapping& mapping);
    void SetWindowOrg(QPoint org);
    void SetWindowExt(QSize ext);
    void SetViewportOrg(QPoint org);
    void SetViewportExt(QSize ext);
    // Shifts the whole device space (e.g. to a child element's position on its parent surface).
    QPoint DeviceOffset() const { return deviceOffset_; }
    void SetDeviceOffset(QPoint offset);
    // A turn or shear of the device space, after the mapping and the offset (identity unless a
    // metafile's world transform asks for one). Shapes keep their pixel rules before it; clip
    // areas given while it is set are turned with it. Positions (LogToDev, DevToLog) leave it out.
    const QTransform& DeviceTurn() const { return deviceTurn_; }
    void SetDeviceTurn(const QTransform& turn);

    QTransform LogicalToDevice() const;
    QPoint LogToDev(QPoint logical) const;
    QPoint DevToLog(QPoint device) const;
    // Both corners mapped; normalised.
    TRect LogToDev(const TRect& logical) const;
    TRect DevToLog(const TRect& device) const;

    void IntersectClipRect(const TRect& logical);
    void IntersectClipPath(const QPainterPath& logical);
    // Combines the clipping with a region in device pixels (rgnCopy replaces it).
    void SelectClipRegion(const TRegion& device, TRegionOp op);
    TClipState SaveClip() const;
    void RestoreClip(const TClipState& state);
    // Smallest logical rectangle holding everything that can still be painted.
    TRect ClipBox() const;
    bool RectVisible(const TRect& logical) const;

    // Path bracket: between BeginPath and EndPath, MoveTo, LineTo, PolylineTo, PolyBezierTo,
    // CloseFigure, Polyline, Polygon, Rectangle and Ellipse add to the path instead of painting.
    // BeginPath drops any earlier path; stroking, filling, clipping with or converting the path
    // to a region uses it up.
    void BeginPath();
    void EndPath();
    bool InPath() const { return pathOpen_; }
    // The recorded path in logical units (empty when there is none).
    const TPathPoints& PathPoints() const { return path_; }
    void CloseFigure();
    void StrokePath();
    void FillPath();
    void StrokeAndFillPath();
    // Replaces the path by the outline of what StrokePath would paint with the current pen.
    void WidenPath();
    // Replaces curves by line points.
    void FlattenPath();
    void SelectClipPath(TRegionOp op);
    // The pixels FillPath would paint, in device pixels.
    TRegion PathToRegion();

    void MoveTo(QPoint logical);
    // Draws from the current position to the point and moves there.
    void LineTo(QPoint logical);
    void PolylineTo(const QPolygon& logical);
    // Bezier triples (two control points and the end point) from the current position.
    void PolyBezierTo(const QPolygon& logical);
    void Polyline(const QPolygon& logical);
    void Polygon(const QPolygon& logical);
    void Rectangle(const TRect& logical);
    void Ellipse(const TRect& logical);
    // Fills with the brush, no outline.
    void FillRect(const TRect& logical);
    // One device pixel frame in the brush colour.
    void FrameRect(const TRect& logical);
    // Inverts the pixels (raster surfaces; elsewhere fills black).
    void InvertRect(const TRect& logical);
    // Combines the brush with the pixels by exclusive or (raster surfaces; elsewhere fills).
    void PatternInvertRect(const TRect& logical);
    // Region in device pixels, painted with the brush.
    void FillRegion(const TRegion& device);
    // Text with its top-left at the point, in the font's colour, transparent background.
    void TextOut(QPoint logical, const QString& text);
    QSize TextExtent(const QString& text);
    void StretchDraw(const TRect& logical, const QImage& image, TStretchQuality quality = TStretchQuality::sqSmooth);
    // Covers the rectangle with copies of the picture, one logical unit per picture pixel,
    // starting at its top-left corner; combined by the copy mode.
    void TileRect(const TRect& logical, const QImage& tile);
    // The device pixel under a logical point; clNone outside the surface or off bitmaps.
    TColor Pixel(QPoint logical) const;
    // Fills a logical path with the brush, then strokes it with the pen.
    void DrawPath(const QPainterPath& logical);
    // Paints the one device pixel under a logical point, whatever the zoom.
    void SetPixel(QPoint logical, TColor color);

private:
    struct TState {
        TPen pen;
        TBrush brush;
        TFont font;
        int fontResolution;
        TMapping mapping;
        QPoint deviceOffset;
        QTransform deviceTurn;
        QPoint penPos;
        TPolyFillMode polyFillMode;
        TCopyMode copyMode;
    };
    class TDeviceSpace;

    void Init();
    void SyncTransform();
    bool IsRaster() const;
    double DeviceScale() const;
    QPen DevicePen() const;
    QBrush DeviceBrush() const;
    QFont LogicalFont() const;
    QRectF DeviceShapeRect(const TRect& logical) const;
    void DrawDevicePolygon(const QPolygon& logical, bool closed);
    Qt::FillRule FillRule() const;
    QPainterPath DevicePath() const;
    void PaintDevicePath(const QPainterPath& device, bool stroke, bool fill);
    void AddPathPoint(QPoint logical, uint8_t type);
    void CombineClip(const QPainterPath& device, TRegionOp op);
    QPainter::CompositionMode CopyModeComposition() const;
    // Runs paint with the composition of a raster operation (raster surfaces only).
    template <typename F>
    void WithComposition(QPainter::CompositionMode mode, F paint);

    std::unique_ptr<QPainter> ownPainter_;
    QPainter* painter_;
    TRenderBudget* budget_ = nullptr;
    TPen pen_;
    TBrush brush_;
    TFont font_;
    int fontResolution_ = 0;
    TMapping mapping_;
    QPoint deviceOffset_;
    QTransform deviceTurn_;
    QPoint penPos_;
    TPolyFillMode polyFillMode_ = TPolyFillMode::pfmAlternate;
    TCopyMode copyMode_ = TCopyMode::cmSrcCopy;
    bool pathOpen_ = false;
    bool printOutput_ = false;
    TPathPoints path_;
    std::vector<TState> saved_;
};

// A canvas on the picture measures fonts and maps logical units at this resolution.
void SetPictureDpi(QImage& picture, int dpi);

// Restores the canvas to its state at construction when it goes out of scope.
class TCanvasStateSaver {
public:
    explicit TCanvasStateSaver(TCanvas& canvas) : canvas_(canvas) { canvas_.Save(); }
    ~TCanvasStateSaver() { canvas_.Restore(); }
    TCanvasStateSaver(const TCanvasStateSaver&) = delete;
    TCanvasStateSaver& operator=(const TCanvasStateSaver&) = delete;

private:
    TCanvas& canvas_;
};

// Puts the canvas's clipping back when it goes out of scope.
class TClipGuard {
public:
    explicit TClipGuard(TCanvas& canvas) : canvas_(canvas), saved_(canvas.SaveClip()) {}
    ~TClipGuard() { canvas_.RestoreClip(saved_); }
    TClipGuard(const TClipGuard&) = delete;
    TClipGuard& operator=(const TClipGuard&) = delete;

private:
    TCanvas& canvas_;
    TClipState saved_;
};

}  // namespace kestrel
