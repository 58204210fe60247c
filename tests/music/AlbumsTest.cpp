// Albums, tracks and the album database file: naming and renumbering of the album streams,
// what survives a damaged stream, and independent readers of the file and of each album.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "document/storage/DocStorage.h"
#include "document/storage/DocStream.h"
#include "document/stream/JsonCodec.h"
#include "document/stream/ObjectStream.h"
#include "music/Albums.h"
#include "support/CfbTestSupport.h"
#include "support/FpcStreamCheck.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

TAlbumInfo Album(const QString& title, int tracks = 1)
{
    TAlbumInfo album;
    album.SetTitle(title);
    album.SetArtist(title + " artist");
    for (int i = 0; i < tracks; ++i) {
        TTrackInfo& track = album.Tracks().Add();
        track.SetTitle(QStringLiteral("%1-%2").arg(title).arg(i + 1));
        track.SetTime(QStringLiteral("3:0%1").arg(i));
    }
    return album;
}

QStringList Titles(const TAlbums& albums)
{
    QStringList titles;
    for (int i = 0; i < albums.Count(); ++i) titles << albums.Album(i).Title();
    return titles;
}

QStringList Names(const TAlbums& albums)
{
    QStringList names;
    for (int i = 0; i < albums.Count(); ++i) names << albums.Name(i);
    return names;
}

class AlbumsFile : public ::testing::Test {
protected:
    // A database whose albums are stored under the given numbers.
    void WriteNumbered(const std::vector<std::pair<uint32_t, QString>>& albums)
    {
        QDir().mkpath(QFileInfo(file_).absolutePath());
        TFileStorage storage(file_, ModeCreate);
        for (const auto& [number, title] : albums)
            TDocStream::Open(storage, ModeCreate, "Albums\\" + TAlbums::StreamName(number))->WriteAll(AlbumStreamBytes(Album(title)));
        storage.Close();
    }

    QString file_ = test::TestFolder() + QStringLiteral("/prefs/Albums.dat");
};

TEST(AlbumInfo, TracksInsertDeleteAndCompareExactly)
{
    TAlbumInfo album = Album("A", 3);
    TTrackInfo source;
    source.SetTitle("Inserted");
    album.Tracks().Insert(0, &source);
    album.Tracks().Insert(album.TrackCount());
    EXPECT_EQ(album.TrackCount(), 5);
    EXPECT_EQ(album.Track(0).Title(), "Inserted");
    EXPECT_EQ(album.Track(1).Title(), "A-1");
    EXPECT_EQ(album.Track(4).Title(), "");
    album.Tracks().Delete(2);
    EXPECT_EQ(album.Track(2).Title(), "A-3");
    EXPECT_THROW(album.Tracks().Delete(4), EKestrel);

    TAlbumInfo copy = album;
    EXPECT_TRUE(copy.SameAs(album));
    copy.Track(3).SetAlbum("x");
    EXPECT_FALSE(copy.SameAs(album));
    copy = album;
    copy.SetArtist(album.Artist().toUpper());
    EXPECT_FALSE(copy.SameAs(album));
    copy = album;
    copy.Tracks().Delete(3);
    EXPECT_FALSE(copy.SameAs(album));
    copy.Clear();
    EXPECT_TRUE(copy.SameAs(TAlbumInfo()));
}

TEST(AlbumInfo, StreamsAsOneComponentAndAsJson)
{
    const TAlbumInfo album = Album(QStringLiteral("日本の盤"), 2);
    const QByteArray bytes = AlbumStreamBytes(album);
    EXPECT_TRUE(bytes.startsWith("TPF0"));
    EXPECT_FALSE(bytes.contains("TrackCount"));
    EXPECT_TRUE(AlbumFromStreamBytes(bytes)->SameAs(album));

    const QJsonObject json = ObjectToJson(album);
    EXPECT_EQ(json.value("class").toString(), "TAlbumInfo");
    EXPECT_EQ(json.value("properties").toObject().value("Tracks").toArray().size(), 2);

    // Anything but an album is refused, however well formed.
    QByteArray other;
    TComponent component;
    WriteObject(other, component);
    EXPECT_THROW(AlbumFromStreamBytes(other), EReadError);
    EXPECT_THROW(AlbumFromStreamBytes(bytes.left(bytes.size() / 2)), EReadError);
}

TEST_F(AlbumsFile, ANewFileIsCreatedWithItsFolderAndAlbumsAppendUnderTheNextNumber)
{
    TAlbums albums;
    albums.Open(file_);
    EXPECT_TRUE(QFile::exists(file_));
    EXPECT_EQ(albums.Count(), 0);
    albums.Store(Album("one"), -1);
    albums.Store(Album("two"), 7);  // beyond the end: appended
    EXPECT_EQ(Names(albums), QStringList({"$00000001", "$00000002"}));
    albums.Close();

    WriteNumbered({{0x0f, "fifteen"}, {0x0a, "ten"}});
    albums.Open(file_);
    EXPECT_EQ(Titles(albums), QStringList({"ten", "fifteen"}));  // the names' order
    albums.Store(Album("sixteen"), -1);
    EXPECT_EQ(albums.Name(2), "$00000010");
    // Storing over an album keeps its name.
    albums.Store(Album("TEN"), 0);
    EXPECT_EQ(Names(albums), QStringList({"$0000000a", "$0000000f", "$00000010"}));
    albums.Close();

    TAlbums again;
    again.Open(file_);
    EXPECT_EQ(Titles(again), QStringList({"TEN", "fifteen", "sixteen"}));
    // No temporary stream is left behind.
    const test::TOleListing listing = test::ListWithOlefile(file_);
    EXPECT_EQ(listing.streams.keys(), QStringList({"Albums/$0000000a", "Albums/$0000000f", "Albums/$00000010"}));

    again.Open(file_, true);
    EXPECT_EQ(again.Count(), 0);
}

TEST_F(AlbumsFile, InsertingRenumbersFromTheTopDown)
{
    WriteNumbered({{1, "a"}, {2, "b"}, {3, "c"}});
    TAlbums albums;
    albums.Open(file_);
    albums.InsertAt(Album("new"), 0);
    EXPECT_EQ(Titles(albums), QStringList({"new", "a", "b", "c"}));
    EXPECT_EQ(Names(albums), QStringList({"$00000001", "$00000002", "$00000003", "$00000004"}));

    WriteNumbered({{1, "a"}, {2, "b"}, {5, "c"}});
    albums.Open(file_);
    albums.InsertAt(Album("new"), 1);
    EXPECT_EQ(Titles(albums), QStringList({"a", "new", "b", "c"}));
    EXPECT_EQ(Names(albums), QStringList({"$00000001", "$00000002", "$00000005", "$00000006"}));
    albums.InsertAt(Album("last"), 4);  // at the end: appended
    EXPECT_EQ(albums.Name(4), "$00000007");
    albums.Delete(1);
    EXPECT_EQ(Titles(albums), QStringList({"a", "b", "c", "last"}));
    albums.Close();
    EXPECT_EQ(test::ListWithOlefile(file_).streams.size(), 4);
}

TEST_F(AlbumsFile, ADamagedAlbumIsSkippedReportedAndKeptAsItWas)
{
    WriteNumbered({{1, "a"}, {2, "b"}, {3, "c"}});
    {
        TFileStorage storage(file_, ModeReadWrite | ShareExclusive);
        TDocStream::Open(storage, ModeCreate, "Albums\\$00000002")->WriteAll("TPF0 broken");
        TDocStream::Open(storage, ModeCreate, "Albums\\notes")->WriteAll("not an album");
        storage.Close();
    }
    TAlbums albums;
    albums.Open(file_);
    EXPECT_EQ(Titles(albums), QStringList({"a", "c"}));
    ASSERT_EQ(albums.Skipped().size(), 1);
    EXPECT_TRUE(albums.Skipped()[0].startsWith("$00000002: "));

    // New numbers step over the damaged stream's, which keeps its bytes.
    albums.InsertAt(Album("top"), 0);
    EXPECT_EQ(Names(albums), QStringList({"$00000001", "$00000003", "$00000004"}));
    EXPECT_EQ(Titles(albums), QStringList({"top", "a", "c"}));
    albums.Close();
    {
        TFileStorage storage(file_, ModeRead | ShareDenyWrite);
        EXPECT_EQ(TDocStream::Open(storage, ModeRead, "Albums\\$00000002")->ReadAll(), "TPF0 broken");
        EXPECT_EQ(TDocStream::Open(storage, ModeRead, "Albums\\notes")->ReadAll(), "not an album");
    }
    albums.Open(file_);
    EXPECT_EQ(Titles(albums), QStringList({"top", "a", "c"}));
    EXPECT_EQ(albums.Skipped().size(), 1);
}

TEST_F(AlbumsFile, FreePascalReadsEveryAlbumStream)
{
    const QString helper = test::BuildFpcStreamCheck();
    ASSERT_FALSE(helper.isEmpty());
    TAlbums albums;
    albums.Open(file_);
    albums.Store(Album("First", 2), -1);
    albums.Store(Album("Second", 0), -1);
    albums.Close();
    TFileStorage storage(file_, ModeRead | ShareDenyWrite);
    for (const QString& title : {QStringLiteral("First"), QStringLiteral("Second")}) {
        const QString name = title == "First" ? "$00000001" : "$00000002";
        const QString copy = test::TestFolder() + "/" + title + ".bin";
        test::WriteFileBytes(copy, TDocStream::Open(storage, ModeRead, "Albums\\" + name)->ReadAll());
        const QString text = QString::fromLatin1(test::RunFpcStreamCheck(helper, "totext", copy));
        EXPECT_TRUE(text.startsWith("object TAlbumInfo")) << text.toStdString();
        EXPECT_TRUE(text.contains("Title = '" + title + "'")) << text.toStdString();
        EXPECT_TRUE(text.contains("Artist = '" + title + " artist'")) << text.toStdString();
        EXPECT_EQ(text.count("    item\n"), title == "First" ? 2 : 0) << text.toStdString();
        if (title == "First") EXPECT_TRUE(text.contains("Time = '3:01'")) << text.toStdString();
        EXPECT_FALSE(text.contains("TrackCount"));
    }
}

}  // namespace
}  // namespace kestrel
