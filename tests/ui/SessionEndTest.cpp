#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "app/AppFrame.h"
#include "label/DocumentFlows.h"
#include "label/LabelData.h"
#include "paper/PaperInfo.h"
#include "support/MessageRecorder.h"
#include "support/TestEnvironment.h"
#include "ui/MainWindow.h"
#include "ui/SessionEnd.h"

namespace kestrel {
namespace {

class SessionEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RecordMessages(frame, messages, answer);
        TMatrixPaperInfo paper;
        paper.SetPortraitSize(700, 500);
        paper.SetFaceWidth(600);
        paper.SetFaceHeight(400);
        TLabelData document;
        document.SetPaper(paper);
        document.SaveToFile(path);
    }

    // The window with the saved document open and changed since.
    void OpenChanged(TfrmMain& window)
    {
        ASSERT_TRUE(window.OpenDocument(path));
        window.Flows().Document().SetSheetName(QStringLiteral("変更"));
        ASSERT_TRUE(window.Flows().Document().IsModified());
    }

    QString SavedSheetName()
    {
        TLabelData saved;
        saved.LoadFromFile(path);
        return saved.SheetName();
    }

    TAppFrame frame;
    QStringList messages;
    int answer = mrNo;
    QString path = test::TestFolder() + "/session.mld";
};

TEST_F(SessionEndTest, LoggingOutOffersToSaveAndTheUsersCancelKeepsTheSession)
{
    TfrmMain window(frame, nullptr, nullptr);
    OpenChanged(window);

    answer = mrCancel;
    EXPECT_FALSE(AgreeToEndSession(window, true));
    EXPECT_EQ(messages, QStringList{"データが修正されています\r\n保存しますか？"});
    EXPECT_TRUE(window.Flows().Document().IsModified());

    answer = mrYes;
    EXPECT_TRUE(AgreeToEndSession(window, true));
    EXPECT_EQ(SavedSheetName(), QStringLiteral("変更"));
    EXPECT_FALSE(window.Flows().Document().IsModified());
}

TEST_F(SessionEndTest, WithoutLeaveToAskTheSessionEndsAndNothingIsWritten)
{
    TfrmMain window(frame, nullptr, nullptr);
    OpenChanged(window);
    EXPECT_TRUE(AgreeToEndSession(window, false));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_NE(SavedSheetName(), QStringLiteral("変更"));
}

TEST_F(SessionEndTest, AFailedSaveNamesTheFileWithoutExpandingWhatLooksLikeAMacroInIt)
{
    const QString folder = test::TestFolder() + "/$(SysMsgAlreadyRun)";
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(path, folder + "/session.mld"));
    path = folder + "/session.mld";
    TfrmMain window(frame, nullptr, nullptr);
    OpenChanged(window);
    ASSERT_TRUE(QDir(folder).removeRecursively());

    answer = mrYes;
    EXPECT_FALSE(AgreeToEndSession(window, true));
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(messages.last().contains("$(SysMsgAlreadyRun)")) << messages.last().toStdString();
}

}  // namespace
}  // namespace kestrel
