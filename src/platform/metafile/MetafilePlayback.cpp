#include "platform/metafile/MetafilePlayback.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QtMath>
#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/Cp932.h"
#include "platform/FontServices.h"
#include "platform/MetafilePlayer.h"
#include "platform/PictureCodecs.h"

namespace kestrel::metafile {

namespace {

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

// The work one playback may do, in units of about what filling PixelsPerWork device pixels
// costs: a record costs RecordWork, a point PointWork. The budget plays a clip-art picture many
// times over at print resolution in well under a second; a metafile of millions of records,
// points or full-page fills ends there instead of running for minutes.
constexpr double MaxPlaybackWork = 8e6;
constexpr double RecordWork = 16;
constexpr double PointWork = 16;
constexpr double PixelsPerWork = 64;

// Text alignment.
constexpr uint32_t TaUpdateCp = 1, TaRight = 2, TaCenter = 6, TaBottom = 8, TaBaseline = 24;
constexpr int BkOpaque = 2;

// Raster operations that are not plain copies of the source.
constexpr uint32_t RopSrcPaint = 0xEE0086, RopSrcAnd = 0x8800C6, RopSrcInvert = 0x660046, RopNotSrcCopy = 0x330008,
                   RopBlackness = 0x000042, RopWhiteness = 0xFF0062, RopPatCopy = 0xF00021, RopPatInvert = 0x5A0049,
                   RopDstInvert = 0x550009;

TColor ColourRef(uint32_t c) { return TColor(c & 0xFFFFFF); }

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

// The union of many rectangles by halves: adding them one by one costs the square of their count.
QRegion United(std::vector<QRegion>& parts)
{
    if (parts.empty()) return {};
    for (size_t step = 1; step < parts.size(); step *= 2)
        for (size_t i = 0; i + step < parts.size(); i += 2 * step) parts[i] += parts[i + step];
    return parts.front();
}

}  // namespace

void Fail() { throw EReadError(PictureLoadFailedMessage()); }

QRect Box(int left, int top, int right, int bottom)
{
    const auto side = [](int a, int b) { return int(std::min<int64_t>(std::abs(int64_t(b) - a), INT_MAX)); };
    return QRect(std::min(left, right), std::min(top, bottom), side(left, right), side(top, bottom));
}

TRect ToTRect(const QRect& box) { return {box.left(), box.top(), box.left() + box.width(), box.top() + box.height()}; }

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

std::vector<QRect> ReadRegionRects(TBoundedReader& in, uint32_t count)
{
    in.Need(int64_t(count) * 16);
    std::vector<QRect> rects;
    for (uint32_t i = 0; i < count; ++i) {
        const QRect r = ReadRectL(in);
        if (!r.isEmpty()) rects.push_back(r);
    }
    return rects;
}

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

TGdiObject MakePatternBrush(const QImage& pattern)
{
    TGdiObject object;
    object.kind = TObjectKind::okBrush;
    const QImage one = pattern.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    object.brush.color = one.isNull() ? clGray : FromQColor(one.pixelColor(0, 0));
    return object;
}

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

QTransform FrameOnto(const QRectF& frame, const TRect& target)
{
    return QTransform::fromTranslate(-frame.left(), -frame.top()) *
           QTransform::fromScale(target.Width() / frame.width(), target.Height() / frame.height()) *
           QTransform::fromTranslate(target.left, target.top);
}

// ---------------------------------------------------------------- TPlayback

TPlayback::TPlayback(TCanvas& canvas, const QTransform& frameToTarget, bool wmf)
    : canvas_(canvas),
      frameToDevice_(frameToTarget * canvas.LogicalToDevice()),
      wmf_(wmf),
      deviceRect_(0, 0, canvas.Device().width(), canvas.Device().height()),
      workLeft_(MaxPlaybackWork),
      textPixelBudget_(MaxTextPixelsPerPlayback)
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

// ---- work

void TPlayback::Spend(double units)
{
    workLeft_ -= units;
    if (workLeft_ < 0) throw TBudgetSpent();
}

void TPlayback::SpendRecord() { Spend(RecordWork); }

void TPlayback::SpendPoints(qsizetype count) { Spend(double(count) * PointWork); }

void TPlayback::SpendDeviceArea(const QRect& device)
{
    const QRect painted = device.intersected(deviceRect_);
    if (!painted.isEmpty()) Spend(double(painted.width()) * painted.height() / PixelsPerWork);
}

void TPlayback::SpendArea(const QRectF& logical)
{
    const QRectF device = Full().mapRect(logical.normalized());
    const QRectF limits(-MaxOffset, -MaxOffset, 2 * MaxOffset, 2 * MaxOffset);
    // A pen draws a little beyond the shape's own bounds.
    const double pen = std::max(1, canvas_.Pen().width) * std::abs(Full().m11()) + 1;
    SpendDeviceArea(device.intersected(limits).adjusted(-pen, -pen, pen, pen).toAlignedRect());
}

void TPlayback::SpendShape(const QPolygon& points)
{
    SpendPoints(points.size());
    SpendArea(QRectF(points.boundingRect()));
}

void TPlayback::SpendPathArea()
{
    const TPathPoints& path = canvas_.PathPoints();
    if (path.empty()) return;
    QRect bounds(path.front().point, QSize(1, 1));
    for (const TPathPoint& p : path) bounds |= QRect(p.point, QSize(1, 1));
    SpendDeviceArea(canvas_.LogToDev(TRect::FromQRect(bounds)).ToQRect());
}

// ---- mapping

void TPlayback::SetMapMode(uint32_t mode) { state_.mapMode = mode, Apply(); }
void TPlayback::SetWindowOrg(QPointF origin) { state_.windowOrg = origin, Apply(); }
void TPlayback::SetWindowExt(QSizeF extent) { state_.windowExt = extent, state_.windowExtSet = true, Apply(); }
void TPlayback::SetViewportOrg(QPointF origin) { state_.viewportOrg = origin, Apply(); }
void TPlayback::SetViewportExt(QSizeF extent) { state_.viewportExt = extent, Apply(); }
void TPlayback::SetWorld(const QTransform& world) { state_.world = world, Apply(); }

void TPlayback::ModifyWorld(const QTransform& x, uint32_t mode)
{
    constexpr uint32_t Identity = 1, Left = 2, Right = 3, Set = 4;
    if (mode == Identity) state_.world = QTransform();
    if (mode == Left) state_.world = x * state_.world;
    if (mode == Right) state_.world = state_.world * x;
    if (mode == Set) state_.world = x;
    Apply();
}

QTransform TPlayback::Full() const
{
    const QTransform t = state_.world * Page() * frameToDevice_;
    const auto scale = [](double v) { return std::clamp(v, -MaxScale, MaxScale); };
    const auto offset = [](double v) { return std::clamp(v, -MaxOffset, MaxOffset); };
    return QTransform(scale(t.m11()), scale(t.m12()), scale(t.m21()), scale(t.m22()), offset(t.dx()), offset(t.dy()));
}

QTransform TPlayback::Page() const
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

void TPlayback::Apply()
{
    canvas_.SetDeviceTurn(Turned() ? Full() : QTransform());
    InstallMapping(Composite());
}

void TPlayback::InstallMapping(const QTransform& t)
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

// ---- objects

void TPlayback::Create(TGdiObject object, int slot)
{
    if (slot < 0 && !freeSlots_.empty()) {
        slot = *freeSlots_.begin();
        freeSlots_.erase(freeSlots_.begin());
    } else if (slot < 0) {
        slot = nextFreeSlot_++;
    }
    if (slot > MaxObjects) Fail();
    objects_[slot] = std::move(object);
}

void TPlayback::Delete(uint32_t index)
{
    if (objects_.erase(int(index)) && int(index) < nextFreeSlot_) freeSlots_.insert(int(index));
}

const TGdiObject* TPlayback::Object(uint32_t index) const
{
    const auto it = objects_.find(int(index));
    return it == objects_.end() ? nullptr : &it->second;
}

void TPlayback::Select(uint32_t index)
{
    if (index & StockObject) return SelectStock(index & ~StockObject);
    const TGdiObject* object = Object(index);
    if (!object) return;
    if (object->kind == TObjectKind::okPen) SetPen(object->pen);
    if (object->kind == TObjectKind::okBrush) canvas_.SetBrush(object->brush);
    if (object->kind == TObjectKind::okFont) state_.font = object->font;
    if (object->kind == TObjectKind::okRegion) SelectClip(&object->region, TRegionOp::rgnCopy);
}

void TPlayback::SelectStock(uint32_t n)
{
    static constexpr TColor BrushGreys[] = {clWhite, 0xC0C0C0, 0x808080, 0x404040, clBlack};
    if (n < std::size(BrushGreys)) canvas_.SetBrush({BrushGreys[n], TBrushStyle::bsSolid});
    if (n == 5) canvas_.SetBrush({clWhite, TBrushStyle::bsClear});
    if (n == 6 || n == 7) SetPen({n == 6 ? clWhite : clBlack, 0});
    if (n == 8) SetPen({clBlack, 0, TPenStyle::psClear});
    if (n >= 10 && n <= 17 && n != 15) state_.font = TFontObject{TFont{TFont().name, 16}};
}

// ---- state

void TPlayback::Save()
{
    if (saved_.size() >= MaxSavedStates) Fail();
    canvas_.Save();
    saved_.push_back(state_);
}

void TPlayback::Restore(int which)
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

void TPlayback::SetRop2(uint32_t rop)
{
    constexpr uint32_t R2Not = 6, R2XorPen = 7;
    state_.penMode = rop == R2Not ? TPenMode::pmNot : rop == R2XorPen ? TPenMode::pmXor : TPenMode::pmCopy;
    SetPen(canvas_.Pen());
}

void TPlayback::SetPolyFillMode(uint32_t mode)
{
    canvas_.SetPolyFillMode(mode == 2 ? TPolyFillMode::pfmWinding : TPolyFillMode::pfmAlternate);
}

void TPlayback::SetTextColor(uint32_t colour) { state_.textColor = ColourRef(colour); }
void TPlayback::SetBkColor(uint32_t colour) { state_.bkColor = ColourRef(colour); }

void TPlayback::SetPen(TPen pen)
{
    pen.mode = state_.penMode;
    canvas_.SetPen(pen);
}

// ---- output

void TPlayback::MoveTo(QPoint p) { canvas_.MoveTo(p), position_ = p; }

void TPlayback::LineTo(QPoint p)
{
    SpendArea(QRectF(QRect(position_, p).normalized()));
    canvas_.LineTo(p), position_ = p;
}

void TPlayback::Polyline(const QPolygon& points)
{
    SpendShape(points);
    canvas_.Polyline(points);
}

void TPlayback::PolylineTo(const QPolygon& points)
{
    SpendShape(points);
    canvas_.PolylineTo(points);
}

void TPlayback::Polygon(const QPolygon& points)
{
    SpendShape(points);
    canvas_.Polygon(points);
}

void TPlayback::PolyBezier(const QPolygon& points)
{
    if (points.isEmpty()) return;
    MoveTo(points.first());
    PolyBezierTo(points.mid(1));
}

void TPlayback::PolyBezierTo(const QPolygon& points)
{
    SpendShape(points);
    canvas_.PolyBezierTo(points);
}

void TPlayback::PolyPolyline(const std::vector<QPolygon>& lines)
{
    for (const QPolygon& line : lines) Polyline(line);
}

void TPlayback::PolyPolygon(const std::vector<QPolygon>& polygons)
{
    for (const QPolygon& polygon : polygons) SpendShape(polygon);
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

void TPlayback::Rectangle(const QRect& box)
{
    SpendArea(QRectF(box));
    canvas_.Rectangle(TRect::FromQRect(box));
}

void TPlayback::Ellipse(const QRect& box)
{
    SpendArea(QRectF(box));
    canvas_.Ellipse(TRect::FromQRect(box));
}

void TPlayback::RoundRect(const QRect& box, int cornerWidth, int cornerHeight)
{
    SpendArea(QRectF(box));
    QPainterPath path;
    path.addRoundedRect(QRectF(box).normalized(), std::abs(cornerWidth) / 2.0, std::abs(cornerHeight) / 2.0);
    canvas_.DrawPath(path);
}

void TPlayback::Arc(TArcKind kind, const QRect& box, QPoint start, QPoint end)
{
    const QRectF r = QRectF(box).normalized();
    if (r.isEmpty()) return;
    SpendArea(r);
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

void TPlayback::TextOut(QPoint reference, const QString& text, uint32_t options, const QRect* box)
{
    const QTransform c = Composite();
    // Glyphs stretch by the larger of the two axes' scales, whichever way they are turned.
    const QTransform full = Full();
    const double scale = std::max(std::hypot(full.m11(), full.m12()), std::hypot(full.m21(), full.m22()));
    const double glyphPixels = std::abs(state_.font.font.size) * scale;
    if (glyphPixels > MaxTextPixels) return;
    SpendPoints(text.size());
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

void TPlayback::Blit(const QRect& dest, const QImage& picture, QRect source, uint32_t rop)
{
    const TRect target = ToTRect(dest);
    if (PatternOperation(dest, rop) || picture.isNull()) return;
    source = source.normalized().intersected(picture.rect());
    if (source.isEmpty() || target.Normalized().IsEmpty()) return;
    SpendArea(QRectF(dest));
    SpendDeviceArea(source);  // the copy taken of the picture
    const QTransform c = Composite();
    QImage part = picture.copy(source).mirrored(target.Width() * c.m11() < 0, target.Height() * c.m22() < 0);
    if (rop == RopNotSrcCopy) part.invertPixels();
    const TCopyMode old = canvas_.CopyMode();
    canvas_.SetCopyMode(rop == RopSrcInvert ? TCopyMode::cmSrcInvert
                        : rop == RopSrcAnd  ? TCopyMode::cmSrcAnd
                        : rop == RopSrcPaint ? TCopyMode::cmSrcPaint
                                             : TCopyMode::cmSrcCopy);
    canvas_.StretchDraw(target.Normalized(), part, state_.smoothStretch ? TStretchQuality::sqSmooth : TStretchQuality::sqDevice);
    canvas_.SetCopyMode(old);
}

bool TPlayback::PatternOperation(const QRect& dest, uint32_t rop)
{
    const TRect target = ToTRect(dest).Normalized();
    const auto paint = [&](const auto& operation) {
        SpendArea(QRectF(dest));
        operation();
        return true;
    };
    switch (rop) {
    case RopBlackness: return paint([&] { FillWith(clBlack, target); });
    case RopWhiteness: return paint([&] { FillWith(clWhite, target); });
    case RopPatCopy: return paint([&] { canvas_.FillRect(target); });
    case RopPatInvert: return paint([&] { canvas_.PatternInvertRect(target); });
    case RopDstInvert: return paint([&] { canvas_.InvertRect(target); });
    default: return false;
    }
}

void TPlayback::FillWith(TColor colour, const TRect& logical)
{
    const TBrush old = canvas_.Brush();
    canvas_.SetBrush({colour, TBrushStyle::bsSolid});
    canvas_.FillRect(logical);
    canvas_.SetBrush(old);
}

// ---- paths

void TPlayback::FillPath()
{
    SpendPathArea();
    canvas_.FillPath();
}

void TPlayback::StrokePath()
{
    SpendPathArea();
    canvas_.StrokePath();
}

void TPlayback::StrokeAndFillPath()
{
    SpendPathArea();
    canvas_.StrokeAndFillPath();
}

// ---- regions and clipping

TRegion TPlayback::MappedRegion(const std::vector<QRect>& rects, const QTransform& toDevice)
{
    SpendPoints(qsizetype(rects.size()));
    std::vector<QRegion> device;
    const QRectF limits(-MaxOffset, -MaxOffset, 2 * MaxOffset, 2 * MaxOffset);
    for (const QRect& r : rects)
        device.emplace_back(toDevice.mapRect(QRectF(r.left(), r.top(), r.width(), r.height())).intersected(limits).toRect());
    return TRegion(United(device));
}

TRegion TPlayback::DeviceRegion(const std::vector<QRect>& frameUnits)
{
    // Device units stay unturned: back through the device turn, by their bounding boxes.
    return MappedRegion(frameUnits, frameToDevice_ * canvas_.DeviceTurn().inverted());
}

TRegion TPlayback::LogicalRegion(const std::vector<QRect>& logical) { return MappedRegion(logical, Composite()); }

void TPlayback::FillRegion(const TRegion& region, const TBrush& brush)
{
    SpendDeviceArea(region.Bounds().ToQRect());
    const TBrush old = canvas_.Brush();
    canvas_.SetBrush(brush);
    canvas_.FillRegion(region);
    canvas_.SetBrush(old);
}

void TPlayback::FrameRegion(const TRegion& region, const TBrush& brush, int width, int height)
{
    const QTransform c = Composite();
    const int w = std::clamp(int(std::lround(std::abs(width * c.m11()))), 1, MaxMetafileSide);
    const int h = std::clamp(int(std::lround(std::abs(height * c.m22()))), 1, MaxMetafileSide);
    TRegion inner = region;
    for (const QPoint shift : {QPoint(w, 0), QPoint(-w, 0), QPoint(0, h), QPoint(0, -h)})
        inner = inner.Combined(region.Translated(shift.x(), shift.y()), TRegionOp::rgnAnd);
    FillRegion(region.Combined(inner, TRegionOp::rgnDiff), brush);
}

void TPlayback::InvertRegion(const TRegion& region)
{
    SpendDeviceArea(region.Bounds().ToQRect());
    TClipGuard guard(canvas_);
    canvas_.SelectClipRegion(region, TRegionOp::rgnAnd);
    canvas_.InvertRect(canvas_.ClipBox());
}

void TPlayback::PaintRegion(const TRegion& region)
{
    SpendDeviceArea(region.Bounds().ToQRect());
    canvas_.FillRegion(region);
}

void TPlayback::IntersectClipRect(const QRect& logical) { canvas_.IntersectClipRect(TRect::FromQRect(logical.normalized())); }

void TPlayback::ExcludeClipRect(const QRect& logical)
{
    canvas_.SelectClipRegion(TRegion::Rect(canvas_.LogToDev(TRect::FromQRect(logical.normalized()))), TRegionOp::rgnDiff);
}

void TPlayback::SelectClip(const TRegion* region, TRegionOp op)
{
    if (!region || op == TRegionOp::rgnCopy) canvas_.RestoreClip(initialClip_);
    if (!region) return;
    canvas_.SelectClipRegion(*region, op == TRegionOp::rgnCopy ? TRegionOp::rgnAnd : op);
    KeepInsideInitialClip();
}

void TPlayback::SelectClipPath(TRegionOp op)
{
    if (op == TRegionOp::rgnCopy) {
        canvas_.RestoreClip(initialClip_);
        op = TRegionOp::rgnAnd;
    }
    canvas_.SelectClipPath(op);
    KeepInsideInitialClip();
}

void TPlayback::KeepInsideInitialClip()
{
    if (initialClip_.clipped) canvas_.SelectClipRegion(TRegion::Path(initialClip_.device), TRegionOp::rgnAnd);
}

}  // namespace kestrel::metafile
