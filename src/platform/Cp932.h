#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace kestrel {

// Code page 932 (Microsoft's Shift-JIS with the NEC and IBM extensions), the byte encoding of
// every stored text. Characters the code page cannot hold become "?"; bytes that are no
// character decode to U+FFFD.
QByteArray ToCp932(const QString& text);
QString FromCp932(QByteArrayView bytes);
// True when every character survives ToCp932 and FromCp932 unchanged (or as its JIS twin, e.g.
// U+301C WAVE DASH stored as the "～" of the code page).
bool CanEncodeCp932(const QString& text);

// Text files come as UTF-8 or as code page 932: bytes that are valid UTF-8 are taken as UTF-8
// (Japanese code page 932 text hardly ever is), a leading byte-order mark is dropped.
bool IsUtf8Text(QByteArrayView bytes);
QString DecodeTextFile(QByteArrayView bytes);

}  // namespace kestrel
