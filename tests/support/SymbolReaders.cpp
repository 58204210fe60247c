#include "support/SymbolReaders.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace kestrel::test {

QByteArray RunTestScript(const QString& script, const QStringList& arguments, const QByteArray& input)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"),
                  QStringList{QStringLiteral(KESTREL_TEST_SOURCE_DIR "/support/scripts/") + script} + arguments);
    process.write(input);
    process.closeWriteChannel();
    const bool finished = process.waitForFinished(300000);
    EXPECT_TRUE(finished) << script.toStdString() << " did not run: " << process.errorString().toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << script.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << script.toStdString() << ": "
                                     << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

QMap<QString, TDecodedSymbols> DecodeSymbols(const QStringList& files)
{
    QMap<QString, TDecodedSymbols> decoded;
    const QByteArray output = RunTestScript(QStringLiteral("decode_symbols.py"), files);
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() != 3 || fields[2].isEmpty()) continue;
        TDecodedSymbols& symbols = decoded[QString::fromUtf8(fields[0])];
        for (const QByteArray& item : fields[2].split(',')) {
            if (fields[1] == "zbar") {
                symbols.zbar << QByteArray::fromHex(item);
            } else {
                const qsizetype colon = item.indexOf(':');
                symbols.zxing << qMakePair(QString::fromLatin1(item.left(colon)), QByteArray::fromHex(item.mid(colon + 1)));
            }
        }
    }
    return decoded;
}

}  // namespace kestrel::test
