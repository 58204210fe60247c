// The album dialogs driven as a user drives them, and music dropped on a face.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "app/AppFrame.h"
#include "document/ActionList.h"
#include "document/DOList.h"
#include "edit/LayoutSession.h"
#include "label/LabelData.h"
#include "paper/PaperInfo.h"
#include "platform/Cp932.h"
#include "support/CfbTestSupport.h"
#include "support/InputTextFixture.h"
#include "support/MessageRecorder.h"
#include "support/SyntheticAudio.h"
#include "support/TestEnvironment.h"
#include "ui/AlbumCsvDialogs.h"
#include "ui/AlbumDataDialog.h"
#include "ui/FaceView.h"
#include "ui/InputReplaceDialog.h"
#include "ui/MainWindow.h"
#include "ui/SelectAlbumInfoDialog.h"
#include "ui/SiteView.h"
#include "ui/TextPropertiesDialog.h"

namespace kestrel {
namespace {

template <typename W>
W* Find(QWidget& parent, const QString& text)
{
    for (W* widget : parent.findChildren<W*>())
        if (widget->text() == text) return widget;
    ADD_FAILURE() << "no " << text.toStdString();
    return nullptr;
}

// Runs answer on the next modal dialog once it is up.
void AnswerNextDialog(std::function<void(QDialog&)> answer)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [poll, answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return QTimer::singleShot(10, *poll);
        answer(*dialog);
    };
    QTimer::singleShot(0, *poll);
}

QString MakeMusicFolder(const QString& name, int tracks)
{
    const QString folder = test::TestFolder() + QLatin1Char('/') + name;
    QDir().mkpath(folder);
    for (int i = 1; i <= tracks; ++i)
        test::WriteFileBytes(QStringLiteral("%1/%2.mp3").arg(folder).arg(i),
                             test::SyntheticMp3({QStringLiteral("%1 曲").arg(i), "Band", "Disc", 60 + i, {}}));
    return folder;
}

class AlbumDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RecordMessages(frame_, messages_);
        albums_.Open(test::TestFolder() + "/Albums.dat");
    }

    TAppFrame frame_;
    QStringList messages_;
    TAlbums albums_;
    TAlbumDialogMemory memory_;
};

TEST_F(AlbumDialogs, TypingFillsTheAlbumAndEveryPageIsStoredWhenLeft)
{
    TfrmAlbumData dialog(albums_, memory_, TfrmAlbumData::TPurpose::ChooseAlbum);
    ASSERT_EQ(albums_.Count(), 1);
    auto* title = dialog.findChildren<QLineEdit*>().first();
    QTest::keyClicks(title, "First");
    auto* grid = dialog.findChild<QTableWidget*>();
    ASSERT_EQ(grid->rowCount(), 2);
    grid->item(1, 1)->setText(QStringLiteral("二曲目"));  // typed below the last track
    EXPECT_EQ(dialog.Editor().Working().TrackCount(), 2);
    QApplication::processEvents();
    EXPECT_EQ(grid->rowCount(), 4);

    AnswerNextDialog([](QDialog& add) { add.accept(); });  // at the end, empty
    dialog.AddAlbum();
    EXPECT_EQ(albums_.Count(), 2);
    EXPECT_EQ(albums_.Album(0).Title(), "First");
    EXPECT_EQ(albums_.Album(0).Track(1).Title(), QStringLiteral("二曲目"));
    EXPECT_EQ(Find<QLabel>(dialog, "2/2")->text(), "2/2");

    QTest::keyClicks(title, "Second");
    dialog.findChild<QScrollBar*>()->setValue(0);
    EXPECT_EQ(title->text(), "First");
    EXPECT_EQ(albums_.Album(1).Title(), "Second");

    // Cancel keeps what was typed.
    QTest::keyClicks(title, " again");
    dialog.reject();
    EXPECT_EQ(albums_.Album(0).Title(), "First again");
}

TEST_F(AlbumDialogs, SearchFindsForwardOrSaysSo)
{
    TAlbumInfo album;
    album.SetTitle("Zero");
    albums_.Store(album, -1);
    album.SetTitle("One");
    album.Tracks().Add().SetTitle(QStringLiteral("ひかり"));
    albums_.Store(album, -1);
    TfrmAlbumData dialog(albums_, memory_, TfrmAlbumData::TPurpose::ChooseAlbum);
    auto* keyword = dialog.findChild<QComboBox*>();
    auto* search = Find<QPushButton>(dialog, QStringLiteral("検索(&S)"));
    EXPECT_FALSE(search->isEnabled());
    keyword->setEditText(QStringLiteral("ヒカリ"));
    EXPECT_TRUE(search->isEnabled());
    search->click();
    EXPECT_EQ(dialog.Editor().Current(), 1);
    EXPECT_EQ(dialog.findChild<QTableWidget*>()->currentRow(), 0);
    search->click();
    EXPECT_EQ(messages_.value(0), QStringLiteral("ヒカリは見つかりませんでした"));
    // The keyword joins the history.
    TfrmAlbumData again(albums_, memory_, TfrmAlbumData::TPurpose::ChooseAlbum);
    EXPECT_EQ(again.findChild<QComboBox*>()->itemText(0), QStringLiteral("ヒカリ"));
}

TEST_F(AlbumDialogs, FoldersPlaylistsAndDropsBringMusic)
{
    const QString folder = MakeMusicFolder("disc", 3);
    TfrmAlbumData dialog(albums_, memory_, TfrmAlbumData::TPurpose::ChooseAlbum);
    dialog.chooseFolder = [&] { return folder; };
    dialog.ImportFolder();
    EXPECT_EQ(dialog.Editor().Working().Title(), "Disc");
    EXPECT_EQ(dialog.Editor().Working().TrackCount(), 3);
    EXPECT_EQ(dialog.findChild<QTableWidget*>()->item(2, 2)->text(), "1:03");

    const QString bad = test::TestFolder() + "/empty.m3u";
    test::WriteFileBytes(bad, "#EXTM3U\n");
    dialog.choosePlaylist = [&] { return bad; };
    dialog.ImportPlaylist();
    EXPECT_EQ(messages_.value(0), QStringLiteral("プレイリストの読み込みに失敗したか、内容が正しくありません"));

    dialog.AddDroppedMusic({folder + "/2.mp3", folder + "/3.mp3"});
    EXPECT_EQ(albums_.Count(), 2);
    EXPECT_EQ(dialog.Editor().Current(), 1);
    EXPECT_EQ(dialog.Editor().Working().TrackCount(), 2);
}

TEST_F(AlbumDialogs, OkFromTheTextEditorAsksWhichFieldsToInsert)
{
    TAlbumInfo album;
    album.SetTitle("Disc");
    TTrackInfo& track = album.Tracks().Add();
    track.SetTitle("Song");
    track.SetTime("3:05");
    albums_.Store(album, -1);
    TfrmAlbumData dialog(albums_, memory_, TfrmAlbumData::TPurpose::InsertLines);
    AnswerNextDialog([](QDialog& select) {
        Find<QCheckBox>(select, QStringLiteral("No."))->setChecked(false);
        select.findChild<QComboBox*>()->setEditText(QStringLiteral("タブ"));
        EXPECT_EQ(select.findChild<QPlainTextEdit*>()->toPlainText(), "Disc\n\nSong\t3:05\t\t");
        select.accept();
    });
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Lines(), QStringList({"Disc", "", "Song\t3:05\t\t"}));
    EXPECT_EQ(memory_.insertion.flags, TAlbumLineOptions::AllFlags & ~alNumber);
    EXPECT_EQ(memory_.insertion.separator, "\t");
}

TEST_F(AlbumDialogs, TheReplaceDialogEditsTheTableAndCanStartOver)
{
    TfrmInputReplace dialog({"Title", "Artist", QStringLiteral("ひかり\t3:00\tBand\tDisc")}, memory_);
    auto* search = dialog.findChildren<QLineEdit*>().at(0);
    auto* replacement = dialog.findChildren<QLineEdit*>().at(1);
    auto* replace = Find<QPushButton>(dialog, QStringLiteral("置換実行"));
    auto* restore = Find<QPushButton>(dialog, QStringLiteral("やり直し"));
    EXPECT_FALSE(replace->isEnabled());
    EXPECT_FALSE(restore->isEnabled());
    search->setText(QStringLiteral("ヒカリ"));
    replacement->setText(QStringLiteral("光"));
    replace->click();
    EXPECT_EQ(dialog.Table().at(2), QStringLiteral("光\t3:00\tBand\tDisc"));
    Find<QPushButton>(dialog, QStringLiteral("すべて大文字"))->click();
    EXPECT_EQ(dialog.Table().at(1), "ARTIST");
    auto* list = dialog.findChild<QTableWidget*>();
    EXPECT_EQ(list->columnCount(), 4);
    EXPECT_EQ(list->item(2, 3)->text(), "DISC");
    EXPECT_TRUE(restore->isEnabled());
    restore->click();
    EXPECT_EQ(dialog.Table().at(1), "Artist");
    dialog.accept();
    EXPECT_EQ(memory_.replaceSearch, QStringLiteral("ヒカリ"));
    EXPECT_EQ(memory_.replaceWith, QStringLiteral("光"));
}

TEST_F(AlbumDialogs, CsvExportAndImportRunWithTheirProgressAndSayHowItWent)
{
    TAlbumInfo album;
    album.SetTitle("Disc");
    album.Tracks().Add().SetTitle("Song");
    albums_.Store(album, -1);
    const QString file = test::TestFolder() + "/out.csv";
    {
        TfrmAlbumExportCSV dialog(albums_, 0, memory_.csvExport);
        auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        EXPECT_FALSE(ok->isEnabled());
        dialog.findChild<QLineEdit*>()->setText(file);
        EXPECT_TRUE(ok->isEnabled());
        Find<QCheckBox>(dialog, QStringLiteral("1レコード目に項目名を付ける(&I)"))->setChecked(false);
        auto* columns = dialog.findChild<QListWidget*>();
        columns->item(acTime)->setCheckState(Qt::Unchecked);
        EXPECT_EQ(dialog.findChild<QPlainTextEdit*>()->toPlainText(), QStringLiteral("アルバム,Disc,,\n1,Song,,"));
        dialog.accept();
    }
    EXPECT_EQ(messages_.value(0), QStringLiteral("正常にCSVファイルへ出力しました"));
    EXPECT_EQ(test::ReadFileBytes(file), ToCp932(QStringLiteral("アルバム,Disc,,\r\n1,Song,,\r\n")));
    EXPECT_FALSE(memory_.csvExport.header);

    TfrmAlbumImportCSV dialog(albums_, nullptr, [&] { return file; });
    dialog.show();
    QTRY_COMPARE(dialog.FileFields().count(), 4);
    EXPECT_EQ(dialog.FileFields().item(1)->text(), QStringLiteral("項目2：Disc"));
    auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    EXPECT_FALSE(ok->isEnabled());
    for (const auto& [column, field] : {std::pair{0, int(acNumber)}, std::pair{1, int(acTitle)}}) {
        dialog.FileFields().setCurrentRow(column);
        dialog.AlbumFields().setCurrentRow(field);
        dialog.MapSelected();
    }
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(dialog.AlbumFields().item(acTitle)->text(), QStringLiteral("タイトル：項目2"));
    EXPECT_TRUE(dialog.FileFields().item(1)->font().bold());
    dialog.accept();
    EXPECT_EQ(messages_.value(1), QStringLiteral("正常にCSVファイルから入力しました"));
    ASSERT_EQ(albums_.Count(), 2);
    EXPECT_EQ(albums_.Album(1).Title(), "Disc");
    EXPECT_EQ(albums_.Album(1).Track(0).Title(), "Song");
}

TEST_F(AlbumDialogs, TheTextEditorTakesAFolderAsLines)
{
    const QString folder = MakeMusicFolder(QStringLiteral("歌手「盤」"), 2);
    TLOText text;
    TTextPropertiesDialog dialog(text);
    dialog.chooseFolder = [&] { return folder; };
    dialog.InsertFolder();
    EXPECT_EQ(dialog.findChild<QPlainTextEdit*>()->toPlainText(),
              QStringLiteral("Disc\nBand\n1.1 曲 1:01 Band Disc\n2.2 曲 1:02 Band Disc"));
}

// A face with input items, in the main window.
class MusicDropTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RecordMessages(frame_, messages_);
        TMatrixPaperInfo paper;
        paper.SetPortraitSize(1200, 1000);
        paper.SetFaceWidth(1000);
        paper.SetFaceHeight(800);
        paper.SetFaceCountX(1);
        paper.SetFaceCountY(1);
        TLabelData document;
        document.SetPaper(paper);
        const QString path = test::TestFolder() + "/face.mld";
        document.SaveToFile(path);
        window_ = std::make_unique<TfrmMain>(frame_, nullptr, nullptr);
        ASSERT_TRUE(window_->OpenDocument(path));
        ASSERT_TRUE(window_->EditFace(0));
    }
    void Drop(const QString& path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QWidget& surface = window_->FaceView().View()->Surface();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QApplication::sendEvent(&surface, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&surface, &drop);
    }

    TDrawSite& Site() const { return *window_->FaceView().Site(); }

    TAppFrame frame_;
    QStringList messages_;
    std::unique_ptr<TfrmMain> window_;
};

TEST_F(MusicDropTest, DroppedMusicFillsTheInputItemsAndJoinsTheAlbums)
{
    auto& songs = static_cast<test::TInputText&>(Site().AddObject(std::make_unique<test::TInputText>(QStringLiteral("曲名"), QStringList{"a", "b"})));
    auto& title = static_cast<test::TInputText&>(Site().AddObject(std::make_unique<test::TInputText>(QStringLiteral("タイトル"), QStringList{"x"})));
    Drop(MakeMusicFolder("dropped", 2));
    EXPECT_EQ(title.Text(), QStringList{"Disc"});
    EXPECT_EQ(songs.Text(), QStringList({"1.1 曲 1:01 Band Disc", "2.2 曲 1:02 Band Disc"}));
    EXPECT_EQ(window_->Session().History().Current() + 1, 1);  // the whole album is one undo step
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join('\n').toStdString();
    window_->Session().History().Undo();
    EXPECT_EQ(title.Text(), QStringList{"x"});
    EXPECT_EQ(songs.Text(), QStringList({"a", "b"}));

    TAlbums albums;
    albums.Open(window_->AlbumsFile());
    ASSERT_EQ(albums.Count(), 1);
    EXPECT_EQ(albums.Album(0).TrackCount(), 2);
    EXPECT_EQ(window_->AlbumMemory().currentPage, 0);
}

TEST_F(MusicDropTest, WithoutInputItemsTheAlbumIsOnlyStored)
{
    Drop(MakeMusicFolder("plain", 1));
    EXPECT_EQ(messages_.value(0), QStringLiteral("アルバム「Disc」(1曲)をアルバム情報に加えました"));
    EXPECT_EQ(window_->Session().History().Current(), -1);
}

}  // namespace
}  // namespace kestrel
