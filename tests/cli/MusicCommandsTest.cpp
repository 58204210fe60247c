// kestrel-cli tags, albums and music, run as the program.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

#include "CliRun.h"
#include "support/CfbTestSupport.h"
#include "support/SyntheticAudio.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

using test::RunCli;

const QString Fixtures = QStringLiteral(KESTREL_TEST_SOURCE_DIR "/music/fixtures");
const QString Examples = QStringLiteral(KESTREL_TEST_SOURCE_DIR "/../examples");

QJsonArray Tracks(const QJsonObject& album)
{
    return album.value("properties").toObject().value("Tracks").toArray();
}

// Twelve tracks in a folder, named so that the file system's order is not the album's.
QString TwelveTracks()
{
    const QString folder = test::TestFolder() + QStringLiteral("/アーティスト「十二曲」");
    QDir().mkpath(folder);
    for (int i = 12; i >= 1; --i)
        test::WriteFileBytes(QStringLiteral("%1/track%2.mp3").arg(folder).arg(i),
                             test::SyntheticMp3({QStringLiteral("%1 曲%1").arg(i), "", "", 60 + i, {}}));
    return folder;
}

TEST(MusicCommands, TagsPrintTheAlbumAFolderOrPlaylistMakes)
{
    const test::TCliRun run = RunCli({"tags", TwelveTracks()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonObject album = QJsonDocument::fromJson(run.out.toUtf8()).object();
    EXPECT_EQ(album.value("class").toString(), "TAlbumInfo");
    EXPECT_EQ(album.value("properties").toObject().value("Title").toString(), QStringLiteral("十二曲"));
    const QJsonArray tracks = Tracks(album);
    ASSERT_EQ(tracks.size(), 12);
    EXPECT_EQ(tracks[1].toObject().value("Title").toString(), QStringLiteral("2 曲2"));
    EXPECT_EQ(tracks[11].toObject().value("Time").toString(), "1:12");

    const test::TCliRun asx = RunCli({"tags", Fixtures + "/list.asx"});
    ASSERT_EQ(asx.exitCode, 0) << asx.err.toStdString();
    const QJsonObject listed = QJsonDocument::fromJson(asx.out.toUtf8()).object();
    EXPECT_EQ(Tracks(listed)[0].toObject().value("Time").toString(), "3:05");

    const test::TCliRun nothing = RunCli({"tags", Fixtures + "/fixtures.json"});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_TRUE(nothing.err.contains(QStringLiteral("音楽ファイルかプレイリストがありません"))) << nothing.err.toStdString();
    EXPECT_EQ(RunCli({"tags"}).exitCode, 2);
}

TEST(MusicCommands, AlbumsListExportAndImport)
{
    const QString db = test::TestFolder() + "/Albums.dat";
    const QString csv = test::TestFolder() + "/in.csv";
    test::WriteFileBytes(csv, "1,One,3:00,P,D\r\nアルバム,Second,,Band\r\n1,Two\r\n");
    const test::TCliRun imported = RunCli({"albums", "--db", db, "import", csv});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.contains(QStringLiteral("2 件"))) << imported.out.toStdString();

    const test::TCliRun listed = RunCli({"albums", "--db", db, "list"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    EXPECT_EQ(listed.out, QStringLiteral("1\t\t\t1曲\n2\tSecond\tBand\t1曲\n"));

    const QString out = test::TestFolder() + "/out.csv";
    ASSERT_EQ(RunCli({"albums", "--db", db, "export", out}).exitCode, 0);
    EXPECT_TRUE(test::ReadFileBytes(out).contains("\r\n1,Two,,,\r\n"));

    // Titles only, from the second column.
    const test::TCliRun mapped = RunCli({"albums", "--db", db, "import", csv, "--columns", "0,2,0,0,0"});
    ASSERT_EQ(mapped.exitCode, 0) << mapped.err.toStdString();
    EXPECT_TRUE(RunCli({"albums", "--db", db, "list"}).out.endsWith(QStringLiteral("3\t\t\t3曲\n")));

    EXPECT_EQ(RunCli({"albums", "--db", db, "import", csv, "--columns", "1,2"}).exitCode, 2);
    EXPECT_EQ(RunCli({"albums", "--db", db, "remove"}).exitCode, 2);
    EXPECT_EQ(RunCli({"albums", "--db", db, "import", test::TestFolder() + "/none.csv"}).exitCode, 1);
}

// The jacket example's track list is filled from a folder of twelve tracks; the document shows
// them in order and still renders.
TEST(MusicCommands, MusicWritesTheTrackLinesIntoAText)
{
    const QString jacket = test::TestFolder() + "/jacket.mld";
    ASSERT_EQ(RunCli({"compose", Examples + "/jacket.json", jacket}).exitCode, 0);
    const QString filled = test::TestFolder() + "/filled.mld";
    const test::TCliRun run = RunCli({"music", jacket, "--folder", TwelveTracks(), "--lines", "--text", "2", "--out", filled});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    const test::TCliRun dump = RunCli({"dump", filled});
    ASSERT_EQ(dump.exitCode, 0) << dump.err.toStdString();
    const QJsonArray objects = QJsonDocument::fromJson(dump.out.toUtf8())
                                   .object().value("sheets").toArray()[0].toObject()
                                   .value("faces").toArray()[0].toObject().value("objects").toArray();
    ASSERT_EQ(objects.size(), 2);
    const auto text = [&](int i) { return objects[i].toObject().value("properties").toObject().value("Text").toArray(); };
    EXPECT_EQ(text(0), QJsonArray{QStringLiteral("夜明けの歌")});
    const QJsonArray lines = text(1);
    ASSERT_EQ(lines.size(), 14);
    EXPECT_EQ(lines[0].toString(), QStringLiteral("十二曲"));
    EXPECT_EQ(lines[1].toString(), QStringLiteral("アーティスト"));
    EXPECT_EQ(lines[2].toString(), QStringLiteral("1.1 曲1 1:01  "));
    EXPECT_EQ(lines[13].toString(), QStringLiteral("12.12 曲12 1:12  "));

    const QString picture = test::TestFolder() + "/filled.png";
    ASSERT_EQ(RunCli({"render", filled, "--face", "1", "--dpi", "40", "--out", picture}).exitCode, 0);
    EXPECT_FALSE(QImage(picture).isNull());
}

// A shipped inlay template's wizard texts "曲名1"～"曲名12" take the twelve titles in order; the
// texts are still wizard texts afterwards, and the filled inlay renders.
TEST(MusicCommands, MusicFillsAShippedTemplatesInputItems)
{
    const QString inlay = test::TestFolder() + "/inlay.mld";
    const test::TCliRun made = RunCli({"new", "--template", "S004", inlay, "--force"});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    const QString filled = test::TestFolder() + "/inlay-filled.mld";
    const test::TCliRun run = RunCli({"music", inlay, "--folder", TwelveTracks(), "--out", filled});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    const test::TCliRun dump = RunCli({"dump", filled});
    ASSERT_EQ(dump.exitCode, 0) << dump.err.toStdString();
    QMap<QString, QString> shown;  // wizard caption -> first line
    for (const QJsonValue face : QJsonDocument::fromJson(dump.out.toUtf8()).object().value("sheets").toArray()[0].toObject().value("faces").toArray())
        for (const QJsonValue object : face.toObject().value("objects").toArray()) {
            const QJsonObject properties = object.toObject().value("properties").toObject();
            if (properties.value("wizInputEnable").toBool())
                shown[properties.value("wizInputCaption").toString()] = properties.value("Text").toArray().first().toString();
        }
    for (int n = 1; n <= 12; ++n)
        EXPECT_EQ(shown.value(QStringLiteral("曲名%1").arg(n)), QStringLiteral("%1 曲%1").arg(n)) << n;
    EXPECT_EQ(shown.value(QStringLiteral("タイトル")), QStringLiteral("十二曲"));

    const QString picture = test::TestFolder() + "/inlay.png";
    const test::TCliRun render = RunCli({"render", filled, "--face", "2", "--dpi", "40", "--out", picture});
    ASSERT_EQ(render.exitCode, 0) << render.err.toStdString();
    EXPECT_FALSE(QImage(picture).isNull());
}

TEST(MusicCommands, MusicRefusesWhatItCannotDo)
{
    const QString jacket = test::TestFolder() + "/jacket.mld";
    ASSERT_EQ(RunCli({"compose", Examples + "/jacket.json", jacket}).exitCode, 0);
    const QString out = test::TestFolder() + "/out.mld";
    const test::TCliRun noItems = RunCli({"music", jacket, "--playlist", Fixtures + "/cp932.m3u", "--out", out});
    EXPECT_EQ(noItems.exitCode, 1);
    EXPECT_TRUE(noItems.err.contains(QStringLiteral("面に入力項目がありません"))) << noItems.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));

    const test::TCliRun noText = RunCli({"music", jacket, "--playlist", Fixtures + "/cp932.m3u", "--lines", "--text", "5", "--out", out});
    EXPECT_EQ(noText.exitCode, 1);
    EXPECT_TRUE(noText.err.contains(QStringLiteral("5 番目の文字オブジェクトがありません"))) << noText.err.toStdString();

    const test::TCliRun noAlbum = RunCli({"music", jacket, "--album", "3", "--db", test::TestFolder() + "/Albums.dat", "--out", out});
    EXPECT_EQ(noAlbum.exitCode, 1);
    EXPECT_TRUE(noAlbum.err.contains(QStringLiteral("アルバム番号"))) << noAlbum.err.toStdString();

    EXPECT_EQ(RunCli({"music", jacket, "--folder", "a", "--playlist", "b", "--out", out}).exitCode, 2);
    EXPECT_EQ(RunCli({"music", jacket, "--folder", "a"}).exitCode, 2);
}

}  // namespace
}  // namespace kestrel
