#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryFile>

#include "platform/QtMessages.h"

namespace kestrel {
namespace {

// What the code writes to standard error while it runs.
template <typename F>
QByteArray StandardErrorOf(F run)
{
    QTemporaryFile capture;
    EXPECT_TRUE(capture.open());
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    dup2(capture.handle(), STDERR_FILENO);
    run();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    capture.seek(0);
    return capture.readAll();
}

TEST(QtMessages, QtsEnglishWarningsNeverReachTheTerminal)
{
    qunsetenv("KESTREL_QT_MESSAGES");
    const QByteArray written = StandardErrorOf([] {
        InstallQtMessageFilter();
        qWarning("Polygon too complex for filling.");
        qCritical("QPainter::begin: Paint device returned engine == 0, type: 3");
    });
    qInstallMessageHandler(nullptr);
    EXPECT_TRUE(written.isEmpty()) << written.toStdString();
}

TEST(QtMessages, DevelopersCanHaveThemBack)
{
    qputenv("KESTREL_QT_MESSAGES", "1");
    const QByteArray written = StandardErrorOf([] {
        InstallQtMessageFilter();
        qWarning("shown to developers");
    });
    qunsetenv("KESTREL_QT_MESSAGES");
    qInstallMessageHandler(nullptr);
    EXPECT_TRUE(written.contains("shown to developers")) << written.toStdString();
}

}  // namespace
}  // namespace kestrel
