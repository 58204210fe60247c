#include "platform/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "platform/SystemErrorText.h"

namespace kestrel {

namespace {

using TCause = EFileRefused::TCause;

[[noreturn]] void Refuse(TCause cause, const QString& path, const QString& reason) { throw EFileRefused(cause, path, reason); }

[[noreturn]] void RefuseErrno(const QString& path, int error)
{
    const TCause cause = error == ENOENT || error == ENOTDIR ? TCause::fcMissing
                         : error == EACCES || error == EPERM ? TCause::fcDenied
                                                              : TCause::fcUnreadable;
    Refuse(cause, path, SystemErrorText(error));
}

void CheckKindAndSize(const struct stat& info, const QString& path, qint64 maxBytes)
{
    if (S_ISDIR(info.st_mode)) Refuse(TCause::fcNotRegular, path, SystemErrorText(EISDIR));
    if (!S_ISREG(info.st_mode))
        Refuse(TCause::fcNotRegular, path, QStringLiteral("通常のファイルではありません。装置や名前付きパイプは読み込めません"));
    if (info.st_size > maxBytes) Refuse(TCause::fcTooLarge, path, QStringLiteral("%1を超えています").arg(SizeLimitText(maxBytes)));
}

// Closes the descriptor unless it was handed on.
class TDescriptor {
public:
    explicit TDescriptor(int fd) : fd_(fd) {}
    ~TDescriptor()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

}  // namespace

EFileRefused::EFileRefused(TCause cause, const QString& path, QString reason)
    : EKestrel(QStringLiteral("「%1」を読み込めません（%2）").arg(path, reason)), cause_(cause), reason_(std::move(reason))
{
}

QString SizeLimitText(qint64 bytes)
{
    constexpr qint64 KiB = 1024, MiB = KiB * KiB;
    if (bytes >= MiB) return QStringLiteral("%1 MB").arg(bytes / MiB);
    if (bytes >= KiB) return QStringLiteral("%1 KB").arg(bytes / KiB);
    return QStringLiteral("%1 バイト").arg(bytes);
}

void OpenRegularFile(QFile& file, const QString& path, qint64 maxBytes)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    // Looked at before opening: opening some devices already does something.
    if (::stat(native.constData(), &info) != 0) RefuseErrno(path, errno);
    CheckKindAndSize(info, path, maxBytes);
    TDescriptor fd(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0) RefuseErrno(path, errno);
    // And again on what was opened, in case the name was changed over in between.
    if (::fstat(fd.Get(), &info) != 0) RefuseErrno(path, errno);
    CheckKindAndSize(info, path, maxBytes);
    ::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK);
    file.setFileName(path);
    if (!file.open(fd.Get(), QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        Refuse(TCause::fcUnreadable, path, FileErrorText(file));
    fd.Release();
}

QByteArray ReadRegularFile(const QString& path, qint64 maxBytes)
{
    QFile file;
    OpenRegularFile(file, path, maxBytes);
    QByteArray bytes(file.size(), Qt::Uninitialized);
    const qint64 read = file.read(bytes.data(), bytes.size());
    if (read < 0) Refuse(TCause::fcUnreadable, path, FileErrorText(file));
    char more = 0;
    if (read != bytes.size() || file.read(&more, 1) != 0)
        Refuse(TCause::fcUnreadable, path, QStringLiteral("読み込み中にファイルが変わりました"));
    return bytes;
}

}  // namespace kestrel
