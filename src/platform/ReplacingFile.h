#pragma once

#include <QString>
#include <QTemporaryFile>

namespace kestrel {

// Writes a file through a temporary file beside it ("<target>.<pid>-XXXXXX.tmp") that replaces
// the target only once it is complete and on disk, so the target is always either the old or the
// new file. The temporary name carries the process id: opening removes what a killed process
// left of an earlier replacement of the same target.
class TReplacingFile {
public:
    explicit TReplacingFile(QString target);
    // An uncommitted temporary file is removed.
    ~TReplacingFile();

    bool Open();
    QFileDevice& Device() { return file_; }
    // Flushes, syncs and renames over the target (keeping its permissions).
    bool Commit();
    // Why Open or Commit failed, in Japanese.
    QString ErrorString() const;

private:
    QString target_;
    QTemporaryFile file_;
    QString error_;
};

// Writes the bytes as the whole new content of target through a TReplacingFile; fails with
// EKestrel naming the file and the cause in Japanese.
void WriteFileReplacing(const QString& target, const QByteArray& bytes);

}  // namespace kestrel
