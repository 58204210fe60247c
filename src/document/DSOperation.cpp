#include "document/DSOperation.h"

#include <algorithm>
#include <optional>

#include "document/ActionList.h"
#include "document/DOActions.h"
#include "document/DrawObject.h"
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

void TDSOperation::MakeList(TObjectSite& site)
{
    targets_.Clear();
    for (int i = site.ChildCount() - 1; i >= 0; --i)
        if (!selectedOnly_ || site.Child(i).Selected()) targets_.Add(site.Child(i));
    const TClassInfo* targetClass =
        targetClassName_.isEmpty() ? nullptr : TClassRegistry::Global().Find(targetClassName_.toLatin1());
    if (targetClass) {
        auto foreign = [targetClass](TDrawObject* o) { return !o->ClassInfo().InheritsFrom(*targetClass); };
        const auto& items = targets_.Items();
        if (targetClassOnly_ && std::any_of(items.begin(), items.end(), foreign)) {
            targets_.Clear();
        } else {
            TDOList kept;
            for (TDrawObject* o : items)
                if (!foreign(o)) kept.Add(*o);
            targets_ = std::move(kept);
        }
    }
    if (onMakeList_) onMakeList_(*this);
}

bool TDSOperation::TargetCountFits() const
{
    if (selectedOnly_ && !multiSelect_) return targets_.Count() == 1;
    return targets_.Count() >= 1;
}

bool TDSOperation::CanExecute(TObjectSite& site)
{
    MakeList(site);
    return TargetCountFits();
}

void TDSOperation::Execute(TObjectSite& site)
{
    if (!onExecute_ && !onEachObject_) return;
    MakeList(site);
    if (!TargetCountFits()) return;
    std::optional<TActionGroupScope> group;
    if (!actionString_.isEmpty()) group.emplace(ActionList(), actionString_);
    if (onExecute_) onExecute_(*this);
    if (!onEachObject_) return;
    std::vector<TDrawObject*> order = targets_.Items();
    if (!fromFront_) std::reverse(order.begin(), order.end());
    for (TDrawObject* target : order) RunOn(site, *target);
}

void TDSOperation::RunOn(TObjectSite& site, TDrawObject& target)
{
    switch (actionType_) {
        case TDSOActionType::atNone:
            return onEachObject_(*this, target);
        case TDSOActionType::atChange: {
            auto record = std::make_unique<TDOChangeAction>(target);
            onEachObject_(*this, target);
            return TDOChangeAction::Commit(std::move(record));
        }
        case TDSOActionType::atDelete:
            onEachObject_(*this, target);
            // A handler that took the object off the site leaves nothing to record.
            if (site.IndexOf(target) >= 0) ActionList().Add(std::make_unique<TDODelAction>(target));
            return;
        case TDSOActionType::atAdd:
            onEachObject_(*this, target);
            if (site.IndexOf(target) >= 0) ActionList().Add(std::make_unique<TDOAddAction>(target));
            return;
    }
}

}  // namespace kestrel
