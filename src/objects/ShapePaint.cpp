#include "objects/ShapePaint.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <cmath>

#include "document/DrawObject.h"
#include "document/Transformer.h"
#include "platform/Canvas.h"
#include "render/ColorSpec.h"

namespace kestrel {

namespace {
// Off a site nothing says how large a pixel is; a grip of this many units stands in.
constexpr double OffSitePixel = 3;
// Device pixels over which the site's pixel size is measured (keeps the rounding small).
constexpr int PixelSample = 1000;
// Shapes shown larger than this many device pixels are painted directly rather than kept.
constexpr int64_t MaxCachedPixels = 1 << 20;
}  // namespace

QPainterPath WidenedPath(const QPainterPath& path, double width, TShapePen pen)
{
    QPainterPathStroker stroker;
    stroker.setWidth(std::max(width, 0.0));
    stroker.setCapStyle(pen == TShapePen::spFrame ? Qt::SquareCap : Qt::RoundCap);
    stroker.setJoinStyle(pen == TShapePen::spPlain ? Qt::RoundJoin : Qt::MiterJoin);
    QPainterPath area = stroker.createStroke(path);
    area.setFillRule(Qt::WindingFill);
    return area;
}

TRect PathBounds(const QPainterPath& path)
{
    if (path.isEmpty()) return {};
    // Widened outlines carry floating-point noise; it must not grow the bounds by a unit.
    constexpr double Noise = 1e-6;
    const QRectF r = path.boundingRect();
    return {int(std::floor(r.left() + Noise)), int(std::floor(r.top() + Noise)),
            int(std::ceil(r.right() - Noise)), int(std::ceil(r.bottom() - Noise))};
}

double CanvasPixel(const TCanvas& canvas)
{
    const QTransform t = canvas.LogicalToDevice();
    const double scale = (std::abs(t.m11()) + std::abs(t.m22())) / 2;
    return scale > 0 ? 1 / scale : 1;
}

double SitePixel(const TDrawObject& object)
{
    const TObjectSite* site = object.Site();
    if (!site) return OffSitePixel;
    const int span = site->DevToLog({PixelSample, 0}).x() - site->DevToLog({0, 0}).x();
    return span > 0 ? double(span) / PixelSample : OffSitePixel;
}

void FillThrough(TCanvas& canvas, const QPainterPath& area, const TColorSpec& spec, const TRect& over)
{
    if (area.isEmpty()) return;
    TCanvasStateSaver saver(canvas);
    if (spec.IsPureColor(canvas)) {
        canvas.SetPen({spec.Color(), 1, TPenStyle::psClear});
        canvas.SetBrush({spec.Color(), TBrushStyle::bsSolid});
        canvas.DrawPath(area);
        return;
    }
    canvas.IntersectClipPath(area);
    spec.FillRect(canvas, over);
}

void PaintCoverage(TCanvas& mask, const QPainterPath& area)
{
    TCanvasStateSaver saver(mask);
    mask.SetPen({clWhite, 1, TPenStyle::psClear});
    mask.SetBrush({clWhite, TBrushStyle::bsSolid});
    mask.DrawPath(area);
}

void Repaint(TDrawObject& object)
{
    if (object.Site()) object.Site()->InvalidateElement(object);
}

void RepaintOnChange(TColorSpec& spec, TDrawObject& owner)
{
    spec.SetOnChange([&owner] {
        owner.Changed();
        Repaint(owner);
    });
}

void DrawOutlinePath(TCanvas& canvas, const QPainterPath& path)
{
    for (const QPolygonF& polygon : path.toSubpathPolygons()) canvas.Polyline(polygon.toPolygon());
}

void TAppearanceCache::Paint(TCanvas& canvas, const TRect& bounds, const std::function<void(TCanvas&)>& paint)
{
    // A pixel of grip round the bounds: pens may reach into the pixel the bounds end in.
    const TRect device = canvas.LogToDev(bounds.Normalized()).Inflated(1);
    // Printers get their own rendering of gradations (see RenderGradation).
    if (canvas.IsPrinter() || device.IsEmpty() || int64_t(device.Width()) * device.Height() > MaxCachedPixels)
        return paint(canvas);
    if (pixels_.isNull() || mapping_ != canvas.Mapping() || bounds_ != bounds) {
        pixels_ = QImage(device.Width(), device.Height(), QImage::Format_ARGB32_Premultiplied);
        pixels_.fill(Qt::transparent);
        TCanvas kept(pixels_);
        // The same mapping, moved by whole pixels: every pixel comes out as it would on the canvas.
        kept.SetMapping(canvas.Mapping());
        kept.SetDeviceOffset(canvas.DeviceOffset() - device.TopLeft());
        kept.SetFontResolution(canvas.FontResolution());
        paint(kept);
        mapping_ = canvas.Mapping();
        bounds_ = bounds;
    }
    QPainter& painter = canvas.Painter();
    painter.save();
    painter.resetTransform();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(device.TopLeft(), pixels_);
    painter.restore();
}

TPathPoints Rotated(TPathPoints points, const TRotator& rotator)
{
    if (rotator.Angle() % 360 == 0) return points;
    for (TPathPoint& p : points) p.point = rotator.TransformPoint(p.point);
    return points;
}

QPainterPath ShapePath(const TPathPoints& points)
{
    return ToPainterPath(points, Qt::WindingFill);
}

}  // namespace kestrel
