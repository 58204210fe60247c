#include "document/DODesigner.h"

#include <algorithm>

#include "document/Capabilities.h"
#include "document/DOActions.h"
#include "document/DOList.h"
#include "document/DrawObject.h"
#include "document/stream/ClassRegistry.h"
#include "document/stream/Persistent.h"

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

std::unique_ptr<TDrawObject> TDODesignerList::NewObject(const QByteArray& kind)
{
    for (TDODesigner* designer : Snapshot())
        if (std::unique_ptr<TDrawObject> object = designer->NewObject(kind)) return object;
    return nullptr;
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

TDODesignerList& DesignerList()
{
    static TDODesignerList designers;
    return designers;
}

void InstallObjectDesigners()
{
    static const bool registered = [] {
        DesignerList().Register(std::make_unique<TLOCreator>());
        return true;
    }();
    (void)registered;
    SetObjectDesigners(&DesignerList());
}

// ---------------------------------------------------------------- creation by kind

namespace {
// Creation commands and stream names that stand for another class.
const QHash<QByteArray, QByteArray>& KindTargets()
{
    static const QHash<QByteArray, QByteArray> targets = {
        {"TLOImage", "TLOWizardImage"},
        {"TLOImagePaste", "TLOWizardImage"},
        {"TLOBitmapPaste", "TLOWizardImage"},
        {"TLOMetafilePaste", "TLOWizardImage"},
        {"TLOOnePoint", "TLOWizardImage"},
        {"TLOTwain", "TLOWizardImage"},
        {"TLOText", "TLOText"},
        {"TLOTextPaste", "TLOText"},
        {"TLOOLEPaste", "TLOOLE"},
        {"TLOArrangedImage", "TLOArrangedImage"},
    };
    return targets;
}

void SetAutoSize(TDrawObject& object, TObjectSite&)
{
    if (auto* autoSize = dynamic_cast<IDOAutoSize*>(&object)) autoSize->SetAutoSize(true);
}

void CoverSite(TDrawObject& object, TObjectSite& site)
{
    const TRect area = site.LogicalArea();
    auto* shape = dynamic_cast<IRectShape*>(&object);
    if (!shape) return;
    shape->SetLeft(area.left);
    shape->SetTop(area.top);
    shape->SetWidth(area.Width());
    shape->SetHeight(area.Height());
}

void CoverSiteDisabled(TDrawObject& object, TObjectSite& site)
{
    CoverSite(object, site);
    object.SetEnabled(false);
    object.SetSelectable(false);
}

QHash<QByteArray, TKindSetup> DefaultSetups()
{
    const TKindSetup editorFirst{{}, true, false};
    const TKindSetup placedAtOnce{{}, false, false};
    QHash<QByteArray, TKindSetup> setups;
    for (const char* kind : {"TLOJANCode", "TLODecoLine", "TLODecoString", "TLOAlphaMask", "TLOImage",
                             "TLOOnePoint", "TLOTwain", "TLOQRCode", "TLOQRStd"})
        setups.insert(kind, editorFirst);
    for (const char* kind : {"TLOImagePaste", "TLOBitmapPaste", "TLOMetafilePaste", "TLOOLEPaste"})
        setups.insert(kind, placedAtOnce);
    setups.insert("TLOText", {SetAutoSize, true, false});
    setups.insert("TLOTextPaste", {SetAutoSize, false, false});
    setups.insert("TLODate", {SetAutoSize, true, false});
    setups.insert("TLOField", {{}, true, true});
    setups.insert("TLOArrangedImage", {CoverSite, true, false});
    setups.insert("TLOBackImage", {CoverSiteDisabled, true, false});
    return setups;
}
}  // namespace

TLOCreator::TLOCreator(const TClassRegistry* registry) : registry_(registry) {}

QHash<QByteArray, TLOCreator::Factory>& TLOCreator::Factories()
{
    static QHash<QByteArray, Factory> factories;
    return factories;
}

QHash<QByteArray, TKindSetup>& TLOCreator::Setups()
{
    static QHash<QByteArray, TKindSetup> setups = DefaultSetups();
    return setups;
}

TLOCreator::CreationObserver& TLOCreator::Observer()
{
    static CreationObserver observer;
    return observer;
}

void TLOCreator::RegisterClassFactory(const QByteArray& className, Factory factory)
{
    Factories().insert(className, std::move(factory));
}

const TKindSetup& TLOCreator::Setup(const QByteArray& kind)
{
    static const TKindSetup otherKinds;
    auto it = Setups().constFind(kind);
    return it == Setups().constEnd() ? otherKinds : *it;
}

void TLOCreator::SetKindSetup(const QByteArray& kind, TKindSetup setup)
{
    Setups().insert(kind, std::move(setup));
}

void TLOCreator::SetCreationObserver(CreationObserver observer)
{
    Observer() = std::move(observer);
}

QByteArray TLOCreator::TargetClass(const QByteArray& kind) const
{
    return KindTargets().value(kind, kind);
}

std::unique_ptr<TDrawObject> TLOCreator::NewObject(const QByteArray& kind)
{
    const QByteArray target = TargetClass(kind);
    if (auto it = Factories().constFind(target); it != Factories().constEnd()) return (*it)();
    const TClassRegistry& registry = registry_ ? *registry_ : TClassRegistry::Global();
    const TClassInfo* info = registry.Find(target);
    if (!info || info->IsAbstract() || !info->InheritsFrom(TDrawObject::StaticClass())) return nullptr;
    std::unique_ptr<TPersistent> created = info->Create();
    auto* object = dynamic_cast<TDrawObject*>(created.get());
    if (!object) return nullptr;
    created.release();
    return std::unique_ptr<TDrawObject>(object);
}

void TLOCreator::Prepare(TDrawObject& object, TObjectSite& site, const QByteArray& kind) const
{
    if (const auto& prepare = Setup(kind).prepare) prepare(object, site);
}

std::optional<bool> TLOCreator::CreateOnSite(TObjectSite& site, const QByteArray& kind)
{
    std::unique_ptr<TDrawObject> created = DesignerList().NewObject(kind);
    if (!created) return false;
    const TKindSetup& setup = Setup(kind);
    Prepare(*created, site, kind);
    site.CancelDrag();
    if (Observer()) {
        Observer()(*created);
        created->SetSelected(false);
    }
    site.SetSiteCursor(crDefault);
    if (setup.editorFirst && !DesignerList().EditObject(*created)) return false;
    created->SetCursor(crHandPoint);
    TDrawObject& object = site.AddObject(std::move(created));
    if (setup.drag) {
        object.SetVisible(false);
        site.SetSiteCursor(crCross);
        object.StartGhost(-2);
        return true;
    }
    if (object.Selectable()) PlaceNewObject(object, site);
    ActionList().Add(std::make_unique<TDOAddAction>(object, QStringLiteral("追加")));
    if (object.Selectable()) {
        site.SelectAll(false);
        object.SetSelected(true);
        site.UpdatePivots();
    }
    return true;
}

}  // namespace kestrel
