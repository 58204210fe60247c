#include "platform/cfb/CfbTree.h"

#include <QStringList>
#include <atomic>
#include <cstring>

#include "platform/cfb/StorageError.h"

namespace kestrel {

namespace {
constexpr int64_t FileTimeEpochOffsetMs = 11644473600000;  // 1601-01-01 to 1970-01-01
constexpr qint64 MaxStreamSize = 0x7FFFFFFF;

std::atomic<uint64_t>& RevisionCounter()
{
    static std::atomic<uint64_t> counter{0};
    return counter;
}

void CheckStreamSize(qint64 size, const QString& name)
{
    if (size < 0)
        ThrowStorageError(TStorageErrorCode::InvalidParameter, name);
    if (size > MaxStreamSize)
        ThrowStorageError(TStorageErrorCode::DocFileTooLarge, name);
}
}  // namespace

TFileTime FileTimeNow()
{
    return DateTimeToFileTime(QDateTime::currentDateTimeUtc());
}

QDateTime FileTimeToDateTime(TFileTime time)
{
    if (time == 0)
        return QDateTime();
    const int64_t ms = static_cast<int64_t>(time / 10000) - FileTimeEpochOffsetMs;
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}

TFileTime DateTimeToFileTime(const QDateTime& time)
{
    if (!time.isValid())
        return 0;
    const int64_t ms = time.toMSecsSinceEpoch() + FileTimeEpochOffsetMs;
    return ms < 0 ? 0 : static_cast<TFileTime>(ms) * 10000;
}

bool IsValidElementName(const QString& name)
{
    if (name.isEmpty() || name.size() > MaxElementNameLength)
        return false;
    for (QChar c : name)
        if (c == u'/' || c == u'\\' || c == u':' || c == u'!')
            return false;
    return true;
}

QString FoldElementName(const QString& name)
{
    QString folded;
    folded.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        char32_t cp = name[i].unicode();
        if (QChar::isHighSurrogate(cp) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(name[i], name[i + 1]);
            ++i;
        }
        cp = QChar::toUpper(cp);
        if (QChar::requiresSurrogates(cp)) {
            folded += QChar(QChar::highSurrogate(cp));
            folded += QChar(QChar::lowSurrogate(cp));
        } else {
            folded += QChar(static_cast<char16_t>(cp));
        }
    }
    return folded;
}

bool TElementNameOrder::operator()(const QString& a, const QString& b) const
{
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

// --- TCfbElement ---

bool TCfbElement::IsAttached() const
{
    const TCfbElement* top = this;
    while (top->parent_)
        top = top->parent_;
    return top->IsStorage() && static_cast<const TCfbStorage*>(top)->IsRoot();
}

QString TCfbElement::PathName() const
{
    QStringList names;
    for (const TCfbElement* e = this; e && e->parent_; e = e->parent_)
        names.prepend(e->name_);
    return names.join(u'\\');
}

void TCfbElement::BeginChange()
{
    if (!IsAttached())
        ThrowStorageError(TStorageErrorCode::Reverted, name_);
    const TFileTime now = FileTimeNow();
    TCfbStorage* storage = IsStorage() ? static_cast<TCfbStorage*>(this) : parent_;
    for (; storage; storage = storage->parent_) {
        storage->modified_ = now;
        if (storage->isRoot_)
            storage->revision_ = ++RevisionCounter();
    }
}

void TCfbElement::SetClsid(const TClsid& clsid)
{
    BeginChange();
    clsid_ = clsid;
}

void TCfbElement::SetStateBits(uint32_t bits)
{
    BeginChange();
    stateBits_ = bits;
}

void TCfbElement::SetTimes(TFileTime created, TFileTime modified)
{
    BeginChange();
    created_ = created;
    modified_ = modified;
}

// --- TCfbStream ---

void TCfbStream::SetData(QByteArray data)
{
    CheckStreamSize(data.size(), Name());
    BeginChange();
    data_ = std::move(data);
}

void TCfbStream::Resize(qint64 size)
{
    CheckStreamSize(size, Name());
    BeginChange();
    const qint64 old = data_.size();
    data_.resize(size);
    if (size > old)
        std::memset(data_.data() + old, 0, size - old);
}

qint64 TCfbStream::ReadAt(qint64 pos, char* out, qint64 count) const
{
    if (pos < 0 || count <= 0 || pos >= data_.size())
        return 0;
    const qint64 n = std::min(count, data_.size() - pos);
    std::memcpy(out, data_.constData() + pos, n);
    return n;
}

void TCfbStream::WriteAt(qint64 pos, const char* in, qint64 count)
{
    if (count <= 0)
        return;
    if (pos < 0)
        ThrowStorageError(TStorageErrorCode::SeekError, Name());
    CheckStreamSize(pos + count, Name());
    BeginChange();
    if (pos + count > data_.size()) {
        const qint64 old = data_.size();
        data_.resize(pos + count);
        if (pos > old)
            std::memset(data_.data() + old, 0, pos - old);
    }
    std::memcpy(data_.data() + pos, in, count);
}

// --- TCfbStorage ---

TCfbStorage::~TCfbStorage()
{
    // Handles may keep children alive; they must no longer reach this storage.
    for (auto& entry : children_)
        entry.second->parent_ = nullptr;
}

std::shared_ptr<TCfbStorage> TCfbStorage::NewRoot()
{
    auto root = std::make_shared<TCfbStorage>(QStringLiteral("Root Entry"));
    root->isRoot_ = true;
    root->revision_ = ++RevisionCounter();
    return root;
}

std::shared_ptr<TCfbElement> TCfbStorage::Find(const QString& name) const
{
    auto it = children_.find(FoldElementName(name));
    return it == children_.end() ? nullptr : it->second;
}

std::shared_ptr<TCfbStorage> TCfbStorage::FindStorage(const QString& name) const
{
    auto element = Find(name);
    return element && element->IsStorage() ? std::static_pointer_cast<TCfbStorage>(element) : nullptr;
}

std::shared_ptr<TCfbStream> TCfbStorage::FindStream(const QString& name) const
{
    auto element = Find(name);
    return element && !element->IsStorage() ? std::static_pointer_cast<TCfbStream>(element) : nullptr;
}

void TCfbStorage::CheckNewName(const QString& name) const
{
    if (!IsValidElementName(name))
        ThrowStorageError(TStorageErrorCode::InvalidName, name);
}

void TCfbStorage::Adopt(std::shared_ptr<TCfbElement> child)
{
    child->parent_ = this;
    QString key = FoldElementName(child->name_);
    children_[key] = std::move(child);
}

std::shared_ptr<TCfbElement> TCfbStorage::Detach(TChildren::iterator it)
{
    std::shared_ptr<TCfbElement> child = std::move(it->second);
    children_.erase(it);
    child->parent_ = nullptr;
    return child;
}

void TCfbStorage::ClearNameForNew(const QString& name, bool replace)
{
    CheckNewName(name);
    auto it = children_.find(FoldElementName(name));
    if (it != children_.end() && !replace)
        ThrowStorageError(TStorageErrorCode::FileAlreadyExists, name);
    BeginChange();
    if (it != children_.end())
        Detach(it);
}

std::shared_ptr<TCfbStorage> TCfbStorage::CreateStorage(const QString& name, bool replace)
{
    if (Depth() + 1 > MaxStorageDepth)
        ThrowStorageError(TStorageErrorCode::DocFileTooLarge, name);
    ClearNameForNew(name, replace);
    auto storage = std::make_shared<TCfbStorage>(name);
    storage->created_ = storage->modified_ = FileTimeNow();
    Adopt(storage);
    return storage;
}

std::shared_ptr<TCfbStream> TCfbStorage::CreateStream(const QString& name, bool replace)
{
    ClearNameForNew(name, replace);
    auto stream = std::make_shared<TCfbStream>(name);
    Adopt(stream);
    return stream;
}

bool TCfbStorage::Remove(const QString& name)
{
    auto it = children_.find(FoldElementName(name));
    if (it == children_.end())
        return false;
    BeginChange();
    Detach(it);
    return true;
}

void TCfbStorage::Rename(const QString& oldName, const QString& newName)
{
    MoveElement(oldName, *this, newName);
}

void TCfbStorage::MoveElement(const QString& name, TCfbStorage& destination, const QString& newName)
{
    auto it = children_.find(FoldElementName(name));
    if (it == children_.end())
        ThrowStorageError(TStorageErrorCode::PathNotFound, name);
    destination.CheckNewName(newName);
    TCfbElement& element = *it->second;
    for (const TCfbElement* e = &destination; e; e = e->parent_)
        if (e == &element)
            ThrowStorageError(TStorageErrorCode::InvalidParameter, name);
    const bool sameSlot = &destination == this && FoldElementName(name) == FoldElementName(newName);
    if (!sameSlot && destination.Find(newName))
        ThrowStorageError(TStorageErrorCode::FileAlreadyExists, newName);
    if (element.IsStorage()
        && destination.Depth() + static_cast<TCfbStorage&>(element).SubtreeHeight() > MaxStorageDepth)
        ThrowStorageError(TStorageErrorCode::DocFileTooLarge, newName);
    destination.BeginChange();
    BeginChange();
    auto moved = Detach(it);
    moved->name_ = newName;
    destination.Adopt(std::move(moved));
}

namespace {
void CopyChildren(const TCfbStorage& from, TCfbStorage& to)
{
    for (const auto& entry : from.Children()) {
        const TCfbElement& child = *entry.second;
        if (child.IsStorage()) {
            auto target = to.FindStorage(child.Name());
            if (!target)
                target = to.CreateStorage(child.Name(), true);
            target->SetClsid(child.Clsid());
            target->SetStateBits(child.StateBits());
            CopyChildren(static_cast<const TCfbStorage&>(child), *target);
        } else {
            auto target = to.CreateStream(child.Name(), true);
            target->SetData(static_cast<const TCfbStream&>(child).Data());
            target->SetStateBits(child.StateBits());
        }
    }
}
}  // namespace

void TCfbStorage::CopyContentsTo(TCfbStorage& destination) const
{
    for (const TCfbElement* e = &destination; e; e = e->Parent())
        if (e == this)
            ThrowStorageError(TStorageErrorCode::InvalidParameter, destination.Name());
    destination.SetClsid(Clsid());
    CopyChildren(*this, destination);
}

int TCfbStorage::Depth() const
{
    int depth = 0;
    for (const TCfbElement* e = this; e->Parent(); e = e->Parent())
        ++depth;
    return depth;
}

int TCfbStorage::SubtreeHeight() const
{
    int height = 0;
    for (const auto& entry : children_)
        if (entry.second->IsStorage())
            height = std::max(height, static_cast<const TCfbStorage&>(*entry.second).SubtreeHeight());
    return height + 1;
}

}  // namespace kestrel
