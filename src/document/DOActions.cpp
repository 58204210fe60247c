#include "document/DOActions.h"

#include <algorithm>

#include "document/DOList.h"
#include "document/DrawObject.h"
#include "document/EditSession.h"
#include "document/stream/ObjectStream.h"

namespace kestrel {

namespace {
void SelectOnSite(TDrawObject& object)
{
    object.SetSelected(true);
    if (TObjectSite* site = object.Site()) site->UpdatePivots();
}
}  // namespace

TZOrder CaptureZOrder(const TObjectSite& site)
{
    TZOrder order;
    for (int i = site.ChildCount() - 1; i >= 0; --i) order.push_back(&site.Child(i));
    return order;
}

void RestoreZOrder(const TZOrder& order)
{
    for (TDrawObject* object : order)
        if (object && object->Site()) object->SendToBack();
}

TDOAction::TDOAction(QString caption)
    : TActionBase(afUndoable | afRedoable, std::move(caption)),
      listener_([this](TPersistent* sender, const QUuid& kind) {
          auto* object = static_cast<TDrawObject*>(sender);
          if (kind == NotifyBroadcasterClosing)
              Forget(object);
          else if (kind == NotifyModified)
              ObjectModified(object);
      })
{
}

void TDOAction::Follow(TDrawObject* object)
{
    if (object) listener_.ListenTo(object->Notifier());
}

void TDOAction::Follow(const TZOrder& order)
{
    for (TDrawObject* object : order) Follow(object);
}

void TDOAction::ForgetIn(TZOrder& order, TDrawObject* object)
{
    std::replace(order.begin(), order.end(), object, static_cast<TDrawObject*>(nullptr));
}

// ---------------------------------------------------------------- layer

TDOLayerAction::TDOLayerAction(TObjectSite& site, QString caption)
    : TDOAction(std::move(caption)), before_(CaptureZOrder(site))
{
    Follow(before_);
}

void TDOLayerAction::Commit(std::unique_ptr<TDOLayerAction> action)
{
    TObjectSite* site = nullptr;
    for (TDrawObject* object : action->before_)
        if (object && object->Site()) site = object->Site();
    if (!site) return;
    action->after_ = CaptureZOrder(*site);
    for (TDrawObject* object : action->after_)
        if (object->Selected()) action->selectionAfter_.push_back(object);
    action->Follow(action->after_);
    Record(*site, std::move(action));
}

void TDOLayerAction::Restore(const TZOrder& order)
{
    RestoreZOrder(order);
    TObjectSite* site = nullptr;
    for (TDrawObject* object : order)
        if (object && object->Site()) site = object->Site();
    if (!site) return;
    site->SelectAll(false);
    for (TDrawObject* object : selectionAfter_)
        if (object && object->Site() == site) object->SetSelected(true);
    site->UpdatePivots();
}

void TDOLayerAction::Undo()
{
    Restore(before_);
}

void TDOLayerAction::Redo()
{
    Restore(after_);
}

void TDOLayerAction::Forget(TDrawObject* object)
{
    ForgetIn(before_, object);
    ForgetIn(after_, object);
    ForgetIn(selectionAfter_, object);
}

// ---------------------------------------------------------------- change

TDOChangeAction::TDOChangeAction(TDrawObject& object, QString caption)
    : TDOAction(std::move(caption)),
      object_(&object),
      before_(CloneObject(object)),
      after_(CloneObject(object))
{
    Follow(object_);
}

TDOChangeAction::~TDOChangeAction() = default;

void TDOChangeAction::Commit(std::unique_ptr<TDOChangeAction> action)
{
    TDrawObject* object = action->object_;
    if (!object || !object->Site()) return;
    const bool changed = action->markedChanged_ || (action->modifiedSeen_ && action->StateDiffers());
    if (!changed) return;
    action->after_->Assign(*object);
    Record(*object->Site(), std::move(action));
}

bool TDOChangeAction::StateDiffers() const
{
    QByteArray now, before;
    WriteObject(now, *object_);
    WriteObject(before, *before_);
    return now != before;
}

void TDOChangeAction::Apply(const TDrawObject& state)
{
    if (!object_) return;
    object_->Assign(state);
    SelectOnSite(*object_);
}

void TDOChangeAction::Undo()
{
    Apply(*before_);
}

void TDOChangeAction::Redo()
{
    Apply(*after_);
}

void TDOChangeAction::Forget(TDrawObject* object)
{
    if (object == object_) object_ = nullptr;
}

void TDOChangeAction::ObjectModified(TDrawObject* object)
{
    if (object == object_) modifiedSeen_ = true;
}

// ---------------------------------------------------------------- add and delete

TDOInsertionAction::TDOInsertionAction(TDrawObject& object, QString caption)
    : TDOAction(std::move(caption)), object_(&object), site_(object.Site())
{
    if (site_) {
        siteLifetime_ = site_->Lifetime();
        order_ = CaptureZOrder(*site_);
    }
    Follow(order_);
    Follow(object_);
}

// Freed in the body, while the record can still take the object's closing notice.
TDOInsertionAction::~TDOInsertionAction()
{
    std::unique_ptr<TDrawObject> owned = std::move(owned_);
    object_ = nullptr;
}

TObjectSite* TDOInsertionAction::LiveSite() const
{
    return siteLifetime_.expired() ? nullptr : site_;
}

void TDOInsertionAction::Insert()
{
    TObjectSite* site = LiveSite();
    if (!site || !owned_) return;
    TDrawObject& object = site->AddObject(std::move(owned_));
    SelectOnSite(object);
    RestoreZOrder(order_);
}

void TDOInsertionAction::Remove()
{
    TObjectSite* site = LiveSite();
    if (!site || !object_ || object_->Site() != site) return;
    object_->Changed();
    owned_ = site->ExtractChild(*object_);
    site->UpdatePivots();
}

void TDOInsertionAction::Forget(TDrawObject* object)
{
    ForgetIn(order_, object);
    if (object == object_) object_ = nullptr;
}

TDOAddAction::TDOAddAction(TDrawObject& object, QString caption)
    : TDOInsertionAction(object, std::move(caption))
{
}

TDODelAction::TDODelAction(TDrawObject& object, QString caption)
    : TDOInsertionAction(object, std::move(caption))
{
    Remove();
}

}  // namespace kestrel
