#include "platform/Canvas.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPagedPaintDevice>
#include <cmath>

#include "platform/Error.h"
#include "platform/FontServices.h"
#include "platform/Rounding.h"

namespace kestrel {

// Draws in device pixels for one call: the shapes below place their pixels themselves. The
// device turn, when one is set, still applies.
class TCanvas::TDeviceSpace {
public:
    explicit TDeviceSpace(QPainter& painter, const QTransform& turn = {}) : painter_(painter), saved_(painter.worldTransform())
    {
        painter_.setWorldTransform(turn);
    }
    ~TDeviceSpace() { painter_.setWorldTransform(saved_); }

private:
    QPainter& painter_;
    QTransform saved_;
};

TCanvas::TCanvas(QPaintDevice& device) : ownPainter_(std::make_unique<QPainter>()), painter_(ownPainter_.get())
{
    // A picture too large for the memory there is comes to a canvas as a null one.
    const auto* image = dynamic_cast<const QImage*>(&device);
    if (image && image->isNull()) throw EKestrel(QStringLiteral("描画先の画像を作るメモリが足りません"));
    if (!ownPainter_->begin(&device)) throw EKestrel(QStringLiteral("描画先を準備できません"));
    Init();
}

TCanvas::TCanvas(QPainter& painter) : painter_(&painter)
{
    painter_->save();  // handed back unchanged
    Init();
}

TCanvas::~TCanvas()
{
    for (size_t i = 0; i < saved_.size(); ++i) painter_->restore();
    if (ownPainter_)
        ownPainter_->end();
    else
        painter_->restore();
}

void TCanvas::Init()
{
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, true);
    SetPen(pen_);
    SyncTransform();
}

bool TCanvas::IsPrinter() const
{
    // Printers and PDF writers (print to file) are the paged devices.
    return Device().devType() == QInternal::Printer || dynamic_cast<const QPagedPaintDevice*>(&Device());
}

bool TCanvas::IsBitmapBacked() const
{
    return Device().devType() == QInternal::Image;
}

int TCanvas::DeviceDpi() const
{
    return Device().logicalDpiY();
}

bool TCanvas::IsRaster() const
{
    const QPaintEngine* engine = painter_->paintEngine();
    return engine && engine->type() == QPaintEngine::Raster;
}

void TCanvas::SetPen(const TPen& pen)
{
    pen_ = pen;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    if (IsRaster()) {
        if (pen.mode == TPenMode::pmNot) mode = QPainter::RasterOp_NotDestination;
        if (pen.mode == TPenMode::pmXor) mode = QPainter::RasterOp_SourceXorDestination;
    }
    painter_->setCompositionMode(mode);
}

void TCanvas::Save()
{
    saved_.push_back(
        {pen_, brush_, font_, fontResolution_, mapping_, deviceOffset_, deviceTurn_, penPos_, polyFillMode_, copyMode_});
    painter_->save();
}

void TCanvas::Restore()
{
    if (saved_.empty()) return;
    const TState& s = saved_.back();
    pen_ = s.pen;
    brush_ = s.brush;
    font_ = s.font;
    fontResolution_ = s.fontResolution;
    mapping_ = s.mapping;
    deviceOffset_ = s.deviceOffset;
    deviceTurn_ = s.deviceTurn;
    penPos_ = s.penPos;
    polyFillMode_ = s.polyFillMode;
    copyMode_ = s.copyMode;
    saved_.pop_back();
    painter_->restore();  // clipping, transform and raster mode
}

void TCanvas::SetMapping(const TMapping& mapping)
{
    if (mapping.windowExt.width() == 0 || mapping.windowExt.height() == 0 || mapping.viewportExt.width() == 0 ||
        mapping.viewportExt.height() == 0)
        return;  // a degenerate mapping would send everything to infinity
    mapping_ = mapping;
    SyncTransform();
}

void TCanvas::SetWindowOrg(QPoint org)
{
    TMapping m = mapping_;
    m.windowOrg = org;
    SetMapping(m);
}

void TCanvas::SetWindowExt(QSize ext)
{
    TMapping m = mapping_;
    m.windowExt = ext;
    SetMapping(m);
}

void TCanvas::SetViewportOrg(QPoint org)
{
    TMapping m = mapping_;
    m.viewportOrg = org;
    SetMapping(m);
}

void TCanvas::SetViewportExt(QSize ext)
{
    TMapping m = mapping_;
    m.viewportExt = ext;
    SetMapping(m);
}

void TCanvas::SetDeviceOffset(QPoint offset)
{
    deviceOffset_ = offset;
    SyncTransform();
}

QTransform TCanvas::LogicalToDevice() const
{
    const double sx = double(mapping_.viewportExt.width()) / mapping_.windowExt.width();
    const double sy = double(mapping_.viewportExt.height()) / mapping_.windowExt.height();
    const QPoint shift = mapping_.viewportOrg + deviceOffset_;
    return QTransform::fromTranslate(-mapping_.windowOrg.x(), -mapping_.windowOrg.y()) * QTransform::fromScale(sx, sy) *
           QTransform::fromTranslate(shift.x(), shift.y());
}

void TCanvas::SyncTransform()
{
    painter_->setWorldTransform(LogicalToDevice() * deviceTurn_);
}

void TCanvas::SetDeviceTurn(const QTransform& turn)
{
    deviceTurn_ = turn;
    SyncTransform();
}

QPoint TCanvas::LogToDev(QPoint logical) const
{
    const QPointF p = LogicalToDevice().map(QPointF(logical));
    return {int(RoundHalfAway(p.x())), int(RoundHalfAway(p.y()))};
}

QPoint TCanvas::DevToLog(QPoint device) const
{
    const QPointF p = LogicalToDevice().inverted().map(QPointF(device));
    return {int(RoundHalfAway(p.x())), int(RoundHalfAway(p.y()))};
}

TRect TCanvas::LogToDev(const TRect& logical) const
{
    const QPoint a = LogToDev(logical.TopLeft());
    const QPoint b = LogToDev(logical.BottomRight());
    return TRect{a.x(), a.y(), b.x(), b.y()}.Normalized();
}

TRect TCanvas::DevToLog(const TRect& device) const
{
    const QPoint a = DevToLog(device.TopLeft());
    const QPoint b = DevToLog(device.BottomRight());
    return TRect{a.x(), a.y(), b.x(), b.y()}.Normalized();
}

void TCanvas::IntersectClipRect(const TRect& logical)
{
    const TRect d = LogToDev(logical);
    TDeviceSpace space(*painter_, deviceTurn_);
    painter_->setClipRect(d.ToQRect(), painter_->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void TCanvas::IntersectClipPath(const QPainterPath& logical)
{
    painter_->setClipPath(logical, painter_->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

TRect TCanvas::ClipBox() const
{
    const TRect device{0, 0, Device().width(), Device().height()};
    TRect box = DevToLog(device);
    if (painter_->hasClipping()) {
        const QRectF clip = painter_->clipBoundingRect();  // in the current (logical) transform
        const TRect c{int(std::floor(clip.left())), int(std::floor(clip.top())), int(std::ceil(clip.right())),
                      int(std::ceil(clip.bottom()))};
        box = box.Intersected(c.Normalized());
    }
    return box;
}

bool TCanvas::RectVisible(const TRect& logical) const
{
    return ClipBox().Intersects(logical.Normalized());
}

double TCanvas::DeviceScale() const
{
    const QTransform t = LogicalToDevice();
    return (std::abs(t.m11()) + std::abs(t.m22())) / 2;
}

QPen TCanvas::DevicePen() const
{
    if (pen_.style == TPenStyle::psClear) return Qt::NoPen;
    const double width = std::max(1.0, std::round(pen_.width * DeviceScale()));
    QPen pen(ToQColor(pen_.color), width);
    switch (pen_.style) {
    case TPenStyle::psDash: pen.setStyle(Qt::DashLine); break;
    case TPenStyle::psDot: pen.setStyle(Qt::DotLine); break;
    case TPenStyle::psDashDot: pen.setStyle(Qt::DashDotLine); break;
    case TPenStyle::psDashDotDot: pen.setStyle(Qt::DashDotDotLine); break;
    default: break;
    }
    const bool thin = width <= 1;
    pen.setCapStyle(thin ? Qt::FlatCap : Qt::RoundCap);
    pen.setJoinStyle(thin ? Qt::MiterJoin : Qt::RoundJoin);
    return pen;
}

QBrush TCanvas::DeviceBrush() const
{
    const QColor c = ToQColor(brush_.color);
    switch (brush_.style) {
    case TBrushStyle::bsSolid: return QBrush(c);
    case TBrushStyle::bsClear: return Qt::NoBrush;
    case TBrushStyle::bsHorizontal: return QBrush(c, Qt::HorPattern);
    case TBrushStyle::bsVertical: return QBrush(c, Qt::VerPattern);
    case TBrushStyle::bsFDiagonal: return QBrush(c, Qt::FDiagPattern);
    case TBrushStyle::bsBDiagonal: return QBrush(c, Qt::BDiagPattern);
    case TBrushStyle::bsCross: return QBrush(c, Qt::CrossPattern);
    case TBrushStyle::bsDiagCross: return QBrush(c, Qt::DiagCrossPattern);
    }
    return Qt::NoBrush;
}

QFont TCanvas::LogicalFont() const
{
    QFont f(UsableFamily(font_.name));
    f.setPixelSize(std::max<int>(1, int(RoundHalfAway(std::abs(font_.size) * FontResolution() / 72.0))));
    f.setBold(font_.bold);
    f.setItalic(font_.italic);
    f.setUnderline(font_.underline);
    f.setStrikeOut(font_.strikeOut);
    return f;
}

QRectF TCanvas::DeviceShapeRect(const TRect& logical) const
{
    return QRectF(LogToDev(logical).ToQRect());
}

void TCanvas::MoveTo(QPoint logical)
{
    penPos_ = logical;
    if (pathOpen_) AddPathPoint(logical, ptMoveTo);
}

void TCanvas::LineTo(QPoint logical)
{
    if (pathOpen_)
        AddPathPoint(logical, ptLineTo);
    else
        DrawDevicePolygon(QPolygon({penPos_, logical}), false);
    penPos_ = logical;
}

void TCanvas::PolylineTo(const QPolygon& logical)
{
    if (logical.isEmpty()) return;
    if (pathOpen_) {
        for (const QPoint& p : logical) AddPathPoint(p, ptLineTo);
    } else {
        DrawDevicePolygon(QPolygon({penPos_}) + logical, false);
    }
    penPos_ = logical.last();
}

void TCanvas::PolyBezierTo(const QPolygon& logical)
{
    const qsizetype usable = logical.size() / 3 * 3;
    if (usable == 0) return;
    if (pathOpen_) {
        for (qsizetype i = 0; i < usable; ++i) AddPathPoint(logical[i], ptBezierTo);
    } else {
        TPathPoints curve{{penPos_, ptMoveTo}};
        for (qsizetype i = 0; i < usable; ++i) curve.push_back({logical[i], ptBezierTo});
        PaintDevicePath(LogicalToDevice().map(ToPainterPath(curve, FillRule())), true, false);
    }
    penPos_ = logical[usable - 1];
}

void TCanvas::Polyline(const QPolygon& logical)
{
    if (logical.isEmpty()) return;
    if (pathOpen_) {
        MoveTo(logical.first());
        PolylineTo(logical.mid(1));
        return;
    }
    DrawDevicePolygon(logical, false);
    penPos_ = logical.last();
}

void TCanvas::Polygon(const QPolygon& logical)
{
    if (pathOpen_) {
        if (logical.isEmpty()) return;
        Polyline(logical);
        CloseFigure();
        return;
    }
    DrawDevicePolygon(logical, true);
}

void TCanvas::DrawDevicePolygon(const QPolygon& logical, bool closed)
{
    QPolygonF device;
    for (const QPoint& p : logical) device << QPointF(LogToDev(p)) + QPointF(0.5, 0.5);  // pixel centres
    TDeviceSpace space(*painter_, deviceTurn_);
    painter_->setPen(DevicePen());
    if (closed) {
        painter_->setBrush(DeviceBrush());
        painter_->drawPolygon(device, FillRule());
    } else {
        painter_->drawPolyline(device);
    }
}

void TCanvas::Rectangle(const TRect& logical)
{
    if (pathOpen_) return AddRectPoints(path_, logical);
    const QRectF d = DeviceShapeRect(logical);
    if (pen_.style == TPenStyle::psClear) return FillRect(logical);
    const QPen pen = DevicePen();
    const double inset = pen_.style == TPenStyle::psInsideFrame ? pen.widthF() / 2 : 0.5;
    TDeviceSpace space(*painter_, deviceTurn_);
    painter_->setPen(pen);
    painter_->setBrush(DeviceBrush());
    painter_->drawRect(d.adjusted(inset, inset, -inset, -inset));
}

void TCanvas::Ellipse(const TRect& logical)
{
    if (pathOpen_) return AddEllipsePoints(path_, logical);
    const QRectF d = DeviceShapeRect(logical);
    const QPen pen = DevicePen();
    const double inset = pen_.style == TPenStyle::psInsideFrame ? pen.widthF() / 2 : 0.5;
    TDeviceSpace space(*painter_, deviceTurn_);
    painter_->setPen(pen);
    painter_->setBrush(DeviceBrush());
    painter_->drawEllipse(d.adjusted(inset, inset, -inset, -inset));
}

void TCanvas::FillRect(const TRect& logical)
{
    const QBrush brush = DeviceBrush();
    if (brush.style() == Qt::NoBrush) return;
    const QRectF d = DeviceShapeRect(logical);
    TDeviceSpace space(*painter_, deviceTurn_);
    painter_->fillRect(d, brush);
}

void TCanvas::FrameRect(const TRect& logical)
{
    const QRectF d = DeviceShapeRect(logical);
    if (d.isEmpty()) return;
    TDeviceSpace space(*painter_, deviceTurn_);
    painter_->setPen(QPen(ToQColor(brush_.color), 1));
    painter_->setBrush(Qt::NoBrush);
    painter_->drawRect(d.adjusted(0.5, 0.5, -0.5, -0.5));
}

void TCanvas::InvertRect(const TRect& logical)
{
    const QRectF d = DeviceShapeRect(logical);
    TDeviceSpace space(*painter_, deviceTurn_);
    if (!IsRaster()) {
        painter_->fillRect(d, Qt::black);
        return;
    }
    const QPainter::CompositionMode old = painter_->compositionMode();
    painter_->setCompositionMode(QPainter::RasterOp_NotDestination);
    painter_->fillRect(d, Qt::black);
    painter_->setCompositionMode(old);
}

void TCanvas::TextOut(QPoint logical, const QString& text)
{
    const QFont font = LogicalFont();
    painter_->setFont(font);
    painter_->setPen(ToQColor(font_.color));
    painter_->drawText(QPointF(logical.x(), logical.y() + QFontMetricsF(font).ascent()), text);
}

QSize TCanvas::TextExtent(const QString& text)
{
    const QFontMetricsF metrics(LogicalFont());
    return QSize(int(std::ceil(metrics.horizontalAdvance(text))), int(std::ceil(metrics.height())));
}

void TCanvas::StretchDraw(const TRect& logical, const QImage& image, TStretchQuality quality)
{
    const QRectF d = DeviceShapeRect(logical);
    TDeviceSpace space(*painter_, deviceTurn_);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, quality == TStretchQuality::sqSmooth);
    WithComposition(CopyModeComposition(), [&] { painter_->drawImage(d, image); });
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, true);
}

void TCanvas::TileRect(const TRect& logical, const QImage& tile)
{
    if (tile.isNull()) return;
    const QRectF d = DeviceShapeRect(logical);
    const QTransform toDevice = LogicalToDevice();
    const QPointF origin = toDevice.map(QPointF(logical.Normalized().TopLeft()));
    QBrush brush(tile);
    brush.setTransform(QTransform::fromScale(toDevice.m11(), toDevice.m22()) *
                       QTransform::fromTranslate(origin.x(), origin.y()));
    TDeviceSpace space(*painter_, deviceTurn_);
    WithComposition(CopyModeComposition(), [&] { painter_->fillRect(d, brush); });
}

void TCanvas::PatternInvertRect(const TRect& logical)
{
    const QBrush brush = DeviceBrush();
    if (brush.style() == Qt::NoBrush) return;
    const QRectF d = DeviceShapeRect(logical);
    TDeviceSpace space(*painter_, deviceTurn_);
    WithComposition(QPainter::RasterOp_SourceXorDestination, [&] { painter_->fillRect(d, brush); });
}

QPainter::CompositionMode TCanvas::CopyModeComposition() const
{
    static constexpr QPainter::CompositionMode Modes[] = {
        QPainter::CompositionMode_SourceOver, QPainter::RasterOp_SourceXorDestination,
        QPainter::RasterOp_SourceAndDestination, QPainter::RasterOp_SourceOrDestination};
    return Modes[int(copyMode_)];
}

template <typename F>
void TCanvas::WithComposition(QPainter::CompositionMode mode, F paint)
{
    const QPainter::CompositionMode old = painter_->compositionMode();
    if (IsRaster()) painter_->setCompositionMode(mode);
    paint();
    painter_->setCompositionMode(old);
}

void TCanvas::FillRegion(const TRegion& device)
{
    const QBrush brush = DeviceBrush();
    if (brush.style() == Qt::NoBrush) return;
    TDeviceSpace space(*painter_, deviceTurn_);
    for (const QRect& r : device.ToQRegion()) painter_->fillRect(r, brush);
}

// ---------------------------------------------------------------- paths

Qt::FillRule TCanvas::FillRule() const
{
    return polyFillMode_ == TPolyFillMode::pfmWinding ? Qt::WindingFill : Qt::OddEvenFill;
}

void TCanvas::BeginPath()
{
    path_.clear();
    pathOpen_ = true;
}

void TCanvas::EndPath()
{
    pathOpen_ = false;
}

void TCanvas::AddPathPoint(QPoint logical, uint8_t type)
{
    // A figure that does not start with a move starts at the current position.
    if (type != ptMoveTo && (path_.empty() || (path_.back().type & ptCloseFigure)))
        path_.push_back({penPos_, ptMoveTo});
    path_.push_back({logical, type});
}

void TCanvas::CloseFigure()
{
    if (pathOpen_) CloseLastFigure(path_);
}

QPainterPath TCanvas::DevicePath() const
{
    return LogicalToDevice().map(ToPainterPath(path_, FillRule()));
}

void TCanvas::PaintDevicePath(const QPainterPath& device, bool stroke, bool fill)
{
    TDeviceSpace space(*painter_, deviceTurn_);
    if (fill) {
        const QBrush brush = DeviceBrush();
        if (brush.style() != Qt::NoBrush) painter_->fillPath(device, brush);
    }
    if (stroke && pen_.style != TPenStyle::psClear)
        painter_->strokePath(device.translated(0.5, 0.5), DevicePen());  // pixel centres
}

void TCanvas::StrokePath()
{
    PaintDevicePath(DevicePath(), true, false);
    path_.clear();
}

void TCanvas::FillPath()
{
    PaintDevicePath(DevicePath(), false, true);
    path_.clear();
}

void TCanvas::StrokeAndFillPath()
{
    PaintDevicePath(DevicePath(), true, true);
    path_.clear();
}

void TCanvas::WidenPath()
{
    const QPen pen = DevicePen();
    QPainterPathStroker stroker;
    stroker.setWidth(pen.style() == Qt::NoPen ? 1 : pen.widthF());
    stroker.setCapStyle(pen.capStyle());
    stroker.setJoinStyle(pen.joinStyle());
    const QPainterPath outline = stroker.createStroke(DevicePath()).simplified();
    path_ = FromPainterPathPolygons(LogicalToDevice().inverted().map(outline));
}

void TCanvas::FlattenPath()
{
    path_ = FromPainterPathPolygons(ToPainterPath(path_, FillRule()));
}

void TCanvas::SelectClipPath(TRegionOp op)
{
    CombineClip(DevicePath(), op);
    path_.clear();
}

TRegion TCanvas::PathToRegion()
{
    const TRegion region = TRegion::Path(DevicePath());
    path_.clear();
    return region;
}

// ---------------------------------------------------------------- clipping

void TCanvas::CombineClip(const QPainterPath& device, TRegionOp op)
{
    TDeviceSpace space(*painter_, deviceTurn_);
    QPainterPath current;
    if (painter_->hasClipping()) {
        current = painter_->clipPath();
    } else {
        current.addRect(QRectF(0, 0, Device().width(), Device().height()));
    }
    QPainterPath result;
    switch (op) {
    case TRegionOp::rgnAnd: result = current.intersected(device); break;
    case TRegionOp::rgnCopy: result = device; break;
    case TRegionOp::rgnDiff: result = current.subtracted(device); break;
    case TRegionOp::rgnOr: result = current.united(device); break;
    case TRegionOp::rgnXor: result = current.united(device).subtracted(current.intersected(device)); break;
    }
    painter_->setClipPath(result, Qt::ReplaceClip);
}

void TCanvas::SelectClipRegion(const TRegion& device, TRegionOp op)
{
    QPainterPath path;
    path.addRegion(device.ToQRegion());
    CombineClip(path, op);
}

TClipState TCanvas::SaveClip() const
{
    if (!painter_->hasClipping()) return {};
    TDeviceSpace space(*painter_);  // unturned, so that a state restores under any turn
    return {true, painter_->clipPath()};
}

void TCanvas::RestoreClip(const TClipState& state)
{
    if (!state.clipped) return painter_->setClipping(false);
    TDeviceSpace space(*painter_);
    painter_->setClipPath(state.device, Qt::ReplaceClip);
}

void SetPictureDpi(QImage& picture, int dpi)
{
    constexpr double kInchesPerMetre = 1 / 0.0254;
    const int dotsPerMetre = int(std::lround(dpi * kInchesPerMetre));
    picture.setDotsPerMeterX(dotsPerMetre);
    picture.setDotsPerMeterY(dotsPerMetre);
}

TColor TCanvas::Pixel(QPoint logical) const
{
    if (!IsBitmapBacked()) return clNone;
    const auto* image = static_cast<const QImage*>(&Device());
    const QPoint p = LogToDev(logical);
    return image->valid(p) ? FromQColor(image->pixelColor(p)) : clNone;
}

void TCanvas::DrawPath(const QPainterPath& logical)
{
    PaintDevicePath(LogicalToDevice().map(logical), true, true);
}

void TCanvas::SetPixel(QPoint logical, TColor color)
{
    const QPoint p = LogToDev(logical);
    TDeviceSpace space(*painter_, deviceTurn_);
    painter_->fillRect(QRect(p, QSize(1, 1)), ToQColor(color));
}

}  // namespace kestrel
