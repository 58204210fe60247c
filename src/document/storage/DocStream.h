#pragma once

// A stream element opened through a path, with the position-based access of a byte stream.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <memory>

#include "document/storage/DocStorage.h"
#include "platform/Error.h"

namespace kestrel {

enum class TSeekOrigin { Begin, Current, End };

class TDocStream {
public:
    // Opens the stream at path (resolved against storage's path). ModeCreate creates its parent
    // storages when missing and creates or replaces the stream; other modes open an existing one.
    static std::unique_ptr<TDocStream> Open(TDocStorage& storage, int mode, const QString& path);

    // Returns the number of bytes read (fewer at the end).
    int32_t Read(void* buffer, int32_t count);
    void Write(const void* buffer, int32_t count);
    // Returns the new position; positions are 32-bit and never negative.
    int32_t Seek(int32_t offset, TSeekOrigin origin);
    int32_t Position() const { return position_; }
    int32_t Size() const;
    void SetSize(int32_t size);

    // The whole content, whatever the position.
    QByteArray ReadAll() const;
    // Replaces the whole content; the position moves to the end.
    void WriteAll(QByteArrayView data);

    // The storage holding the stream (owned by the stream).
    TDocStorage& Storage() const { return *storage_; }
    // Resolved path from the root.
    const QString& Path() const { return path_; }

private:
    TDocStream(std::unique_ptr<TDocStorage> storage, std::shared_ptr<TCfbStream> stream, QString path, int mode);
    TCfbStream& Stream(bool forWriting) const;

    std::unique_ptr<TDocStorage> storage_;
    std::shared_ptr<TCfbStream> stream_;
    QString path_;
    int mode_;
    int32_t position_ = 0;
};

// Runs read; a read error out of it is said to have happened in the stream at path.
template <typename Read>
auto ReadingStream(const QString& path, Read&& read) -> decltype(read())
{
    try {
        return read();
    } catch (EReadError& e) {
        e.SetStream(path);
        throw;
    }
}

}  // namespace kestrel
