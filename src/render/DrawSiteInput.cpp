#include "render/DrawSite.h"

#include "document/DrawObject.h"
#include "render/DragGhosts.h"

// The draw site's mouse and keys: selection by press and click, handles, and the drags that the
// session's ghost list runs.

namespace kestrel {

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
    const QPoint point = DevToLog(event.position);
    if (!DragActive()) {
        const TDrawObject* hit = ObjectAt(point);
        if (!hit || !hit->Selectable()) {
            if (!(event.shift & ssShift)) SelectAll(false);
            if (ghosts_) ghosts_->StartSelection(*this);
        }
    }
    if (!DragActive()) return UpdatePivots();
    if (HidePivots() && host_) host_->RepaintNow();
    ghosts_->SetClearNotification([this] {
        if (onClearGhost_) onClearGhost_(*this, nullptr);
    });
    ghosts_->BeginDrag(*this, LogicalClientRect(), point, event.shift);
}

void TDrawSite::MouseMove(const TSiteMouseEvent& event)
{
    pointer_ = DevToLog(event.position);
    if (!DragActive()) return;
    if (host_ && !host_->IsInView(event.position)) {
        ghosts_->RedrawGhosts();  // erase before the view moves under them
        host_->ScrollTowards(event.position);
        ghosts_->RedrawGhosts();
    }
    ghosts_->DragTo(pointer_, event.shift);
}

void TDrawSite::MouseUp(const TSiteMouseEvent& event)
{
    pointer_ = DevToLog(event.position);
    captured_ = false;
    if (event.button != TMouseButton::mbLeft) return;
    const bool wasDragging = DragActive();
    bool dragMoved = false;
    if (wasDragging) {
        ghosts_->DragTo(pointer_, event.shift);
        dragMoved = ghosts_->Moved();
        ghosts_->EndDrag();
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
    if (DragActive()) ghosts_->DragTo(pointer_, shift);
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
    if (DragActive()) ghosts_->CancelDrag();
}

}  // namespace kestrel
