#include "document/stream/Persistent.h"

#include <algorithm>

#include "platform/Error.h"

namespace kestrel {

int TEnumInfo::IndexOf(QByteArrayView name) const
{
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    return -1;
}

bool TPropInfo::IsOrdinal() const
{
    switch (kind) {
    case TPropKind::Integer:
    case TPropKind::Int64:
    case TPropKind::Char:
    case TPropKind::Bool:
    case TPropKind::Enum:
    case TPropKind::Set:
    case TPropKind::Color:
    case TPropKind::Cursor:
    case TPropKind::Charset:
        return true;
    default:
        return false;
    }
}

bool TPropInfo::IsStoredFor(const TPersistent& obj) const
{
    return !neverStored && (!stored || stored(obj));
}

TClassInfo::TClassInfo(QByteArray name, const TClassInfo* parent, Factory factory, PropsBuilder ownProps)
    : name_(std::move(name)), parent_(parent), factory_(std::move(factory)), ownPropsBuilder_(std::move(ownProps))
{
}

std::unique_ptr<TPersistent> TClassInfo::Create() const
{
    if (!factory_) throw EKestrel(QStringLiteral("抽象クラス %1 は作成できません").arg(QString::fromLatin1(name_)));
    return factory_();
}

bool TClassInfo::InheritsFrom(const TClassInfo& other) const
{
    for (const TClassInfo* c = this; c; c = c->parent_)
        if (c == &other) return true;
    return false;
}

const std::vector<TPropInfo>& TClassInfo::Properties() const
{
    if (!props_) {
        std::vector<TPropInfo> all = parent_ ? parent_->Properties() : std::vector<TPropInfo>{};
        if (ownPropsBuilder_) {
            for (TPropInfo& p : ownPropsBuilder_()) {
                auto same = std::find_if(all.begin(), all.end(), [&](const TPropInfo& q) { return q.name == p.name; });
                if (same != all.end())
                    *same = std::move(p);
                else
                    all.push_back(std::move(p));
            }
        }
        props_ = std::move(all);
    }
    return *props_;
}

const TPropInfo* TClassInfo::FindProperty(QByteArrayView name) const
{
    for (const TPropInfo& p : Properties())
        if (p.name.compare(name, Qt::CaseInsensitive) == 0) return &p;
    return nullptr;
}

const TClassInfo& TPersistent::StaticClass()
{
    static const TClassInfo info("TPersistent", nullptr, {}, {});
    return info;
}

void TPersistent::Assign(const TPersistent& source)
{
    source.AssignTo(*this);
}

void TPersistent::AssignTo(TPersistent& dest) const
{
    throw EKestrel(QStringLiteral("%1 を %2 に代入できません")
                       .arg(QString::fromLatin1(ClassName()), QString::fromLatin1(dest.ClassName())));
}

const TClassInfo& TComponent::StaticClass()
{
    static const TClassInfo info("TComponent", &TPersistent::StaticClass(), {}, [] {
        return TPropsOf<TComponent>().Int("Tag", &TComponent::Tag, &TComponent::SetTag, 0).Done();
    });
    return info;
}

void TComponent::GetChildren(const std::function<void(TComponent&)>&) const {}

void TComponent::AdoptChild(std::unique_ptr<TComponent> child)
{
    throw EReadError(QStringLiteral("不正なストリーム フォーマット"));
}

const TClassInfo& TCollectionItem::StaticClass()
{
    static const TClassInfo info("TCollectionItem", &TPersistent::StaticClass(), {}, {});
    return info;
}

void TCollectionItem::Assign(const TPersistent& source)
{
    if (&source.ClassInfo() != &ClassInfo()) return TPersistent::Assign(source);
    AssignPublished(source, *this);
}

const TClassInfo& TCollection::StaticClass()
{
    static const TClassInfo info("TCollection", &TPersistent::StaticClass(), {}, {});
    return info;
}

TCollectionItem& TCollection::Add()
{
    if (!factory_) throw EKestrel(QStringLiteral("コレクションに要素を追加できません"));
    items_.push_back(factory_());
    return *items_.back();
}

void TCollection::Assign(const TPersistent& source)
{
    auto* other = dynamic_cast<const TCollection*>(&source);
    if (!other) return TPersistent::Assign(source);
    if (other == this) return;
    items_.clear();
    for (const auto& item : other->items_) Add().Assign(*item);
}

namespace {

void CopyProperty(const TPropInfo& from, const TPersistent& source, const TPropInfo& to, TPersistent& dest)
{
    if (from.IsOrdinal()) return to.setOrd(dest, from.getOrd(source));
    switch (from.kind) {
    case TPropKind::Float: return to.setFloat(dest, from.getFloat(source));
    case TPropKind::String:
    case TPropKind::Component:
    case TPropKind::Method: return to.setString(dest, from.getString(source));
    case TPropKind::Strings: return to.setStrings(dest, from.getStrings(source));
    case TPropKind::Persistent:
    case TPropKind::Collection: {
        // The accessor is shared with the stream reader, hence non-const; copying only reads.
        TPersistent* sourceObject = from.getObject(const_cast<TPersistent&>(source));
        TPersistent* destObject = to.getObject(dest);
        if (!sourceObject || !destObject) return;
        if (from.kind == TPropKind::Collection)
            destObject->Assign(*sourceObject);
        else
            AssignPublished(*sourceObject, *destObject);
        return;
    }
    default: return;
    }
}

}  // namespace

void AssignPublished(const TPersistent& source, TPersistent& dest)
{
    if (&source == &dest) return;
    for (const TPropInfo& to : dest.ClassInfo().Properties()) {
        const TPropInfo* from = source.ClassInfo().FindProperty(to.name);
        if (!from || from->kind != to.kind || from->neverStored || to.neverStored) continue;
        CopyProperty(*from, source, to, dest);
    }
}

}  // namespace kestrel
