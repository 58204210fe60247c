// The album dialog's logic: pages, tracks, adding, deleting and searching.

#include <gtest/gtest.h>


#include "music/AlbumEditor.h"
#include "music/MusicInfo.h"
#include "support/CfbTestSupport.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

class AlbumEditing : public ::testing::Test {
protected:
    AlbumEditing() { albums_.Open(file_); }

    void AddTitled(TAlbumEditor& editor, const QString& title)
    {
        editor.AddAlbum(TAddPosition::End, false);
        editor.Working().SetTitle(title);
    }

    QStringList Titles() const
    {
        QStringList titles;
        for (int i = 0; i < albums_.Count(); ++i) titles << albums_.Album(i).Title();
        return titles;
    }

    QString file_ = test::TestFolder() + QStringLiteral("/Albums.dat");
    TAlbums albums_;
    TAlbumDialogMemory memory_;
};

TEST_F(AlbumEditing, ThereIsAlwaysOnePage)
{
    TAlbumEditor editor(albums_, memory_);
    EXPECT_EQ(editor.Count(), 1);
    EXPECT_EQ(editor.PageCaption(), "1/1");
    editor.Working().SetTitle("Only");
    editor.DeleteCurrent();
    EXPECT_EQ(editor.Count(), 1);
    EXPECT_EQ(editor.Working().Title(), "");
    AddTitled(editor, "x");
    AddTitled(editor, "y");
    editor.DeleteAll();
    EXPECT_EQ(editor.Count(), 1);
    EXPECT_EQ(editor.Current(), 0);
}

TEST_F(AlbumEditing, APageReachesTheFileOnlyWhenItChanged)
{
    TAlbumEditor editor(albums_, memory_);
    editor.Working().SetTitle("Stored");
    editor.LeavePage();
    // A mark in place of the file shows whether anything was written since.
    test::WriteFileBytes(file_, "mark");
    editor.Working().SetTitle("Typed");
    editor.Working().SetTitle("Stored");
    editor.Go(0);
    EXPECT_EQ(test::ReadFileBytes(file_), "mark");
    editor.Working().SetArtist("Changed");
    editor.Go(0);
    albums_.Close();
    albums_.Open(file_);
    EXPECT_EQ(albums_.Album(0).Title(), "Stored");
    EXPECT_EQ(albums_.Album(0).Artist(), "Changed");
}

TEST_F(AlbumEditing, AlbumsAreAddedWhereAskedFromEmptyOrACopy)
{
    TAlbumEditor editor(albums_, memory_);
    editor.Working().SetTitle("A");
    AddTitled(editor, "B");
    EXPECT_EQ(editor.Current(), 1);
    editor.AddAlbum(TAddPosition::Current, true);
    EXPECT_EQ(editor.Current(), 1);
    EXPECT_EQ(editor.Working().Title(), "B");  // the copy
    editor.Working().SetTitle("B2");
    editor.AddAlbum(TAddPosition::Top, false);
    EXPECT_EQ(editor.Current(), 0);
    editor.Working().SetTitle("Top");
    editor.Go(99);
    EXPECT_EQ(editor.Current(), 3);
    EXPECT_EQ(Titles(), QStringList({"Top", "A", "B2", "B"}));
    EXPECT_EQ(editor.PageCaption(), "4/4");
    // The page is remembered for the next opening.
    TAlbumEditor reopened(albums_, memory_);
    EXPECT_EQ(reopened.Working().Title(), "B");
}

TEST_F(AlbumEditing, TracksAreInsertedDeletedMovedAndAddedOnTyping)
{
    TAlbumEditor editor(albums_, memory_);
    editor.EnsureTrack(2);
    EXPECT_EQ(editor.Working().TrackCount(), 3);
    for (int i = 0; i < 3; ++i) editor.Working().Track(i).SetTitle(QString::number(i + 1));
    editor.InsertTrack(1);
    EXPECT_EQ(editor.Working().Track(1).Title(), "");
    editor.DeleteTrack(1);
    EXPECT_TRUE(editor.MoveTrack(0, 1));
    EXPECT_FALSE(editor.MoveTrack(0, -1));
    EXPECT_FALSE(editor.MoveTrack(2, 1));
    EXPECT_EQ(editor.Working().Track(0).Title(), "2");
    EXPECT_EQ(editor.Working().Track(1).Title(), "1");

    editor.AddMusic({"Album", "Artist", {{"", "Read", "", 61}}});
    EXPECT_EQ(editor.Working().Title(), "Album");
    EXPECT_EQ(editor.Working().Track(3).Time(), "1:01");
}

TEST_F(AlbumEditing, SearchGoesForwardFuzzilyOrStrictly)
{
    TAlbumEditor editor(albums_, memory_);
    editor.Working().SetTitle("first abc");
    AddTitled(editor, "second");
    editor.Working().SetArtist("ＡＢＣ");
    AddTitled(editor, "third");
    TTrackInfo& track = editor.Working().Tracks().Add();
    track.SetTitle(QStringLiteral("ひらがなの曲"));
    track.SetTime("4:56");
    editor.Go(0);

    // Half-width lower case finds full-width upper case; the first album is not searched.
    auto found = editor.Search("abc", false);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->album, 1);
    EXPECT_EQ(found->field, TAlbumMatch::Artist);
    EXPECT_EQ(editor.Current(), 1);
    // Katakana finds hiragana, in a track.
    found = editor.Search(QStringLiteral("ヒラガナ"), false);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->album, 2);
    EXPECT_EQ(found->field, TAlbumMatch::Track);
    EXPECT_EQ(found->track, 0);

    editor.Go(0);
    EXPECT_FALSE(editor.Search("abc", true));
    editor.Go(0);
    EXPECT_FALSE(editor.Search(QStringLiteral("ヒラガナ"), true));
    EXPECT_TRUE(editor.Search("4:56", true));
    // From the last album nothing is found, whatever the earlier ones hold.
    EXPECT_EQ(editor.Current(), 2);
    EXPECT_FALSE(editor.Search("first", false));
    EXPECT_EQ(editor.Current(), 2);
}

}  // namespace
}  // namespace kestrel
