#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace kestrel {

// A named lock shared by all processes of the user: a QLockFile in the runtime folder
// ($XDG_RUNTIME_DIR), named after the lock name. A lock left behind by a process that died is
// taken over.
class TExecuteBlocker {
public:
    explicit TExecuteBlocker(const QString& name);
    ~TExecuteBlocker();
    TExecuteBlocker(const TExecuteBlocker&) = delete;
    TExecuteBlocker& operator=(const TExecuteBlocker&) = delete;

    // False when another live holder has it (also another holder in this process).
    bool TryAcquire();
    const QString& FileName() const { return fileName_; }

    static QString FileNameFor(const QString& name);

private:
    QString fileName_;
    std::unique_ptr<QLockFile> lock_;
    bool acquired_ = false;
};

}  // namespace kestrel
