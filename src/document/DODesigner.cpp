#include "document/DODesigner.h"

#include <algorithm>

#include "document/DOActions.h"
#include "document/DOList.h"
#include "document/DrawObject.h"
#include "document/EditSession.h"
#include "document/ObjectKinds.h"

namespace kestrel {

// ---------------------------------------------------------------- registry

TDODesigner& TDODesignerList::Register(std::unique_ptr<TDODesigner> designer, const void* module)
{
    TDODesigner& added = *designer;
    entries_.push_back({std::move(designer), module});
    return added;
}

void TDODesignerList::UnregisterModule(const void* module)
{
    std::erase_if(entries_, [module](const TEntry& e) { return e.module == module; });
}

void TDODesignerList::Unregister(const TDODesigner& designer)
{
    std::erase_if(entries_, [&designer](const TEntry& e) { return e.designer.get() == &designer; });
}

// A designer may register or unregister others while it answers.
std::vector<TDODesigner*> TDODesignerList::Snapshot() const
{
    std::vector<TDODesigner*> designers;
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) designers.push_back(it->designer.get());
    return designers;
}

bool TDODesignerList::CreateOnSite(TObjectSite& site, const QByteArray& kind)
{
    for (TDODesigner* designer : Snapshot())
        if (std::optional<bool> answer = designer->CreateOnSite(site, kind)) return *answer;
    return false;
}

bool TDODesignerList::EditObject(TDrawObject& object)
{
    std::optional<bool> accepted;
    for (TDODesigner* designer : Snapshot())
        if ((accepted = designer->EditObject(object))) break;
    if (TObjectSite* site = object.Site()) site->UpdatePivots();
    return accepted.value_or(false);
}

bool TDODesignerList::CreatePivots(TDrawObject& object)
{
    const auto designers = Snapshot();
    return std::any_of(designers.begin(), designers.end(),
                       [&](TDODesigner* d) { return d->CreatePivots(object); });
}

bool TDODesignerList::StartGhost(TDrawObject& object, int handle)
{
    const auto designers = Snapshot();
    return std::any_of(designers.begin(), designers.end(),
                       [&](TDODesigner* d) { return d->StartGhost(object, handle); });
}

// ---------------------------------------------------------------- creation by kind

TLOCreator::TLOCreator(TEditSession& session, const TObjectKinds& kinds) : session_(session), kinds_(kinds) {}

std::optional<bool> TLOCreator::CreateOnSite(TObjectSite& site, const QByteArray& kindName)
{
    std::unique_ptr<TDrawObject> created = kinds_.NewObject(kindName);
    if (!created) return false;
    static const TObjectKind undescribed;
    const TObjectKind* described = kinds_.Find(kindName);
    const TObjectKind& kind = described ? *described : undescribed;
    if (kind.prepare) kind.prepare(*created, site);
    site.CancelDrag();
    if (const auto& observer = session_.CreationObserver()) {
        observer(*created);
        created->SetSelected(false);
    }
    site.SetSiteCursor(crDefault);
    if (kind.editorFirst && !session_.Designers().EditObject(*created)) return false;
    created->SetCursor(crHandPoint);
    TDrawObject& object = site.AddObject(std::move(created));
    if (kind.drag) {
        object.SetVisible(false);
        site.SetSiteCursor(crCross);
        object.StartGhost(-2);
        return true;
    }
    if (object.Selectable()) PlaceNewObject(object, site);
    session_.History().Add(std::make_unique<TDOAddAction>(object, QStringLiteral("追加")));
    if (object.Selectable()) {
        site.SelectAll(false);
        object.SetSelected(true);
        site.UpdatePivots();
    }
    return true;
}

}  // namespace kestrel
