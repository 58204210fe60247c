#include "render/DrawSite.h"

#include <QImage>
#include <algorithm>

#include "document/DrawObject.h"
#include "platform/Canvas.h"
#include "render/DragGhosts.h"

namespace kestrel {

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
    if (DragActive()) ghosts_->CancelDrag();
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

// The handles' pixels go with them, or they would stay drawn beside an object no longer selected.
void TDrawSite::RemovePivotsOf(const TDrawObject& owner)
{
    std::erase_if(pivots_, [&](const auto& pivot) {
        if (&pivot->Owner() != &owner) return false;
        if (host_) host_->InvalidateArea(pivot->ElementBounds());
        return true;
    });
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

bool TDrawSite::DragActive() const
{
    return ghosts_ && ghosts_->HasGhosts();
}

void TDrawSite::ClearGhost(TDrawObject& object)
{
    if (onClearGhost_) onClearGhost_(*this, &object);
}

}  // namespace kestrel
