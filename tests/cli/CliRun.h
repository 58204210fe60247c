#pragma once

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QProcess>
#include <QTimer>
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

// Runs the built kestrel-cli while this thread's event loop goes on, so that servers the test
// started in this thread answer it.
inline TCliRun RunCliServing(const QStringList& arguments)
{
    QProcess cli;
    QEventLoop loop;
    QObject::connect(&cli, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    cli.start(KESTREL_BINARY_DIR "/src/kestrel-cli", arguments);
    loop.exec();
    EXPECT_EQ(cli.state(), QProcess::NotRunning);
    return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
            QString::fromUtf8(cli.readAllStandardOutput()), QString::fromUtf8(cli.readAllStandardError())};
}

}  // namespace kestrel::test
