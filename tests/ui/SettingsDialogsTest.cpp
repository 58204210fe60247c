// The environment settings, the proxy panel, the update address, the version stamp, the folder
// histories of file dialogs, and the main window's commands that open them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include "app/AppFrame.h"
#include "app/HistoryManager.h"
#include "app/InstallationKey.h"
#include "app/RuntimeFlags.h"
#include "paper/CatalogueStartup.h"
#include "paper/PPRDownload.h"
#include "paper/UserPapers.h"
#include "support/MessageRecorder.h"
#include "support/TestEnvironment.h"
#include "support/UpdateFixtures.h"
#include "ui/EnvironmentDialog.h"
#include "ui/FolderHistory.h"
#include "ui/InternetEnvironmentPanel.h"
#include "ui/MainWindow.h"
#include "ui/PaperChooserDialog.h"
#include "ui/PaperSelectExFunc.h"
#include "ui/PaperUpdateInfoDialog.h"
#include "ui/URLEditDialog.h"

namespace kestrel {
namespace {

class SettingsDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RecordMessages(frame, messages);
        qunsetenv("http_proxy");
        qunsetenv("HTTP_PROXY");
    }
    void TearDown() override
    {
        SetAntiAliasDistortionText(true);
    }

    TAppFrame frame;
    QStringList messages;
};

TEST_F(SettingsDialogsTest, TheEnvironmentShowsEachSettingsDefaultAndStoresTheChanges)
{
    TfrmEnvironment dialog;
    EXPECT_EQ(dialog.Pages().count(), 5);
    EXPECT_EQ(dialog.UndoLimit().value(), 10);
    EXPECT_TRUE(dialog.AntiAlias().isChecked());
    EXPECT_EQ(dialog.Banding().checkedId(), 1);
    EXPECT_TRUE(dialog.CDPath().currentText().isEmpty());
    EXPECT_TRUE(dialog.Internet().NoProxy().isChecked());

    dialog.UndoLimit().setValue(25);
    dialog.AntiAlias().setChecked(false);
    dialog.Banding().button(0)->setChecked(true);
    dialog.CDPath().setEditText(test::TestFolder());
    dialog.Internet().UseProxy().setChecked(true);
    dialog.Internet().Address().setText("proxy.example");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(TAppFrame::ReadInteger("UndoLimit", 0), 25);
    EXPECT_EQ(UndoLimitSetting(), 25);
    EXPECT_FALSE(TAppFrame::ReadBool("AntiAliasDistortionText", true));
    EXPECT_FALSE(AntiAliasDistortionText());
    EXPECT_EQ(TAppFrame::ReadInteger("Banding", 1), 0);
    EXPECT_EQ(TAppFrame::ReadString("CDPath", {}), test::TestFolder());
    EXPECT_EQ(THistoryManager("$(CDPathHistory)").Items(), QStringList{test::TestFolder()});
    EXPECT_FALSE(TAppFrame::ReadBool("ProxyUse", true));
    EXPECT_EQ(TAppFrame::ReadString("ProxyAddress", {}), "proxy.example");

    TfrmEnvironment again(nullptr, TfrmEnvironment::epInternet);
    EXPECT_EQ(again.Pages().currentIndex(), TfrmEnvironment::epInternet);
    EXPECT_EQ(again.UndoLimit().value(), 25);
    EXPECT_EQ(again.CDPath().count(), 1);  // the history
    EXPECT_EQ(again.Banding().checkedId(), 0);
}

TEST_F(SettingsDialogsTest, AnyOtherBandingValueMeansThePrintersResolution)
{
    TAppFrame::WriteInteger("Banding", 7);
    TAppFrame::WriteInteger("UndoLimit", 100000);
    TfrmEnvironment dialog;
    EXPECT_EQ(dialog.Banding().checkedId(), 2);
    EXPECT_EQ(dialog.UndoLimit().value(), 100);
    EXPECT_EQ(UndoLimitSetting(), 100);
}

TEST_F(SettingsDialogsTest, TheProxyControlsFollowTheChoices)
{
    qputenv("http_proxy", "http://system.example:3128");
    TfrmInternetEnvironment panel;
    qunsetenv("http_proxy");
    EXPECT_EQ(panel.Address().text(), "system.example");  // offered from the system
    EXPECT_EQ(panel.Port().text(), "3128");
    EXPECT_FALSE(panel.Address().isEnabled());
    EXPECT_FALSE(panel.UseAccount().isEnabled());
    panel.UseProxy().setChecked(true);
    EXPECT_TRUE(panel.Address().isEnabled());
    EXPECT_TRUE(panel.UseAccount().isEnabled());
    EXPECT_FALSE(panel.Account().isEnabled());
    panel.UseAccount().setChecked(true);
    EXPECT_TRUE(panel.Password().isEnabled());
    EXPECT_EQ(panel.Password().echoMode(), QLineEdit::Password);
    panel.NoProxy().setChecked(true);
    EXPECT_FALSE(panel.Account().isEnabled());
    panel.Save();
    EXPECT_TRUE(TAppFrame::ReadString("ProxyAddress", {}).isEmpty());  // kept without a proxy: not stored
}

TEST_F(SettingsDialogsTest, TheAddressEditorShowsTheAddressInUseAndStoresTheUsersOwn)
{
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(test::TestFolder() + "/xdg"));
    TfrmURLEdit dialog;
    EXPECT_EQ(dialog.URL().text(), BuiltInUpdaterURL());
    dialog.URL().setText("ftp://elsewhere/");
    dialog.accept();
    EXPECT_EQ(messages, QStringList{"「ftp://elsewhere/」は HTTP のアドレスではありません"});
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    dialog.URL().setText("http://update.example/ppr/KestrelMusic.vup");
    dialog.accept();
    EXPECT_EQ(UpdaterURLSetting(), "http://update.example/ppr/KestrelMusic.vup");
    EXPECT_EQ(TfrmURLEdit().URL().text(), "http://update.example/ppr/KestrelMusic.vup");
    qunsetenv("XDG_CONFIG_DIRS");
}

TEST_F(SettingsDialogsTest, TheVersionStampTakesOnlyAValidDateAndTime)
{
    const QString file = test::TestFolder() + "/kestrel.ppr";
    test::WriteCatalogueFile(file, {"用紙"}, 7);
    TPaperCatalogue papers;
    papers.OpenSystem(file);
    TfrmPaperUpdateInfo dialog(*papers.Catalogue());
    EXPECT_EQ(dialog.PatternNumber().value(), 7);
    EXPECT_EQ(dialog.LastUpdate().text(), "2005/04/01 10:30:00");
    dialog.PatternNumber().setValue(8);
    dialog.LastUpdate().setText("2006/13/01 09:00:00");
    dialog.accept();
    EXPECT_EQ(messages, QStringList{"日付・時間の指定が正しくありません"});
    EXPECT_EQ(papers.Catalogue()->UpdateInfo().PPRNo(), 7);
    dialog.LastUpdate().setText("2006／01／02　09：00：00");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(papers.Catalogue()->UpdateInfo().PPRNo(), 8);
    EXPECT_DOUBLE_EQ(papers.Catalogue()->UpdateInfo().LastUpdate(), 38719 + 9.0 / 24);
}

TEST_F(SettingsDialogsTest, FileDialogsStartInTheLastFolderAndRememberTheChosenOne)
{
    const QString first = test::TestFolder() + "/first", second = test::TestFolder() + "/second";
    QDir().mkpath(first);
    QDir().mkpath(second);
    TFolderHistory history("$(LabelDataHistory)");
    history.Remember(first + "/a.mld");
    history.Remember(second + "/b.mld");
    history.Remember(test::TestFolder() + "/gone/c.mld");
    QFileDialog dialog;
    history.Prepare(dialog);
    EXPECT_EQ(dialog.history(), QStringList({second, first}));  // folders that went are left out
    EXPECT_EQ(dialog.directory().absolutePath(), second);
    history.Prepare(dialog, first);
    EXPECT_EQ(dialog.directory().absolutePath(), first);
    EXPECT_EQ(THistoryManager("$(LabelDataHistory)").Items().value(1), second);
}

TEST_F(SettingsDialogsTest, TheMainWindowOffersThePaperCommandsAndHidesTheAddressUnlessAsked)
{
    const QString file = test::TestFolder() + "/kestrel.ppr";
    test::WriteCatalogueFile(file, {"用紙"}, 7);
    TPaperCatalogue papers;
    papers.OpenSystem(file);
    {
        TfrmMain window(frame, papers.Catalogue(), nullptr);
        for (const char* name : {"actUpdatePapers", "actImportUserPapers", "actExportUserPapers",
                                 "actExtendedPaperSelection", "actEnvironment"})
            EXPECT_NE(window.findChild<QAction*>(name), nullptr) << name;
        EXPECT_FALSE(window.findChild<QAction*>("actEditUpdaterURL")->isVisible());
    }
    TAppFrame::WriteBool("EnableSpecialMenu", true);
    TfrmMain window(frame, papers.Catalogue(), nullptr);
    EXPECT_TRUE(window.findChild<QAction*>("actEditUpdaterURL")->isVisible());
    // With the extended selection on, the paper chooser shows its extra functions.
    window.findChild<QAction*>("actExtendedPaperSelection")->setChecked(true);
    bool shown = false;
    QTimer::singleShot(0, [&shown] {
        auto* dialog = qobject_cast<TPaperChooserDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shown = dialog->findChild<TframePaperSelectExFunc*>() != nullptr;
        dialog->reject();
    });
    window.findChild<QAction*>("actNew")->trigger();
    EXPECT_TRUE(shown);
}

TEST_F(SettingsDialogsTest, ImportedUserPapersAreListedUnderTheUserGenre)
{
    const QString system = test::TestFolder() + "/kestrel.ppr", mine = test::TestFolder() + "/mine.ppr";
    test::WriteCatalogueFile(system, {"用紙"}, 7);
    test::WriteCatalogueFile(mine, {"取り込んだ用紙"}, 0, 0, false, true);
    TPaperCatalogue papers;
    papers.OpenSystem(system);
    ImportUserPapers(*papers.Catalogue(), mine);
    TPaperChooserDialog dialog(*papers.Catalogue());
    const QList<QTreeWidgetItem*> user = dialog.GenreTree().findItems("ユーザー用紙", Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(user.size(), 1);
    dialog.GenreTree().setCurrentItem(user[0]);
    EXPECT_EQ(dialog.ListedPapers(), QStringList{"取り込んだ用紙"});
}

// Discs printed directly are remembered apart from label papers; both lead the recent genre.
TEST_F(SettingsDialogsTest, ChosenMediaGoToTheirOwnHistory)
{
    const QString file = test::TestFolder() + "/kestrel.ppr";
    test::WriteCatalogueFile(file, {"ラベル用紙"}, 7);
    TPaperCatalogue papers;
    papers.OpenSystem(file);
    TPapersV2& catalogue = *papers.Catalogue();
    TMatrixPaperInfo disc = test::DiscPaper("プリンタブルCD");
    disc.SetGroupName("エプソン");
    catalogue.Store(disc);
    catalogue.RootStorage().WriteStream("GlobalInfo\\GenreInfo",
                                        EncodeTextLines({"CD-R・DVDラベル=ラベル", "エプソン=ダイレクトプリント\\エプソン"}));
    for (const QString name : {"プリンタブルCD", "ラベル用紙"}) {
        TPaperChooserDialog dialog(catalogue);
        dialog.SelectPaper(catalogue.IndexOfName(name));
        dialog.accept();
    }
    EXPECT_EQ(THistoryManager("$(UsedMediaHistory)").Items(), QStringList{"プリンタブルCD"});
    EXPECT_EQ(THistoryManager("$(UsedPaperHistory)").Items(), QStringList{"ラベル用紙"});
    TPaperChooserDialog dialog(catalogue);
    dialog.GenreTree().setCurrentItem(dialog.GenreTree().topLevelItem(0));
    EXPECT_EQ(dialog.ListedPapers(), QStringList({"ラベル用紙", "プリンタブルCD"}));
}

}  // namespace
}  // namespace kestrel
