// Working files belong to their process: a termination signal removes them even without an
// event loop, and only files of processes that are gone count as stale.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "document/storage/DocStorage.h"
#include "platform/WorkingFiles.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

void Touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

pid_t DeadProcess()
{
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

TEST(WorkingFiles, OnlyFilesOfProcessesThatAreGoneAreStale)
{
    const QString folder = test::TestFolder();
    const QString dead = QStringLiteral("mtf%1-aB3dE9.tmp").arg(DeadProcess());
    const QString live = QStringLiteral("mtf%1-aB3dE9.tmp").arg(getpid());
    const QStringList kept = {live, QStringLiteral("mtfaB3dE9.tmp"), QStringLiteral("mtf12x-aB3dE9.tmp"),
                              QStringLiteral("other.tmp")};
    for (const QString& name : kept + QStringList{dead}) Touch(folder + '/' + name);
    EXPECT_EQ(RemoveStaleWorkingFiles(folder), 1);
    QStringList left = QDir(folder).entryList(QDir::Files);
    left.sort();
    QStringList expected = kept;
    expected.sort();
    EXPECT_EQ(left, expected);
}

TEST(WorkingFiles, TheWorkingFileIsNamedForItsProcessAndGoesWithIt)
{
    QString name;
    {
        TTemporaryStorage storage;
        name = storage.FileName();
        EXPECT_TRUE(QFileInfo(name).fileName().startsWith(QStringLiteral("mtf%1-").arg(getpid())));
        EXPECT_TRUE(QFile::exists(name));
    }
    EXPECT_FALSE(QFile::exists(name));
}

// A process without an event loop (the command-line program) ends with the signal, after
// removing its working files.
TEST(WorkingFiles, ATerminationSignalRemovesTheWorkingFilesOfAProcessWithoutEventLoop)
{
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        InstallTerminationHandlers();
        TTemporaryStorage storage;
        const QByteArray name = QFile::encodeName(storage.FileName());
        if (write(ready[1], name.constData(), name.size()) != name.size()) _exit(3);
        for (;;) pause();
    }
    char buffer[4096] = {};
    const ssize_t length = read(ready[0], buffer, sizeof buffer - 1);
    ASSERT_GT(length, 0);
    const QString file = QFile::decodeName(QByteArray(buffer, length));
    EXPECT_TRUE(QFile::exists(file));
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_FALSE(QFile::exists(file));
    close(ready[0]);
    close(ready[1]);
}

}  // namespace
}  // namespace kestrel
