#include "document/storage/DocStorage.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>

#include "app/ExceptionReport.h"
#include "document/storage/DocPath.h"
#include "platform/SystemErrorText.h"
#include "platform/WorkingFiles.h"
#include "platform/cfb/CompoundFile.h"

namespace kestrel {

namespace {
constexpr int AccessMask = 0x03;
const QString RootName = QStringLiteral("Root Entry");

QString Subject(const QString& path)
{
    return path.isEmpty() ? RootName : path;
}
}  // namespace

bool ModeAllowsRead(int mode)
{
    return mode == ModeCreate || (mode & AccessMask) != ModeWrite;
}

bool ModeAllowsWrite(int mode)
{
    return mode == ModeCreate || (mode & AccessMask) == ModeWrite || (mode & AccessMask) == ModeReadWrite;
}

void CheckMode(int mode, const QString& subject)
{
    if (mode != ModeCreate && (mode < 0 || (mode & AccessMask) == AccessMask))
        ThrowStorageError(TStorageErrorCode::InvalidParameter, subject);
}

// --- TDocStorage ---

TDocStorage::TDocStorage(TRootStorage& root, QString path, std::shared_ptr<TCfbStorage> storage)
    : root_(&root), path_(std::move(path)), storage_(std::move(storage))
{
    root.open_.push_back(this);
}

TDocStorage::~TDocStorage()
{
    if (root_ && root_ != this)
        std::erase(root_->open_, this);
}

std::unique_ptr<TDocStorage> TDocStorage::Open(TDocStorage& parent, bool create, const QString& name)
{
    TRootStorage& root = parent.Root();
    const QString path = ResolveElementPath(parent.Path(), name);
    parent.Storage();  // the parent must still be there, even though paths start from the root
    std::shared_ptr<TCfbStorage> current = root.storage_;
    for (const QString& part : SplitElementPath(path)) {
        auto next = current->FindStorage(part);
        if (!next) {
            if (!create || current->Find(part))
                ThrowStorageError(create ? TStorageErrorCode::FileAlreadyExists : TStorageErrorCode::PathNotFound, path);
            root.CheckWritable(path);
            next = current->CreateStorage(part);
        }
        current = std::move(next);
    }
    return std::unique_ptr<TDocStorage>(new TDocStorage(root, path, std::move(current)));
}

TRootStorage& TDocStorage::Root() const
{
    if (!root_)
        ThrowStorageError(TStorageErrorCode::Reverted, Subject(path_));
    return *root_;
}

TCfbStorage& TDocStorage::Storage() const
{
    if (!root_ || !storage_ || !storage_->IsAttached())
        ThrowStorageError(TStorageErrorCode::Reverted, Subject(path_));
    return *storage_;
}

std::shared_ptr<TCfbElement> TDocStorage::FindElement(const QString& path) const
{
    const QStringList names = SplitElementPath(ResolveElementPath(path_, path));
    Storage();  // this storage must still be there, even though paths start from the root
    std::shared_ptr<TCfbStorage> current = Root().storage_;
    for (qsizetype i = 0; i + 1 < names.size() && current; ++i)
        current = current->FindStorage(names[i]);
    if (!current)
        return nullptr;
    return names.isEmpty() ? current : current->Find(names.last());
}

std::shared_ptr<TCfbStorage> TDocStorage::ParentOf(const QString& resolvedPath) const
{
    const QStringList names = SplitElementPath(resolvedPath);
    if (names.isEmpty())
        ThrowStorageError(TStorageErrorCode::InvalidParameter, RootName);
    Storage();
    std::shared_ptr<TCfbStorage> current = Root().storage_;
    for (qsizetype i = 0; i + 1 < names.size(); ++i) {
        current = current->FindStorage(names[i]);
        if (!current)
            ThrowStorageError(TStorageErrorCode::PathNotFound, ParentElementPath(resolvedPath));
    }
    return current;
}

void TDocStorage::CheckWritable(const QString& subject) const
{
    if (!Root().IsWritable())
        ThrowStorageError(TStorageErrorCode::AccessDenied, Subject(subject));
}

bool TDocStorage::StreamExists(const QString& path) const
{
    auto element = FindElement(path);
    return element && !element->IsStorage();
}

bool TDocStorage::StorageExists(const QString& path) const
{
    auto element = FindElement(path);
    return element && element->IsStorage();
}

bool TDocStorage::DeleteElement(const QString& path)
{
    const QString resolved = ResolveElementPath(path_, path);
    if (!FindElement(QString(ElementPathSeparator) + resolved) || resolved.isEmpty())
        return false;
    CheckWritable(resolved);
    return ParentOf(resolved)->Remove(LastElementName(resolved));
}

void TDocStorage::ListStorages(QStringList& list) const
{
    for (const auto& entry : Storage().Children())
        if (entry.second->IsStorage())
            list.append(entry.second->Name());
}

void TDocStorage::ListStreams(QStringList& list) const
{
    for (const auto& entry : Storage().Children())
        if (!entry.second->IsStorage())
            list.append(entry.second->Name());
}

void TDocStorage::CopyTo(TDocStorage& destination) const
{
    destination.CheckWritable(destination.Path());
    Storage().CopyContentsTo(destination.Storage());
}

void TDocStorage::MoveElement(const QString& fromPath, const QString& toPath)
{
    const QString from = ResolveElementPath(path_, fromPath);
    const QString to = ResolveElementPath(path_, toPath);
    CheckWritable(from);
    auto fromParent = ParentOf(from);
    auto toParent = ParentOf(to);
    fromParent->MoveElement(LastElementName(from), *toParent, LastElementName(to));
}

// --- TRootStorage ---

TRootStorage::TRootStorage()
{
    root_ = this;
}

TRootStorage::~TRootStorage()
{
    for (TDocStorage* storage : open_)
        storage->root_ = nullptr;
    if (storage_)
        storage_->RetireRoot();
}

void TRootStorage::SetTree(std::shared_ptr<TCfbStorage> tree, int mode, bool inFile)
{
    if (storage_ && storage_ != tree)
        storage_->RetireRoot();
    storage_ = std::move(tree);
    mode_ = mode;
    committedRevision_ = storage_ && inFile ? storage_->Revision() : 0;
    savedRevision_.reset();
}

void TRootStorage::RememberState()
{
    savedRevision_ = Storage().Revision();
}

void TRootStorage::ForgetState()
{
    savedRevision_.reset();
}

bool TRootStorage::IsModified() const
{
    return !savedRevision_ || !storage_ || *savedRevision_ != storage_->Revision();
}

bool TRootStorage::HasUncommittedChanges() const
{
    return storage_ && storage_->Revision() != committedRevision_;
}

void TRootStorage::WriteTree(const QString& path)
{
    WriteCompoundFileTo(Storage(), path);
    committedRevision_ = storage_->Revision();
}

QDateTime TRootStorage::LastWriteTime()
{
    Commit();
    const TFileTime time = Storage().ModificationTime();
    return time ? FileTimeToDateTime(time) : QFileInfo(FileName()).lastModified().toUTC();
}

// --- TFileStorage ---

TFileStorage::~TFileStorage()
{
    try {
        Commit();
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);
    }
}

void TFileStorage::OpenFile(const QString& path, int mode)
{
    CheckMode(mode, path);
    Close();
    if (mode == ModeCreate) {
        SetTree(TCfbStorage::NewRoot(), ModeReadWrite | ShareExclusive, false);
    } else {
        const QFileInfo info(path);
        if (info.exists() && ModeAllowsWrite(mode) && !info.isWritable())
            ThrowStorageError(TStorageErrorCode::AccessDenied, path);
        SetTree(ReadCompoundFileFrom(path), mode, true);
    }
    fileName_ = path;
}

void TFileStorage::OpenPart(const QString& path, const TStreamFilter& wanted)
{
    Close();
    SetTree(ReadCompoundFileFrom(path, wanted), ModeRead | ShareDenyWrite, true);
    fileName_ = path;
}

void TFileStorage::Commit()
{
    if (IsWritable() && HasUncommittedChanges())
        WriteTree(fileName_);
}

void TFileStorage::Close()
{
    Commit();
    SetTree(nullptr, ModeRead, false);
}

// --- TTemporaryStorage ---

TTemporaryStorage::TTemporaryStorage() : file_(std::make_unique<QTemporaryFile>(WorkingFileTemplate(".tmp")))
{
    if (!file_->open())
        ThrowStorageError(TStorageErrorCode::WriteFault, QDir::tempPath(), FileErrorText(*file_));
    const QByteArray empty = WriteCompoundFile(*TCfbStorage::NewRoot());
    if (file_->fileName().isEmpty() || file_->write(empty) != empty.size() || !file_->flush())
        ThrowStorageError(TStorageErrorCode::WriteFault, file_->fileName(), FileErrorText(*file_));
    file_->close();
    SetTree(TCfbStorage::NewRoot(), ModeReadWrite | ShareExclusive, false);
    RegisterWorkingFile(file_->fileName());
}

TTemporaryStorage::~TTemporaryStorage()
{
    UnregisterWorkingFile(file_->fileName());
}

QString TTemporaryStorage::FileName() const
{
    return file_->fileName();
}

void TTemporaryStorage::LoadFrom(const QString& path)
{
    SetTree(ReadCompoundFileFrom(path), ModeReadWrite | ShareExclusive, false);
    RememberState();
}

void TTemporaryStorage::SaveTo(const QString& path)
{
    WriteCompoundFileTo(Storage(), path);
    RememberState();
}

void TTemporaryStorage::Commit()
{
    if (HasUncommittedChanges())
        WriteTree(FileName());
}

}  // namespace kestrel
