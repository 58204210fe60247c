#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/AppFrame.h"
#include "paper/CatalogueStartup.h"
#include "platform/ZlibContainer.h"
#include "support/CfbTestSupport.h"
#include "support/LocalHttpServer.h"
#include "support/MessageRecorder.h"
#include "support/TestEnvironment.h"
#include "support/UpdateFixtures.h"
#include "ui/UpdatePaperDialog.h"

namespace kestrel {
namespace {

using TState = TfrmUpdatePaper::TState;

class UpdatePaperDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RecordMessages(frame, messages, answer);
        test::WriteCatalogueFile(files.systemFile, {"旧用紙"}, 7);
        papers.OpenSystem(files.systemFile);
        test::WriteCatalogueFile(fresh, {"新用紙"}, 12);
        server.Serve("/ppr/KestrelMusic.vup", test::VersionUpText("12,\"2005/04/01 10:30:00\"", "KestrelMusic.ppz"));
        server.Serve("/ppr/KestrelMusic.ppz", PackContainer(test::ReadFileBytes(fresh)));
    }

    TPaperUpdateEnvironment Environment(bool network = true)
    {
        TPaperUpdateEnvironment environment{files, server.Url("/ppr/KestrelMusic.vup"), {}, [network] { return network; }};
        environment.timeout = 20000;
        return environment;
    }

    TAppFrame frame;
    QStringList messages;
    int answer = mrOk;
    const QString folder = test::TestFolder();
    const TCatalogueFileNames files{folder + "/kestrel.ppr", folder + "/UserPaper.ppr"};
    const QString fresh = folder + "/fresh.ppr";
    TPaperCatalogue papers;
    test::TLocalHttpServer server;
};

TEST_F(UpdatePaperDialogTest, OpensAskingToConnectWithTheCurrentVersion)
{
    TfrmUpdatePaper dialog(*papers.Catalogue(), Environment());
    EXPECT_EQ(dialog.State(), TState::usAskConnect);
    EXPECT_TRUE(dialog.InternetWay().isChecked());
    EXPECT_EQ(dialog.Message().text(), "インターネットに接続してよろしいですか？");
    EXPECT_EQ(dialog.ActionButton().text(), "接続");
    EXPECT_TRUE(dialog.ActionButton().isEnabled());
    EXPECT_EQ(dialog.CurrentNumber().text(), "現在のパターン番号：0007");
    EXPECT_EQ(dialog.CurrentDate().text(), "最終更新日：2005年4月1日");
    EXPECT_FALSE(dialog.FileField().isEnabled());

    TfrmUpdatePaper offline(*papers.Catalogue(), Environment(false));
    EXPECT_EQ(offline.State(), TState::usNoNetwork);
    EXPECT_EQ(offline.Message().text(), "現在の環境では、インターネットに接続できません。");
    EXPECT_FALSE(offline.ActionButton().isEnabled());
    offline.ManualWay().setChecked(true);  // the manual way still works
    EXPECT_TRUE(offline.BrowseButton().isEnabled());
    EXPECT_EQ(offline.ActionButton().text(), "更新");
}

TEST_F(UpdatePaperDialogTest, ConnectingOffersTheNewestAndUpdatingInstallsIt)
{
    TfrmUpdatePaper dialog(*papers.Catalogue(), Environment());
    dialog.ActionButton().click();
    ASSERT_EQ(dialog.State(), TState::usAskUpdate) << dialog.Cause().text().toStdString();
    EXPECT_EQ(dialog.NewestNumber().text(), "最新のパターン番号：0012");
    EXPECT_EQ(dialog.NewestDate().text(), "最新のファイル日付：2005年4月1日");
    EXPECT_EQ(dialog.ActionButton().text(), "更新");
    dialog.ActionButton().click();
    EXPECT_TRUE(dialog.Installed());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(messages, QStringList{"用紙/メディア情報のアップデートが正常に終了しました。"});
    EXPECT_EQ(papers.Catalogue()->UpdateInfo().PPRNo(), 12);
    EXPECT_EQ(test::ReadFileBytes(files.systemFile), test::ReadFileBytes(fresh));
    EXPECT_EQ(dialog.Counts().text(), QStringLiteral("%1/%1").arg(dialog.Download().HTTP().BytesTotal()));
    EXPECT_EQ(dialog.Status().text(), "受信終了");
    EXPECT_TRUE(test::UpdateTempFiles().isEmpty());
}

TEST_F(UpdatePaperDialogTest, NothingNewAndFailuresSayWhy)
{
    server.Serve("/ppr/KestrelMusic.vup", test::VersionUpText("0,2005/04/01", "KestrelMusic.ppz"));
    TfrmUpdatePaper dialog(*papers.Catalogue(), Environment());
    dialog.ActionButton().click();
    EXPECT_EQ(dialog.State(), TState::usNothingNew);
    EXPECT_EQ(dialog.Message().text(), "新しい更新情報はありません");
    EXPECT_FALSE(dialog.NewestNumber().isVisibleTo(&dialog));
    EXPECT_FALSE(dialog.ActionButton().isEnabled());

    server.Serve("/ppr/KestrelMusic.vup", "gone", 404);
    TfrmUpdatePaper failing(*papers.Catalogue(), Environment());
    failing.ActionButton().click();
    EXPECT_EQ(failing.State(), TState::usFailed);
    EXPECT_EQ(failing.Message().text(), "アップデートファイルの取得に失敗しました");
    EXPECT_EQ(failing.Cause().text(), "サーバーがエラーを返しました(HTTP 404 Not Found)");
    EXPECT_EQ(failing.ActionButton().text(), "再接続");
    server.Serve("/ppr/KestrelMusic.vup", test::VersionUpText("12,2005/04/01", "KestrelMusic.ppz"));
    failing.ActionButton().click();
    EXPECT_EQ(failing.State(), TState::usAskUpdate);
}

TEST_F(UpdatePaperDialogTest, AnUnusableDownloadEndsTheUpdateWithTheOldCatalogue)
{
    test::WriteCatalogueFile(fresh, {"新用紙"}, 12, 38443, false);
    server.Serve("/ppr/KestrelMusic.ppz", PackContainer(test::ReadFileBytes(fresh)));
    const QByteArray old = test::ReadFileBytes(files.systemFile);
    TfrmUpdatePaper dialog(*papers.Catalogue(), Environment());
    dialog.ActionButton().click();
    dialog.ActionButton().click();
    EXPECT_EQ(dialog.State(), TState::usFinished);
    EXPECT_EQ(dialog.Message().text(), "更新の途中でエラーが発生しました");
    EXPECT_TRUE(dialog.Cause().text().startsWith("この用紙/メディア情報更新ファイルは使用できません"));
    EXPECT_EQ(dialog.CancelButton().text(), "閉じる");
    EXPECT_FALSE(dialog.ActionButton().isEnabled());
    EXPECT_FALSE(dialog.Installed());
    EXPECT_EQ(test::ReadFileBytes(files.systemFile), old);
    EXPECT_EQ(papers.Catalogue()->UpdateInfo().PPRNo(), 7);
}

// A 404, a reset halfway, a body shorter than announced and a server that stalls.
TEST_F(UpdatePaperDialogTest, EveryBrokenDownloadLeavesTheInstalledCatalogueAlone)
{
    using TEnd = test::TLocalHttpServer::TEnd;
    const QByteArray packed = PackContainer(test::ReadFileBytes(fresh));
    const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(packed.size()) + "\r\n\r\n";
    const struct {
        QByteArray bytes;
        TEnd end;
    } broken[] = {
        {test::HttpResponse("missing", 404), TEnd::Close},
        {head + packed.left(packed.size() / 2), TEnd::Reset},
        {head + packed.left(packed.size() / 2), TEnd::Close},
        {head + packed.left(packed.size() / 2), TEnd::Stall},
    };
    const QByteArray old = test::ReadFileBytes(files.systemFile);
    for (const auto& [bytes, end] : broken) {
        server.ServeRaw("/ppr/KestrelMusic.ppz", bytes, end);
        TPaperUpdateEnvironment environment = Environment();
        environment.timeout = 1500;
        TfrmUpdatePaper dialog(*papers.Catalogue(), environment);
        dialog.ActionButton().click();
        dialog.ActionButton().click();
        EXPECT_EQ(dialog.State(), TState::usFailed);
        EXPECT_EQ(dialog.Message().text(), "アップデートファイルの取得に失敗しました");
        EXPECT_FALSE(dialog.Cause().text().isEmpty());
        EXPECT_EQ(test::ReadFileBytes(files.systemFile), old);
        EXPECT_EQ(papers.Catalogue()->UpdateInfo().PPRNo(), 7);
        EXPECT_TRUE(test::UpdateTempFiles().isEmpty());
    }
    EXPECT_TRUE(messages.isEmpty());
}

// While the catalogue arrives (the server stalls), the way cannot be switched and closing asks
// to abort first; agreeing aborts, and the dialog closes once the transfer ended.
TEST_F(UpdatePaperDialogTest, ClosingDuringATransferAbortsItFirst)
{
    server.ServeRaw("/ppr/KestrelMusic.ppz", "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\nZLIB",
                    test::TLocalHttpServer::TEnd::Stall);
    TfrmUpdatePaper dialog(*papers.Catalogue(), Environment());
    dialog.show();
    dialog.ActionButton().click();
    ASSERT_EQ(dialog.State(), TState::usAskUpdate);
    bool lockedWhileRunning = false;
    answer = mrCancel;
    bool fired = false;
    dialog.Download().HTTP().OnPacketRecieved = [&] {
        if (std::exchange(fired, true)) return;
        QTimer::singleShot(0, &dialog, [&] {
            lockedWhileRunning = dialog.TransferRunning() && !dialog.ManualWay().isEnabled() &&
                                 !dialog.ActionButton().isEnabled() && dialog.AbortButton().isVisible() &&
                                 !dialog.CancelButton().isVisible();
            dialog.reject();  // declined: the transfer goes on
            EXPECT_TRUE(dialog.isVisible());
            answer = mrOk;
            dialog.reject();
        });
    };
    dialog.ActionButton().click();
    EXPECT_TRUE(lockedWhileRunning);
    EXPECT_EQ(messages, QStringList({"中断しますか？", "中断しますか？"}));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.State(), TState::usFailed);
    EXPECT_EQ(dialog.Cause().text(), "中断しました");
    EXPECT_FALSE(dialog.Installed());
    EXPECT_TRUE(test::UpdateTempFiles().isEmpty());
}

TEST_F(UpdatePaperDialogTest, TheAbortButtonAsksAndStopsTheTransfer)
{
    server.ServeRaw("/ppr/KestrelMusic.vup", "HTTP/1.1 200 OK\r\nContent-Length: 500\r\n\r\nCORVIDNET",
                    test::TLocalHttpServer::TEnd::Stall);
    TfrmUpdatePaper dialog(*papers.Catalogue(), Environment());
    bool fired = false;
    dialog.Download().HTTP().OnPacketRecieved = [&] {
        if (!std::exchange(fired, true)) QTimer::singleShot(0, &dialog, [&] { dialog.AbortButton().click(); });
    };
    dialog.ActionButton().click();
    EXPECT_EQ(messages, QStringList{"中断しますか？"});
    EXPECT_EQ(dialog.State(), TState::usFailed);
    EXPECT_EQ(dialog.ActionButton().text(), "再接続");
}

TEST_F(UpdatePaperDialogTest, TheManualWayInstallsAChosenFileAfterAsking)
{
    const QString packed = folder + "/update.ppz";
    test::WriteFileBytes(packed, PackContainer(test::ReadFileBytes(fresh)));
    TfrmUpdatePaper dialog(*papers.Catalogue(), Environment(false));
    dialog.ManualWay().setChecked(true);
    EXPECT_FALSE(dialog.ActionButton().isEnabled());
    dialog.ChooseFile(packed);
    EXPECT_EQ(dialog.FileField().text(), packed);
    EXPECT_EQ(dialog.FileNumber().text(), "更新ファイルのパターン番号：0012");
    EXPECT_EQ(dialog.FileDate().text(), "更新ファイルのファイル日付：2005年4月1日");
    ASSERT_TRUE(dialog.ActionButton().isEnabled());
    answer = mrNo;
    dialog.ActionButton().click();
    EXPECT_EQ(messages, QStringList{"用紙/メディア情報を更新します。よろしいですか？"});
    EXPECT_EQ(papers.Catalogue()->UpdateInfo().PPRNo(), 7);
    answer = mrYes;
    dialog.ActionButton().click();
    EXPECT_TRUE(dialog.Installed());
    EXPECT_EQ(messages.last(), "用紙/メディア情報のアップデートが正常に終了しました。");
    EXPECT_EQ(papers.Catalogue()->UpdateInfo().PPRNo(), 12);
    EXPECT_TRUE(QFile::exists(packed));
    EXPECT_TRUE(test::UpdateTempFiles().isEmpty());
}

TEST_F(UpdatePaperDialogTest, TheManualWayRefusesFilesThatAreNoUsableCatalogue)
{
    const QString garbage = folder + "/garbage.ppz";
    test::WriteFileBytes(garbage, "garbage");
    TfrmUpdatePaper dialog(*papers.Catalogue(), Environment());
    dialog.ManualWay().setChecked(true);
    dialog.ChooseFile(garbage);  // reported as an unexpected error
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("予期しないエラーが発生しました")) << messages[0].toStdString();
    EXPECT_FALSE(dialog.ActionButton().isEnabled());
    EXPECT_TRUE(test::UpdateTempFiles().isEmpty());

    const QString plain = folder + "/plain.ppr";
    test::WriteCatalogueFile(plain, {"新用紙"}, 12, 38443, false);
    dialog.ChooseFile(plain);
    ASSERT_TRUE(dialog.ActionButton().isEnabled());
    dialog.ActionButton().click();
    EXPECT_TRUE(messages.last().startsWith("この用紙/メディア情報更新ファイルは使用できません"));
    EXPECT_FALSE(dialog.Installed());
    EXPECT_EQ(papers.Catalogue()->UpdateInfo().PPRNo(), 7);
}

}  // namespace
}  // namespace kestrel
