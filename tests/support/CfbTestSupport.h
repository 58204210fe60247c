#pragma once

// Helpers shared by the compound-file tests: independent readers and writers run as programs.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace kestrel::test {

struct TOleListing {
    int majorVersion = 0;
    int fatSectors = 0;
    int difatSectors = 0;
    QMap<QString, QString> storages;  // path ("/"-joined) -> clsid text
    QMap<QString, QPair<qint64, QString>> streams;  // path -> size, SHA-1 hex
};

// Lists the file through Python's olefile (tests/platform/cfb_inspect.py). Fails the current
// test when the program is missing or reports a defect.
TOleListing ListWithOlefile(const QString& path);

// Runs a program; fails the current test unless it exits with 0. Returns its standard output.
QByteArray RunProgram(const QString& program, const QStringList& arguments);

QString Sha1Hex(const QByteArray& data);
// Deterministic bytes of the given size (seeded), so sizes and digests are reproducible.
QByteArray PatternBytes(qint64 size, uint32_t seed);

void WriteFileBytes(const QString& path, const QByteArray& data);
QByteArray ReadFileBytes(const QString& path);

}  // namespace kestrel::test
