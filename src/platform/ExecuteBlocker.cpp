#include "platform/ExecuteBlocker.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace kestrel {

QString TExecuteBlocker::FileNameFor(const QString& name)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    QString safeName = name;
    safeName.replace(u'/', u'_').replace(u'\\', u'_');
    return folder + "/" + safeName + ".lock";
}

TExecuteBlocker::TExecuteBlocker(const QString& name)
    : fileName_(FileNameFor(name)), lock_(std::make_unique<QLockFile>(fileName_))
{
    // Only a dead holder makes a lock stale, never its age: the first instance may run for days.
    lock_->setStaleLockTime(0);
}

TExecuteBlocker::~TExecuteBlocker() = default;

bool TExecuteBlocker::TryAcquire()
{
    if (!acquired_) acquired_ = lock_->tryLock(0);
    return acquired_;
}

}  // namespace kestrel
