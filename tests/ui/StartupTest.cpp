#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QThread>

#include "app/AppFrame.h"
#include "app/HistoryManager.h"
#include "app/ProgramMacros.h"
#include "label/LabelData.h"
#include "paper/PaperInfo.h"
#include "platform/InstanceChannel.h"
#include "platform/ExecuteBlocker.h"
#include "platform/ProgramPaths.h"
#include "support/TestEnvironment.h"
#include "ui/MainWindow.h"

namespace kestrel {
namespace {

const QString kProgram = KESTREL_BINARY_DIR "/src/kestrel";

bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 20000)
{
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        if (condition()) return true;
        QThread::msleep(50);
    }
    return false;
}

QProcessEnvironment ProgramEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("KESTREL_MESSAGES_TO_STDERR", "1");
    return env;
}

const QString InstanceName = "Kestrel." + ShortVer() + ".Basalt.Japan";

TEST(Startup, ASecondStartHandsItsDocumentToTheRunningProgram)
{
    TAppFrame frame;
    frame.Macro().SetLines(ProgramMacroTable());
    frame.Loaded();
    const QString folder = test::TestFolder();
    {
        TMatrixPaperInfo paper;
        paper.SetPortraitSize(1000, 1000);
        paper.SetFaceCountX(1);
        paper.SetFaceCountY(1);
        paper.SetFaceWidth(500);
        paper.SetFaceHeight(500);
        TLabelData document;
        document.SetPaper(paper);
        document.SaveToFile(folder + "/doc.mld");
    }
    QProcess first;
    first.setProcessEnvironment(ProgramEnvironment());
    first.start(kProgram);
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(InstanceSocketName(InstanceName)); }))
        << first.readAllStandardError().constData();

    QProcess second;
    second.setProcessEnvironment(ProgramEnvironment());
    second.setWorkingDirectory(folder);  // the running program has another working folder
    second.start(kProgram, {"doc.mld"});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(second.readAllStandardError(), QByteArray());

    // The first program opened it: it heads the recent documents.
    THistoryManager recent("$(OpenFileHistory)");
    EXPECT_TRUE(WaitFor([&] { return recent.Items().value(0) == folder + "/doc.mld"; }))
        << first.readAllStandardError().constData();
    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();
    EXPECT_TRUE(first.waitForFinished(10000));
}

TEST(Startup, WhenTheRunningProgramDoesNotAnswerASecondStartSaysItIsRunning)
{
    TExecuteBlocker held(InstanceName);  // a lock without a program listening beside it
    ASSERT_TRUE(held.TryAcquire());
    QProcess second;
    second.setProcessEnvironment(ProgramEnvironment());
    second.start(kProgram);
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_NE(second.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(second.readAllStandardError()).trimmed(), "Kestrelは、すでに実行中です");
}

TEST(InstanceChannel, MessagesCarryTheArgumentsAndAnythingElseIsRefused)
{
    const QStringList arguments{"/tmp/ラベル 1.mld", "", "\"quoted\""};
    const QByteArray message = EncodeInstanceMessage(arguments);
    EXPECT_EQ(DecodeInstanceMessage(message), arguments);
    EXPECT_FALSE(DecodeInstanceMessage(message.left(message.size() - 1)));  // cut short
    EXPECT_FALSE(DecodeInstanceMessage(message + "x"));                      // longer than it says
    EXPECT_FALSE(DecodeInstanceMessage(QByteArray("\0\0\0\x03[1]", 7)));     // not strings
    EXPECT_FALSE(DecodeInstanceMessage(QByteArray("\0\0\0\x02{}", 6)));      // not a list
    QByteArray huge = EncodeInstanceMessage({QString(MaxInstanceMessage, u'x')});
    EXPECT_FALSE(DecodeInstanceMessage(huge));
}

TEST(Startup, WithoutADisplayTheProgramSaysHowToStartIt)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(kProgram);
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(program.readAllStandardError()).contains("xvfb-run -a " + kProgram));
}

// The start-up measurement's probe: the program reaches its painted menu stage by itself,
// without a message on the way.
TEST(Startup, AStartReachesThePaintedMenuStageWithoutAMessage)
{
    QProcessEnvironment env = ProgramEnvironment();
    env.insert("KESTREL_FIRST_PAINT_PROBE", "1");
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(kProgram);
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(program.readAllStandardOutput()).startsWith("first-paint "));
    EXPECT_EQ(QString::fromUtf8(program.readAllStandardError()), QString());
}

TEST(Startup, ADamagedDocumentOnTheCommandLineIsReportedAndTheProgramGoesOn)
{
    const QString broken = test::TestFolder() + "/broken.mld";
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a compound file");
    file.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("KESTREL_MESSAGES_TO_STDERR", "1");
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(kProgram, {broken});
    ASSERT_TRUE(program.waitForStarted());
    QString errors;
    EXPECT_TRUE(WaitFor([&] {
        program.waitForReadyRead(50);
        errors += QString::fromUtf8(program.readAllStandardError());
        return errors.contains("指定されたファイルは「Kestrel」のデータではありません");
    })) << errors.toStdString();
    EXPECT_EQ(program.state(), QProcess::Running);
    program.terminate();
    EXPECT_TRUE(program.waitForFinished(10000));
}

TEST(MainWindow, IsTitledAfterTheProgramAndRemembersItsPlacement)
{
    TAppFrame frame;
    frame.Macro().SetLines(ProgramMacroTable());
    frame.Loaded();
    const QSize screen = QGuiApplication::primaryScreen()->size();
    {
        TfrmMain window(frame, nullptr, nullptr);
        EXPECT_EQ(window.windowTitle(), "Kestrel");
        const QSize size(std::min(1024, screen.width()), std::min(740, screen.height()));
        EXPECT_EQ(
            window.geometry(),
            QRect(QPoint((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2), size));
        window.setGeometry(10, 20, 300, 200);
        window.close();
    }
    EXPECT_EQ(TAppFrame::ReadInteger("frmMainWidth", 0), 300);
    TfrmMain again(frame, nullptr, nullptr);
    EXPECT_EQ(again.geometry(), QRect(10, 20, 300, 200));
}

}  // namespace
}  // namespace kestrel
