#pragma once

// Independent encoders and readers of barcodes and QR symbols, run as Python programs from
// tests/support/scripts with Debian's /usr/bin/python3.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

namespace kestrel::test {

// Runs a script of tests/support/scripts with the input on its standard input; fails the
// current test unless it exits with 0. Returns its standard output.
QByteArray RunTestScript(const QString& script, const QStringList& arguments, const QByteArray& input = {});

struct TDecodedSymbols {
    QList<QByteArray> zbar;                   // the bytes of each symbol zbarimg found
    QList<QPair<QString, QByteArray>> zxing;  // format name and bytes of each ZXing found
};

// Reads every picture with zbarimg and ZXing in one run; keyed by file name.
QMap<QString, TDecodedSymbols> DecodeSymbols(const QStringList& files);

}  // namespace kestrel::test
