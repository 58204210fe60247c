#pragma once

// Path-based access to compound files: open storages addressed by element paths relative to a
// root, roots bound to a file or to a temporary working file.
//
// The whole compound file lives in memory (platform/cfb); a root writes it back on Commit, and
// a file root also when it is released with changes. Every write goes to a temporary file that
// replaces the target only when complete.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "platform/cfb/CfbTree.h"
#include "platform/cfb/CompoundFile.h"
#include "platform/cfb/StorageError.h"

class QTemporaryFile;

namespace kestrel {

// Open modes: access in bits 0-1, sharing in bits 4-7. ModeCreate creates or replaces and
// works read/write, exclusively.
inline constexpr int ModeRead = 0x00;
inline constexpr int ModeWrite = 0x01;
inline constexpr int ModeReadWrite = 0x02;
inline constexpr int ShareExclusive = 0x10;
inline constexpr int ShareDenyWrite = 0x20;
inline constexpr int ShareDenyRead = 0x30;
inline constexpr int ShareDenyNone = 0x40;
inline constexpr int ModeCreate = -1;

bool ModeAllowsRead(int mode);
bool ModeAllowsWrite(int mode);
// Fails with InvalidParameter for a mode that names no access.
void CheckMode(int mode, const QString& subject);

class TRootStorage;

// One open storage under a root.
class TDocStorage {
public:
    TDocStorage(const TDocStorage&) = delete;
    TDocStorage& operator=(const TDocStorage&) = delete;
    virtual ~TDocStorage();

    // Opens the storage at name, resolved against parent's path, under parent's root; with
    // create, missing storages on the way are created.
    static std::unique_ptr<TDocStorage> Open(TDocStorage& parent, bool create, const QString& name);

    // Fails with Reverted once the root was released.
    TRootStorage& Root() const;
    // Resolved path from the root ("" for the root itself).
    const QString& Path() const { return path_; }
    // This storage; fails with Reverted when it was deleted or its root released or reloaded.
    TCfbStorage& Storage() const;

    // Paths below are resolved against this storage's path.
    bool StreamExists(const QString& path) const;
    bool StorageExists(const QString& path) const;
    // Removes a stream or a storage with all its contents; false when there is none.
    bool DeleteElement(const QString& path);
    void ListStorages(QStringList& list) const;
    void ListStreams(QStringList& list) const;
    // Copies everything below this storage into destination (streams replace, storages merge).
    void CopyTo(TDocStorage& destination) const;
    // Moves or renames an element, also into another (existing) storage.
    void MoveElement(const QString& fromPath, const QString& toPath);

protected:
    TDocStorage() = default;  // a root: path "", registered nowhere
    TDocStorage(TRootStorage& root, QString path, std::shared_ptr<TCfbStorage> storage);

    // The element at a path relative to this storage, or null.
    std::shared_ptr<TCfbElement> FindElement(const QString& path) const;
    // The storage holding the element at a resolved path; fails when it does not exist.
    std::shared_ptr<TCfbStorage> ParentOf(const QString& resolvedPath) const;
    void CheckWritable(const QString& subject) const;

    TRootStorage* root_ = nullptr;
    QString path_;
    std::shared_ptr<TCfbStorage> storage_;

private:
    friend class TRootStorage;
};

// A root: the compound file's root storage, its open mode, the storages open under it and the
// state remembered for change detection.
class TRootStorage : public TDocStorage {
public:
    ~TRootStorage() override;

    int Mode() const { return mode_; }
    bool IsWritable() const { return ModeAllowsWrite(mode_); }

    // After RememberState, IsModified tells whether anything in the file changed since.
    void RememberState();
    void ForgetState();
    bool IsModified() const;
    // Commits, then answers the root's modification time.
    QDateTime LastWriteTime();
    // Writes changes to the backing file (nothing when there are none or the root is read-only).
    virtual void Commit() = 0;
    // The file behind this root.
    virtual QString FileName() const = 0;

protected:
    TRootStorage();
    // Makes tree this root's content (null: none); storages opened under the previous tree stop
    // working. inFile tells whether the backing file already holds this content.
    void SetTree(std::shared_ptr<TCfbStorage> tree, int mode, bool inFile);
    bool HasUncommittedChanges() const;
    void WriteTree(const QString& path);

private:
    friend class TDocStorage;
    int mode_ = ModeRead;
    std::vector<TDocStorage*> open_;
    std::optional<uint64_t> savedRevision_;
    uint64_t committedRevision_ = 0;
};

// A root bound to a file.
class TFileStorage : public TRootStorage {
public:
    TFileStorage() = default;
    TFileStorage(const QString& path, int mode) { OpenFile(path, mode); }
    // Commits pending changes; a failure is reported to the exception handler (use Close to
    // see it raised instead).
    ~TFileStorage() override;

    // ModeCreate starts an empty file (written on commit, replacing any file there); other
    // modes read the existing file.
    void OpenFile(const QString& path, int mode);
    // Opens only the wanted streams of the file, read-only: a quick look that never writes.
    void OpenPart(const QString& path, const TStreamFilter& wanted);
    void Commit() override;
    // Commits and releases the content; raises when the commit fails.
    void Close();
    QString FileName() const override { return fileName_; }

private:
    QString fileName_;
};

// A root in a temporary file ("mtf" prefix, temporary folder) that disappears on release:
// the working copy of an open document.
class TTemporaryStorage : public TRootStorage {
public:
    TTemporaryStorage();
    ~TTemporaryStorage() override;

    // Replaces the content by the file's content.
    void LoadFrom(const QString& path);
    // Creates or replaces the file with the content.
    void SaveTo(const QString& path);
    void Commit() override;
    QString FileName() const override;

private:
    std::unique_ptr<QTemporaryFile> file_;
};

}  // namespace kestrel
