#include "document/storage/DocStream.h"

#include <limits>

#include "document/storage/DocPath.h"

namespace kestrel {

TDocStream::TDocStream(std::unique_ptr<TDocStorage> storage, std::shared_ptr<TCfbStream> stream, QString path, int mode)
    : storage_(std::move(storage)), stream_(std::move(stream)), path_(std::move(path)), mode_(mode)
{
}

std::unique_ptr<TDocStream> TDocStream::Open(TDocStorage& storage, int mode, const QString& path)
{
    const QString resolved = ResolveElementPath(storage.Path(), path);
    CheckMode(mode, resolved);
    const QString name = LastElementName(resolved);
    if (name.isEmpty())
        ThrowStorageError(TStorageErrorCode::InvalidName, resolved);
    const bool create = mode == ModeCreate;
    if (ModeAllowsWrite(mode) && !storage.Root().IsWritable())
        ThrowStorageError(TStorageErrorCode::AccessDenied, resolved);
    auto parent = TDocStorage::Open(storage, create, QString(ElementPathSeparator) + ParentElementPath(resolved));
    std::shared_ptr<TCfbStream> stream;
    if (create) {
        if (parent->Storage().FindStorage(name))
            ThrowStorageError(TStorageErrorCode::FileAlreadyExists, resolved);
        stream = parent->Storage().CreateStream(name, true);
    } else {
        stream = parent->Storage().FindStream(name);
        if (!stream)
            ThrowStorageError(TStorageErrorCode::PathNotFound, resolved);
    }
    return std::unique_ptr<TDocStream>(new TDocStream(std::move(parent), std::move(stream), resolved, mode));
}

TCfbStream& TDocStream::Stream(bool forWriting) const
{
    if (!(forWriting ? ModeAllowsWrite(mode_) : ModeAllowsRead(mode_)))
        ThrowStorageError(TStorageErrorCode::AccessDenied, path_);
    if (!stream_->IsAttached())
        ThrowStorageError(TStorageErrorCode::Reverted, path_);
    return *stream_;
}

int32_t TDocStream::Read(void* buffer, int32_t count)
{
    const qint64 n = Stream(false).ReadAt(position_, static_cast<char*>(buffer), count);
    position_ += static_cast<int32_t>(n);
    return static_cast<int32_t>(n);
}

void TDocStream::Write(const void* buffer, int32_t count)
{
    if (count < 0)
        ThrowStorageError(TStorageErrorCode::InvalidParameter, path_);
    if (static_cast<qint64>(position_) + count > std::numeric_limits<int32_t>::max())
        ThrowStorageError(TStorageErrorCode::DocFileTooLarge, path_);
    Stream(true).WriteAt(position_, static_cast<const char*>(buffer), count);
    position_ += count;
}

int32_t TDocStream::Seek(int32_t offset, TSeekOrigin origin)
{
    qint64 base = 0;
    if (origin == TSeekOrigin::Current)
        base = position_;
    else if (origin == TSeekOrigin::End)
        base = Size();
    const qint64 target = base + offset;
    if (target < 0 || target > std::numeric_limits<int32_t>::max())
        ThrowStorageError(TStorageErrorCode::SeekError, path_);
    position_ = static_cast<int32_t>(target);
    return position_;
}

int32_t TDocStream::Size() const
{
    if (!stream_->IsAttached())
        ThrowStorageError(TStorageErrorCode::Reverted, path_);
    return static_cast<int32_t>(stream_->Size());
}

void TDocStream::SetSize(int32_t size)
{
    if (size < 0)
        ThrowStorageError(TStorageErrorCode::InvalidParameter, path_);
    Stream(true).Resize(size);
}

QByteArray TDocStream::ReadAll() const
{
    return Stream(false).Data();
}

void TDocStream::WriteAll(QByteArrayView data)
{
    if (data.size() > std::numeric_limits<int32_t>::max())
        ThrowStorageError(TStorageErrorCode::DocFileTooLarge, path_);
    Stream(true).SetData(data.toByteArray());
    position_ = static_cast<int32_t>(data.size());
}

}  // namespace kestrel
