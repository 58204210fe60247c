#include "document/stream/Persistent.h"

#include <QRegularExpression>
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

namespace {

template <typename T>
bool DiffersFromDefault(const TPropSlot<T>& slot, const TPersistent& obj)
{
    return !slot.def || slot.get(obj) != *slot.def;
}

}  // namespace

bool TPropInfo::IsStored(const TPersistent& obj) const
{
    if (!IsStoredFor(obj)) return false;
    return std::visit(
        [&obj](const auto& slot) {
            using Slot = std::decay_t<decltype(slot)>;
            if constexpr (std::is_same_v<Slot, std::monostate>)
                return false;
            else if constexpr (std::is_same_v<Slot, TObjectSlot>)
                return slot.reach(obj) != nullptr;
            else
                return DiffersFromDefault(slot, obj);
        },
        access);
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
    // Streams almost always spell names as declared: the exact match is the fast path.
    const std::vector<TPropInfo>& props = Properties();
    for (const TPropInfo& p : props)
        if (p.name == name) return &p;
    for (const TPropInfo& p : props)
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
    if (!source.ClassInfo().InheritsFrom(ClassInfo())) return source.AssignTo(*this);
    AssignPublished(source, *this);
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

TCollectionItem& TCollection::Insert(int index)
{
    if (index != Count()) CheckedIndex(index);
    Add();
    std::rotate(items_.begin() + index, items_.end() - 1, items_.end());
    return *items_[size_t(index)];
}

void TCollection::Delete(int index)
{
    items_.erase(items_.begin() + CheckedIndex(index));
}

void TCollection::Exchange(int a, int b)
{
    std::swap(items_[size_t(CheckedIndex(a))], items_[size_t(CheckedIndex(b))]);
}

int TCollection::CheckedIndex(int index) const
{
    if (index < 0 || index >= Count()) throw EKestrel(QStringLiteral("コレクションの位置 %1 は範囲外です").arg(index));
    return index;
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
    std::visit(
        [&](const auto& slot) {
            using Slot = std::decay_t<decltype(slot)>;
            if constexpr (std::is_same_v<Slot, TObjectSlot>) {
                const TPersistent* sourceObject = slot.reach(source);
                TPersistent* destObject = to.Object(dest);
                // The nested class's own Assign brings its custom records along.
                if (sourceObject && destObject) destObject->Assign(*sourceObject);
            } else if constexpr (!std::is_same_v<Slot, std::monostate>) {
                using T = std::decay_t<decltype(slot.get(source))>;
                to.Slot<T>().set(dest, slot.get(source));
            }
        },
        from.access);
}

bool Copyable(const TPropInfo& from, const TPropInfo& to)
{
    return from.kind == to.kind && !from.neverStored && !to.neverStored;
}

}  // namespace

void AssignPublished(const TPersistent& source, TPersistent& dest)
{
    if (&source == &dest) return;
    const std::vector<TPropInfo>& props = dest.ClassInfo().Properties();
    if (&source.ClassInfo() == &dest.ClassInfo()) {
        for (const TPropInfo& prop : props)
            if (Copyable(prop, prop)) CopyProperty(prop, source, prop, dest);
        return;
    }
    for (const TPropInfo& to : props) {
        const TPropInfo* from = source.ClassInfo().FindProperty(to.name);
        if (from && Copyable(*from, to)) CopyProperty(*from, source, to, dest);
    }
}

void RewriteStoredTexts(TPersistent& object, const std::function<std::optional<QString>(const QString&)>& rewrite)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    for (const TPropInfo& prop : object.ClassInfo().Properties()) {
        if (!prop.IsStored(object)) continue;
        if (prop.kind == TPropKind::String) {
            if (const auto text = rewrite(prop.Text(object))) prop.SetText(object, *text);
        } else if (prop.kind == TPropKind::Strings) {
            if (const auto text = rewrite(prop.Lines(object).join(QStringLiteral("\r\n"))))
                prop.SetLines(object, text->split(lineBreak));
        } else if (prop.kind == TPropKind::Persistent) {
            RewriteStoredTexts(*prop.Object(object), rewrite);
        } else if (prop.kind == TPropKind::Collection) {
            auto& collection = dynamic_cast<TCollection&>(*prop.Object(object));
            for (int i = 0; i < collection.Count(); ++i) RewriteStoredTexts(collection.Item(i), rewrite);
        }
    }
}

void DefineRecordsForWriting(const TPersistent& object, TFiler& writingFiler)
{
    const_cast<TPersistent&>(object).DefineProperties(writingFiler);
}

}  // namespace kestrel
