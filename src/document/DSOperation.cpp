#include "document/DSOperation.h"

#include <algorithm>
#include <optional>

#include "document/ActionList.h"
#include "document/DOActions.h"
#include "document/DrawObject.h"
#include "document/EditSession.h"
#include "document/stream/ClassRegistry.h"

namespace kestrel {

const TEnumInfo& DSAUndoTypeInfo()
{
    static const TEnumInfo info{"TDSAUndoType", {"atNone", "atDelete", "atAdd", "atChange", "atLayer"}};
    return info;
}

const TEnumInfo& DSOActionTypeInfo()
{
    static const TEnumInfo info{"TDSOActionType", {"atNone", "atDelete", "atAdd", "atChange"}};
    return info;
}

const TClassInfo& TDSOperation::StaticClass()
{
    static const TClassInfo info("TDSOperation", &TComponent::StaticClass(), FactoryOf<TDSOperation>(), [] {
        return TPropsOf<TDSOperation>()
            .Bool("MultiSelect", &TDSOperation::MultiSelect, &TDSOperation::SetMultiSelect, 1)
            .Bool("SelectedOnly", &TDSOperation::SelectedOnly, &TDSOperation::SetSelectedOnly, 1)
            .Bool("FromFront", &TDSOperation::FromFront, &TDSOperation::SetFromFront, 0)
            .String("TargetClassName", &TDSOperation::TargetClassName, &TDSOperation::SetTargetClassName)
            .Bool("TargetClassOnly", &TDSOperation::TargetClassOnly, &TDSOperation::SetTargetClassOnly, 0)
            .Enum("ActionType", DSOActionTypeInfo(), &TDSOperation::ActionType, &TDSOperation::SetActionType,
                  0)
            .String("ActionString", &TDSOperation::ActionString, &TDSOperation::SetActionString)
            .Method("OnExecute", &TDSOperation::OnExecuteName, &TDSOperation::SetOnExecuteName)
            .Method("OnMakeList", &TDSOperation::OnMakeListName, &TDSOperation::SetOnMakeListName)
            .Method("OnEachObject", &TDSOperation::OnEachObjectName, &TDSOperation::SetOnEachObjectName)
            .Done();
    });
    return info;
}

void TSiteCommand::MakeList(TObjectSite& site)
{
    targets_.Clear();
    for (int i = site.ChildCount() - 1; i >= 0; --i)
        if (!selectedOnly_ || site.Child(i).Selected()) targets_.Add(site.Child(i));
    const TClassInfo* targetClass =
        targetClassName_.isEmpty() ? nullptr : TClassRegistry::Global().Find(targetClassName_.toLatin1());
    if (!targetClass) return;
    auto foreign = [targetClass](TDrawObject* o) { return !o->ClassInfo().InheritsFrom(*targetClass); };
    const auto& items = targets_.Items();
    if (targetClassOnly_ && std::any_of(items.begin(), items.end(), foreign))
        targets_.Clear();
    else
        KeepTargets([&](TDrawObject& o) { return !foreign(&o); });
}

void TSiteCommand::KeepTargets(const std::function<bool(TDrawObject&)>& keep)
{
    TDOList kept;
    for (TDrawObject* o : targets_.Items())
        if (keep(*o)) kept.Add(*o);
    targets_ = std::move(kept);
}

bool TSiteCommand::TargetCountFits() const
{
    if (selectedOnly_ && !multiSelect_) return targets_.Count() == 1;
    return targets_.Count() >= 1;
}

bool TSiteCommand::IsTargetValid(TObjectSite& site)
{
    MakeList(site);
    return TargetCountFits();
}

void TSiteCommand::Execute(TObjectSite& site)
{
    if (!HasSteps() || !IsTargetValid(site)) return;
    std::optional<TActionGroupScope> group;
    TActionList* history = HistoryOf(site);
    if (history && !actionString_.isEmpty()) group.emplace(*history, actionString_);
    ExecuteFirst(site);
    if (!HasEachStep()) return;
    std::vector<TDrawObject*> order = targets_.Items();
    if (!fromFront_) std::reverse(order.begin(), order.end());
    for (TDrawObject* target : order) RunOn(site, *target);
}

void TSiteCommand::RunOn(TObjectSite& site, TDrawObject& target)
{
    switch (undoType_) {
        case TDSAUndoType::atNone:
            return EachObject(site, target);
        case TDSAUndoType::atChange: {
            auto record = std::make_unique<TDOChangeAction>(target);
            EachObject(site, target);
            return TDOChangeAction::Commit(std::move(record));
        }
        case TDSAUndoType::atLayer: {
            // An object already in place leaves no empty step behind.
            const TZOrder before = CaptureZOrder(site);
            auto record = std::make_unique<TDOLayerAction>(site);
            EachObject(site, target);
            if (CaptureZOrder(site) != before) TDOLayerAction::Commit(std::move(record));
            return;
        }
        case TDSAUndoType::atDelete:
            EachObject(site, target);
            // A step that took the object off the site leaves nothing to record.
            if (site.IndexOf(target) >= 0) Record(site, std::make_unique<TDODelAction>(target));
            return;
        case TDSAUndoType::atAdd:
            EachObject(site, target);
            if (site.IndexOf(target) >= 0) Record(site, std::make_unique<TDOAddAction>(target));
            return;
    }
}

TDSOActionType TDSOperation::ActionType() const
{
    // An operation is never given a layer record.
    return static_cast<TDSOActionType>(UndoType());
}

void TDSOperation::SetActionType(TDSOActionType type)
{
    SetUndoType(static_cast<TDSAUndoType>(type));
}

void TDSOperation::MakeList(TObjectSite& site)
{
    TSiteCommand::MakeList(site);
    if (onMakeList_) onMakeList_(*this);
}

void TDSOperation::ExecuteFirst(TObjectSite&)
{
    if (onExecute_) onExecute_(*this);
}

void TDSOperation::EachObject(TObjectSite&, TDrawObject& target)
{
    onEachObject_(*this, target);
}

}  // namespace kestrel
