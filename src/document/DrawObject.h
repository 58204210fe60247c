#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <functional>
#include <memory>

#include "document/Notify.h"
#include "document/ObjectSite.h"
#include "document/stream/Persistent.h"
#include "platform/Geometry.h"

namespace kestrel {

class TCanvas;

// Mixes source into target (both the same size) through an 8-bit coverage mask weakened to a
// percentage; false when it cannot. The imaging layer installs it at start-up; until then,
// objects that ask for blending paint plainly.
using TMaskBlender = std::function<bool(QImage& target, const QImage& source, const QImage& mask, int ratio)>;
// Returns the one installed before.
TMaskBlender SetMaskBlender(TMaskBlender blender);

// Base of everything drawn on a site. It is an element of its site (device bounds, visibility,
// cursor) and draws itself in the site's logical units (0.1 mm).
class TDrawObject : public TComponent, public TSiteElement {
    KESTREL_PERSISTENT()
public:
    using ModifyHandler = std::function<void(TDrawObject& sender)>;

    TDrawObject();
    ~TDrawObject() override;

    TObjectSite* Site() const { return site_; }

    bool Border() const { return border_; }
    void SetBorder(bool value);
    const QString& Hint() const { return hint_; }
    void SetHint(const QString& hint) { hint_ = hint; }
    // Name of the pop-up menu component.
    const QString& PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(const QString& name) { popupMenu_ = name; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }
    bool Movable() const { return movable_; }
    bool Selectable() const { return selectable_; }
    void SetSelectable(bool value);
    bool Selected() const { return selected_; }
    int LayerGroup() const { return layerGroup_; }
    void SetLayerGroup(int group);
    // The handler bound by name when the object is read; the name is what the stream keeps.
    const QString& OnModifyName() const { return onModifyName_; }
    void SetOnModifyName(const QString& name) { onModifyName_ = name; }
    void SetOnModify(ModifyHandler handler) { onModify_ = std::move(handler); }
    // Free lines carried with the object; a change reports straight to the change callback.
    const QStringList& Appendix() const { return appendix_; }
    void SetAppendix(const QStringList& lines);
    bool PaintFailed() const { return paintFailed_; }

    TChangeNotify& Notifier() { return *notifier_; }
    TListener& Listener() { return *listener_; }

    virtual bool NeedsBlend() const;
    virtual void PaintContent(TCanvas& canvas);
    // Coverage for blended painting on an 8-bit grey canvas: 255 covered, 0 not.
    virtual void PaintMask(TCanvas& mask);
    // The object's own image at the reference canvas's mapping, on white, over a device area of
    // the reference only: an object far larger than what shows is never drawn whole.
    virtual QImage RenderToBitmap(const TCanvas& reference, const TRect& device);
    virtual void Notify(TPersistent* sender, const QUuid& kind);
    // 1 hit, 0 miss; logical point.
    virtual int HitTest(QPoint logical) const = 0;
    virtual TRect GetBounds() const = 0;
    virtual void CreatePivots() = 0;
    // -2 create by dragging, -1 move, 0..7 resize by a handle, 8 rotate.
    virtual void StartGhost(int handle) = 0;
    virtual void SetSelected(bool value);
    virtual void SetMovable(bool value);
    // Marks a change of the given kinds on the change notifier.
    virtual void Changed(TChangeKinds kinds = ckAppearance);
    // Paints onto a foreign surface (print, preview, export) in logical units.
    virtual void PaintTo(TCanvas& canvas);

    // Draws the object in logical units.
    virtual void Paint(TCanvas&) {}
    // Why the object cannot be drawn as it is stored (a QR code whose data does not fit); empty
    // when it can. Reports on a document (info, render, print) name such objects.
    virtual QString Problem() { return {}; }
    // Screen painting of the element: the canvas's device origin is the element's top-left.
    // A paint that raises is reported once; from then on the element shows the failure pattern.
    void PaintElement(TCanvas& canvas);
    // Hit test of an element-relative device point; nothing is hit while a drag runs.
    bool ElementHitTest(QPoint elementPoint) const;
    virtual void DblClick() {}

    // Moves within the object's layer group (bands never mix).
    void BringToFront();
    void SendToBack();

    // One update batch: at most one "modified" for the whole copy.
    void Assign(const TPersistent& source) override;

protected:
    // Copies the published properties and the selection; overrides add only what the property
    // table cannot hold, calling their base first.
    virtual void AssignFrom(const TDrawObject& source);

private:
    friend class TObjectSite;

    void ReportModified();
    // Mask and own image mixed into a bitmap target; false when that cannot be set up.
    bool PaintBlended(TCanvas& canvas, const TMaskBlender& blender);
    void MoveToPosition(int target);
    static void PaintFailurePattern(TCanvas& canvas, const TRect& area);

    TObjectSite* site_ = nullptr;
    bool border_ = false;
    QString hint_;
    QString popupMenu_;
    bool enabled_ = true;
    bool selected_ = false;
    bool movable_ = true;
    bool selectable_ = true;
    int layerGroup_ = 0;
    QString onModifyName_;
    ModifyHandler onModify_;
    bool paintFailed_ = false;
    // Destroyed listener first, then notifier (telling its listeners), then the lines.
    QStringList appendix_;
    std::unique_ptr<TChangeNotify> notifier_;
    std::unique_ptr<TListener> listener_;
};

}  // namespace kestrel
