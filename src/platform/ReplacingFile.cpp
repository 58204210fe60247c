#include "platform/ReplacingFile.h"

#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Error.h"
#include "platform/SystemErrorText.h"
#include "platform/WorkingFiles.h"

namespace kestrel {

namespace {
// What a newly created file would get: read/write for all, less the umask.
QFile::Permissions NewFilePermissions()
{
    const mode_t mask = umask(0);
    umask(mask);
    QFile::Permissions permissions;
    if (!(mask & S_IRUSR)) permissions |= QFile::ReadOwner | QFile::ReadUser;
    if (!(mask & S_IWUSR)) permissions |= QFile::WriteOwner | QFile::WriteUser;
    if (!(mask & S_IRGRP)) permissions |= QFile::ReadGroup;
    if (!(mask & S_IWGRP)) permissions |= QFile::WriteGroup;
    if (!(mask & S_IROTH)) permissions |= QFile::ReadOther;
    if (!(mask & S_IWOTH)) permissions |= QFile::WriteOther;
    return permissions;
}
}  // namespace

TReplacingFile::TReplacingFile(QString target) : target_(std::move(target)), file_(ReplacementFileTemplate(target_)) {}

TReplacingFile::~TReplacingFile() = default;

bool TReplacingFile::Open()
{
    RemoveStaleReplacementFiles(target_);
    return file_.open();
}

bool TReplacingFile::Commit()
{
    if (!file_.isOpen()) return false;
    const QFileInfo existing(target_);
    if (!file_.flush() || fsync(file_.handle()) != 0 ||
        !file_.setPermissions(existing.exists() ? existing.permissions() : NewFilePermissions())) {
        error_ = SystemErrorText(errno);
        return false;
    }
    if (std::rename(QFile::encodeName(file_.fileName()).constData(), QFile::encodeName(target_).constData()) != 0) {
        error_ = SystemErrorText(errno);
        return false;
    }
    file_.setAutoRemove(false);
    file_.close();
    return true;
}

QString TReplacingFile::ErrorString() const
{
    return error_.isEmpty() ? FileErrorText(file_) : error_;
}

void WriteFileReplacing(const QString& target, const QByteArray& bytes)
{
    TReplacingFile file(target);
    if (!file.Open() || file.Device().write(bytes) != bytes.size() || !file.Commit())
        throw EKestrel(QStringLiteral("「%1」に書き込めませんでした: %2").arg(target, file.ErrorString()));
}

}  // namespace kestrel
