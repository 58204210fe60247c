#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include "music/Albums.h"
#include "support/MessageRecorder.h"
#include "support/TestEnvironment.h"
#include "ui/MusicDiscDialogs.h"

namespace kestrel {
namespace {

// The import screen over the shipped plug-ins and a disc image made by the test.
class MusicDiscDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RecordMessages(frame_, messages_);
        const QString folder = test::TestFolder();
        QFile bin(folder + "/disc.bin");
        ASSERT_TRUE(bin.open(QIODevice::WriteOnly));
        bin.write(QByteArray(2352 * 75 * 30, '\0'));
        QFile cue(folder + "/disc.cue");
        ASSERT_TRUE(cue.open(QIODevice::WriteOnly));
        cue.write("TITLE \"画面の盤\"\nPERFORMER \"歌手\"\nFILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n"
                  "    TITLE \"一曲目\"\n    INDEX 01 00:00:00\n");
        image_ = cue.fileName();
    }

    // Only the entries named stay checked.
    static void CheckOnly(TfrmMusicDiscImport& screen, const QStringList& names)
    {
        auto* entries = screen.findChild<QListWidget*>();
        for (int i = 0; i < entries->count(); ++i)
            entries->item(i)->setCheckState(names.contains(entries->item(i)->text()) ? Qt::Checked : Qt::Unchecked);
    }

    // Opens the screen's "設定" and runs the steps on the settings screen.
    static void InSettings(QDialog& screen, std::function<void(QDialog&, QTabWidget&)> steps)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* settings = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(settings, nullptr);
            ASSERT_EQ(settings->windowTitle(), "サーバー設定");
            steps(*settings, *settings->findChild<QTabWidget*>());
            ran = true;
            if (settings->isVisible()) settings->reject();
        });
        for (QPushButton* button : screen.findChildren<QPushButton*>())
            if (button->text().startsWith("設定")) button->click();
        EXPECT_TRUE(ran);
    }

    static void ClickOk(QDialog& dialog)
    {
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    }

    static QStringList EntryTexts(QDialog& screen)
    {
        QStringList texts;
        auto* entries = screen.findChild<QListWidget*>();
        for (int i = 0; i < entries->count(); ++i) texts << entries->item(i)->text();
        return texts;
    }

    TAppFrame frame_;
    QStringList messages_;
    QString image_;
};

TEST_F(MusicDiscDialogsTest, ASingleAlbumIsTakenWithoutAskingAndUncheckedEntriesAreRemembered)
{
    {
        TfrmMusicDiscImport screen(true, nullptr);
        screen.findChild<QComboBox*>()->setCurrentText(image_);
        CheckOnly(screen, {"CD-TEXT"});
        screen.accept();
        EXPECT_EQ(screen.result(), QDialog::Accepted) << messages_.join('\n').toStdString();
        TAlbums albums;
        albums.Open(test::TestFolder() + "/Albums.dat");
        albums.Store(TAlbumInfo(), -1);
        EXPECT_EQ(screen.TakeAlbums(albums), 0);
        ASSERT_EQ(albums.Count(), 1);
        EXPECT_EQ(albums.Album(0).Title(), "画面の盤");
        EXPECT_EQ(albums.Album(0).Track(0).Time(), "0:30");
    }
    EXPECT_EQ(TAppFrame::ReadString("MusicDiscTarget", {}), image_);
    EXPECT_EQ(TAppFrame::ReadString("MusicDiscDisableImporters", {}), "CDDB\r\n");
    // The next opening keeps the unchecked entry unchecked.
    TfrmMusicDiscImport again(false, nullptr);
    auto* entries = again.findChild<QListWidget*>();
    ASSERT_EQ(entries->count(), 2);
    EXPECT_EQ(entries->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(entries->item(1)->checkState(), Qt::Unchecked);
}

TEST_F(MusicDiscDialogsTest, AFailingImporterIsReportedByNameAndTheScreenStaysOpen)
{
    TfrmMusicDiscImport screen(false, nullptr);
    screen.findChild<QComboBox*>()->setCurrentText(image_);
    CheckOnly(screen, {"CDDB"});
    screen.accept();
    EXPECT_NE(screen.result(), QDialog::Accepted);
    ASSERT_FALSE(messages_.isEmpty());
    EXPECT_TRUE(messages_.last().contains("CDDB (disc.so)")) << messages_.last().toStdString();

    screen.findChild<QComboBox*>()->setCurrentText(test::TestFolder() + "/missing.cue");
    screen.accept();
    EXPECT_EQ(messages_.last(), "ドライブの準備ができていません");
}

TEST_F(MusicDiscDialogsTest, PluginPagesSitInTheirTabsAreStoredOnOkAndRenewTheEntries)
{
    TfrmMusicDiscImport screen(false, nullptr);
    CheckOnly(screen, {"CDDB"});  // the user's unchecking survives the rebuilt list
    QPointer<QPlainTextEdit> servers;
    InSettings(screen, [&](QDialog& settings, QTabWidget& tabs) {
        ASSERT_EQ(tabs.count(), 2);  // CD-TEXT has no page
        EXPECT_EQ(tabs.tabText(1), "CDDB");
        servers = settings.findChild<QPlainTextEdit*>("Servers");
        ASSERT_NE(servers, nullptr);
        EXPECT_TRUE(tabs.widget(1)->isAncestorOf(servers));
        tabs.setCurrentIndex(1);
        servers->setPlainText("127.0.0.1:8880\ncddb.example.jp:888");
        ClickOk(settings);
        EXPECT_FALSE(settings.isVisible());
    });
    // The page's window went back to the plug-in, whole.
    ASSERT_FALSE(servers.isNull());
    EXPECT_EQ(servers->window()->parentWidget(), nullptr);
    EXPECT_EQ(EntryTexts(screen), (QStringList{"CD-TEXT", "CDDB - 127.0.0.1:8880", "CDDB - cddb.example.jp:888"}));
    EXPECT_EQ(screen.findChild<QListWidget*>()->item(0)->checkState(), Qt::Unchecked);

    // Cancelled edits are not stored, nor shown the next time.
    InSettings(screen, [&](QDialog&, QTabWidget& tabs) {
        tabs.setCurrentIndex(1);
        EXPECT_EQ(servers->toPlainText(), "127.0.0.1:8880\ncddb.example.jp:888");
        servers->setPlainText("cancelled.example.jp:1");
    });
    InSettings(screen, [&](QDialog&, QTabWidget&) {
        EXPECT_EQ(servers->toPlainText(), "127.0.0.1:8880\ncddb.example.jp:888");
    });
    EXPECT_EQ(EntryTexts(screen).size(), 3);
}

TEST_F(MusicDiscDialogsTest, TheExportScreenWritesTheCueSheetWhereItsPageSays)
{
    TAlbumInfo album;
    album.SetTitle("送る盤");
    album.SetArtist("歌手");
    album.Tracks().Add().SetTitle("一曲目");
    album.Track(0).SetTime("0:30");
    const QString folder = test::TestFolder() + "/sheets";

    TfrmMusicDiscExport screen(nullptr);
    screen.SetAlbum(album);
    screen.findChild<QComboBox*>()->setCurrentText(image_);
    InSettings(screen, [&](QDialog& settings, QTabWidget& tabs) {
        ASSERT_EQ(tabs.count(), 2);
        EXPECT_EQ(tabs.tabText(1), "CUEシート");
        auto* field = settings.findChild<QLineEdit*>("Folder");
        ASSERT_NE(field, nullptr);
        field->setText(folder);
        ClickOk(settings);
    });
    EXPECT_EQ(EntryTexts(screen), QStringList{"CUEシート"});
    screen.accept();
    EXPECT_EQ(screen.result(), QDialog::Accepted) << messages_.join('\n').toStdString();
    EXPECT_EQ(messages_.last(), "情報を登録しました");
    const QStringList written = QDir(folder).entryList({"*.cue"});
    ASSERT_EQ(written.size(), 1);
    QFile sheet(folder + "/" + written.front());
    ASSERT_TRUE(sheet.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(sheet.readAll());
    EXPECT_TRUE(text.contains("TITLE \"送る盤\"")) << text.toStdString();
    EXPECT_TRUE(text.contains("TITLE \"一曲目\"")) << text.toStdString();
    EXPECT_EQ(TAppFrame::ReadString("MusicDiscDefaultExporter", {}), "CUEシート");
}

TEST(MusicDiscResult, SeveralAlbumsAreCheckedOneAlbumIsSelectedAndDetailsFollowTheSelection)
{
    const std::vector<TImportedAlbum> albums = {
        {"CDDB", "一枚目", "歌手A", "Pop", {{"朝", "3:01", "歌手A"}, {"夜", "4:02", ""}}},
        {"CD-TEXT", "二枚目", "歌手B", "Jazz", {{"昼", "5:03", "歌手B"}}},
    };
    TfrmResult several(albums, true, nullptr);
    auto* list = several.findChild<QListWidget*>();
    auto* ok = several.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(several.Chosen().size(), 2u);
    list->item(0)->setCheckState(Qt::Unchecked);
    ASSERT_EQ(several.Chosen().size(), 1u);
    EXPECT_EQ(several.Chosen().front().Title, "二枚目");
    list->item(1)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(ok->isEnabled()) << "nothing checked";

    list->setCurrentRow(0);
    auto* details = several.findChild<QTreeWidget*>();
    QStringList shown;
    for (int i = 0; i < details->topLevelItemCount(); ++i)
        shown << details->topLevelItem(i)->text(0) + "=" + details->topLevelItem(i)->text(1);
    EXPECT_EQ(shown, (QStringList{"取得元=CDDB", "アルバム=一枚目", "アーティスト=歌手A", "ジャンル=Pop", "トラック1=朝",
                                  "トラック2=夜"}));
    EXPECT_EQ(details->topLevelItem(4)->text(2), "3:01");

    TfrmResult one(albums, false, nullptr);
    auto* oneList = one.findChild<QListWidget*>();
    EXPECT_EQ(oneList->item(0)->data(Qt::CheckStateRole), QVariant()) << "no check boxes";
    oneList->setCurrentRow(1);
    ASSERT_EQ(one.Chosen().size(), 1u);
    EXPECT_EQ(one.Chosen().front().Artist, "歌手B");
}

TEST(MusicDiscExport, OnlyAlbumsWithTitleArtistAndEveryTrackTitleMayBeSent)
{
    TAlbumInfo album;
    album.SetTitle("題");
    album.SetArtist("歌手");
    album.Tracks().Add().SetTitle("一");
    EXPECT_TRUE(AlbumReadyForExport(album));
    album.Tracks().Add();
    EXPECT_FALSE(AlbumReadyForExport(album));
    album.Track(1).SetTitle("二");
    album.SetArtist({});
    EXPECT_FALSE(AlbumReadyForExport(album));
}

}  // namespace
}  // namespace kestrel
