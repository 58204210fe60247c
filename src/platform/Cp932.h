#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace kestrel {

// The one place where text meets code page 932 bytes (files, streams, clipboard).

// Characters code page 932 cannot hold become '?'.
QByteArray ToCp932(const QString& text);
// Invalid or truncated byte sequences become U+FFFD, one per offending byte.
QString FromCp932(QByteArrayView bytes);
bool CanEncodeCp932(const QString& text);

}  // namespace kestrel
