#include "document/ObjectKinds.h"

#include <algorithm>

#include "document/DrawObject.h"
#include "document/stream/ClassRegistry.h"

namespace kestrel {

TObjectKind TObjectKind::OfClass(const TClassInfo& info)
{
    TObjectKind kind;
    kind.name = info.Name();
    kind.classInfo = &info;
    return kind;
}

TObjectKind TObjectKind::OtherName(QByteArray name, const TClassInfo& info)
{
    TObjectKind kind;
    kind.name = std::move(name);
    kind.classInfo = &info;
    return kind;
}

TObjectKind TObjectKind::Command(QByteArray name, std::function<std::unique_ptr<TDrawObject>()> make)
{
    TObjectKind kind;
    kind.name = std::move(name);
    kind.create = std::move(make);
    return kind;
}

TObjectKind&& TObjectKind::PreparedBy(TPrepare how) &&
{
    prepare = std::move(how);
    return std::move(*this);
}

TObjectKind&& TObjectKind::EditedFirst() &&
{
    editorFirst = true;
    drag = false;
    return std::move(*this);
}

TObjectKind&& TObjectKind::PlacedAtOnce() &&
{
    drag = false;
    return std::move(*this);
}

TObjectKind&& TObjectKind::InMenu(QString menuCaption, QString menuHint, int place) &&
{
    caption = std::move(menuCaption);
    hint = std::move(menuHint);
    menuPlace = place;
    return std::move(*this);
}

TObjectKinds& TObjectKinds::Global()
{
    static TObjectKinds kinds;
    return kinds;
}

void TObjectKinds::Register(TObjectKind kind, TClassRegistry& classes)
{
    if (kind.classInfo) classes.RegisterAs(kind.name, *kind.classInfo);
    if (Find(kind.name)) return;
    kinds_.push_back(std::make_unique<TObjectKind>(std::move(kind)));
}

void TObjectKinds::Register(TObjectKind kind)
{
    Register(std::move(kind), TClassRegistry::Global());
}

const TObjectKind* TObjectKinds::Find(QByteArrayView name) const
{
    auto found = std::find_if(kinds_.begin(), kinds_.end(), [&](const auto& kind) { return kind->name == name; });
    return found == kinds_.end() ? nullptr : found->get();
}

namespace {
std::unique_ptr<TDrawObject> CreateDrawObject(const TClassInfo* info)
{
    if (!info || info->IsAbstract() || !info->InheritsFrom(TDrawObject::StaticClass())) return nullptr;
    std::unique_ptr<TPersistent> created = info->Create();
    auto* object = dynamic_cast<TDrawObject*>(created.get());
    if (!object) return nullptr;
    created.release();
    return std::unique_ptr<TDrawObject>(object);
}
}  // namespace

std::unique_ptr<TDrawObject> TObjectKinds::NewObject(QByteArrayView name, const TClassRegistry& classes) const
{
    const TObjectKind* kind = Find(name);
    if (!kind) return CreateDrawObject(classes.Find(name));
    if (kind->create) return kind->create();
    return CreateDrawObject(kind->classInfo);
}

std::unique_ptr<TDrawObject> TObjectKinds::NewObject(QByteArrayView name) const
{
    return NewObject(name, TClassRegistry::Global());
}

std::vector<const TObjectKind*> TObjectKinds::Insertable() const
{
    std::vector<const TObjectKind*> offered;
    for (const auto& kind : kinds_)
        if (!kind->caption.isEmpty()) offered.push_back(kind.get());
    std::stable_sort(offered.begin(), offered.end(),
                     [](const TObjectKind* a, const TObjectKind* b) { return a->menuPlace < b->menuPlace; });
    return offered;
}

}  // namespace kestrel
