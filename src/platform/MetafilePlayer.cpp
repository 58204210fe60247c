#include "platform/MetafilePlayer.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QtMath>
#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <vector>

#include "platform/BoundedReader.h"
#include "platform/Canvas.h"
#include "platform/Cp932.h"
#include "platform/FontServices.h"
#include "platform/Graphic.h"
#include "platform/PictureCodecs.h"

namespace kestrel {

namespace {

constexpr uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr uint32_t EmfSignature = 0x464D4520;
constexpr uint32_t StockObject = 0x80000000;
constexpr int MaxObjects = 65535;
constexpr int MaxSavedStates = 1024;
constexpr int MaxPenWidth = 65535;
// Coordinates, scales and offsets are kept within these bounds so that every device position
// stays a safe integer: 2^20 × 512 + 2^30 < 2^31.
constexpr int MaxCoordinate = 1 << 20;
constexpr double MaxScale = 512;
constexpr double MaxOffset = double(1 << 30);
// Text whose glyphs stretch beyond this on the device is not drawn: 4 cm at 1200 dpi is more than
// a label needs, and each glyph is rasterised into a picture of that size.
constexpr double MaxTextPixels = 2048;
// Far beyond a page of text at print resolution.
constexpr double MaxTextPixelsPerPlayback = double(1 << 28);
constexpr uint8_t ShiftJisCharset = 128;

// Text alignment and text-out options.
constexpr uint32_t TaUpdateCp = 1, TaRight = 2, TaCenter = 6, TaBottom = 8, TaBaseline = 24;
constexpr uint32_t EtoOpaque = 2, EtoClipped = 4;
constexpr int BkOpaque = 2;

// Raster operations that are not plain copies of the source.
constexpr uint32_t RopSrcPaint = 0xEE0086, RopSrcAnd = 0x8800C6, RopSrcInvert = 0x660046, RopNotSrcCopy = 0x330008,
                   RopBlackness = 0x000042, RopWhiteness = 0xFF0062, RopPatCopy = 0xF00021, RopPatInvert = 0x5A0049,
                   RopDstInvert = 0x550009;

[[noreturn]] void Fail() { throw EReadError(PictureLoadFailedMessage()); }

TColor ColourRef(uint32_t c) { return TColor(c & 0xFFFFFF); }

// The rectangle between two corners, in either order; the far edges are not part of it.
QRect Box(int left, int top, int right, int bottom)
{
    const auto side = [](int a, int b) { return int(std::min<int64_t>(std::abs(int64_t(b) - a), INT_MAX)); };
    return QRect(std::min(left, right), std::min(top, bottom), side(left, right), side(top, bottom));
}
TRect ToTRect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }

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

TGdiObject MakePen(uint32_t style, int64_t width, uint32_t colour)
{
    static constexpr TPenStyle Styles[] = {TPenStyle::psSolid,   TPenStyle::psDash,         TPenStyle::psDot,
                                           TPenStyle::psDashDot, TPenStyle::psDashDotDot,   TPenStyle::psClear,
                                           TPenStyle::psInsideFrame};
    TGdiObject object;
    object.kind = TObjectKind::okPen;
    object.pen.color = ColourRef(colour);
    object.pen.width = int(std::min<int64_t>(std::abs(width), MaxPenWidth));  // 0: one device pixel
    const uint32_t s = style & 0x0F;
    object.pen.style = s < std::size(Styles) ? Styles[s] : TPenStyle::psSolid;
    return object;
}

TGdiObject MakeBrush(uint32_t style, uint32_t colour, uint32_t hatch)
{
    constexpr uint32_t BsSolid = 0, BsNull = 1, BsHatched = 2;
    static constexpr TBrushStyle Hatches[] = {TBrushStyle::bsHorizontal, TBrushStyle::bsVertical,
                                              TBrushStyle::bsFDiagonal,  TBrushStyle::bsBDiagonal,
                                              TBrushStyle::bsCross,      TBrushStyle::bsDiagCross};
    TGdiObject object;
    object.kind = TObjectKind::okBrush;
    object.brush.color = ColourRef(colour);
    if (style == BsNull) object.brush.style = TBrushStyle::bsClear;
    if (style == BsHatched && hatch < std::size(Hatches)) object.brush.style = Hatches[hatch];
    if (style != BsSolid && style != BsNull && style != BsHatched) object.brush.color = clGray;  // patterns
    return object;
}

// A pattern brush paints in the pattern's average colour: the canvas has no pattern fills.
TGdiObject MakePatternBrush(const QImage& pattern)
{
    TGdiObject object;
    object.kind = TObjectKind::okBrush;
    const QImage one = pattern.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    object.brush.color = one.isNull() ? clGray : FromQColor(one.pixelColor(0, 0));
    return object;
}

// The logical font fields both metafile kinds share.
TGdiObject MakeFont(TBoundedReader& in, bool wide)
{
    TGdiObject object;
    object.kind = TObjectKind::okFont;
    TFontObject& f = object.font;
    const auto readInt = [&]() -> int { return wide ? in.ReadI32() : in.ReadI16(); };
    const int64_t height = readInt();
    readInt();  // width: the face's own
    f.escapement = readInt();
    readInt();  // orientation
    const int weight = readInt();
    f.font.italic = in.ReadU8();
    f.font.underline = in.ReadU8();
    f.font.strikeOut = in.ReadU8();
    f.shiftJis = in.ReadU8() == ShiftJisCharset;
    in.Skip(4);  // precisions, quality, pitch
    f.font.size = int(std::min<int64_t>(std::abs(height), 32767));
    f.font.bold = weight >= 600;
    QString name;
    if (wide) {
        const QByteArrayView raw = in.ReadBytes(std::min<qsizetype>(64, in.Remaining()));
        name = QString::fromUtf16(reinterpret_cast<const char16_t*>(raw.data()), raw.size() / 2);
    } else {
        const QByteArrayView raw = in.ReadBytes(std::min<qsizetype>(32, in.Remaining()));
        name = f.shiftJis ? FromCp932(raw) : QString::fromLatin1(raw);
    }
    name.truncate(name.indexOf(QChar(0)) < 0 ? name.size() : name.indexOf(QChar(0)));
    if (!name.isEmpty()) f.font.name = name;
    return object;
}

int ReadCoord(TBoundedReader& in) { return std::clamp(in.ReadI32(), -MaxCoordinate, MaxCoordinate); }

QRect ReadRectL(TBoundedReader& in)
{
    const int left = ReadCoord(in), top = ReadCoord(in), right = ReadCoord(in), bottom = ReadCoord(in);
    return Box(left, top, right, bottom);
}

QPoint ReadPointL(TBoundedReader& in)
{
    const int x = ReadCoord(in);
    return {x, ReadCoord(in)};
}

QRegion ReadRegionRects(TBoundedReader& in, uint32_t count)
{
    in.Need(int64_t(count) * 16);
    QRegion region;
    for (uint32_t i = 0; i < count; ++i) {
        const QRect r = ReadRectL(in);
        if (!r.isEmpty()) region += r;
    }
    return region;
}

// With the font resolution at 72 pixels per inch, as playback sets it, a font's size is its
// pixel size in logical units.
int FontAscent(const TFont& font)
{
    QFont f(UsableFamily(font.name));
    f.setPixelSize(std::max(1, font.size));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    return int(std::ceil(QFontMetricsF(f).ascent()));
}

// The drawing state the records change, over the canvas.
class TPlayer {
public:
    // frameToTarget maps the metafile's device units onto the canvas's logical units.
    TPlayer(TCanvas& canvas, const QTransform& frameToTarget, bool wmf)
        : canvas_(canvas), frameToDevice_(frameToTarget * canvas.LogicalToDevice()), wmf_(wmf)
    {
        canvas_.SetPen({clBlack, 0});  // one device pixel
        canvas_.SetBrush({});
        canvas_.SetPolyFillMode(TPolyFillMode::pfmAlternate);
        canvas_.SetCopyMode(TCopyMode::cmSrcCopy);
        canvas_.SetFontResolution(72);  // font sizes are then logical units
        canvas_.SetDeviceOffset({});
        state_.font.font.size = 16;
        initialClip_ = canvas_.SaveClip();
        Apply();
    }

    TCanvas& Canvas() { return canvas_; }

    // ---- mapping
    void SetMapMode(uint32_t mode) { state_.mapMode = mode, Apply(); }
    void SetWindowOrg(QPointF o) { state_.windowOrg = o, Apply(); }
    void SetWindowExt(QSizeF e) { state_.windowExt = e, state_.windowExtSet = true, Apply(); }
    void SetViewportOrg(QPointF o) { state_.viewportOrg = o, Apply(); }
    void SetViewportExt(QSizeF e) { state_.viewportExt = e, Apply(); }
    void SetDeviceResolution(QSizeF pixelsPerMm) { pixelsPerMm_ = pixelsPerMm; }
    void SetFrameSize(QSizeF size) { frameSize_ = size; }
    void SetWorld(const QTransform& world) { state_.world = world, Apply(); }
    void ModifyWorld(const QTransform& x, uint32_t mode)
    {
        constexpr uint32_t Identity = 1, Left = 2, Right = 3, Set = 4;
        if (mode == Identity) state_.world = QTransform();
        if (mode == Left) state_.world = x * state_.world;
        if (mode == Right) state_.world = state_.world * x;
        if (mode == Set) state_.world = x;
        Apply();
    }
    // Metafile logical units to canvas device pixels, the world transform's turn and shear
    // included, each part clamped.
    QTransform Full() const
    {
        const QTransform t = state_.world * Page() * frameToDevice_;
        const auto scale = [](double v) { return std::clamp(v, -MaxScale, MaxScale); };
        const auto offset = [](double v) { return std::clamp(v, -MaxOffset, MaxOffset); };
        return QTransform(scale(t.m11()), scale(t.m12()), scale(t.m21()), scale(t.m22()), offset(t.dx()), offset(t.dy()));
    }
    // A world transform that turns or shears the axes is left to the canvas's device turn.
    bool Turned() const { return Full().type() > QTransform::TxScale; }
    // Metafile logical units to canvas device pixels before the device turn (scale and offset).
    QTransform Composite() const { return Turned() ? QTransform() : Full(); }

    // ---- objects
    void Create(TGdiObject object, int slot = -1)
    {
        if (slot < 0) {
            for (slot = 0; objects_.count(slot); ++slot) {}
        }
        if (slot > MaxObjects) Fail();
        objects_[slot] = std::move(object);
    }
    const TGdiObject* Object(uint32_t index) const
    {
        const auto it = objects_.find(int(index));
        return it == objects_.end() ? nullptr : &it->second;
    }
    void Select(uint32_t index)
    {
        if (index & StockObject) return SelectStock(index & ~StockObject);
        const TGdiObject* object = Object(index);
        if (!object) return;
        if (object->kind == TObjectKind::okPen) SetPen(object->pen);
        if (object->kind == TObjectKind::okBrush) canvas_.SetBrush(object->brush);
        if (object->kind == TObjectKind::okFont) state_.font = object->font;
        if (object->kind == TObjectKind::okRegion) SelectClip(&object->region, TRegionOp::rgnCopy);
    }
    void Delete(uint32_t index) { objects_.erase(int(index)); }

    // ---- state
    void Save()
    {
        if (saved_.size() >= MaxSavedStates) Fail();
        canvas_.Save();
        saved_.push_back(state_);
    }
    // Negative: that many saves back; positive: the save of that number.
    void Restore(int which)
    {
        const qsizetype count = which < 0 ? qsizetype(-int64_t(which)) : qsizetype(saved_.size()) - which + 1;
        if (count <= 0 || count > qsizetype(saved_.size())) return;
        for (qsizetype i = 0; i < count; ++i) {
            canvas_.Restore();
            state_ = saved_.back();
            saved_.pop_back();
        }
        Apply();
    }
    void SetRop2(uint32_t rop)
    {
        constexpr uint32_t R2Not = 6, R2XorPen = 7;
        state_.penMode = rop == R2Not ? TPenMode::pmNot : rop == R2XorPen ? TPenMode::pmXor : TPenMode::pmCopy;
        SetPen(canvas_.Pen());
    }
    void SetPolyFillMode(uint32_t mode)
    {
        canvas_.SetPolyFillMode(mode == 2 ? TPolyFillMode::pfmWinding : TPolyFillMode::pfmAlternate);
    }
    void SetTextAlign(uint32_t align) { state_.textAlign = align; }
    void SetTextColor(uint32_t c) { state_.textColor = ColourRef(c); }
    void SetBkColor(uint32_t c) { state_.bkColor = ColourRef(c); }
    void SetBkMode(uint32_t mode) { state_.bkMode = int(mode); }
    // Halftone smooths stretched pictures; the other modes take the nearest pixel.
    void SetStretchMode(uint32_t mode) { state_.smoothStretch = mode == 4; }
    bool ShiftJisText() const { return state_.font.shiftJis; }

    // ---- output
    void MoveTo(QPoint p) { canvas_.MoveTo(p), position_ = p; }
    void LineTo(QPoint p) { canvas_.LineTo(p), position_ = p; }
    void PolyBezier(const QPolygon& points)
    {
        if (points.isEmpty()) return;
        MoveTo(points.first());
        canvas_.PolyBezierTo(points.mid(1));
    }
    void PolyPolygon(const std::vector<QPolygon>& polygons)
    {
        if (canvas_.InPath()) {
            for (const QPolygon& polygon : polygons) canvas_.Polygon(polygon);
            return;
        }
        QPainterPath path;
        path.setFillRule(canvas_.PolyFillMode() == TPolyFillMode::pfmWinding ? Qt::WindingFill : Qt::OddEvenFill);
        for (const QPolygon& polygon : polygons) {
            path.addPolygon(QPolygonF(polygon));
            path.closeSubpath();
        }
        canvas_.DrawPath(path);
    }
    void RoundRect(const QRect& box, int cornerWidth, int cornerHeight)
    {
        QPainterPath path;
        path.addRoundedRect(QRectF(box).normalized(), std::abs(cornerWidth) / 2.0, std::abs(cornerHeight) / 2.0);
        canvas_.DrawPath(path);
    }
    enum class TArcKind { akArc, akChord, akPie };
    // Counter-clockwise from the ray through start to the ray through end.
    void Arc(TArcKind kind, const QRect& box, QPoint start, QPoint end)
    {
        const QRectF r = QRectF(box).normalized();
        if (r.isEmpty()) return;
        const QPointF c = r.center();
        const auto angle = [&](QPoint p) {
            return qRadiansToDegrees(std::atan2(-(p.y() - c.y()) * r.width(), (p.x() - c.x()) * r.height()));
        };
        const double from = angle(start);
        double sweep = angle(end) - from;
        while (sweep <= 0) sweep += 360;
        QPainterPath path;
        if (kind == TArcKind::akPie)
            path.moveTo(c);
        else
            path.arcMoveTo(r, from);
        path.arcTo(r, from, sweep);
        if (kind != TArcKind::akArc) path.closeSubpath();
        const TBrush brush = canvas_.Brush();
        if (kind == TArcKind::akArc) canvas_.SetBrush({brush.color, TBrushStyle::bsClear});
        canvas_.DrawPath(path);
        canvas_.SetBrush(brush);
    }

    void TextOut(QPoint reference, const QString& text, uint32_t options, const QRect* box)
    {
        const QTransform c = Composite();
        // Glyphs stretch by the larger of the two axes' scales, whichever way they are turned.
        const QTransform full = Full();
        const double scale = std::max(std::hypot(full.m11(), full.m12()), std::hypot(full.m21(), full.m22()));
        const double glyphPixels = std::abs(state_.font.font.size) * scale;
        if (glyphPixels > MaxTextPixels) return;
        const double cost = glyphPixels * glyphPixels * double(text.size());
        if (cost > textPixelBudget_) return;
        textPixelBudget_ -= cost;
        // Qt rasterises a glyph at its font's own size before the mapping scales it, so the font
        // takes the height it has on the device and the mapping keeps only the rest.
        const double heightScale = std::hypot(full.m21(), full.m22());
        TFont font = state_.font.font;
        font.size = int(std::lround(font.size * heightScale));
        if (font.size == 0) return;  // smaller than a pixel
        font.color = state_.textColor;
        TCanvasStateSaver saver(canvas_);
        if (box && (options & EtoClipped)) canvas_.IntersectClipRect(TRect::FromQRect(box->normalized()));
        if (box && (options & EtoOpaque)) FillWith(state_.bkColor, TRect::FromQRect(box->normalized()));
        if (state_.textAlign & TaUpdateCp) reference = position_;
        // Text stands upright whichever way the mapping turns the axes.
        const QPointF at = c.map(QPointF(reference));
        InstallMapping(QTransform(std::abs(c.m11()) / heightScale, 0, 0, std::abs(c.m22()) / heightScale, at.x(), at.y()));
        canvas_.SetFont(font);
        const QSize extent = canvas_.TextExtent(text);
        QPoint topLeft;
        if ((state_.textAlign & TaCenter) == TaCenter)
            topLeft.rx() = -extent.width() / 2;
        else if (state_.textAlign & TaRight)
            topLeft.rx() = -extent.width();
        if ((state_.textAlign & TaBaseline) == TaBaseline)
            topLeft.ry() = -FontAscent(font);
        else if (state_.textAlign & TaBottom)
            topLeft.ry() = -extent.height();
        if (state_.font.escapement % 3600 != 0) {
            QPainter& painter = canvas_.Painter();
            const double degrees = -double(state_.font.escapement % 3600) / 10.0;  // any stored tenths, the lowest included
            painter.setWorldTransform(QTransform().rotate(degrees) * painter.worldTransform());
        }
        if (state_.bkMode == BkOpaque) FillWith(state_.bkColor, TRect::FromQRect(QRect(topLeft, extent)));
        canvas_.TextOut(topLeft, text);
        // The extent is in the font's device-sized units: back to the metafile's.
        const int advance = int(std::lround(extent.width() / heightScale));
        if (state_.textAlign & TaUpdateCp) position_.rx() += c.m11() < 0 ? -advance : advance;
    }

    // Source and destination rectangles in picture pixels and logical units; a destination with a
    // negative side (after mapping) mirrors the picture.
    void Blit(const QRect& dest, const QImage& picture, QRect source, uint32_t rop)
    {
        const TRect target = ToTRect(dest.left(), dest.top(), dest.left() + dest.width(), dest.top() + dest.height());
        if (PatternOperation(target.Normalized(), rop) || picture.isNull()) return;
        source = source.normalized().intersected(picture.rect());
        if (source.isEmpty() || target.Normalized().IsEmpty()) return;
        const QTransform c = Composite();
        QImage part = picture.copy(source).mirrored(target.Width() * c.m11() < 0, target.Height() * c.m22() < 0);
        if (rop == RopNotSrcCopy) part.invertPixels();
        const TCopyMode old = canvas_.CopyMode();
        canvas_.SetCopyMode(rop == RopSrcInvert ? TCopyMode::cmSrcInvert
                            : rop == RopSrcAnd  ? TCopyMode::cmSrcAnd
                            : rop == RopSrcPaint ? TCopyMode::cmSrcPaint
                                                 : TCopyMode::cmSrcCopy);
        canvas_.StretchDraw(target.Normalized(), part,
                            state_.smoothStretch ? TStretchQuality::sqSmooth : TStretchQuality::sqDevice);
        canvas_.SetCopyMode(old);
    }
    // Raster operations that take no source; true when rop was one of them.
    bool PatternOperation(const TRect& target, uint32_t rop)
    {
        switch (rop) {
        case RopBlackness: FillWith(clBlack, target); return true;
        case RopWhiteness: FillWith(clWhite, target); return true;
        case RopPatCopy: canvas_.FillRect(target); return true;
        case RopPatInvert: canvas_.PatternInvertRect(target); return true;
        case RopDstInvert: canvas_.InvertRect(target); return true;
        default: return false;
        }
    }

    // ---- regions and clipping
    // Rectangles of the metafile's device units (enhanced metafiles) or logical units (WMF).
    TRegion DeviceRegion(const QRegion& frameUnits) const
    {
        // Device units stay unturned: back through the device turn, by their bounding boxes.
        return MappedRegion(frameUnits, frameToDevice_ * canvas_.DeviceTurn().inverted());
    }
    TRegion LogicalRegion(const QRegion& logical) const { return MappedRegion(logical, Composite()); }
    void FillRegion(const TRegion& region, const TBrush& brush)
    {
        const TBrush old = canvas_.Brush();
        canvas_.SetBrush(brush);
        canvas_.FillRegion(region);
        canvas_.SetBrush(old);
    }
    void FrameRegion(const TRegion& region, const TBrush& brush, int width, int height)
    {
        const QTransform c = Composite();
        const int w = std::clamp(int(std::lround(std::abs(width * c.m11()))), 1, MaxMetafileSide);
        const int h = std::clamp(int(std::lround(std::abs(height * c.m22()))), 1, MaxMetafileSide);
        TRegion inner = region;
        for (const QPoint shift : {QPoint(w, 0), QPoint(-w, 0), QPoint(0, h), QPoint(0, -h)})
            inner = inner.Combined(region.Translated(shift.x(), shift.y()), TRegionOp::rgnAnd);
        FillRegion(region.Combined(inner, TRegionOp::rgnDiff), brush);
    }
    void InvertRegion(const TRegion& region)
    {
        TClipGuard guard(canvas_);
        canvas_.SelectClipRegion(region, TRegionOp::rgnAnd);
        canvas_.InvertRect(canvas_.ClipBox());
    }
    void PaintRegion(const TRegion& region) { canvas_.FillRegion(region); }
    void IntersectClipRect(const QRect& logical) { canvas_.IntersectClipRect(TRect::FromQRect(logical.normalized())); }
    void ExcludeClipRect(const QRect& logical)
    {
        canvas_.SelectClipRegion(TRegion::Rect(canvas_.LogToDev(TRect::FromQRect(logical.normalized()))),
                                 TRegionOp::rgnDiff);
    }
    // No region: back to the clipping the playback started with. Nothing escapes that clipping.
    void SelectClip(const TRegion* region, TRegionOp op)
    {
        if (!region || op == TRegionOp::rgnCopy) canvas_.RestoreClip(initialClip_);
        if (!region) return;
        canvas_.SelectClipRegion(*region, op == TRegionOp::rgnCopy ? TRegionOp::rgnAnd : op);
        KeepInsideInitialClip();
    }
    void SelectClipPath(TRegionOp op)
    {
        if (op == TRegionOp::rgnCopy) {
            canvas_.RestoreClip(initialClip_);
            op = TRegionOp::rgnAnd;
        }
        canvas_.SelectClipPath(op);
        KeepInsideInitialClip();
    }

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
        int bkMode = BkOpaque;
        bool smoothStretch = false;
        TFontObject font;
    };

    void SetPen(TPen pen)
    {
        pen.mode = state_.penMode;
        canvas_.SetPen(pen);
    }
    void SelectStock(uint32_t n)
    {
        static constexpr TColor BrushGreys[] = {clWhite, 0xC0C0C0, 0x808080, 0x404040, clBlack};
        if (n < std::size(BrushGreys)) canvas_.SetBrush({BrushGreys[n], TBrushStyle::bsSolid});
        if (n == 5) canvas_.SetBrush({clWhite, TBrushStyle::bsClear});
        if (n == 6 || n == 7) SetPen({n == 6 ? clWhite : clBlack, 0});
        if (n == 8) SetPen({clBlack, 0, TPenStyle::psClear});
        if (n >= 10 && n <= 17 && n != 15) state_.font = TFontObject{TFont{TFont().name, 16}};
    }
    void FillWith(TColor colour, const TRect& logical)
    {
        const TBrush old = canvas_.Brush();
        canvas_.SetBrush({colour, TBrushStyle::bsSolid});
        canvas_.FillRect(logical);
        canvas_.SetBrush(old);
    }
    void KeepInsideInitialClip()
    {
        if (initialClip_.clipped) canvas_.SelectClipRegion(TRegion::Path(initialClip_.device), TRegionOp::rgnAnd);
    }
    static TRegion MappedRegion(const QRegion& region, const QTransform& toDevice)
    {
        QRegion device;
        const QRectF limits(-MaxOffset, -MaxOffset, 2 * MaxOffset, 2 * MaxOffset);
        for (const QRect& r : region)
            device += toDevice.mapRect(QRectF(r.left(), r.top(), r.width(), r.height())).intersected(limits).toRect();
        return TRegion(device);
    }

    // Logical units to the metafile's device units.
    QTransform Page() const
    {
        const TState& s = state_;
        double sx = 1, sy = 1;
        if (wmf_) {
            // A window extent stretches the window onto the picture's frame.
            if (s.windowExtSet && s.windowExt.width() != 0 && s.windowExt.height() != 0)
                sx = frameSize_.width() / s.windowExt.width(), sy = frameSize_.height() / s.windowExt.height();
            return QTransform::fromTranslate(-s.windowOrg.x(), -s.windowOrg.y()) * QTransform::fromScale(sx, sy);
        }
        static constexpr double MmPerUnit[] = {0.1, 0.01, 0.254, 0.0254, 25.4 / 1440};
        if (s.mapMode >= 2 && s.mapMode <= 6) {
            sx = pixelsPerMm_.width() * MmPerUnit[s.mapMode - 2];
            sy = -pixelsPerMm_.height() * MmPerUnit[s.mapMode - 2];
        } else if ((s.mapMode == 7 || s.mapMode == 8) && s.windowExt.width() != 0 && s.windowExt.height() != 0) {
            sx = s.viewportExt.width() / s.windowExt.width();
            sy = s.viewportExt.height() / s.windowExt.height();
            if (s.mapMode == 7) {
                const double m = std::min(std::abs(sx), std::abs(sy));
                sx = std::copysign(m, sx), sy = std::copysign(m, sy);
            }
        }
        return QTransform::fromTranslate(-s.windowOrg.x(), -s.windowOrg.y()) * QTransform::fromScale(sx, sy) *
               QTransform::fromTranslate(s.viewportOrg.x(), s.viewportOrg.y());
    }
    void Apply()
    {
        canvas_.SetDeviceTurn(Turned() ? Full() : QTransform());
        InstallMapping(Composite());
    }
    // The canvas's integer mapping nearest to a scale-and-offset transform to device pixels.
    void InstallMapping(const QTransform& t)
    {
        const double largest = std::max({std::abs(t.m11()), std::abs(t.m22()), 1e-9});
        int unit = 1 << 16;
        while (unit > 1 && largest * unit > double(1 << 30)) unit /= 2;
        const auto extent = [unit](double scale) {
            const double v = std::clamp(std::round(scale * unit), -double(1 << 30), double(1 << 30));
            return v == 0 ? (scale < 0 ? -1 : 1) : int(v);
        };
        const auto origin = [](double v) { return int(std::clamp(std::round(v), -double(1 << 30), double(1 << 30))); };
        canvas_.SetMapping({{0, 0}, {unit, unit}, {origin(t.dx()), origin(t.dy())}, {extent(t.m11()), extent(t.m22())}});
    }

    TCanvas& canvas_;
    QTransform frameToDevice_;
    bool wmf_;
    QSizeF frameSize_{1, 1};
    QSizeF pixelsPerMm_{96 / 25.4, 96 / 25.4};
    TState state_;
    QPoint position_;
    TClipState initialClip_;
    std::map<int, TGdiObject> objects_;
    std::vector<TState> saved_;
    // Glyph area the whole playback may rasterise: many large glyphs would take seconds.
    double textPixelBudget_ = MaxTextPixelsPerPlayback;
};

// Runs the playback, ending it quietly at the first malformed record.
template <typename F>
void PlayRecords(F play)
{
    try {
        play();
    } catch (const EReadError&) {
        // a damaged record ends the picture
    }
}

// ---------------------------------------------------------------- Windows metafiles

struct TWmfHeader {
    QRectF frame;
    qsizetype recordsStart = 0;
};

QPoint WmfPoint(TBoundedReader& in)
{
    const int x = in.ReadI16();
    return {x, in.ReadI16()};
}

// Rectangles are stored bottom, right, top, left.
QRect WmfBox(TBoundedReader& in)
{
    const int bottom = in.ReadI16(), right = in.ReadI16(), top = in.ReadI16(), left = in.ReadI16();
    return Box(left, top, right, bottom);
}

QPolygon WmfPoints(TBoundedReader& in, int count)
{
    if (count < 0) Fail();
    in.Need(int64_t(count) * 4);
    QPolygon points;
    for (int i = 0; i < count; ++i) points << WmfPoint(in);
    return points;
}

QString WmfText(TPlayer& player, TBoundedReader& in, int length)
{
    if (length < 0) Fail();
    const QByteArrayView bytes = in.ReadBytes(length);
    return player.ShiftJisText() ? FromCp932(bytes) : QString::fromLatin1(bytes);
}

// A region object: its scans of rectangles, in logical units.
QRegion WmfRegion(TBoundedReader& in)
{
    in.Skip(10);  // next in chain, object type, object count, region size
    const int scanCount = in.ReadI16();
    in.Skip(2 + 8);  // largest scan, bounds
    QRegion region;
    for (int i = 0; i < scanCount; ++i) {
        const int count = in.ReadU16();
        const int top = in.ReadI16(), bottom = in.ReadI16();
        in.Need(int64_t(count) * 2 + 2);
        for (int k = 0; k + 1 < count; k += 2) {
            const int left = in.ReadI16(), right = in.ReadI16();
            if (right > left && bottom > top) region += QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
        }
        if (count % 2) in.Skip(2);
        in.Skip(2);  // count again
    }
    return region;
}

// Blits carry their picture as a packed DIB; without one they paint with the brush.
void PlayWmfBlit(TPlayer& player, uint16_t function, TBoundedReader& in, qsizetype paramBytes)
{
    constexpr uint16_t DibBitBlt = 0x0940, StretchDib = 0x0F43;
    const bool withPicture = paramBytes > (function == DibBitBlt ? 20 : 22) || function == StretchDib;
    const uint32_t rop = in.ReadU32();
    if (function == StretchDib) in.Skip(2);  // colour usage
    QSize sourceSize;
    if (function != DibBitBlt) {
        const int h = in.ReadI16();
        sourceSize = QSize(in.ReadI16(), h);
    }
    const int ySrc = in.ReadI16(), xSrc = in.ReadI16();
    if (!withPicture) in.Skip(2);
    const int h = in.ReadI16(), w = in.ReadI16(), y = in.ReadI16(), x = in.ReadI16();
    if (function == DibBitBlt) sourceSize = QSize(w, h);
    const QRect dest(x, y, w, h);
    if (!withPicture) {
        player.PatternOperation(ToTRect(x, y, x + w, y + h).Normalized(), rop);
        return;
    }
    const QImage picture = DecodePackedDib(in.ReadBytes(in.Remaining()));
    // A stretched DIB counts its source rows from the bottom, as the bitmap stores them.
    const int top = function == StretchDib ? picture.height() - ySrc - sourceSize.height() : ySrc;
    player.Blit(dest, picture, QRect(QPoint(xSrc, top), sourceSize), rop);
}

void PlayWmfRecord(TPlayer& player, uint16_t function, TBoundedReader& in)
{
    TCanvas& canvas = player.Canvas();
    const qsizetype paramBytes = in.Remaining();
    switch (function) {
    case 0x020B: { const QPoint p = WmfPoint(in); player.SetWindowOrg(QPointF(p.y(), p.x())); break; }
    case 0x020C: { const QPoint p = WmfPoint(in); player.SetWindowExt(QSizeF(p.y(), p.x())); break; }
    case 0x0103: player.SetMapMode(in.ReadU16()); break;
    case 0x0102: player.SetBkMode(in.ReadU16()); break;
    case 0x0104: player.SetRop2(in.ReadU16()); break;
    case 0x0106: player.SetPolyFillMode(in.ReadU16()); break;
    case 0x0107: player.SetStretchMode(in.ReadU16()); break;
    case 0x012E: player.SetTextAlign(in.ReadU16()); break;
    case 0x0201: player.SetBkColor(in.ReadU32()); break;
    case 0x0209: player.SetTextColor(in.ReadU32()); break;
    case 0x02FA: {
        const uint16_t style = in.ReadU16();
        const int width = in.ReadI16();
        in.ReadI16();
        player.Create(MakePen(style, width, in.ReadU32()));
        break;
    }
    case 0x02FC: {
        const uint16_t style = in.ReadU16();
        const uint32_t colour = in.ReadU32();
        player.Create(MakeBrush(style, colour, in.ReadU16()));
        break;
    }
    case 0x0142: {
        in.Skip(4);  // style, colour usage
        player.Create(MakePatternBrush(DecodePackedDib(in.ReadBytes(in.Remaining()))));
        break;
    }
    case 0x02FB: player.Create(MakeFont(in, false)); break;
    case 0x06FF: player.Create({TObjectKind::okRegion, {}, {}, {}, player.LogicalRegion(WmfRegion(in))}); break;
    case 0x00F7:
    case 0x01F9: player.Create({}); break;  // palettes and old pattern brushes hold their slot
    case 0x012D: player.Select(in.ReadU16()); break;
    case 0x01F0: player.Delete(in.ReadU16()); break;
    case 0x012C: {
        const TGdiObject* region = player.Object(in.ReadU16());
        player.SelectClip(region && region->kind == TObjectKind::okRegion ? &region->region : nullptr, TRegionOp::rgnCopy);
        break;
    }
    case 0x0228: {
        const TGdiObject* region = player.Object(in.ReadU16());
        const TGdiObject* brush = player.Object(in.ReadU16());
        if (region && brush) player.FillRegion(region->region, brush->brush);
        break;
    }
    case 0x0429: {
        const TGdiObject* region = player.Object(in.ReadU16());
        const TGdiObject* brush = player.Object(in.ReadU16());
        const int h = in.ReadI16(), w = in.ReadI16();
        if (region && brush) player.FrameRegion(region->region, brush->brush, w, h);
        break;
    }
    case 0x012A:
    case 0x012B: {
        const TGdiObject* region = player.Object(in.ReadU16());
        if (region) function == 0x012A ? player.InvertRegion(region->region) : player.PaintRegion(region->region);
        break;
    }
    case 0x0416: player.IntersectClipRect(WmfBox(in)); break;
    case 0x0415: player.ExcludeClipRect(WmfBox(in)); break;
    case 0x041B: canvas.Rectangle(TRect::FromQRect(WmfBox(in))); break;
    case 0x0418: canvas.Ellipse(TRect::FromQRect(WmfBox(in))); break;
    case 0x061C: {
        const int h = in.ReadI16(), w = in.ReadI16();
        player.RoundRect(WmfBox(in), w, h);
        break;
    }
    case 0x0817:
    case 0x0830:
    case 0x081A: {
        const QPoint end = WmfPoint(in), start = WmfPoint(in);
        const QRect box = WmfBox(in);
        const auto kind = function == 0x0817   ? TPlayer::TArcKind::akArc
                          : function == 0x0830 ? TPlayer::TArcKind::akChord
                                               : TPlayer::TArcKind::akPie;
        player.Arc(kind, box, QPoint(start.y(), start.x()), QPoint(end.y(), end.x()));
        break;
    }
    case 0x0324: canvas.Polygon(WmfPoints(in, in.ReadI16())); break;
    case 0x0325: canvas.Polyline(WmfPoints(in, in.ReadI16())); break;
    case 0x0538: {
        const int count = in.ReadU16();
        in.Need(int64_t(count) * 2);
        std::vector<int> sizes;
        for (int i = 0; i < count; ++i) sizes.push_back(in.ReadU16());
        std::vector<QPolygon> polygons;
        for (int size : sizes) polygons.push_back(WmfPoints(in, size));
        player.PolyPolygon(polygons);
        break;
    }
    case 0x0214: { const QPoint p = WmfPoint(in); player.MoveTo(QPoint(p.y(), p.x())); break; }
    case 0x0213: { const QPoint p = WmfPoint(in); player.LineTo(QPoint(p.y(), p.x())); break; }
    case 0x0521: {
        const int length = in.ReadI16();
        const QString text = WmfText(player, in, length);
        if (length % 2) in.Skip(1);
        const int y = in.ReadI16();
        player.TextOut(QPoint(in.ReadI16(), y), text, 0, nullptr);
        break;
    }
    case 0x0A32: {
        const int y = in.ReadI16(), x = in.ReadI16(), length = in.ReadI16();
        const uint16_t options = in.ReadU16();
        QRect box;
        if (options & (EtoOpaque | EtoClipped)) {
            const int left = in.ReadI16(), top = in.ReadI16(), right = in.ReadI16(), bottom = in.ReadI16();
            box = Box(left, top, right, bottom);
        }
        player.TextOut(QPoint(x, y), WmfText(player, in, length), options, box.isNull() ? nullptr : &box);
        break;
    }
    case 0x061D: {
        const uint32_t rop = in.ReadU32();
        const int h = in.ReadI16(), w = in.ReadI16(), y = in.ReadI16(), x = in.ReadI16();
        player.PatternOperation(ToTRect(x, y, x + w, y + h).Normalized(), rop);
        break;
    }
    case 0x0940:
    case 0x0B41:
    case 0x0F43: PlayWmfBlit(player, function, in, paramBytes); break;
    case 0x001E: player.Save(); break;
    case 0x0127: player.Restore(in.ReadI16()); break;
    default: break;  // records clip art does not need
    }
}

// Calls visit(function, parameters) for each record until the end record.
template <typename F>
void ForEachWmfRecord(TBoundedReader& in, F visit)
{
    while (in.Remaining() >= 6) {
        const uint32_t words = in.ReadU32();
        const uint16_t function = in.ReadU16();
        if (function == 0 || words < 3) break;
        TBoundedReader params(in.ReadBytes(int64_t(words) * 2 - 6), PictureLoadFailedMessage());
        visit(function, params);
    }
}

TWmfHeader ReadWmfHeader(TBoundedReader& in)
{
    TWmfHeader header;
    if (in.ReadU32() == PlaceableKey) {
        in.ReadU16();
        const int left = in.ReadI16(), top = in.ReadI16(), right = in.ReadI16(), bottom = in.ReadI16();
        const int inch = in.ReadU16();
        in.Skip(6);
        if (inch <= 0) Fail();
        header.frame = QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
    } else {
        in.Seek(0);
    }
    const uint16_t type = in.ReadU16(), headerWords = in.ReadU16();
    if ((type != 1 && type != 2) || headerWords != 9) Fail();
    in.Skip(14);
    header.recordsStart = in.Position();
    if (!header.frame.isEmpty()) return header;
    // Without a placeable header the first window set is the frame.
    QPointF origin;
    PlayRecords([&] {
        ForEachWmfRecord(in, [&](uint16_t function, TBoundedReader& params) {
            if (!header.frame.isEmpty()) return;
            if (function == 0x020B) { const QPoint p = WmfPoint(params); origin = QPointF(p.y(), p.x()); }
            if (function == 0x020C) { const QPoint p = WmfPoint(params); header.frame = QRectF(origin, QSizeF(p.y(), p.x())).normalized(); }
        });
    });
    if (header.frame.isEmpty()) Fail();
    return header;
}

QTransform FrameOnto(const QRectF& frame, const TRect& target)
{
    return QTransform::fromTranslate(-frame.left(), -frame.top()) *
           QTransform::fromScale(target.Width() / frame.width(), target.Height() / frame.height()) *
           QTransform::fromTranslate(target.left, target.top);
}

void PlayWmf(QByteArrayView bytes, TCanvas& canvas, const TRect& target)
{
    TBoundedReader in(bytes, PictureLoadFailedMessage());
    const TWmfHeader header = ReadWmfHeader(in);
    in.Seek(header.recordsStart);
    // The records' device space is the frame moved to the origin: logical minus the window origin.
    TPlayer player(canvas, FrameOnto(QRectF(QPointF(), header.frame.size()), target), true);
    player.SetFrameSize(header.frame.size());
    player.SetWindowOrg(header.frame.topLeft());
    PlayRecords([&] { ForEachWmfRecord(in, [&](uint16_t f, TBoundedReader& params) { PlayWmfRecord(player, f, params); }); });
}

// ---------------------------------------------------------------- enhanced metafiles

struct TEmfHeader {
    QRectF frame;
    QSizeF pixelsPerMm;
    qsizetype recordsStart = 0;
};

QPolygon EmfPointList(TBoundedReader& in, uint32_t count, bool shortPoints)
{
    in.Need(int64_t(count) * (shortPoints ? 4 : 8));
    QPolygon points;
    for (uint32_t i = 0; i < count; ++i) points << (shortPoints ? WmfPoint(in) : ReadPointL(in));
    return points;
}

QPolygon EmfPoints(TBoundedReader& in, bool shortPoints)
{
    in.Skip(16);  // bounds
    return EmfPointList(in, in.ReadU32(), shortPoints);
}

std::vector<QPolygon> EmfPolyPoints(TBoundedReader& in, bool shortPoints)
{
    in.Skip(16);  // bounds
    const uint32_t count = in.ReadU32();
    in.ReadU32();  // total points
    in.Need(int64_t(count) * 4);
    std::vector<uint32_t> sizes;
    for (uint32_t i = 0; i < count; ++i) sizes.push_back(in.ReadU32());
    std::vector<QPolygon> polygons;
    for (uint32_t size : sizes) polygons.push_back(EmfPointList(in, size, shortPoints));
    return polygons;
}

QTransform ReadXform(TBoundedReader& in)
{
    double m[6];
    for (double& v : m) {
        v = in.ReadF32();
        if (!std::isfinite(v)) Fail();
    }
    return QTransform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

// Region data: a 32-byte header with the count of rectangles, then the rectangles.
QRegion EmfRegion(TBoundedReader& in, uint32_t size)
{
    TBoundedReader data(in.ReadBytes(size), PictureLoadFailedMessage());
    data.Skip(8);  // header size, type
    const uint32_t count = data.ReadU32();
    data.Skip(20);  // byte size, bounds
    return ReadRegionRects(data, count);
}

TRegionOp RegionOp(uint32_t mode)
{
    static constexpr TRegionOp Ops[] = {TRegionOp::rgnAnd, TRegionOp::rgnOr, TRegionOp::rgnXor, TRegionOp::rgnDiff,
                                        TRegionOp::rgnCopy};
    return mode >= 1 && mode <= 5 ? Ops[mode - 1] : TRegionOp::rgnCopy;
}

// The DIB a record carries at offsets from the record's start (the parameters begin 8 bytes in).
QImage EmfDib(QByteArrayView record, uint32_t infoOffset, uint32_t infoSize, uint32_t bitsOffset, uint32_t bitsSize)
{
    if (infoSize == 0) return {};
    const auto slice = [&](uint32_t offset, uint32_t size) {
        if (offset < 8 || int64_t(offset) - 8 + size > record.size()) Fail();
        return record.sliced(offset - 8, size);
    };
    return DecodeDib(slice(infoOffset, infoSize), slice(bitsOffset, bitsSize));
}

void PlayEmfBlit(TPlayer& player, uint32_t type, QByteArrayView record)
{
    constexpr uint32_t StretchBlt = 77, StretchDibits = 81;
    TBoundedReader in(record, PictureLoadFailedMessage());
    in.Skip(16);  // bounds
    QRect dest, source;
    uint32_t rop = 0, offBmi = 0, cbBmi = 0, offBits = 0, cbBits = 0;
    bool fromBottom = false;
    if (type == StretchDibits) {
        const QPoint d = ReadPointL(in), s = ReadPointL(in);
        const int sw = ReadCoord(in), sh = ReadCoord(in);
        offBmi = in.ReadU32(), cbBmi = in.ReadU32(), offBits = in.ReadU32(), cbBits = in.ReadU32();
        in.ReadU32();  // colour usage
        rop = in.ReadU32();
        const int dw = ReadCoord(in), dh = ReadCoord(in);
        dest = QRect(d, QSize(dw, dh)), source = QRect(s, QSize(sw, sh));
        fromBottom = true;
    } else {
        const QPoint d = ReadPointL(in);
        const int dw = ReadCoord(in), dh = ReadCoord(in);
        rop = in.ReadU32();
        const QPoint s = ReadPointL(in);
        in.Skip(24 + 4 + 4);  // source transform, background colour, colour usage
        offBmi = in.ReadU32(), cbBmi = in.ReadU32(), offBits = in.ReadU32(), cbBits = in.ReadU32();
        QSize sourceSize(dw, dh);
        if (type == StretchBlt) {
            const int sw = ReadCoord(in);
            sourceSize = QSize(sw, ReadCoord(in));
        }
        dest = QRect(d, QSize(dw, dh)), source = QRect(s, sourceSize);
    }
    const QImage picture = EmfDib(record, offBmi, cbBmi, offBits, cbBits);
    if (fromBottom && !picture.isNull()) source.moveTop(picture.height() - source.top() - source.height());
    if (picture.isNull()) {
        player.PatternOperation(ToTRect(dest.left(), dest.top(), dest.left() + dest.width(), dest.top() + dest.height()).Normalized(), rop);
        return;
    }
    player.Blit(dest, picture, source, rop);
}

void PlayEmfText(TPlayer& player, uint32_t type, QByteArrayView record)
{
    constexpr uint32_t ExtTextOutW = 84;
    TBoundedReader in(record, PictureLoadFailedMessage());
    in.Skip(16 + 12);  // bounds, graphics mode, scales
    const QPoint reference = ReadPointL(in);
    const uint32_t chars = in.ReadU32(), offset = in.ReadU32(), options = in.ReadU32();
    const QRect box = ReadRectL(in);
    const int64_t bytes = int64_t(chars) * (type == ExtTextOutW ? 2 : 1);
    if (offset < 8 || int64_t(offset) - 8 + bytes > record.size()) Fail();
    const QByteArrayView raw = record.sliced(offset - 8, bytes);
    const QString text = type == ExtTextOutW ? QString::fromUtf16(reinterpret_cast<const char16_t*>(raw.data()), chars)
                         : player.ShiftJisText() ? FromCp932(raw)
                                                 : QString::fromLatin1(raw);
    player.TextOut(reference, text, options, box.isEmpty() ? nullptr : &box);
}

void PlayEmfRecord(TPlayer& player, uint32_t type, QByteArrayView record)
{
    TCanvas& canvas = player.Canvas();
    TBoundedReader in(record, PictureLoadFailedMessage());
    switch (type) {
    case 2:
    case 85: player.PolyBezier(EmfPoints(in, type == 85)); break;
    case 3:
    case 86: canvas.Polygon(EmfPoints(in, type == 86)); break;
    case 4:
    case 87: canvas.Polyline(EmfPoints(in, type == 87)); break;
    case 5:
    case 88: canvas.PolyBezierTo(EmfPoints(in, type == 88)); break;
    case 6:
    case 89: canvas.PolylineTo(EmfPoints(in, type == 89)); break;
    case 7:
    case 90:
        for (const QPolygon& line : EmfPolyPoints(in, type == 90)) canvas.Polyline(line);
        break;
    case 8:
    case 91: player.PolyPolygon(EmfPolyPoints(in, type == 91)); break;
    case 9: { const QPoint p = ReadPointL(in); player.SetWindowExt(QSizeF(p.x(), p.y())); break; }
    case 10: player.SetWindowOrg(ReadPointL(in)); break;
    case 11: { const QPoint p = ReadPointL(in); player.SetViewportExt(QSizeF(p.x(), p.y())); break; }
    case 12: player.SetViewportOrg(ReadPointL(in)); break;
    case 17: player.SetMapMode(in.ReadU32()); break;
    case 18: player.SetBkMode(in.ReadU32()); break;
    case 19: player.SetPolyFillMode(in.ReadU32()); break;
    case 20: player.SetRop2(in.ReadU32()); break;
    case 21: player.SetStretchMode(in.ReadU32()); break;
    case 22: player.SetTextAlign(in.ReadU32()); break;
    case 24: player.SetTextColor(in.ReadU32()); break;
    case 25: player.SetBkColor(in.ReadU32()); break;
    case 27: player.MoveTo(ReadPointL(in)); break;
    case 29: player.ExcludeClipRect(ReadRectL(in)); break;
    case 30: player.IntersectClipRect(ReadRectL(in)); break;
    case 33: player.Save(); break;
    case 34: player.Restore(in.ReadI32()); break;
    case 35: player.SetWorld(ReadXform(in)); break;
    case 36: { const QTransform x = ReadXform(in); player.ModifyWorld(x, in.ReadU32()); break; }
    case 37: player.Select(in.ReadU32()); break;
    case 38: {
        const uint32_t slot = in.ReadU32(), style = in.ReadU32();
        const int width = in.ReadI32();
        in.ReadI32();
        if (slot > uint32_t(MaxObjects)) Fail();
        player.Create(MakePen(style, width, in.ReadU32()), int(slot));
        break;
    }
    case 95: {
        const uint32_t slot = in.ReadU32();
        in.Skip(16);  // pattern bitmap offsets
        const uint32_t style = in.ReadU32(), width = in.ReadU32();
        in.ReadU32();  // brush style
        if (slot > uint32_t(MaxObjects)) Fail();
        constexpr uint32_t PsGeometric = 0x10000;
        player.Create(MakePen(style, (style & PsGeometric) ? int64_t(width) : 0, in.ReadU32()), int(slot));
        break;
    }
    case 39: {
        const uint32_t slot = in.ReadU32(), style = in.ReadU32(), colour = in.ReadU32();
        if (slot > uint32_t(MaxObjects)) Fail();
        player.Create(MakeBrush(style, colour, in.ReadU32()), int(slot));
        break;
    }
    case 94: {
        const uint32_t slot = in.ReadU32();
        in.ReadU32();  // colour usage
        const uint32_t offBmi = in.ReadU32(), cbBmi = in.ReadU32(), offBits = in.ReadU32(), cbBits = in.ReadU32();
        if (slot > uint32_t(MaxObjects)) Fail();
        player.Create(MakePatternBrush(EmfDib(record, offBmi, cbBmi, offBits, cbBits)), int(slot));
        break;
    }
    case 82: {
        const uint32_t slot = in.ReadU32();
        if (slot > uint32_t(MaxObjects)) Fail();
        player.Create(MakeFont(in, true), int(slot));
        break;
    }
    case 49:
    case 93: {
        const uint32_t slot = in.ReadU32();
        if (slot > uint32_t(MaxObjects)) Fail();
        player.Create({}, int(slot));  // palettes and mono brushes hold their slot
        break;
    }
    case 40: player.Delete(in.ReadU32()); break;
    case 42: canvas.Ellipse(TRect::FromQRect(ReadRectL(in))); break;
    case 43: canvas.Rectangle(TRect::FromQRect(ReadRectL(in))); break;
    case 44: {
        const QRect box = ReadRectL(in);
        const int w = ReadCoord(in);
        player.RoundRect(box, w, ReadCoord(in));
        break;
    }
    case 45:
    case 46:
    case 47: {
        const QRect box = ReadRectL(in);
        const QPoint start = ReadPointL(in), end = ReadPointL(in);
        const auto kind = type == 45 ? TPlayer::TArcKind::akArc : type == 46 ? TPlayer::TArcKind::akChord : TPlayer::TArcKind::akPie;
        player.Arc(kind, box, start, end);
        break;
    }
    case 54: player.LineTo(ReadPointL(in)); break;
    case 59: canvas.BeginPath(); break;
    case 60: canvas.EndPath(); break;
    case 61: canvas.CloseFigure(); break;
    case 62: canvas.FillPath(); break;
    case 63: canvas.StrokeAndFillPath(); break;
    case 64: canvas.StrokePath(); break;
    case 65: canvas.FlattenPath(); break;
    case 66: canvas.WidenPath(); break;
    case 67: player.SelectClipPath(RegionOp(in.ReadU32())); break;
    case 68: canvas.BeginPath(), canvas.EndPath(); break;
    case 71:
    case 72: {
        in.Skip(16);  // bounds
        const uint32_t size = in.ReadU32();
        const TGdiObject* brush = player.Object(in.ReadU32());
        int w = 1, h = 1;
        if (type == 72) w = ReadCoord(in), h = ReadCoord(in);
        const TRegion region = player.DeviceRegion(EmfRegion(in, size));
        if (!brush) break;
        type == 71 ? player.FillRegion(region, brush->brush) : player.FrameRegion(region, brush->brush, w, h);
        break;
    }
    case 73:
    case 74: {
        in.Skip(16);
        const TRegion region = player.DeviceRegion(EmfRegion(in, in.ReadU32()));
        type == 73 ? player.InvertRegion(region) : player.PaintRegion(region);
        break;
    }
    case 75: {
        const uint32_t size = in.ReadU32();
        const TRegionOp op = RegionOp(in.ReadU32());
        if (size == 0) {
            player.SelectClip(nullptr, op);
            break;
        }
        const TRegion region = player.DeviceRegion(EmfRegion(in, size));
        player.SelectClip(&region, op);
        break;
    }
    case 76:
    case 77:
    case 81: PlayEmfBlit(player, type, record); break;
    case 83:
    case 84: PlayEmfText(player, type, record); break;
    default: break;
    }
}

TEmfHeader ReadEmfHeader(TBoundedReader& in)
{
    if (in.ReadU32() != 1) Fail();
    const uint32_t headerSize = in.ReadU32();
    const QRect bounds = ReadRectL(in);
    in.Skip(16);  // frame
    if (in.ReadU32() != EmfSignature || headerSize < 88 || headerSize % 4) Fail();
    in.Skip(28);  // version, size, records, handles, reserved, description, palette entries
    const QPoint device = ReadPointL(in), millimetres = ReadPointL(in);
    TEmfHeader header;
    // The bounds are inclusive.
    header.frame = QRectF(QPointF(bounds.left(), bounds.top()), QPointF(bounds.right() + 1.0, bounds.bottom() + 1.0));
    if (header.frame.width() <= 0 || header.frame.height() <= 0) Fail();
    header.pixelsPerMm = QSizeF(96 / 25.4, 96 / 25.4);
    if (device.x() > 0 && device.y() > 0 && millimetres.x() > 0 && millimetres.y() > 0)
        header.pixelsPerMm = QSizeF(double(device.x()) / millimetres.x(), double(device.y()) / millimetres.y());
    in.Seek(headerSize);
    header.recordsStart = headerSize;
    return header;
}

void PlayEmf(QByteArrayView bytes, TCanvas& canvas, const TRect& target)
{
    TBoundedReader in(bytes, PictureLoadFailedMessage());
    const TEmfHeader header = ReadEmfHeader(in);
    TPlayer player(canvas, FrameOnto(header.frame, target), false);
    player.SetDeviceResolution(header.pixelsPerMm);
    PlayRecords([&] {
        while (in.Remaining() >= 8) {
            const uint32_t type = in.ReadU32(), size = in.ReadU32();
            if (type == 14 || size < 8 || size % 4) break;
            PlayEmfRecord(player, type, in.ReadBytes(int64_t(size) - 8));
        }
    });
}

QSize NaturalSize(const QRectF& frame)
{
    const double scale = std::min(1.0, double(MaxMetafileSide) / std::max(frame.width(), frame.height()));
    return QSize(std::max(1, int(frame.width() * scale)), std::max(1, int(frame.height() * scale)));
}

}  // namespace

bool IsEnhancedMetafile(QByteArrayView bytes)
{
    TBoundedReader in(bytes);
    return bytes.size() >= 44 && in.ReadU32() == 1 && (in.Seek(40), in.ReadU32() == EmfSignature);
}

QSize MetafileSize(QByteArrayView bytes)
{
    TBoundedReader in(bytes, PictureLoadFailedMessage());
    return NaturalSize(IsEnhancedMetafile(bytes) ? ReadEmfHeader(in).frame : ReadWmfHeader(in).frame);
}

void PlayMetafile(QByteArrayView bytes, TCanvas& canvas, const TRect& target)
{
    if (target.Normalized().IsEmpty()) return;
    TCanvasStateSaver saver(canvas);
    canvas.IntersectClipRect(target.Normalized());
    IsEnhancedMetafile(bytes) ? PlayEmf(bytes, canvas, target) : PlayWmf(bytes, canvas, target);
}

QImage PlayMetafile(QByteArrayView bytes)
{
    const QSize size = MetafileSize(bytes);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    TCanvas canvas(image);
    PlayMetafile(bytes, canvas, {0, 0, size.width(), size.height()});
    return image;
}

void DrawGraphic(TCanvas& canvas, const TRect& rect, const TGraphic& graphic)
{
    if (graphic.IsMetafile())
        PlayMetafile(graphic.Bytes(), canvas, rect);
    else if (!graphic.Image().isNull())
        canvas.StretchDraw(rect, graphic.Image());
}

}  // namespace kestrel
