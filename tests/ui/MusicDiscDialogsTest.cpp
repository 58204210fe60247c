#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QListWidget>

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
