#include "platform/ReplacingFile.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Error.h"
#include "platform/SystemErrorText.h"

namespace kestrel {

namespace {

// Saves of one target at the same moment (several windows, several processes) each get a slot.
constexpr int ReplacementSlots = 8;
// Longest file name the file systems take, in bytes.
constexpr qsizetype MaxNameBytes = 255;

// What a newly created file would get: read/write for all, less the umask.
mode_t NewFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The first bytes of a UTF-8 name, never cutting a character.
QByteArray Shortened(const QByteArray& name, qsizetype bytes)
{
    if (name.size() <= bytes) return name;
    qsizetype cut = bytes;
    while (cut > 0 && (uint8_t(name[cut]) & 0xC0) == 0x80) --cut;
    return name.left(cut);
}

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

}  // namespace

QString TReplacingFile::TemporaryName(const QString& target, int slot)
{
    const QFileInfo info(target);
    const QByteArray name = Native(info.fileName());
    const QByteArray hash = QCryptographicHash::hash(name, QCryptographicHash::Sha1).toHex().left(8);
    const QByteArray suffix = '.' + hash + '-' + QByteArray::number(slot) + ".tmp";
    return info.dir().filePath(QFile::decodeName(Shortened(name, MaxNameBytes - suffix.size()) + suffix));
}

TReplacingFile::TReplacingFile(QString target) : target_(std::move(target)) {}

TReplacingFile::~TReplacingFile()
{
    // Removed while still locked, so no other save can have taken it over.
    if (file_.isOpen() && !committed_) ::unlink(Native(temporary_).constData());
}

void TReplacingFile::Fail(int error) { error_ = SystemErrorText(error); }

bool TReplacingFile::Open()
{
    for (int slot = 0; slot < ReplacementSlots; ++slot) {
        if (OpenSlot(slot)) return true;
        if (!error_.isEmpty()) return false;
    }
    Fail(EBUSY);
    return false;
}

// True when the slot's file is ours, locked and empty; a slot another save holds is passed over
// with no error.
bool TReplacingFile::OpenSlot(int slot)
{
    const QString path = TemporaryName(target_, slot);
    const QByteArray native = Native(path);
    for (int attempt = 0; attempt < 4; ++attempt) {
        const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) return Fail(errno), false;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error != EWOULDBLOCK) Fail(error);
            return false;
        }
        // The holder before us may have renamed or removed the file while we waited for it:
        // then the name is free again and is made anew.
        struct stat opened {}, named {};
        if (::fstat(fd, &opened) == 0 && ::lstat(native.constData(), &named) == 0 && opened.st_ino == named.st_ino &&
            opened.st_dev == named.st_dev) {
            if (!S_ISREG(opened.st_mode) || opened.st_uid != ::getuid()) {
                ::close(fd);
                return Fail(EEXIST), false;
            }
            if (::ftruncate(fd, 0) != 0) {
                const int error = errno;
                ::close(fd);
                return Fail(error), false;
            }
            temporary_ = path;
            file_.setFileName(path);
            if (!file_.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
                ::close(fd);
                return Fail(EIO), false;
            }
            return true;
        }
        ::close(fd);
    }
    return false;
}

bool TReplacingFile::Commit()
{
    if (!file_.isOpen()) return false;
    struct stat existing {};
    const mode_t mode = ::stat(Native(target_).constData(), &existing) == 0 ? (existing.st_mode & 07777) : NewFileMode();
    if (!file_.flush() || ::fsync(file_.handle()) != 0 || ::fchmod(file_.handle(), mode) != 0 ||
        std::rename(Native(temporary_).constData(), Native(target_).constData()) != 0) {
        Fail(errno);
        return false;
    }
    committed_ = true;
    file_.close();
    return true;
}

QString TReplacingFile::ErrorString() const { return error_.isEmpty() ? FileErrorText(file_) : error_; }

void WriteFileReplacing(const QString& target, const QByteArray& bytes)
{
    TReplacingFile file(target);
    if (!file.Open() || file.Device().write(bytes) != bytes.size() || !file.Commit())
        throw EKestrel(QStringLiteral("「%1」に書き込めませんでした: %2").arg(target, file.ErrorString()));
}

}  // namespace kestrel
