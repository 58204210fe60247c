// Music from folders and playlists on its way into an album: names, the sort, the album's title
// and artist, and the playlist forms.

#include <gtest/gtest.h>

#include <QDir>

#include "music/Albums.h"
#include "music/M3UFileInfo.h"
#include "music/MusicInfo.h"
#include "platform/Cp932.h"
#include "support/CfbTestSupport.h"
#include "support/SyntheticAudio.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

QStringList Titles(const std::vector<TMusicRecord>& records)
{
    QStringList titles;
    for (const TMusicRecord& record : records) titles << record.title;
    return titles;
}

std::vector<TMusicRecord> Records(const QStringList& titles)
{
    std::vector<TMusicRecord> records;
    for (const QString& title : titles) records.push_back({{}, title, {}, 0});
    return records;
}

QString MakeFolder(const QString& name)
{
    const QString folder = test::TestFolder() + QLatin1Char('/') + name;
    QDir().mkpath(folder);
    return folder;
}

void WriteTrack(const QString& file, const test::TSyntheticTrack& track)
{
    test::WriteFileBytes(file, test::SyntheticMp3(track));
}

TEST(MusicInfo, TheExchangeSortPutsNumbersByValueAndTheRestByTheLocale)
{
    std::vector<TMusicRecord> records = Records({"10 X", "2 Y", "Intro"});
    SortMusicRecords(records);
    EXPECT_EQ(Titles(records), QStringList({"2 Y", "10 X", "Intro"}));

    // Numbers of any length compare by value; leading zeros do not count.
    records = Records({"100000000000000000001 b", "020 a", "3 c", "beta", "alpha"});
    SortMusicRecords(records);
    EXPECT_EQ(Titles(records).mid(0, 3), QStringList({"3 c", "020 a", "100000000000000000001 b"}));
    EXPECT_EQ(Titles(records).mid(3), QStringList({"alpha", "beta"}));
}

TEST(MusicInfo, TimesAndAlbumsFromMusic)
{
    EXPECT_EQ(TimeText(185), "3:05");
    EXPECT_EQ(TimeText(59), "0:59");
    EXPECT_EQ(TimeText(3723), "62:03");
    EXPECT_EQ(TimeText(0), "");
    EXPECT_EQ(TimeText(-4), "");

    TAlbumInfo album;
    album.SetTitle("Kept");
    MusicToAlbum({"New", "Artist", {{"A1", "One", "P", 185}, {"", "Two", "", 0}}}, album);
    EXPECT_EQ(album.Title(), "Kept");
    EXPECT_EQ(album.Artist(), "Artist");
    ASSERT_EQ(album.TrackCount(), 2);
    EXPECT_EQ(album.Track(0).Title(), "One");
    EXPECT_EQ(album.Track(0).Artist(), "P");
    EXPECT_EQ(album.Track(0).Album(), "A1");
    EXPECT_EQ(album.Track(0).Time(), "3:05");
    EXPECT_EQ(album.Track(1).Time(), "");
}

TEST(MusicInfo, AFolderGivesItsAudioFilesByTagOrByName)
{
    const QString folder = MakeFolder(QStringLiteral("バンド「青い盤」"));
    WriteTrack(folder + "/b.mp3", {"2 Second", "", "", 65, {}});
    WriteTrack(folder + "/a.mp3", {"10 Tenth", "", "", 3, {}});
    test::WriteFileBytes(folder + "/Best.mp3 Hits.wav", "");
    test::WriteFileBytes(folder + "/cover.jpg", "\xFF\xD8");
    test::WriteFileBytes(folder + "/notes.txt", "1 Notes");
    QDir().mkpath(folder + "/sub.mp3");

    TMusicInfo music = ReadFolder(folder, false);
    EXPECT_EQ(Titles(music.records), QStringList({"2 Second", "10 Tenth", "Best.mp3 Hits"}));
    EXPECT_EQ(music.records[0].seconds, 65);
    // No album or artist in any record: the folder's name says them.
    EXPECT_EQ(music.artist, QStringLiteral("バンド"));
    EXPECT_EQ(music.title, QStringLiteral("青い盤"));

    // A file that is no audio is named "(Artist)Title"; its artist is the only one, so the album's.
    test::WriteFileBytes(folder + "/(Band)Song.mp3", "not audio");
    music = ReadFolder(folder, false);
    EXPECT_EQ(music.records.back().title, "Song");
    EXPECT_EQ(music.records.back().artist, "Band");
    EXPECT_EQ(music.artist, "Band");
    EXPECT_EQ(music.title, "");

    // Without name parsing the parentheses stay and the folder's name says nothing.
    const TMusicInfo plain = ReadFolder(folder, true);
    EXPECT_TRUE(Titles(plain.records).contains("(Band)Song"));
    EXPECT_EQ(plain.title, "");
    EXPECT_EQ(plain.artist, "");
}

TEST(MusicInfo, TheAlbumIsWhatTheRecordsShareElseTheFirstRecordsOwn)
{
    const QString shared = MakeFolder("shared");
    WriteTrack(shared + "/1.mp3", {"1 A", "Same", "Disc", 1, {}});
    WriteTrack(shared + "/2.mp3", {"2 B", "Same", "", 1, {}});
    TMusicInfo music = ReadFolder(shared, false);
    EXPECT_EQ(music.title, "Disc");
    EXPECT_EQ(music.artist, "Same");

    const QString mixed = MakeFolder("mixed");
    WriteTrack(mixed + "/1.mp3", {"1 A", "", "", 1, {}});
    WriteTrack(mixed + "/2.mp3", {"2 B", "Artist B", "Disc B", 1, {}});
    WriteTrack(mixed + "/3.mp3", {"3 C", "Artist C", "Disc C", 1, {}});
    music = ReadFolder(mixed, false);
    EXPECT_EQ(music.title, "Disc B");
    EXPECT_EQ(music.artist, "Artist B");
}

QString WritePlaylist(const QString& name, const QByteArray& bytes)
{
    const QString file = test::TestFolder() + QLatin1Char('/') + name;
    test::WriteFileBytes(file, bytes);
    return file;
}

TEST(MusicInfo, M3ULinesFollowTheExtinfRules)
{
    const QString folder = MakeFolder("list");
    WriteTrack(folder + "/tagged.mp3", {"From Tags", "Tag Artist", "", 2, {}});
    const QString file = WritePlaylist("list/list.m3u",
                                       "#EXTM3U\n\n#EXTINF:185,Song\n/nowhere/song.mp3\r"
                                       "#extinf:12.7,  Spaced  \r\n#EXTINF:7,Second wins\nrelative.mp3\n"
                                       "# a comment\ntagged.mp3\n#EXTINF:1,No path\n\0");
    TM3UFileInfo playlist;
    playlist.SetFileName(file);
    ASSERT_TRUE(playlist.Load());
    ASSERT_EQ(playlist.Count(), 3);
    EXPECT_EQ(playlist.Title(1), "Song");
    EXPECT_EQ(playlist.Duration(1), 185);
    EXPECT_EQ(playlist.Title(2), "Second wins");
    EXPECT_EQ(playlist.Duration(2), 7);
    EXPECT_EQ(playlist.Path(2), folder + "/relative.mp3");
    EXPECT_EQ(playlist.Title(3), "From Tags");
    EXPECT_EQ(playlist.Duration(3), 2);
    EXPECT_EQ(playlist.Artist(3), "");  // M3U has no artists

    // A missing file, an empty one and one with comments only have no entries.
    TM3UFileInfo empty;
    empty.SetFileName(folder + "/missing.m3u");
    EXPECT_FALSE(empty.Load());
    EXPECT_FALSE(empty.Load(QByteArray("#EXTM3U\n#EXTINF:3,x\n")));
    EXPECT_THROW(ReadPlaylist(folder + "/missing.m3u"), EKestrel);
}

TEST(MusicInfo, AsxElementsOneALineWithTokensCompared)
{
    TM3UFileInfo playlist;
    playlist.SetReadTags(false);
    ASSERT_TRUE(playlist.Load(QByteArray("<asx version = '3.0'>\n"
                                         "<Title>Ignored before an entry</Title>\n"
                                         "<Param Name=\"Name\" Value=\"List Title\"/>\n"
                                         "<entry><title>ignored: the line starts with entry</title>\n"
                                         "  <Title>Kept &lt;1&gt;</Title>\n"
                                         "\xE3\x80\x80<ref HREF = \"a b.mp3\" />\n"
                                         "<Param Name=\"Name\" Value=\"Player\"/>\n"
                                         "<Param Name=\"Other\" Value=\"x\"/>\n"
                                         "<Duration Value=\"4:05\"/>\n"
                                         "<Entry>\n<Ref href='second.mp3'>\n")));
    ASSERT_EQ(playlist.Count(), 2);
    EXPECT_EQ(playlist.AlbumTitle(), "List Title");
    EXPECT_EQ(playlist.Title(1), "Kept <1>");
    EXPECT_EQ(playlist.Artist(1), "Player");
    EXPECT_EQ(playlist.Duration(1), 245);
    EXPECT_TRUE(playlist.Path(1).endsWith("/a b.mp3"));
    EXPECT_EQ(playlist.Title(2), "");
    EXPECT_TRUE(playlist.Path(2).endsWith("/second.mp3"));

    // Entries of one artist and album make the album's, when the list says none.
    const QString file = WritePlaylist("same.asx", ToCp932(QStringLiteral(
        "<ASX>\n<Entry>\n<Param Name=\"Artist\" Value=\"歌手\"/>\n<Param Name=\"Album\" Value=\"盤\"/>\n"
        "<Entry>\n<Param Name=\"Artist\" Value=\"歌手\"/>\n<Param Name=\"Album\" Value=\"盤\"/>\n</ASX>\n")));
    const TMusicInfo music = ReadPlaylist(file);
    EXPECT_EQ(music.artist, QStringLiteral("歌手"));
    EXPECT_EQ(music.title, QStringLiteral("盤"));
}

TEST(MusicInfo, DroppedPathsBecomeMusic)
{
    const QString folder = MakeFolder("drop");
    WriteTrack(folder + "/one.mp3", {"One", "", "", 1, {}});
    WriteTrack(folder + "/two.mp3", {"Two", "", "", 1, {}});
    test::WriteFileBytes(folder + "/readme.txt", "x");
    EXPECT_EQ(ReadMusicPaths({folder}, false).records.size(), 2u);
    EXPECT_EQ(Titles(ReadMusicPaths({folder + "/two.mp3", folder + "/readme.txt"}, false).records), QStringList{"Two"});
    const QString list = WritePlaylist("drop/list.m3u", "one.mp3\n");
    EXPECT_EQ(Titles(ReadMusicPaths({folder + "/two.mp3", list}, false).records), QStringList{"One"});
    EXPECT_THROW(ReadMusicPaths({folder + "/readme.txt"}, false), EKestrel);
}

}  // namespace
}  // namespace kestrel
