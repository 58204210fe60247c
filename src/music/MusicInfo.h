#pragma once

// Music read from audio files or a playlist, on its way into an album.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "platform/Error.h"

namespace kestrel {

class TAlbumInfo;

struct TMusicRecord {
    QString album;
    QString title;
    QString artist;
    int seconds = 0;  // <= 0: unknown
};

struct TMusicInfo {
    QString title;
    QString artist;
    std::vector<TMusicRecord> records;
};

// Tells how far a long reading has come (files done, files in all); answers false to stop.
using TMusicProgress = std::function<bool(int done, int total)>;

// The file names music is read from: audio files by their extension.
bool IsAudioFile(const QString& path);
// The audio files directly in folder, in the order the file system lists them.
QStringList AudioFilesIn(const QString& folder);

// A record from each file's tags, or from its name when the tags say nothing ("(Artist)Title",
// unless noNameParsing); sorted; the album title and artist are what all records share, else
// what folderName says ("Artist「Album」"), else the first record's.
TMusicInfo ReadMusicFiles(const QStringList& files, const QString& folderName, bool noNameParsing,
                          const TMusicProgress& progress = {});
// The audio files of folder.
TMusicInfo ReadFolder(const QString& folder, bool noNameParsing, const TMusicProgress& progress = {});
// Fails with "プレイリストの読み込みに失敗したか、内容が正しくありません".
TMusicInfo ReadPlaylist(const QString& file);

// Track-number order first, then the locale's: records i and j (i < j) change places when both
// titles begin with digits and j's number is the smaller, or, unless both begin with digits,
// when i's title sorts after j's. The comparison is no strict weak order, so the pairs are
// exchanged one by one, each against every later one.
void SortMusicRecords(std::vector<TMusicRecord>& records);

// Title and artist set where the album has none; every record appended as a track.
void MusicToAlbum(const TMusicInfo& music, TAlbumInfo& album);
// "m:ss" of seconds; empty when unknown (<= 0).
QString TimeText(int seconds);

// Music from dropped or named paths: one playlist, one folder, or audio files (others are
// ignored). Fails when none of them holds music.
TMusicInfo ReadMusicPaths(const QStringList& paths, bool noNameParsing);
bool IsPlaylistFile(const QString& path);

}  // namespace kestrel
