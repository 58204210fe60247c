// Albums to CSV and back: the lines of the options, RFC 4180 both ways (checked with Python's csv
// module), and imports that never stop at short lines.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "document/stream/JsonCodec.h"
#include "music/AlbumCSV.h"
#include "music/Albums.h"
#include "platform/Cp932.h"
#include "support/CfbTestSupport.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

TAlbumInfo SampleAlbum()
{
    TAlbumInfo album;
    album.SetTitle(QStringLiteral("盤, \"best\""));
    album.SetArtist("Band");
    const QStringList titles = {"Song", QStringLiteral("He said \"a,b\""), "Two\r\nlines"};
    for (int i = 0; i < titles.size(); ++i) {
        TTrackInfo& track = album.Tracks().Add();
        track.SetTitle(titles[i]);
        track.SetTime(QStringLiteral("3:0%1").arg(i));
        track.SetArtist(i == 1 ? "" : "Player");
        track.SetAlbum("Disc");
    }
    return album;
}

TAlbumCsvMapping Identity()
{
    TAlbumCsvMapping mapping;
    mapping.column = {0, 1, 2, 3, 4};
    return mapping;
}

class AlbumCsv : public ::testing::Test {
protected:
    AlbumCsv() { albums_.Open(folder_ + "/Albums.dat"); }

    QString folder_ = test::TestFolder();
    TAlbums albums_;
};

TEST_F(AlbumCsv, LinesFollowTheChosenColumnsOrderAndExtraLines)
{
    TAlbumExportOptions options;
    const QStringList lines = AlbumCsvLines(SampleAlbum(), options);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral(",タイトル,時間,アーティスト,アルバム"));
    EXPECT_EQ(lines[1], QStringLiteral("アルバム,\"盤, \"\"best\"\"\",,Band,"));
    EXPECT_EQ(lines[2], "1,Song,3:00,Player,Disc");
    EXPECT_EQ(lines[3], "2,\"He said \"\"a,b\"\"\",3:01,,Disc");
    EXPECT_EQ(lines[4], "3,\"Two\r\nlines\",3:02,Player,Disc");

    options.header = false;
    options.albumLine = false;
    options.checked[acAlbum] = false;
    options.order = {acTitle, acNumber, acArtist, acTime, acAlbum};
    EXPECT_EQ(AlbumCsvLines(SampleAlbum(), options).first(), "Song,1,Player,3:00");
}

TEST_F(AlbumCsv, AnExportPythonReadsBackTheSameFields)
{
    albums_.Store(SampleAlbum(), -1);
    TAlbumInfo second;
    second.SetTitle("Second");
    albums_.Store(second, -1);
    TAlbumExportOptions options;
    options.file = folder_ + "/albums.csv";
    options.header = false;
    options.allAlbums = true;
    int steps = 0;
    ExportAlbumsCsv(albums_, 0, options, [&](int, int total) {
        EXPECT_EQ(total, 2);
        return ++steps > 0;
    });
    EXPECT_EQ(steps, 2);

    const QByteArray json = test::RunProgram(
        "/usr/bin/python3", {"-c",
                             "import csv, json, sys\n"
                             "with open(sys.argv[1], newline='', encoding='cp932') as f:\n"
                             "    print(json.dumps(list(csv.reader(f))))\n",
                             options.file});
    const QJsonArray rows = QJsonDocument::fromJson(json).array();
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0].toArray()[1].toString(), QStringLiteral("盤, \"best\""));
    EXPECT_EQ(rows[2].toArray()[1].toString(), QStringLiteral("He said \"a,b\""));
    EXPECT_EQ(rows[3].toArray()[1].toString(), "Two\r\nlines");
    EXPECT_EQ(rows[3].toArray().size(), 5);
    EXPECT_EQ(rows[4].toArray()[0].toString(), QStringLiteral("アルバム"));
    EXPECT_EQ(rows[4].toArray()[1].toString(), "Second");

    // Imported with every column mapped, the same albums come back.
    TAlbumCsvFile file;
    file.Load(options.file);
    std::vector<TAlbumInfo> read = AlbumsFromCsv(file, Identity());
    ASSERT_EQ(read.size(), 2u);
    EXPECT_TRUE(read[0].SameAs(SampleAlbum())) << QJsonDocument(ObjectToJson(read[0])).toJson().toStdString();
    EXPECT_TRUE(read[1].SameAs(second));

    // A header line is a track like any other: before the album line it fills an album of its own.
    options.header = true;
    options.allAlbums = false;
    ExportAlbumsCsv(albums_, 0, options);
    file.Load(options.file);
    read = AlbumsFromCsv(file, Identity());
    ASSERT_EQ(read.size(), 2u);
    ASSERT_EQ(read[0].TrackCount(), 1);
    EXPECT_EQ(read[0].Track(0).Title(), QStringLiteral("タイトル"));
    EXPECT_TRUE(read[1].SameAs(SampleAlbum()));
}

TEST_F(AlbumCsv, ShortAndBlankLinesGiveEmptyFields)
{
    TAlbumCsvFile file;
    file.LoadFromBytes(ToCp932(QStringLiteral("1,First,1:00,P,D\r\nアルバム,新しい,x,歌手\r\n2,Only\r\n\r\n3,x,2:00,y,z,extra,\r\n")));
    TAlbumCsvMapping mapping = Identity();
    mapping.column[acAlbum] = 7;  // a column no line has
    const std::vector<TAlbumInfo> albums = AlbumsFromCsv(file, mapping);
    ASSERT_EQ(albums.size(), 2u);
    EXPECT_EQ(albums[0].Track(0).Title(), "First");
    EXPECT_EQ(albums[0].Track(0).Album(), "");
    EXPECT_EQ(albums[1].Title(), QStringLiteral("新しい"));
    EXPECT_EQ(albums[1].Artist(), QStringLiteral("歌手"));
    ASSERT_EQ(albums[1].TrackCount(), 3);
    EXPECT_EQ(albums[1].Track(0).Title(), "Only");
    EXPECT_EQ(albums[1].Track(0).Time(), "");
    EXPECT_EQ(albums[1].Track(1).Title(), "");
    EXPECT_EQ(albums[1].Track(2).Artist(), "y");

    // Only the title mapped, from a UTF-8 file with a byte-order mark: one album of all lines.
    TAlbumCsvFile utf8;
    utf8.LoadFromBytes(QStringLiteral("\uFEFF曲名,x\nアルバム,y\n").toUtf8());
    TAlbumCsvMapping titleOnly;
    titleOnly.column[acTitle] = 0;
    const std::vector<TAlbumInfo> one = AlbumsFromCsv(utf8, titleOnly);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].TrackCount(), 2);
    EXPECT_EQ(one[0].Track(0).Title(), QStringLiteral("曲名"));
    EXPECT_EQ(one[0].Track(1).Title(), QStringLiteral("アルバム"));

    EXPECT_EQ(ImportAlbumsCsv(albums_, file, mapping), 2);
    EXPECT_EQ(albums_.Count(), 2);
}

TEST_F(AlbumCsv, FilesThatCannotBeWrittenOrReadAreReported)
{
    albums_.Store(SampleAlbum(), -1);
    TAlbumExportOptions options;
    options.file = folder_ + "/missing/folder/out.csv";
    try {
        ExportAlbumsCsv(albums_, 0, options);
        FAIL() << "no error";
    } catch (const EKestrel& e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("ファイルの作成に失敗しました"))) << e.Message().toStdString();
    }
    TAlbumCsvFile file;
    EXPECT_THROW(file.Load(folder_ + "/none.csv"), EKestrel);
    EXPECT_THROW(file.Load(folder_), EKestrel);
}

}  // namespace
}  // namespace kestrel
