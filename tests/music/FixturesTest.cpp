// The fixtures made by independent tools (fixtures/make_fixtures.py): our tags equal what
// exiftool reads from the same files, our times equal ffprobe's rounded down to whole seconds,
// and the playlists beside them read as written.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "music/M3UFileInfo.h"
#include "music/Mp3FileInfo.h"
#include "music/MusicInfo.h"
#include "platform/Cp932.h"
#include "support/CfbTestSupport.h"

namespace kestrel {
namespace {

QString FixtureFolder()
{
    return QStringLiteral(KESTREL_TEST_SOURCE_DIR "/music/fixtures");
}

QString Fixture(const QString& name)
{
    return FixtureFolder() + QLatin1Char('/') + name;
}

QJsonObject Manifest()
{
    QFile file(Fixture(QStringLiteral("fixtures.json")));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(file.readAll()).object();
}

// exiftool's reading of every file, by file name.
QHash<QString, QJsonObject> ExifToolTags(const QStringList& names)
{
    QStringList arguments{"-j", "-charset", "UTF8", "-Title", "-Artist", "-Album", "-Product", "-Genre"};
    for (const QString& name : names) arguments << Fixture(name);
    QHash<QString, QJsonObject> tags;
    for (const QJsonValue& entry : QJsonDocument::fromJson(test::RunProgram("exiftool", arguments)).array()) {
        const QJsonObject object = entry.toObject();
        tags.insert(QFileInfo(object.value("SourceFile").toString()).fileName(), object);
    }
    return tags;
}

struct TTexts {
    QString title, artist, album, genre;
};

// What the independent reader says, as the program can hold it (code page 932).
TTexts ReferenceTexts(const QJsonObject& exif)
{
    const auto text = [&](const char* key) { return FromCp932(ToCp932(exif.value(key).toVariant().toString())); };
    return {text("Title"), text("Artist"), exif.contains("Album") ? text("Album") : text("Product"), text("Genre")};
}

TEST(MusicFixtures, TagsEqualExifToolsAndTimesEqualFfprobes)
{
    const QJsonObject manifest = Manifest();
    ASSERT_GE(manifest.size(), 11);
    QStringList references;
    for (auto it = manifest.begin(); it != manifest.end(); ++it) {
        const QString from = it.value().toObject().value("tags_from").toString();
        references << (from.isEmpty() ? it.key() : from);
    }
    const QHash<QString, QJsonObject> exif = ExifToolTags(references);

    for (auto it = manifest.begin(); it != manifest.end(); ++it) {
        const QString name = it.key();
        const QJsonObject entry = it.value().toObject();
        SCOPED_TRACE(name.toStdString());
        TMP3FileInfo info;
        info.SetFileName(Fixture(name));
        ASSERT_TRUE(info.Read());

        const QString from = entry.value("tags_from").toString();
        TTexts expected = ReferenceTexts(exif.value(from.isEmpty() ? name : from));
        if (entry.contains("expected")) {
            const QJsonObject given = entry.value("expected").toObject();
            expected = {given.value("title").toString(), given.value("artist").toString(),
                        given.value("album").toString(), given.value("genre").toString()};
        }
        if (expected.title.isEmpty()) expected.title = BaseNameWithoutExtension(name);
        EXPECT_EQ(info.Title(), expected.title);
        EXPECT_EQ(info.Artist(), expected.artist);
        EXPECT_EQ(info.Album(), expected.album);
        EXPECT_EQ(info.Genre(), expected.genre);
        EXPECT_EQ(info.Seconds(), int(std::floor(entry.value("ffprobe").toDouble())));
    }
}

// The one genre where our list (the published spelling) and exiftool's disagree, read from the same file.
TEST(MusicFixtures, GenreSixtySevenKeepsThePublishedSpelling)
{
    const QJsonObject exif = ExifToolTags({"cp932_frames.mp3"}).value("cp932_frames.mp3");
    EXPECT_EQ(exif.value("Genre").toString(), "Psychedelic");
    TMP3FileInfo info;
    info.SetFileName(Fixture("cp932_frames.mp3"));
    ASSERT_TRUE(info.Read());
    EXPECT_EQ(info.Genre(), "Psychadelic");
}

TEST(MusicFixtures, PlaylistsResolveAgainstTheirFolderInEitherEncoding)
{
    for (const QString& name : {QStringLiteral("cp932.m3u"), QStringLiteral("utf8.m3u8")}) {
        SCOPED_TRACE(name.toStdString());
        TM3UFileInfo playlist;
        playlist.SetFileName(Fixture(name));
        ASSERT_TRUE(playlist.Load());
        ASSERT_EQ(playlist.Count(), 3);
        // The EXTINF title stands; the file is not read for it.
        EXPECT_EQ(playlist.Title(1), QStringLiteral("プレイリストの曲"));
        EXPECT_EQ(playlist.Duration(1), 185);
        // A bare path, relative to the playlist, is read for its tags.
        EXPECT_EQ(playlist.Title(2), QStringLiteral("日本語の題名"));
        EXPECT_EQ(playlist.Duration(2), 7);
        // An EXTINF line with an empty title has the file read too.
        EXPECT_EQ(playlist.Title(3), QStringLiteral("Wave Title"));
        EXPECT_EQ(playlist.Duration(3), 3);
        EXPECT_EQ(playlist.Path(2), Fixture("vbr_v24_utf8.mp3"));
        EXPECT_EQ(playlist.Title(0), "");
        EXPECT_EQ(playlist.Duration(4), 0);
    }
}

TEST(MusicFixtures, AnAsxPlaylistGivesTheAlbumAndItsEntries)
{
    const TMusicInfo music = ReadPlaylist(Fixture("list.asx"));
    EXPECT_EQ(music.title, QStringLiteral("ASXのアルバム"));
    EXPECT_EQ(music.artist, "ASX Artist");
    ASSERT_EQ(music.records.size(), 2u);
    EXPECT_EQ(music.records[0].title, "First & Best");
    EXPECT_EQ(music.records[0].artist, "Entry Artist");
    EXPECT_EQ(music.records[0].album, "Entry Album");
    EXPECT_EQ(music.records[0].seconds, 185);
    EXPECT_EQ(music.records[1].title, QStringLiteral("二曲目"));
    EXPECT_EQ(music.records[1].seconds, 3723);

    TM3UFileInfo playlist;
    playlist.SetFileName(Fixture("list.asx"));
    ASSERT_TRUE(playlist.Load());
    EXPECT_EQ(playlist.Path(2), Fixture("vbr_v24_utf8.mp3"));
}

}  // namespace
}  // namespace kestrel
