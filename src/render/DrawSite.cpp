#include "render/DrawSite.h"

#include <QImage>
#include <algorithm>

#include "document/DrawObject.h"
#include "platform/Canvas.h"
#include "render/DragGhosts.h"

namespace kestrel {

namespace {
bool DragActive()
{
    const IDragGhosts* ghosts = DragGhosts();
    return ghosts && ghosts->HasGhosts();
}

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
}  // namespace

TDrawSite::TDrawSite()
    : deviceDpi_(ScreenDpi()),
      listener_([this](TPersistent* sender, const QUuid& kind) { ObjectNotified(sender, kind); })
{
    scaler_.SetOnChange([this] { Rescale(); });
}

TDrawSite::~TDrawSite()
{
    scaler_.SetOnChange({});
    // Ghosts waiting for a press (a creation) refer to this site's objects.
    if (DragActive()) DragGhosts()->CancelDrag();
}

// --- Mapping ---------------------------------------------------------------------------------

void TDrawSite::SetDeviceDpi(int dpi)
{
    if (dpi <= 0 || dpi == deviceDpi_) return;
    deviceDpi_ = dpi;
    Rescale();
}

void TDrawSite::SetLogSize(int width, int height)
{
    if (width == logWidth_ && height == logHeight_) return;
    logWidth_ = width;
    logHeight_ = height;
    Rescale();
}

void TDrawSite::Rescale()
{
    if (loading_) return;
    const TRect device = LogToDevRect({0, 0, logWidth_, logHeight_});
    elementSize_ = QSize(device.Width(), device.Height());
    const bool pivotsWereVisible = HidePivots();
    for (int i = 0; i < ChildCount(); ++i) TObjectSite::UpdateElementBounds(Child(i));
    if (host_) host_->ElementSizeChanged(elementSize_);
    Invalidate();
    if (pivotsWereVisible) UpdatePivots();
    if (onScalerChanged_) onScalerChanged_(*this);
}

void TDrawSite::Loaded()
{
    loading_ = false;
    if (logWidth_ || logHeight_) {
        Rescale();
    } else {
        const QPoint size = DevToLog(QPoint(elementSize_.width(), elementSize_.height()));
        logWidth_ = size.x();
        logHeight_ = size.y();
    }
    modified_ = false;
}

TRect TDrawSite::LogicalClientRect() const
{
    const QPoint size = DevToLog(QPoint(elementSize_.width(), elementSize_.height()));
    return {0, 0, size.x(), size.y()};
}

int TDrawSite::FitScale(QSize area, bool fitWidth, bool fitHeight) const
{
    return scaler_.FitScale(QSize(logWidth_, logHeight_), area, fitWidth, fitHeight, MappingDpi());
}

int TDrawSite::MappingDpi() const
{
    return paintingSurface_ ? paintingSurface_->DeviceDpi() : deviceDpi_;
}

QPoint TDrawSite::LogToDev(QPoint logical) const
{
    return scaler_.LogToDev(logical, deviceDpi_);
}

QPoint TDrawSite::DevToLog(QPoint device) const
{
    return scaler_.DevToLog(device, deviceDpi_);
}

TRect TDrawSite::LogToDevRect(const TRect& logical) const
{
    return scaler_.LogToDevRect(logical, deviceDpi_);
}

void TDrawSite::ApplyMapping(TCanvas& canvas) const
{
    scaler_.ApplyMapping(canvas, MappingDpi());
}

// --- Appearance ------------------------------------------------------------------------------

void TDrawSite::SetColor(TColor color)
{
    if (color == color_) return;
    color_ = color;
    Invalidate();
}

void TDrawSite::SetBorder(bool value)
{
    if (value == border_) return;
    border_ = value;
    Invalidate();
}

// --- Objects ---------------------------------------------------------------------------------

TDrawObject* TDrawSite::ObjectAt(QPoint logical) const
{
    for (int i = ChildCount() - 1; i >= 0; --i)
        if (Child(i).HitTest(logical) == 1) return &Child(i);
    return nullptr;
}

void TDrawSite::Objects(std::vector<TDrawObject*>& list, bool selectedOnly) const
{
    for (int i = ChildCount() - 1; i >= 0; --i)
        if (!selectedOnly || Child(i).Selected()) list.push_back(&Child(i));
}

void TDrawSite::UpdateElementBounds(TDrawObject& object)
{
    InvalidateElement(object);  // the old area
    TObjectSite::UpdateElementBounds(object);
}

void TDrawSite::InvalidateElement(TDrawObject& object)
{
    scene_ = QImage();
    if (host_) host_->InvalidateArea(object.ElementBounds());
}

void TDrawSite::Invalidate()
{
    scene_ = QImage();
    if (host_) host_->InvalidateArea({0, 0, elementSize_.width(), elementSize_.height()});
}

void TDrawSite::InvalidateOverlay(const TRect& logical)
{
    // A pixel of slack for the pen and for rounding at the edges.
    if (host_) host_->InvalidateArea(LogToDevRect(logical.Normalized()).Inflated(2));
}

void TDrawSite::ChildInserted(TDrawObject& object)
{
    listener_.ListenTo(object.Notifier());
}

void TDrawSite::ChildRemoving(TDrawObject& object)
{
    // An object that leaves (to an undo record, a clipboard) no longer speaks for this site.
    object.Notifier().RemoveListener(listener_);
    RemovePivotsOf(object);
    if (clicked_ == &object) clicked_ = nullptr;
    InvalidateElement(object);
    if (object.Selected()) {
        notifier_.Broadcast(&object, NotifySelectionChanged);
        pivotsStale_ = true;
    }
}

void TDrawSite::ObjectNotified(TPersistent* sender, const QUuid& kind)
{
    if (kind == NotifyBroadcasterClosing) return;  // our own bookkeeping, not news for listeners
    if (kind == NotifySelectionChanged || kind == NotifyMovableChanged) pivotsStale_ = true;
    notifier_.Broadcast(sender, kind);
}

// --- Selection and handles -------------------------------------------------------------------

void TDrawSite::SelectInRect(const TRect& device)
{
    const TRect area = device.Normalized();
    for (int i = ChildCount() - 1; i >= 0; --i)
        if (Child(i).ElementBounds().Intersects(area)) Child(i).SetSelected(true);
}

TPivot& TDrawSite::AddPivot(std::unique_ptr<TPivot> pivot)
{
    pivots_.push_back(std::move(pivot));
    return *pivots_.back();
}

void TDrawSite::PlacePivot(TPivot& pivot, QPoint logical)
{
    const QPoint centre = LogToDev(logical);
    const int size = pivot.Size();
    const QPoint topLeft = centre - QPoint(size / 2, size / 2);
    if (host_ && pivot.Visible()) host_->InvalidateArea(pivot.ElementBounds());
    pivot.SetElementBounds({topLeft.x(), topLeft.y(), topLeft.x() + size, topLeft.y() + size});
    if (host_ && pivot.Visible()) host_->InvalidateArea(pivot.ElementBounds());
}

void TDrawSite::UpdatePivots()
{
    if (!pivotsStale_ || captured_) return;
    RemovePivots();
    std::vector<TDrawObject*> selected;
    Objects(selected, true);
    for (TDrawObject* object : selected) object->CreatePivots();
    // Several objects are never resized by one handle.
    if (selected.size() > 1)
        for (auto& pivot : pivots_) pivot->SetCursor(crDefault);
    pivotsStale_ = false;
}

bool TDrawSite::HidePivots()
{
    bool anyVisible = false;
    for (auto& pivot : pivots_) {
        if (!pivot->Visible()) continue;
        anyVisible = true;
        pivot->SetVisible(false);
        if (host_) host_->InvalidateArea(pivot->ElementBounds());
    }
    if (!pivots_.empty()) pivotsStale_ = true;
    if (anyVisible) scene_ = QImage();
    return anyVisible;
}

void TDrawSite::RemovePivots()
{
    if (host_)
        for (auto& pivot : pivots_) host_->InvalidateArea(pivot->ElementBounds());
    pivots_.clear();
}

void TDrawSite::RemovePivotsOf(const TDrawObject& owner)
{
    std::erase_if(pivots_, [&](const auto& pivot) { return &pivot->Owner() == &owner; });
}

// --- State -----------------------------------------------------------------------------------

void TDrawSite::SetModified(bool modified)
{
    touched_ = true;
    if (modified == modified_) return;
    modified_ = modified;
    if (onModifyChanged_) onModifyChanged_(*this);
}

bool TDrawSite::IsDragging() const
{
    return DragActive();
}

void TDrawSite::ClearGhost(TDrawObject& object)
{
    if (onClearGhost_) onClearGhost_(*this, &object);
}

// --- Painting --------------------------------------------------------------------------------

void TDrawSite::Paint(TCanvas& canvas, const TRect& update)
{
    canvas.SetRenderBudget(&budget_);
    const TRect area = update.Intersected({0, 0, elementSize_.width(), elementSize_.height()});
    if (area.IsEmpty()) return;
    if (DragActive() && PaintOverScene(canvas, area)) return;
    scene_ = QImage();
    // Without a background of its own the site must show what lies behind it: no buffer then.
    if (!doubleBuffered_ || color_ == clNone) return PaintDirect(canvas, area);
    // 24-bit colour in the raster engine's native layout: an RGB888 buffer costs ten times as much.
    QImage buffer(area.Width(), area.Height(), QImage::Format_RGB32);
    {
        TCanvas offscreen(buffer);
        offscreen.SetRenderBudget(&budget_);
        offscreen.SetDeviceOffset(-area.TopLeft());
        PaintDirect(offscreen, area);
    }
    TCanvasStateSaver saver(canvas);
    canvas.SetMapping(TMapping{});
    canvas.StretchDraw(area, buffer);
}

void TDrawSite::PaintDirect(TCanvas& canvas, const TRect& update)
{
    PaintScene(canvas, update);
    PaintGhosts(canvas, update);
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
    PaintGhosts(canvas, update);
    return true;
}

void TDrawSite::PaintGhosts(TCanvas& canvas, const TRect& update)
{
    if (!DragActive()) return;
    TCanvasStateSaver saver(canvas);
    canvas.SetMapping(TMapping{});
    canvas.IntersectClipRect(update);
    ApplyMapping(canvas);
    DragGhosts()->PaintGhosts(*this, canvas);
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
    auto paintIn = [&](const TSiteElement& element, const auto& paint) {
        const TRect& bounds = element.ElementBounds();
        if (!element.Visible() || !bounds.Intersects(update)) return;
        TCanvasStateSaver saver(canvas);
        canvas.SetDeviceOffset(canvas.DeviceOffset() + bounds.TopLeft());
        canvas.IntersectClipRect({0, 0, bounds.Width(), bounds.Height()});
        paint();
    };
    for (int i = 0; i < ChildCount(); ++i) {
        TDrawObject& object = Child(i);
        paintIn(object, [&] { object.PaintElement(canvas); });
    }
    for (auto& pivot : pivots_) paintIn(*pivot, [&] { pivot->Paint(canvas); });
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

// --- Input -----------------------------------------------------------------------------------

TPivot* TDrawSite::PivotAt(QPoint device) const
{
    for (auto it = pivots_.rbegin(); it != pivots_.rend(); ++it)
        if ((*it)->Visible() && (*it)->ElementBounds().Contains(device)) return it->get();
    return nullptr;
}

TDrawObject* TDrawSite::ElementAt(QPoint device) const
{
    for (int i = ChildCount() - 1; i >= 0; --i) {
        TDrawObject& object = Child(i);
        const TRect& bounds = object.ElementBounds();
        if (object.Visible() && object.Enabled() && bounds.Contains(device) &&
            object.ElementHitTest(device - bounds.TopLeft()))
            return &object;
    }
    return nullptr;
}

TCursor TDrawSite::CursorAt(QPoint device) const
{
    if (const TPivot* pivot = PivotAt(device)) return pivot->Cursor();
    if (const TDrawObject* object = ElementAt(device)) return object->Cursor();
    return siteCursor_;
}

void TDrawSite::MouseDown(const TSiteMouseEvent& event)
{
    pointer_ = DevToLog(event.position);
    if (TPivot* pivot = PivotAt(event.position)) {
        TSiteMouseEvent plain = event;
        plain.shift = 0;
        return PressObject(pivot->Owner(), pivot->Code(), plain);
    }
    if (TDrawObject* object = ElementAt(event.position)) {
        if (auto* pressed = dynamic_cast<IDOMouseDown*>(object)) pressed->ObjectMouseDown(event);
        if (event.doubleClick) return object->DblClick();
        return PressObject(*object, -1, event);
    }
    captured_ = true;
    PressSite(event);
}

void TDrawSite::PressObject(TDrawObject& object, int handle, const TSiteMouseEvent& event)
{
    const bool shift = event.shift & ssShift;
    if (object.Selected()) {
        if (shift) toggleOnClick_ = true;
    } else {
        // Ctrl adds too: a Ctrl-drag copies the selection together with the pressed object.
        if (!(event.shift & (ssShift | ssCtrl))) SelectAll(false);
        object.SetSelected(true);
    }
    if (event.button != TMouseButton::mbLeft) return;
    clicked_ = &object;
    if (!DragActive()) StartObjectGhosts(handle);
    PressSite(event);
}

void TDrawSite::StartObjectGhosts(int handle)
{
    std::vector<TDrawObject*> selected;
    Objects(selected, true);
    const int code = selected.size() == 1 ? handle : -1;
    for (TDrawObject* object : selected)
        if (object->Movable()) object->StartGhost(code);
}

void TDrawSite::PressSite(const TSiteMouseEvent& event)
{
    if (host_) host_->TakeFocus();
    if (event.button != TMouseButton::mbLeft) return SelectAll(false);
    IDragGhosts* ghosts = DragGhosts();
    const QPoint point = DevToLog(event.position);
    if (!DragActive()) {
        const TDrawObject* hit = ObjectAt(point);
        if (!hit || !hit->Selectable()) {
            if (!(event.shift & ssShift)) SelectAll(false);
            if (ghosts) ghosts->StartSelection(*this);
        }
    }
    if (!DragActive()) return UpdatePivots();
    if (HidePivots() && host_) host_->RepaintNow();
    ghosts->SetClearNotification([this] {
        if (onClearGhost_) onClearGhost_(*this, nullptr);
    });
    ghosts->BeginDrag(*this, LogicalClientRect(), point, event.shift);
}

void TDrawSite::MouseMove(const TSiteMouseEvent& event)
{
    pointer_ = DevToLog(event.position);
    if (!DragActive()) return;
    IDragGhosts* ghosts = DragGhosts();
    if (host_ && !host_->IsInView(event.position)) {
        ghosts->RedrawGhosts();  // erase before the view moves under them
        host_->ScrollTowards(event.position);
        ghosts->RedrawGhosts();
    }
    ghosts->DragTo(pointer_, event.shift);
}

void TDrawSite::MouseUp(const TSiteMouseEvent& event)
{
    pointer_ = DevToLog(event.position);
    captured_ = false;
    if (event.button != TMouseButton::mbLeft) return;
    const bool wasDragging = DragActive();
    bool dragMoved = false;
    if (wasDragging) {
        IDragGhosts* ghosts = DragGhosts();
        ghosts->DragTo(pointer_, event.shift);
        dragMoved = ghosts->Moved();
        ghosts->EndDrag();
    }
    // The click needs the clicked object, so it runs before the object is forgotten.
    ClickStep(event.position, dragMoved);
    clicked_ = nullptr;
    UpdatePivots();
}

void TDrawSite::ClickStep(QPoint device, bool dragMoved)
{
    TDrawObject* object = clicked_;
    const bool toggle = toggleOnClick_;
    toggleOnClick_ = false;
    if (!object) return;
    if (toggle && !dragMoved) object->SetSelected(false);
    if (onObjectClick_ && object->ElementBounds().Contains(device)) onObjectClick_(*this, object);
}

void TDrawSite::DragToPointer(TShiftState shift)
{
    if (DragActive()) DragGhosts()->DragTo(pointer_, shift);
}

void TDrawSite::KeyDown(const TSiteKeyEvent& event)
{
    if (DragActive()) return DragToPointer(event.shift);
    if (onKeyDown_) onKeyDown_(*this, event);
}

void TDrawSite::KeyUp(const TSiteKeyEvent& event)
{
    DragToPointer(event.shift);
}

void TDrawSite::CancelMode()
{
    captured_ = false;
    if (DragActive()) DragGhosts()->CancelDrag();
}

}  // namespace kestrel
