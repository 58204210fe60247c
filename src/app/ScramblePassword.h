#pragma once

#include <QByteArray>
#include <QString>

namespace kestrel {

// Hides a password from a casual look at the settings: every byte is XORed with a fixed key of
// 14 letters, repeated, except where that would give 0 (the byte then stays as it was). Applying
// it twice gives the bytes back.
QByteArray ScramblePassword(const QByteArray& text);

// A password as the settings store keeps it: its code page 932 bytes scrambled, one character
// per byte; and back.
QString ScrambledForStore(const QString& password);
QString UnscrambledFromStore(const QString& stored);

}  // namespace kestrel
