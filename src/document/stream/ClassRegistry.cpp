#include "document/stream/ClassRegistry.h"

#include "document/stream/Persistent.h"
#include "platform/Error.h"

namespace kestrel {

TClassRegistry& TClassRegistry::Global()
{
    static TClassRegistry registry;
    return registry;
}

void TClassRegistry::Register(const TClassInfo& info)
{
    for (const TClassInfo* c = &info; c; c = c->Parent()) {
        const QByteArray key = c->Name().toLower();
        if (classes_.contains(key)) continue;
        classes_.insert(key, c);
        ordered_.push_back(c);
    }
}

void TClassRegistry::RegisterAs(QByteArrayView name, const TClassInfo& info)
{
    Register(info);
    const QByteArray key = name.toByteArray().toLower();
    const TClassInfo* holder = classes_.value(key, nullptr);
    // A successor takes its ancestor's name over; anything else keeps it.
    if (holder && (holder == &info || !info.InheritsFrom(*holder))) return;
    if (holder) std::erase(ordered_, holder);
    classes_.insert(key, &info);
}

const TClassInfo* TClassRegistry::Find(QByteArrayView name) const
{
    return classes_.value(name.toByteArray().toLower(), nullptr);
}

const TClassInfo& TClassRegistry::Get(QByteArrayView name) const
{
    if (const TClassInfo* info = Find(name)) return *info;
    throw EReadError(QStringLiteral("クラス %1 が見つかりません").arg(ShownName(name)));
}

}  // namespace kestrel
