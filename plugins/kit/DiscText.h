#pragma once

// Text from discs and disc services as the program can store it: code page 932.

#include <QByteArray>
#include <QString>

namespace kestrel::plugin {

// Bytes of a CD-TEXT field or a sheet: UTF-8 when they are valid UTF-8, else code page 932.
QString DecodeDiscBytes(const QByteArray& bytes);

// The text with every character that code page 932 cannot hold replaced by "?"; replaced says
// whether any was.
QString FitCp932(const QString& text, bool* replaced);

}  // namespace kestrel::plugin
