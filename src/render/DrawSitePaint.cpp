#include "render/DrawSite.h"

#include <QImage>
#include <algorithm>

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
        // Without a background of its own the site must show what lies behind it: no buffer then.
        if (doubleBuffered_ && color_ != clNone)
            PaintBuffered(canvas, area);
        else
            PaintScene(canvas, area);
    }
    // Straight onto the surface, so that they are as sharp as its pixel ratio allows.
    PaintPivots(canvas, area);
    PaintGhosts(canvas, area);
}

void TDrawSite::PaintBuffered(TCanvas& canvas, const TRect& area)
{
    // 24-bit colour in the raster engine's native layout: an RGB888 buffer costs ten times as much.
    QImage buffer(area.Width(), area.Height(), QImage::Format_RGB32);
    {
        TCanvas offscreen(buffer);
        offscreen.SetRenderBudget(&budget_);
        offscreen.SetDeviceOffset(-area.TopLeft());
        PaintScene(offscreen, area);
    }
    TCanvasStateSaver saver(canvas);
    canvas.SetMapping(TMapping{});
    canvas.StretchDraw(area, buffer);
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
    if (color_ == clNone || qint64(all.Width()) * all.Height() > kMaxScenePixels) return false;
    if (scene_.size() != elementSize_) {
        scene_ = QImage(elementSize_, QImage::Format_RGB32);
        TCanvas offscreen(scene_);
        offscreen.SetRenderBudget(&budget_);
        PaintScene(offscreen, all);
    }
    {
        TCanvasStateSaver saver(canvas);
        canvas.SetMapping(TMapping{});
        canvas.Painter().drawImage(update.TopLeft(), scene_, update.ToQRect());
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
    TDrawToScope scope(scaler_, paintingSurface_, surface);
    surface.SetRenderBudget(&budget_);
    surface.SetPen(TPen{});
    surface.SetBrush(TBrush{});
    surface.SetFont(TFont{});
    surface.SetWindowOrg(surface.Mapping().windowOrg + origin);
    scaler_.SetScale(scale);
    ApplyMapping(surface);
    if (onPaint_) onPaint_(*this, surface);
    for (int i = 0; i < ChildCount(); ++i) {
        TDrawObject& object = Child(i);
        DrawObject(object, surface);
        if (onDrawToProgress_) onDrawToProgress_(*this, i);
    }
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
