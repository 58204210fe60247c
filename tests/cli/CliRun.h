#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QStringList>

namespace kestrel::test {

struct TCliRun {
    int exitCode;
    QString out;
    QString err;
};

// Runs the built kestrel-cli with the arguments.
inline TCliRun RunCli(const QStringList& arguments)
{
    QProcess cli;
    cli.start(KESTREL_BINARY_DIR "/src/kestrel-cli", arguments);
    EXPECT_TRUE(cli.waitForFinished(30000));
    return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
            QString::fromUtf8(cli.readAllStandardOutput()), QString::fromUtf8(cli.readAllStandardError())};
}

}  // namespace kestrel::test
