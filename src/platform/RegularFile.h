#pragma once

// Files the program reads are regular files, links followed. A device such as /dev/zero never
// ends (and reports size 0), a FIFO blocks until a writer comes: neither is ever read. The size is
// checked against the reader's limit before the first byte is read.

#include <QByteArray>
#include <QFile>
#include <QString>

#include "platform/Error.h"

namespace kestrel {

// Why a file was not opened; the message names the file and the cause in Japanese.
class EFileRefused : public EKestrel {
public:
    enum class TCause { fcMissing, fcDenied, fcNotRegular, fcTooLarge, fcUnreadable };
    EFileRefused(TCause cause, const QString& path, QString reason);
    TCause Cause() const { return cause_; }
    // The cause alone, without the file.
    const QString& Reason() const { return reason_; }
    const char* ClassName() const override { return "EFileRefused"; }

private:
    TCause cause_;
    QString reason_;
};

// A size limit as a user reads it: "256 MB", "64 KB", "4 バイト".
QString SizeLimitText(qint64 bytes);

// Opens path read-only into file (which must be closed) when it is a regular file of at most
// maxBytes. Opening never blocks.
void OpenRegularFile(QFile& file, const QString& path, qint64 maxBytes);

// The whole of a regular file of at most maxBytes.
QByteArray ReadRegularFile(const QString& path, qint64 maxBytes);

}  // namespace kestrel
