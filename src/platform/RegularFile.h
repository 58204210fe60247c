#pragma once

// Files the program reads are regular files, links followed: a device never ends and a FIFO
// blocks, so neither is ever read. The size is checked against the reader's limit first.

#include <QByteArray>
#include <QString>

namespace kestrel {

// The whole of a regular file of at most maxBytes; fails with a Japanese message naming the file
// and the cause.
QByteArray ReadRegularFile(const QString& path, qint64 maxBytes);

}  // namespace kestrel
