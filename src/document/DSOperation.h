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

// Applies one handler to the selected (or all) objects of a site, recording each change in the
// undo history.
class TDSOperation : public TComponent {
    KESTREL_PERSISTENT()
public:
    using OperationEvent = std::function<void(TDSOperation&)>;
    using ObjectEvent = std::function<void(TDSOperation&, TDrawObject&)>;

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
    TDSOActionType ActionType() const { return actionType_; }
    void SetActionType(TDSOActionType type) { actionType_ = type; }
    const QString& ActionString() const { return actionString_; }
    void SetActionString(const QString& caption) { actionString_ = caption; }

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

    // The targets from the front-most to the back-most.
    const TDOList& Targets() const { return targets_; }
    TDOList& Targets() { return targets_; }
    void MakeList(TObjectSite& site);
    bool CanExecute(TObjectSite& site);
    // Each target gets the handler; its record goes into the history only once the handler
    // succeeded (a delete record then takes the object off the site).
    void Execute(TObjectSite& site);

private:
    bool TargetCountFits() const;
    void RunOn(TObjectSite& site, TDrawObject& target);

    bool multiSelect_ = true;
    bool selectedOnly_ = true;
    bool fromFront_ = false;
    QString targetClassName_;
    bool targetClassOnly_ = false;
    TDSOActionType actionType_ = TDSOActionType::atNone;
    QString actionString_;
    QString onExecuteName_;
    QString onMakeListName_;
    QString onEachObjectName_;
    OperationEvent onExecute_;
    OperationEvent onMakeList_;
    ObjectEvent onEachObject_;
    TDOList targets_;
};

}  // namespace kestrel
