#pragma once

#include <QFile>
#include <QString>

namespace kestrel {

// Writes a file through a temporary file beside it that replaces the target only once it is
// complete and on disk, so the target is always either the old or the new file.
//
// The temporary name is derived from the target's: "<name>.<hash>-<slot>.tmp", the name cut
// short when needed so that it fits the file system's 255 bytes, whatever the target's length.
// The writer holds a lock on it while it writes; a file left by a killed writer carries no lock and
// is simply taken over (and renamed away) by the next save of the same target. So nothing in a
// save lists the folder, however many files it holds.
class TReplacingFile {
public:
    explicit TReplacingFile(QString target);
    // An uncommitted temporary file is removed.
    ~TReplacingFile();
    TReplacingFile(const TReplacingFile&) = delete;
    TReplacingFile& operator=(const TReplacingFile&) = delete;

    bool Open();
    QFileDevice& Device() { return file_; }
    // Flushes, syncs and renames over the target (keeping its permissions).
    bool Commit();
    // Why Open or Commit failed, in Japanese.
    QString ErrorString() const;

    // The temporary file of a slot (0 is the usual one; others serve saves of the same target
    // running at the same time).
    static QString TemporaryName(const QString& target, int slot);

private:
    bool OpenSlot(int slot);
    void Fail(int error);

    QString target_;
    QString temporary_;
    QFile file_;
    QString error_;
    bool committed_ = false;
};

// Writes the bytes as the whole new content of target through a TReplacingFile; fails with
// EKestrel naming the file and the cause in Japanese.
void WriteFileReplacing(const QString& target, const QByteArray& bytes);

}  // namespace kestrel
