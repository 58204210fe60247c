#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "document/Notify.h"
#include "document/ObjectSite.h"
#include "document/Pivot.h"
#include "platform/Color.h"
#include "platform/Cursor.h"
#include "platform/RenderBudget.h"
#include "render/Scaler.h"
#include "render/SiteInput.h"

namespace kestrel {

class IDragGhosts;
class TCanvas;
class TDrawSite;

// The window behind a draw site (a widget, or nothing for off-screen sites). Every call is a
// request the window may ignore.
class IDrawSiteHost {
public:
    virtual ~IDrawSiteHost() = default;
    // Device rectangle relative to the site.
    virtual void InvalidateArea(const TRect& device) = 0;
    // Paints what is pending at once.
    virtual void RepaintNow() = 0;
    virtual void ElementSizeChanged(QSize device) = 0;
    virtual void TakeFocus() = 0;
    // Whether a device point lies in the visible part of the surrounding scroll box.
    virtual bool IsInView(QPoint device) const = 0;
    // Scrolls the scroll box one step towards a point outside its visible part.
    virtual void ScrollTowards(QPoint device) = 0;
};

// The surface on which a list of draw objects is shown and edited: it owns the objects in
// z-order, maps logical units to device pixels through its scaler, paints, keeps the selection and
// its handles, routes mouse and keys to interactive drags and re-broadcasts its objects'
// notifications. It knows no widgets; a host window forwards paint and input to it.
class TDrawSite : public TObjectSite {
public:
    using SiteEvent = std::function<void(TDrawSite&)>;
    using PaintEvent = std::function<void(TDrawSite&, TCanvas&)>;
    using ObjectEvent = std::function<void(TDrawSite&, TDrawObject* object)>;
    using ProgressEvent = std::function<void(TDrawSite&, int index)>;

    TDrawSite();
    ~TDrawSite() override;
    TDrawSite(const TDrawSite&) = delete;
    TDrawSite& operator=(const TDrawSite&) = delete;

    void SetHost(IDrawSiteHost* host) { host_ = host; }
    IDrawSiteHost* Host() const { return host_; }
    // The ghost list of the session the site is edited in; without one no drag starts.
    void SetDragGhosts(IDragGhosts* ghosts) { ghosts_ = ghosts; }
    IDragGhosts* DragGhosts() const { return ghosts_; }

    // --- Mapping ---------------------------------------------------------------------------
    TScaler& Scaler() { return scaler_; }
    const TScaler& Scaler() const { return scaler_; }
    // Resolution of the window surface; the screen's unless set.
    int DeviceDpi() const { return deviceDpi_; }
    void SetDeviceDpi(int dpi);
    int LogWidth() const { return logWidth_; }
    int LogHeight() const { return logHeight_; }
    void SetLogSize(int width, int height);
    // Device size of the whole logical area.
    QSize ElementSize() const { return elementSize_; }
    // Size given by a stored form before Loaded; Rescale replaces it.
    void SetElementSize(QSize device) { elementSize_ = device; }
    // Recomputes the element size and every object's element bounds (after a zoom change).
    void Rescale();
    // While a stored site is read nothing rescales; Loaded finishes: a stored logical size
    // rescales, without one the logical size is taken from the element size.
    void BeginLoading() { loading_ = true; }
    void Loaded();
    TRect LogicalClientRect() const;
    TRect LogicalArea() const override { return {0, 0, logWidth_, logHeight_}; }
    TRect VisibleLogicalArea() const override { return LogicalClientRect(); }
    // Where new objects go when the site shows something with a printable part (a face).
    void SetNewObjectPlacement(std::optional<TPlacement> placement) { placement_ = placement; }
    TPlacement NewObjectPlacement() const override
    {
        return placement_ ? *placement_ : TObjectSite::NewObjectPlacement();
    }
    int FitScale(QSize area, bool fitWidth, bool fitHeight) const;

    QPoint LogToDev(QPoint logical) const override;
    QPoint DevToLog(QPoint device) const override;
    TRect LogToDevRect(const TRect& logical) const override;
    void ApplyMapping(TCanvas& canvas) const override;

    // --- Appearance -------------------------------------------------------------------------
    TColor Color() const { return color_; }
    // clNone leaves the background unpainted.
    void SetColor(TColor color);
    bool Border() const { return border_; }
    void SetBorder(bool value);
    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool value) { doubleBuffered_ = value; }
    TCursor MoveCursor() const { return moveCursor_; }
    void SetMoveCursor(TCursor cursor) { moveCursor_ = cursor; }

    // --- Events -----------------------------------------------------------------------------
    // Background content in logical units, before the objects.
    void SetOnPaint(PaintEvent handler) { onPaint_ = std::move(handler); }
    // Overlays in logical units, after the objects.
    void SetOnPaintAfter(PaintEvent handler) { onPaintAfter_ = std::move(handler); }
    void SetOnScalerChanged(SiteEvent handler) { onScalerChanged_ = std::move(handler); }
    // A drag ended (object none) or an object's property edit was accepted.
    void SetOnClearGhost(ObjectEvent handler) { onClearGhost_ = std::move(handler); }
    void SetOnModifyChanged(SiteEvent handler) { onModifyChanged_ = std::move(handler); }
    void SetOnDrawToProgress(ProgressEvent handler) { onDrawToProgress_ = std::move(handler); }
    // The object's own click (press and release on it).
    void SetOnObjectClick(ObjectEvent handler) { onObjectClick_ = std::move(handler); }
    // Keys not consumed by a drag (the editing commands listen here).
    void SetOnKeyDown(std::function<void(TDrawSite&, const TSiteKeyEvent&)> handler)
    {
        onKeyDown_ = std::move(handler);
    }

    // --- Objects ----------------------------------------------------------------------------
    // Front-most object whose HitTest answers 1.
    TDrawObject* ObjectAt(QPoint logical) const;
    // Appends the objects from the front to the back.
    void Objects(std::vector<TDrawObject*>& list, bool selectedOnly) const;
    void UpdateElementBounds(TDrawObject& object) override;
    void InvalidateElement(TDrawObject& object) override;
    void Invalidate();
    // Repaints a logical area where only drag feedback changed; the objects are painted from the
    // picture taken when the drag began.
    void InvalidateOverlay(const TRect& logical);

    // --- Selection and handles --------------------------------------------------------------
    // Selects every object whose element rectangle meets the device rectangle.
    void SelectInRect(const TRect& device);
    // Used by the designers that create handles; the site owns them, in front of every object.
    TPivot& AddPivot(std::unique_ptr<TPivot> pivot);
    // Centres the handle on the device image of the logical point.
    void PlacePivot(TPivot& pivot, QPoint logical);
    int PivotCount() const { return static_cast<int>(pivots_.size()); }
    TPivot& Pivot(int index) const { return *pivots_.at(index); }
    bool PivotsStale() const { return pivotsStale_; }
    // Rebuilds stale handles, unless the site holds the mouse.
    void UpdatePivots() override;
    // Hides every handle (they become stale); true if any was visible.
    bool HidePivots();
    void RemovePivots();

    // --- State ------------------------------------------------------------------------------
    bool Modified() const { return modified_; }
    void SetModified(bool modified) override;
    // Set by every SetModified call, whatever the value.
    bool Touched() const { return touched_; }
    void SetTouched(bool value) { touched_ = value; }
    bool IsDragging() const override;
    void ClearGhost(TDrawObject& object) override;
    // Re-broadcasts the objects' notifications with the object as sender.
    TBroadcaster& Notifier() { return notifier_; }
    TDrawObject* ClickedObject() const { return clicked_; }
    // The surface DrawTo is painting on, or none.
    TCanvas* PaintingSurface() const { return paintingSurface_; }

    // --- Painting ---------------------------------------------------------------------------
    // Paints the site's device area `update` (relative to the site) onto a canvas whose device
    // origin is the site's top-left.
    void Paint(TCanvas& canvas, const TRect& update);
    // Renders everything onto another surface at a zoom, the logical origin moved by `origin`.
    void DrawTo(TCanvas& surface, QPoint origin, int scale);
    // What the objects' decoded pictures may hold, and what could not be drawn; every canvas the
    // site paints on carries it.
    TRenderBudget& RenderBudget() { return budget_; }

    // --- Input ------------------------------------------------------------------------------
    void MouseDown(const TSiteMouseEvent& event);
    void MouseMove(const TSiteMouseEvent& event);
    void MouseUp(const TSiteMouseEvent& event);
    void KeyDown(const TSiteKeyEvent& event);
    void KeyUp(const TSiteKeyEvent& event);
    // The window lost the mouse (capture taken away, focus changes, ...).
    void CancelMode();
    void CancelDrag() override { CancelMode(); }
    // The cursor shown where no handle or object is (a creation drag shows crCross).
    void SetSiteCursor(TCursor cursor) override { siteCursor_ = cursor; }
    // Cursor of the handle or object under a device point.
    TCursor CursorAt(QPoint device) const;

protected:
    // DrawTo's painting of one object (a visible one, through PaintTo).
    virtual void DrawObject(TDrawObject& object, TCanvas& surface);
    void ChildInserted(TDrawObject& object) override;
    void ChildRemoving(TDrawObject& object) override;

private:
    int MappingDpi() const;
    bool DragActive() const;
    void ObjectNotified(TPersistent* sender, const QUuid& kind);
    void RemovePivotsOf(const TDrawObject& owner);
    void PaintBackground(TCanvas& canvas);
    void PaintElements(TCanvas& canvas, const TRect& update);
    // Handles go above the objects and the overlays: nothing hides where to grab.
    void PaintPivots(TCanvas& canvas, const TRect& update);
    void PaintOverlay(TCanvas& canvas, const TRect& borderDevice);
    // The scene through an off-screen picture, so that the window never shows half a paint; on
    // a surface of a higher pixel ratio, always so, at that ratio.
    void PaintBuffered(TCanvas& canvas, const TRect& area, qreal ratio);
    // Device pixels of the surface per device unit of the site (2 on a doubled screen).
    static qreal PixelRatio(const TCanvas& canvas);
    // The scene's device area at the pixel ratio (the picture carries it).
    QImage ScenePicture(const TRect& area, qreal ratio);
    // Answers the objects that failed to paint there.
    std::vector<TDrawObject*> PaintDenseScene(QImage& picture, const TRect& area, qreal ratio);
    static void FrameBorder(TCanvas& dense, const TDrawObject& object, qreal ratio);
    // DrawTo's painting, each object painted by drawObject.
    void DrawScene(TCanvas& surface, QPoint origin, int scale,
                   const std::function<void(TDrawObject&, TCanvas&)>& drawObject);
    void PaintScene(TCanvas& canvas, const TRect& update);
    // The scene under a running drag: painted once, then only the ghosts are drawn over it.
    bool PaintOverScene(TCanvas& canvas, const TRect& update);
    void PaintGhosts(TCanvas& canvas, const TRect& update);
    TPivot* PivotAt(QPoint device) const;
    TDrawObject* ElementAt(QPoint device) const;
    void PressObject(TDrawObject& object, int handle, const TSiteMouseEvent& event);
    void PressSite(const TSiteMouseEvent& event);
    void StartObjectGhosts(int handle);
    void ClickStep(QPoint device, bool dragMoved);
    void DragToPointer(TShiftState shift);

    TScaler scaler_;
    int deviceDpi_;
    int logWidth_ = 0;
    int logHeight_ = 0;
    QSize elementSize_;
    bool loading_ = false;
    TColor color_ = clWindow;
    bool border_ = true;
    bool doubleBuffered_ = false;
    TCursor moveCursor_ = crDefault;
    TCursor siteCursor_ = crDefault;
    bool modified_ = false;
    bool touched_ = false;
    bool pivotsStale_ = false;
    bool captured_ = false;
    bool toggleOnClick_ = false;
    TDrawObject* clicked_ = nullptr;
    TCanvas* paintingSurface_ = nullptr;
    QPoint pointer_;  // last pointer position, logical
    IDrawSiteHost* host_ = nullptr;
    IDragGhosts* ghosts_ = nullptr;
    std::vector<std::unique_ptr<TPivot>> pivots_;
    QImage scene_;
    std::optional<TPlacement> placement_;
    TRenderBudget budget_;

    PaintEvent onPaint_;
    PaintEvent onPaintAfter_;
    SiteEvent onScalerChanged_;
    ObjectEvent onClearGhost_;
    SiteEvent onModifyChanged_;
    ProgressEvent onDrawToProgress_;
    ObjectEvent onObjectClick_;
    std::function<void(TDrawSite&, const TSiteKeyEvent&)> onKeyDown_;

    // Declared last: the listener leaves the objects' notifiers before anything else goes.
    TBroadcaster notifier_;
    TListener listener_;
};

}  // namespace kestrel
