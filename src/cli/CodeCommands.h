#pragma once

#include <QStringList>
#include <QTextStream>

namespace kestrel {

// kestrel-cli qr TEXT --out FILE.png [--level L|M|Q|H] [--version N] [--mask M] [--mode 0|A|8]
// [--scale S]: the text's code page 932 bytes as a QR symbol, S pixels per module.
int RunQrCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);
// kestrel-cli jan DIGITS --out FILE.png: a JAN symbol of 7 or 12 digits (the check digit is
// appended) or of 8 or 13 digits with a correct check digit, with its digits, 3 pixels per module.
int RunJanCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

}  // namespace kestrel
