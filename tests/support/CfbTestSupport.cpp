#include "support/CfbTestSupport.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace kestrel::test {

QByteArray RunProgram(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(120000);
    const QByteArray errors = process.readAllStandardError();
    EXPECT_TRUE(finished) << program.toStdString() << " did not run: " << process.errorString().toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << ": " << errors.toStdString();
    return process.readAllStandardOutput();
}

TOleListing ListWithOlefile(const QString& path)
{
    const QString script = QStringLiteral(KESTREL_TEST_SOURCE_DIR "/platform/cfb_inspect.py");
    const QByteArray output = RunProgram(QStringLiteral("/usr/bin/python3"), {script, path});
    TOleListing listing;
    for (const QByteArray& line : output.split('\n')) {
        const QStringList fields = QString::fromUtf8(line).split(u'\t');
        if (fields[0] == u"header" && fields.size() == 4) {
            listing.majorVersion = fields[1].toInt();
            listing.fatSectors = fields[2].toInt();
            listing.difatSectors = fields[3].toInt();
        } else if (fields[0] == u"storage" && fields.size() == 3) {
            listing.storages.insert(fields[1], fields[2]);
        } else if (fields[0] == u"stream" && fields.size() == 4) {
            listing.streams.insert(fields[1], {fields[2].toLongLong(), fields[3]});
        }
    }
    EXPECT_EQ(listing.majorVersion, 3) << "olefile gave no header for " << path.toStdString();
    return listing;
}

QString Sha1Hex(const QByteArray& data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex());
}

QByteArray PatternBytes(qint64 size, uint32_t seed)
{
    QByteArray data(size, Qt::Uninitialized);
    uint32_t x = seed * 2654435761u + 1;
    for (qint64 i = 0; i < size; ++i) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        data[i] = static_cast<char>(x);
    }
    return data;
}

void WriteFileBytes(const QString& path, const QByteArray& data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(data), data.size());
}

QByteArray ReadFileBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

}  // namespace kestrel::test
