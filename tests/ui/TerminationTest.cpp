// The desktop program ended by a signal leaves no working file behind: SIGTERM, SIGINT and SIGHUP
// close everything as a normal exit does, and after SIGKILL the next start removes what the
// killed process left.

#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QProcess>
#include <QThread>

#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

const QString kProgram = KESTREL_BINARY_DIR "/src/kestrel";
// Each signal kind; KESTREL_TERMINATION_TRIALS raises the count for a longer run.
const int Trials = qEnvironmentVariableIntValue("KESTREL_TERMINATION_TRIALS") > 0
                       ? qEnvironmentVariableIntValue("KESTREL_TERMINATION_TRIALS")
                       : 50;
// A document and the product database.
constexpr int WorkingFilesPerRun = 2;

QStringList WorkingFiles(const QString& folder, qint64 pid = 0)
{
    const QString pattern = pid ? QStringLiteral("mtf%1-*.tmp").arg(pid) : QStringLiteral("mtf*");
    return QDir(folder).entryList({pattern}, QDir::Files | QDir::Hidden);
}

class Termination : public ::testing::Test {
protected:
    // Starts the program (headless unless display names an X display) and waits until its
    // working files exist.
    qint64 Start(QProcess& process, const QString& display = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", display.isEmpty() ? "offscreen" : "xcb");
        if (!display.isEmpty()) env.insert("DISPLAY", display);
        env.insert("KESTREL_MESSAGES_TO_STDERR", "1");
        env.insert("TMPDIR", temp_);
        process.setProcessEnvironment(env);
        process.start(kProgram);
        if (!process.waitForStarted()) return 0;
        for (int waited = 0; waited < 20000; waited += 20) {
            if (WorkingFiles(temp_, process.processId()).size() == WorkingFilesPerRun) return process.processId();
            if (process.state() != QProcess::Running) break;
            QThread::msleep(20);
        }
        ADD_FAILURE() << "no working files: " << process.readAllStandardError().constData();
        return 0;
    }

    QString temp_ = test::TestFolder() + QStringLiteral("/tmp");
    void SetUp() override { QDir().mkpath(temp_); }
};

TEST_F(Termination, SignalsCloseTheWorkingFilesAndAStartRemovesThoseOfKilledRuns)
{
    const int kinds[] = {SIGTERM, SIGINT, SIGHUP};
    for (int trial = 0; trial < Trials; ++trial) {
        QProcess process;
        const qint64 pid = Start(process);
        ASSERT_NE(pid, 0);
        const int signal = kinds[trial % 3];
        kill(static_cast<pid_t>(pid), signal);
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "signal " << signal;
        EXPECT_TRUE(WorkingFiles(temp_, pid).isEmpty()) << "signal " << signal;
    }
    // Each start removes what the run killed before it left.
    for (int trial = 0; trial < Trials; ++trial) {
        QProcess process;
        ASSERT_NE(Start(process), 0);
        EXPECT_EQ(WorkingFiles(temp_).size(), WorkingFilesPerRun) << "trial " << trial;
        process.kill();
        ASSERT_TRUE(process.waitForFinished(20000));
    }
    EXPECT_EQ(WorkingFiles(temp_).size(), WorkingFilesPerRun);

    QProcess last;
    const qint64 pid = Start(last);
    ASSERT_NE(pid, 0);
    EXPECT_EQ(WorkingFiles(temp_).size(), WorkingFilesPerRun) << "stale files survived the start";
    last.terminate();
    ASSERT_TRUE(last.waitForFinished(20000));
    EXPECT_EQ(WorkingFiles(temp_), QStringList());
}

// Logging out takes the display away from the program, which then ends as on exit().
TEST_F(Termination, LosingTheDisplayClosesTheWorkingFiles)
{
    QProcess server;
    server.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
    ASSERT_TRUE(server.waitForStarted()) << "Xvfb is missing: run scripts/install-deps.sh";
    QByteArray number;
    while (!number.endsWith('\n') && server.waitForReadyRead(20000)) number += server.readAllStandardOutput();
    ASSERT_FALSE(number.trimmed().isEmpty()) << server.readAllStandardError().constData();

    QProcess process;
    const qint64 pid = Start(process, ":" + QString::fromLatin1(number.trimmed()));
    ASSERT_NE(pid, 0);
    server.terminate();
    ASSERT_TRUE(server.waitForFinished(20000));
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_TRUE(WorkingFiles(temp_, pid).isEmpty());
}

}  // namespace
}  // namespace kestrel
