#pragma once

#include <QString>
#include <functional>

#include "document/DOList.h"
#include "document/stream/Persistent.h"

namespace kestrel {

class TDrawObject;
class TObjectSite;

// Undo record kinds as configuration names them.
enum class TDSAUndoType { atNone, atDelete, atAdd, atChange, atLayer };
// The record a bulk operation makes for each target.
enum class TDSOActionType { atNone, atDelete, atAdd, atChange };
const TEnumInfo& DSAUndoTypeInfo();
const TEnumInfo& DSOActionTypeInfo();

// What every command on the objects of a site shares: collecting the targets, the count rule,
// and running a first step and then a step on each target inside one undo group. Each target's
// record goes into the history only once its step succeeded, so a failed step leaves nothing
// behind (and a delete record, which takes the object off the site, is made last).
class TSiteCommand {
public:
    virtual ~TSiteCommand() = default;

    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool value) { multiSelect_ = value; }
    bool SelectedOnly() const { return selectedOnly_; }
    void SetSelectedOnly(bool value) { selectedOnly_ = value; }
    bool FromFront() const { return fromFront_; }
    void SetFromFront(bool value) { fromFront_ = value; }
    const QString& TargetClassName() const { return targetClassName_; }
    void SetTargetClassName(const QString& name) { targetClassName_ = name; }
    bool TargetClassOnly() const { return targetClassOnly_; }
    void SetTargetClassOnly(bool value) { targetClassOnly_ = value; }
    TDSAUndoType UndoType() const { return undoType_; }
    void SetUndoType(TDSAUndoType type) { undoType_ = type; }
    const QString& ActionString() const { return actionString_; }
    void SetActionString(const QString& caption) { actionString_ = caption; }

    // The targets from the front-most to the back-most.
    const TDOList& Targets() const { return targets_; }
    TDOList& Targets() { return targets_; }
    // The site's objects from the front (the selected ones unless SelectedOnly is off), kept to
    // the target class.
    virtual void MakeList(TObjectSite& site);
    // Collects the targets and applies the count rule.
    virtual bool IsTargetValid(TObjectSite& site);
    void Execute(TObjectSite& site);

protected:
    // Whether there is anything to run at all, and whether the targets get a step each.
    virtual bool HasSteps() const { return true; }
    virtual bool HasEachStep() const { return true; }
    virtual void ExecuteFirst(TObjectSite&) {}
    virtual void EachObject(TObjectSite&, TDrawObject&) {}
    bool TargetCountFits() const;
    // Drops the targets the predicate refuses (the list must not own its objects).
    void KeepTargets(const std::function<bool(TDrawObject&)>& keep);

private:
    void RunOn(TObjectSite& site, TDrawObject& target);

    bool multiSelect_ = true;
    bool selectedOnly_ = true;
    bool fromFront_ = false;
    QString targetClassName_;
    bool targetClassOnly_ = false;
    TDSAUndoType undoType_ = TDSAUndoType::atNone;
    QString actionString_;
    TDOList targets_;
};

// A site command whose steps are handlers bound in code; it is stored with their names.
class TDSOperation : public TComponent, public TSiteCommand {
    KESTREL_PERSISTENT()
public:
    using OperationEvent = std::function<void(TDSOperation&)>;
    using ObjectEvent = std::function<void(TDSOperation&, TDrawObject&)>;

    TDSOActionType ActionType() const;
    void SetActionType(TDSOActionType type);

    // Handler names as the stream keeps them; the handlers themselves are bound in code.
    const QString& OnExecuteName() const { return onExecuteName_; }
    void SetOnExecuteName(const QString& name) { onExecuteName_ = name; }
    const QString& OnMakeListName() const { return onMakeListName_; }
    void SetOnMakeListName(const QString& name) { onMakeListName_ = name; }
    const QString& OnEachObjectName() const { return onEachObjectName_; }
    void SetOnEachObjectName(const QString& name) { onEachObjectName_ = name; }
    void SetOnExecute(OperationEvent handler) { onExecute_ = std::move(handler); }
    void SetOnMakeList(OperationEvent handler) { onMakeList_ = std::move(handler); }
    void SetOnEachObject(ObjectEvent handler) { onEachObject_ = std::move(handler); }

    void MakeList(TObjectSite& site) override;
    bool CanExecute(TObjectSite& site) { return IsTargetValid(site); }

protected:
    bool HasSteps() const override { return onExecute_ || onEachObject_; }
    bool HasEachStep() const override { return static_cast<bool>(onEachObject_); }
    void ExecuteFirst(TObjectSite&) override;
    void EachObject(TObjectSite&, TDrawObject& target) override;

private:
    QString onExecuteName_;
    QString onMakeListName_;
    QString onEachObjectName_;
    OperationEvent onExecute_;
    OperationEvent onMakeList_;
    ObjectEvent onEachObject_;
};

}  // namespace kestrel
