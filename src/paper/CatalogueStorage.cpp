#include "paper/CatalogueStorage.h"

#include <QHash>
#include <algorithm>

namespace kestrel {

// Children are kept in the order they were made and found by name through an index: a
// catalogue's storage of papers holds thousands of streams.
struct TMemoryCatalogueStorage::TNode {
    QString name;
    bool isStream = false;
    QByteArray data;
    std::vector<std::unique_ptr<TNode>> children;
    QHash<QString, TNode*> byName;  // case-folded names

    TNode* Child(const QString& childName) const { return byName.value(childName.toCaseFolded(), nullptr); }
    TNode& AddChild(const QString& childName, bool stream)
    {
        children.push_back(std::make_unique<TNode>());
        TNode& child = *children.back();
        child.name = childName;
        child.isStream = stream;
        byName.insert(childName.toCaseFolded(), &child);
        return child;
    }
    void RemoveChild(const QString& childName)
    {
        const TNode* child = byName.take(childName.toCaseFolded());
        std::erase_if(children, [child](const auto& c) { return c.get() == child; });
    }
    void RenameChild(TNode& child, const QString& newName)
    {
        byName.remove(child.name.toCaseFolded());
        child.name = newName;
        byName.insert(newName.toCaseFolded(), &child);
    }
    std::unique_ptr<TNode> Copy() const
    {
        auto copy = std::make_unique<TNode>();
        copy->name = name;
        copy->isStream = isStream;
        copy->data = data;
        for (const auto& c : children) {
            copy->children.push_back(c->Copy());
            copy->byName.insert(c->name.toCaseFolded(), copy->children.back().get());
        }
        return copy;
    }
    QStringList ChildNames(bool streams) const
    {
        QStringList names;
        for (const auto& c : children)
            if (c->isStream == streams) names << c->name;
        return names;
    }
};

namespace {

[[noreturn]] void FailPath(const QString& path)
{
    throw EKestrel(QStringLiteral("ストレージに「%1」が見つかりません").arg(path));
}

}  // namespace

void CopyStorage(const ICatalogueStorage& source, ICatalogueStorage& destination, const QString& path)
{
    destination.CreateStorage(path);
    for (const QString& stream : source.StreamNames(path))
        destination.WriteStream(JoinElementPath(path, stream), source.ReadStream(JoinElementPath(path, stream)));
    for (const QString& storage : source.StorageNames(path)) CopyStorage(source, destination, JoinElementPath(path, storage));
}

TMemoryCatalogueStorage::TMemoryCatalogueStorage() : root_(std::make_unique<TNode>()) {}
TMemoryCatalogueStorage::~TMemoryCatalogueStorage() = default;
TMemoryCatalogueStorage::TMemoryCatalogueStorage(const TMemoryCatalogueStorage& other) : root_(other.root_->Copy()) {}

TMemoryCatalogueStorage& TMemoryCatalogueStorage::operator=(const TMemoryCatalogueStorage& other)
{
    if (this != &other) root_ = other.root_->Copy();
    return *this;
}

TMemoryCatalogueStorage::TNode* TMemoryCatalogueStorage::Find(const QString& path) const
{
    TNode* node = root_.get();
    for (const QString& name : SplitElementPath(path)) {
        if (node->isStream || !(node = node->Child(name))) return nullptr;
    }
    return node;
}

TMemoryCatalogueStorage::TNode& TMemoryCatalogueStorage::MakeStorage(const QStringList& names)
{
    TNode* node = root_.get();
    for (const QString& name : names) {
        TNode* child = node->Child(name);
        if (child && child->isStream)
            throw EKestrel(QStringLiteral("「%1」はストリームなのでストレージとして開けません").arg(name));
        if (!child) child = &node->AddChild(name, false);
        node = child;
    }
    return *node;
}

bool TMemoryCatalogueStorage::StreamExists(const QString& path) const
{
    const TNode* node = Find(path);
    return node && node->isStream;
}

bool TMemoryCatalogueStorage::StorageExists(const QString& path) const
{
    const TNode* node = Find(path);
    return node && !node->isStream;
}

QByteArray TMemoryCatalogueStorage::ReadStream(const QString& path) const
{
    const TNode* node = Find(path);
    if (!node || !node->isStream) FailPath(path);
    return node->data;
}

void TMemoryCatalogueStorage::WriteStream(const QString& path, const QByteArray& data)
{
    QStringList names = SplitElementPath(path);
    if (names.isEmpty()) FailPath(path);
    const QString name = names.takeLast();
    TNode& parent = MakeStorage(names);
    TNode* stream = parent.Child(name);
    if (stream && !stream->isStream)
        throw EKestrel(QStringLiteral("「%1」はストレージなのでストリームとして書けません").arg(path));
    if (!stream) stream = &parent.AddChild(name, true);
    stream->data = data;
}

void TMemoryCatalogueStorage::CreateStorage(const QString& path) { MakeStorage(SplitElementPath(path)); }

void TMemoryCatalogueStorage::DeleteElement(const QString& path)
{
    QStringList names = SplitElementPath(path);
    if (names.isEmpty()) return;
    const QString name = names.takeLast();
    TNode* parent = Find(names.join(ElementPathSeparator));
    if (!parent || parent->isStream) return;
    parent->RemoveChild(name);
}

void TMemoryCatalogueStorage::RenameElement(const QString& path, const QString& newName)
{
    TNode* node = Find(path);
    if (!node || node == root_.get()) FailPath(path);
    QStringList names = SplitElementPath(path);
    names.removeLast();
    TNode* parent = Find(names.join(ElementPathSeparator));
    const TNode* existing = parent->Child(newName);
    if (existing && existing != node)
        throw EKestrel(QStringLiteral("「%1」は既にあります").arg(JoinElementPath(names.join(ElementPathSeparator), newName)));
    parent->RenameChild(*node, newName);
}

QStringList TMemoryCatalogueStorage::StreamNames(const QString& storagePath) const
{
    const TNode* node = Find(storagePath);
    return node && !node->isStream ? node->ChildNames(true) : QStringList();
}

QStringList TMemoryCatalogueStorage::StorageNames(const QString& storagePath) const
{
    const TNode* node = Find(storagePath);
    return node && !node->isStream ? node->ChildNames(false) : QStringList();
}

}  // namespace kestrel
