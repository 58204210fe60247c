#pragma once

// The in-memory tree of a compound file: storages holding named children, streams holding their
// bytes. Files are read into this tree whole and written back from it (see CompoundFile.h).
//
// Elements are shared so that open handles stay valid: an element removed from its tree (or whose
// tree was released) is detached, and every change through it then fails with Reverted instead
// of touching freed memory.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace kestrel {

// 100-ns units since 1601-01-01 UTC; 0 means "not set".
using TFileTime = uint64_t;
using TClsid = std::array<uint8_t, 16>;

TFileTime FileTimeNow();
QDateTime FileTimeToDateTime(TFileTime time);  // invalid for 0
TFileTime DateTimeToFileTime(const QDateTime& time);

// Element names: 1 to 31 UTF-16 units, none of / \ : !, compared case-insensitively.
inline constexpr int MaxElementNameLength = 31;
bool IsValidElementName(const QString& name);
// The key that names compare by: simple upper-case mapping per code point.
QString FoldElementName(const QString& name);
// The compound-file order of folded names: shorter first, then by UTF-16 unit.
struct TElementNameOrder {
    bool operator()(const QString& a, const QString& b) const;
};

// Storages nest at most this deep; deeper trees are refused on reading and on creating.
inline constexpr int MaxStorageDepth = 256;

class TCfbStorage;

class TCfbElement : public std::enable_shared_from_this<TCfbElement> {
public:
    TCfbElement(const TCfbElement&) = delete;
    TCfbElement& operator=(const TCfbElement&) = delete;
    virtual ~TCfbElement() = default;

    virtual bool IsStorage() const = 0;
    const QString& Name() const { return name_; }
    TCfbStorage* Parent() const { return parent_; }
    // Part of a live tree (reaches its root through its parents).
    bool IsAttached() const;
    // The path from the root, names joined by "\" (for messages).
    QString PathName() const;

    const TClsid& Clsid() const { return clsid_; }
    void SetClsid(const TClsid& clsid);
    uint32_t StateBits() const { return stateBits_; }
    void SetStateBits(uint32_t bits);
    TFileTime CreationTime() const { return created_; }
    TFileTime ModificationTime() const { return modified_; }
    void SetTimes(TFileTime created, TFileTime modified);

protected:
    explicit TCfbElement(QString name) : name_(std::move(name)) {}
    // Fails with Reverted unless attached; then stamps the storages above as modified and
    // records a new revision in the root. Called before every change.
    void BeginChange();

private:
    friend class TCfbStorage;
    friend class TCfbReader;
    QString name_;
    TCfbStorage* parent_ = nullptr;
    TClsid clsid_{};
    uint32_t stateBits_ = 0;
    TFileTime created_ = 0;
    TFileTime modified_ = 0;
};

class TCfbStream final : public TCfbElement {
public:
    explicit TCfbStream(QString name) : TCfbElement(std::move(name)) {}
    bool IsStorage() const override { return false; }

    const QByteArray& Data() const { return data_; }
    qint64 Size() const { return data_.size(); }
    void SetData(QByteArray data);
    void Resize(qint64 size);  // new bytes are zero
    // Reads up to count bytes at pos; returns how many were read.
    qint64 ReadAt(qint64 pos, char* out, qint64 count) const;
    // Writes at pos, growing the stream (with zero bytes up to pos) as needed.
    void WriteAt(qint64 pos, const char* in, qint64 count);

private:
    friend class TCfbReader;
    QByteArray data_;
};

class TCfbStorage final : public TCfbElement {
public:
    using TChildren = std::map<QString, std::shared_ptr<TCfbElement>, TElementNameOrder>;

    explicit TCfbStorage(QString name) : TCfbElement(std::move(name)) {}
    ~TCfbStorage() override;
    bool IsStorage() const override { return true; }

    // A new, empty root ("Root Entry").
    static std::shared_ptr<TCfbStorage> NewRoot();
    bool IsRoot() const { return isRoot_; }
    // Ends this root's life as a tree: every element below it is detached from then on, so
    // handles still holding them fail instead of changing a tree nobody will write.
    void RetireRoot() { isRoot_ = false; }
    // Raised on every change anywhere in the tree; increases across all trees of the process.
    uint64_t Revision() const { return revision_; }

    // Children in compound-file order (by folded name).
    const TChildren& Children() const { return children_; }
    std::shared_ptr<TCfbElement> Find(const QString& name) const;
    std::shared_ptr<TCfbStorage> FindStorage(const QString& name) const;
    std::shared_ptr<TCfbStream> FindStream(const QString& name) const;

    // Creates a child; an existing one of that name is replaced when replace is set, otherwise
    // the call fails with FileAlreadyExists.
    std::shared_ptr<TCfbStorage> CreateStorage(const QString& name, bool replace = false);
    std::shared_ptr<TCfbStream> CreateStream(const QString& name, bool replace = false);
    // False when there is no such child.
    bool Remove(const QString& name);
    void Rename(const QString& oldName, const QString& newName);
    // Moves child name into destination under newName (which must be free there).
    void MoveElement(const QString& name, TCfbStorage& destination, const QString& newName);
    // Copies everything below this storage into destination, and the CLSID: a stream replaces a
    // same-named element, a storage merges into a same-named storage.
    void CopyContentsTo(TCfbStorage& destination) const;
    // Storage levels from the root down to this one (0 for the root).
    int Depth() const;

private:
    friend class TCfbElement;
    friend class TCfbReader;
    void CheckNewName(const QString& name) const;
    // Makes room for a new element: refuses a taken name unless replace, then drops the old one.
    void ClearNameForNew(const QString& name, bool replace);
    void Adopt(std::shared_ptr<TCfbElement> child);
    std::shared_ptr<TCfbElement> Detach(TChildren::iterator it);
    int SubtreeHeight() const;

    TChildren children_;
    bool isRoot_ = false;
    uint64_t revision_ = 0;
};

}  // namespace kestrel
