#include "render/DrawSite.h"

#include <QImage>
#include <algorithm>
#include <cmath>

#include "document/DrawObject.h"
#include "platform/Canvas.h"
#include "render/DragGhosts.h"

// The draw site's painting: on its window (buffered, and over a picture of the scene while a drag
// runs) and onto other surfaces (DrawTo).

namespace kestrel {

namespace {
// Restores a zoom and the painting surface even when painting raises.
class TDrawToScope {
public:
    TDrawToScope(TScaler& scaler, TCanvas*& surfaceSlot, TCanvas& surface)
        : scaler_(scaler), slot_(surfaceSlot), oldScale_(scaler.Scale()), saver_(surface)
    {
        slot_ = &surface;
    }
    ~TDrawToScope()
    {
        slot_ = nullptr;
        scaler_.SetScale(oldScale_);
    }
    TDrawToScope(const TDrawToScope&) = delete;
    TDrawToScope& operator=(const TDrawToScope&) = delete;

private:
    TScaler& scaler_;
    TCanvas*& slot_;
    int oldScale_;
    TCanvasStateSaver saver_;
};

// Paints an element in its own device area, clipped to it.
template <typename Paint>
void PaintIn(TCanvas& canvas, const TSiteElement& element, const TRect& update, const Paint& paint)
{
    const TRect& bounds = element.ElementBounds();
    if (!element.Visible() || !bounds.Intersects(update)) return;
    TCanvasStateSaver saver(canvas);
    canvas.SetDeviceOffset(canvas.DeviceOffset() + bounds.TopLeft());
    canvas.IntersectClipRect({0, 0, bounds.Width(), bounds.Height()});
    paint();
}
}  // namespace

void TDrawSite::Paint(TCanvas& canvas, const TRect& update)
{
    canvas.SetRenderBudget(&budget_);
    const TRect area = update.Intersected({0, 0, elementSize_.width(), elementSize_.height()});
    if (area.IsEmpty()) return;
    if (!DragActive() || !PaintOverScene(canvas, area)) {
        scene_ = QImage();
        const qreal ratio = PixelRatio(canvas);
        // Without a background of its own the site must show what lies behind it: no buffer then.
        if (ratio != 1 || (doubleBuffered_ && color_ != clNone))
            PaintBuffered(canvas, area, ratio);
        else
            PaintScene(canvas, area);
    }
    // Straight onto the surface, so that they are as sharp as its pixel ratio allows.
    PaintPivots(canvas, area);
    PaintGhosts(canvas, area);
}

qreal TDrawSite::PixelRatio(const TCanvas& canvas)
{
    return std::max<qreal>(1, canvas.Device().devicePixelRatio());
}

QImage TDrawSite::ScenePicture(const TRect& area, qreal ratio)
{
    const QSize pixels(int(std::ceil(area.Width() * ratio)), int(std::ceil(area.Height() * ratio)));
    // 24-bit colour in the raster engine's native layout: an RGB888 buffer costs ten times as much.
    QImage picture(pixels, color_ == clNone ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (color_ == clNone) picture.fill(Qt::transparent);
    std::vector<TDrawObject*> failed;
    if (ratio == 1) {
        TCanvas offscreen(picture);
        offscreen.SetRenderBudget(&budget_);
        offscreen.SetDeviceOffset(-area.TopLeft());
        PaintScene(offscreen, area);
    } else {
        failed = PaintDenseScene(picture, area, ratio);
    }
    picture.setDevicePixelRatio(ratio);
    // What failed is drawn the way the site draws it: once reported, then marked as failed.
    if (!failed.empty()) {
        TCanvas marked(picture);
        marked.SetRenderBudget(&budget_);
        marked.SetDeviceOffset(-area.TopLeft());
        for (TDrawObject* object : failed) PaintIn(marked, *object, area, [&] { object->PaintElement(marked); });
    }
    return picture;
}

// Every object through PaintTo onto a canvas of ratio times the site's resolution, as an export
// at that resolution draws it: the objects' own off-screen pictures come out as fine as the screen.
std::vector<TDrawObject*> TDrawSite::PaintDenseScene(QImage& picture, const TRect& area, qreal ratio)
{
    SetPictureDpi(picture, int(std::lround(deviceDpi_ * ratio)));
    std::vector<TDrawObject*> failed;
    TCanvas dense(picture);
    const QPoint origin(int(std::lround(area.left * ratio)), int(std::lround(area.top * ratio)));
    if (color_ != clNone) {
        dense.SetBrush({color_, TBrushStyle::bsSolid});
        dense.FillRect({0, 0, picture.width(), picture.height()});
    }
    dense.SetDeviceOffset(-origin);
    DrawScene(dense, {}, scaler_.Scale(), [&](TDrawObject& object, TCanvas& surface) {
        if (!object.Visible() || !object.ElementBounds().Intersects(area)) return;
        if (object.PaintFailed()) return failed.push_back(&object);
        try {
            object.PaintTo(surface);
            FrameBorder(surface, object, ratio);
        } catch (...) {
            failed.push_back(&object);
        }
    });
    return failed;
}

// The editor's frame of an object that asks for one, in its place in the stacking order, as
// PaintElement draws it on the screen's own pixels.
void TDrawSite::FrameBorder(TCanvas& dense, const TDrawObject& object, qreal ratio)
{
    if (!object.Border()) return;
    const TRect& bounds = object.ElementBounds();
    const auto scaled = [ratio](int device) { return int(std::lround(device * ratio)); };
    TCanvasStateSaver saver(dense);
    dense.SetMapping(TMapping{});
    dense.SetBrush({clBlue, TBrushStyle::bsSolid});
    dense.FrameRect({scaled(bounds.left), scaled(bounds.top), scaled(bounds.right), scaled(bounds.bottom)});
}

void TDrawSite::PaintBuffered(TCanvas& canvas, const TRect& area, qreal ratio)
{
    const QImage picture = ScenePicture(area, ratio);
    TCanvasStateSaver saver(canvas);
    canvas.SetMapping(TMapping{});
    canvas.StretchDraw(area, picture);
}

void TDrawSite::PaintScene(TCanvas& canvas, const TRect& update)
{
    TCanvasStateSaver saver(canvas);
    canvas.SetMapping(TMapping{});
    canvas.IntersectClipRect(update);
    PaintBackground(canvas);
    PaintElements(canvas, update);
    PaintOverlay(canvas, {0, 0, elementSize_.width(), elementSize_.height()});
}

bool TDrawSite::PaintOverScene(TCanvas& canvas, const TRect& update)
{
    // Beyond this the picture would cost more memory than repainting costs time.
    constexpr qint64 kMaxScenePixels = 16 << 20;
    const TRect all{0, 0, elementSize_.width(), elementSize_.height()};
    const qreal ratio = PixelRatio(canvas);
    if (color_ == clNone || qint64(all.Width()) * all.Height() * ratio * ratio > kMaxScenePixels) return false;
    if (scene_.isNull() || scene_.deviceIndependentSize().toSize() != elementSize_ ||
        scene_.devicePixelRatio() != ratio)
        scene_ = ScenePicture(all, ratio);
    {
        TCanvasStateSaver saver(canvas);
        canvas.SetMapping(TMapping{});
        const QRectF part = update.ToQRect();
        canvas.Painter().drawImage(part, scene_, QRectF(part.topLeft() * ratio, part.size() * ratio));
    }
    return true;
}

void TDrawSite::PaintGhosts(TCanvas& canvas, const TRect& update)
{
    if (!DragActive()) return;
    TCanvasStateSaver saver(canvas);
    canvas.SetMapping(TMapping{});
    canvas.IntersectClipRect(update);
    ApplyMapping(canvas);
    ghosts_->PaintGhosts(*this, canvas);
}

void TDrawSite::PaintBackground(TCanvas& canvas)
{
    if (color_ != clNone) {
        canvas.SetBrush({color_, TBrushStyle::bsSolid});
        canvas.FillRect({0, 0, elementSize_.width(), elementSize_.height()});
    }
    if (!onPaint_) return;
    TCanvasStateSaver saver(canvas);
    ApplyMapping(canvas);
    onPaint_(*this, canvas);
}

void TDrawSite::PaintElements(TCanvas& canvas, const TRect& update)
{
    for (int i = 0; i < ChildCount(); ++i) {
        TDrawObject& object = Child(i);
        PaintIn(canvas, object, update, [&] { object.PaintElement(canvas); });
    }
}

void TDrawSite::PaintPivots(TCanvas& canvas, const TRect& update)
{
    TCanvasStateSaver saver(canvas);
    canvas.SetMapping(TMapping{});
    canvas.IntersectClipRect(update);
    for (auto& pivot : pivots_) PaintIn(canvas, *pivot, update, [&] { pivot->Paint(canvas); });
}

void TDrawSite::PaintOverlay(TCanvas& canvas, const TRect& borderDevice)
{
    if (onPaintAfter_) {
        TCanvasStateSaver saver(canvas);
        ApplyMapping(canvas);
        onPaintAfter_(*this, canvas);
    }
    if (!border_) return;
    TCanvasStateSaver saver(canvas);
    canvas.SetMapping(TMapping{});
    canvas.SetBrush({clBlack, TBrushStyle::bsSolid});
    canvas.FrameRect(borderDevice);
}

void TDrawSite::DrawTo(TCanvas& surface, QPoint origin, int scale)
{
    int painted = 0;
    DrawScene(surface, origin, scale, [&](TDrawObject& object, TCanvas& target) {
        DrawObject(object, target);
        if (onDrawToProgress_) onDrawToProgress_(*this, painted);
        ++painted;
    });
}

void TDrawSite::DrawScene(TCanvas& surface, QPoint origin, int scale,
                          const std::function<void(TDrawObject&, TCanvas&)>& drawObject)
{
    TDrawToScope scope(scaler_, paintingSurface_, surface);
    surface.SetRenderBudget(&budget_);
    surface.SetPen(TPen{});
    surface.SetBrush(TBrush{});
    surface.SetFont(TFont{});
    surface.SetWindowOrg(surface.Mapping().windowOrg + origin);
    scaler_.SetScale(scale);
    ApplyMapping(surface);
    if (onPaint_) onPaint_(*this, surface);
    for (int i = 0; i < ChildCount(); ++i) drawObject(Child(i), surface);
    // The frame goes around the logical area as it lands on this surface.
    const TRect border = surface.LogToDev(TRect{0, 0, logWidth_, logHeight_})
                             .Translated(-surface.DeviceOffset().x(), -surface.DeviceOffset().y());
    PaintOverlay(surface, border);
}

void TDrawSite::DrawObject(TDrawObject& object, TCanvas& surface)
{
    if (object.Visible()) object.PaintTo(surface);
}

}  // namespace kestrel
