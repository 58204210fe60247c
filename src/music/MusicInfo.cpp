#include "music/MusicInfo.h"

#include <QDir>
#include <QFileInfo>

#include "music/Albums.h"
#include "music/M3UFileInfo.h"
#include "music/Mp3FileInfo.h"

namespace kestrel {

namespace {

const QStringList& AudioExtensions()
{
    static const QStringList extensions = {"mp3", "mp2", "mp1", "mpa", "mpga", "rmp", "wav", "wave", "m4a", "aac",
                                           "flac", "ogg", "oga", "opus", "wma", "aif", "aiff", "ape"};
    return extensions;
}

const QStringList& PlaylistExtensions()
{
    static const QStringList extensions = {"m3u", "m3u8", "asx"};
    return extensions;
}

bool HasExtension(const QString& path, const QStringList& extensions)
{
    return extensions.contains(QFileInfo(path).suffix().toLower());
}

// "(Artist)Title" when the name is made so and parsing is on; otherwise the whole name.
TMusicRecord RecordFromName(const QString& file, bool noNameParsing)
{
    TMusicRecord record;
    const QString name = BaseNameWithoutExtension(file);
    const qsizetype close = name.indexOf(u')');
    if (!noNameParsing && name.startsWith(u'(') && close >= 2) {
        record.artist = name.mid(1, close - 1);
        record.title = name.mid(close + 1);
    } else {
        record.title = name;
    }
    return record;
}

TMusicRecord RecordOf(const QString& file, bool noNameParsing)
{
    TMP3FileInfo tags;
    tags.SetFileName(file);
    if (tags.Read() && (!tags.Album().isEmpty() || !tags.Title().isEmpty() || !tags.Artist().isEmpty() || tags.Seconds()))
        return {tags.Album(), tags.Title(), tags.Artist(), tags.Seconds()};
    return RecordFromName(file, noNameParsing);
}

// The value every record that has one agrees on; empty as soon as two differ.
QString SharedValue(const std::vector<TMusicRecord>& records, QString TMusicRecord::*field)
{
    QString shared;
    for (const TMusicRecord& record : records) {
        const QString& value = record.*field;
        if (value.isEmpty()) continue;
        if (shared.isEmpty())
            shared = value;
        else if (shared != value)
            return {};
    }
    return shared;
}

// The value of every record when all have the same one (empty included), else empty.
QString CommonValue(const std::vector<TMusicRecord>& records, QString TMusicRecord::*field)
{
    for (const TMusicRecord& record : records)
        if (record.*field != records.front().*field) return {};
    return records.empty() ? QString() : records.front().*field;
}

// "Artist「Album」" with the bracket after at least one character.
void TitleFromFolderName(const QString& folderName, TMusicInfo& music)
{
    const qsizetype open = folderName.indexOf(u'「');
    const qsizetype close = open < 0 ? -1 : folderName.indexOf(u'」', open + 1);
    if (open < 1 || close < 0) return;
    music.artist = folderName.left(open);
    music.title = folderName.mid(open + 1, close - open - 1);
}

// The number the title's leading digits make, as digits without leading zeros (so that any
// length compares).
QString LeadingNumber(const QString& title)
{
    qsizetype end = 0;
    while (end < title.size() && title[end] >= u'0' && title[end] <= u'9') ++end;
    qsizetype start = 0;
    while (start + 1 < end && title[start] == u'0') ++start;
    return title.mid(start, end - start);
}

bool BeginsWithDigit(const QString& title)
{
    return !title.isEmpty() && title[0] >= u'0' && title[0] <= u'9';
}

bool NumberLess(const QString& a, const QString& b)
{
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

bool ComesBefore(const QString& later, const QString& earlier)
{
    if (BeginsWithDigit(later) && BeginsWithDigit(earlier)) return NumberLess(LeadingNumber(later), LeadingNumber(earlier));
    return QString::localeAwareCompare(earlier, later) > 0;
}

}  // namespace

bool IsAudioFile(const QString& path)
{
    return HasExtension(path, AudioExtensions());
}

bool IsPlaylistFile(const QString& path)
{
    return HasExtension(path, PlaylistExtensions());
}

QStringList AudioFilesIn(const QString& folder)
{
    QStringList files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Unsorted))
        if (IsAudioFile(name)) files << dir.filePath(name);
    return files;
}

TMusicInfo ReadMusicFiles(const QStringList& files, const QString& folderName, bool noNameParsing,
                          const TMusicProgress& progress)
{
    TMusicInfo music;
    for (int i = 0; i < files.size(); ++i) {
        if (progress && !progress(i, int(files.size()))) break;
        music.records.push_back(RecordOf(files[i], noNameParsing));
    }
    SortMusicRecords(music.records);
    music.title = SharedValue(music.records, &TMusicRecord::album);
    music.artist = SharedValue(music.records, &TMusicRecord::artist);
    if (music.title.isEmpty() && music.artist.isEmpty() && !noNameParsing) TitleFromFolderName(folderName, music);
    if (music.title.isEmpty() && music.artist.isEmpty()) {
        for (const TMusicRecord& record : music.records) {
            if (record.album.isEmpty() && record.artist.isEmpty()) continue;
            music.title = record.album;
            music.artist = record.artist;
            break;
        }
    }
    return music;
}

TMusicInfo ReadFolder(const QString& folder, bool noNameParsing, const TMusicProgress& progress)
{
    return ReadMusicFiles(AudioFilesIn(folder), QDir(folder).dirName(), noNameParsing, progress);
}

TMusicInfo ReadPlaylist(const QString& file)
{
    TM3UFileInfo playlist;
    playlist.SetFileName(file);
    if (!playlist.Load()) throw EKestrel(QStringLiteral("プレイリストの読み込みに失敗したか、内容が正しくありません"));
    TMusicInfo music{playlist.AlbumTitle(), playlist.AlbumArtist(), {}};
    for (int i = 1; i <= playlist.Count(); ++i)
        music.records.push_back({playlist.Album(i), playlist.Title(i), playlist.Artist(i), playlist.Duration(i)});
    if (music.artist.isEmpty()) music.artist = CommonValue(music.records, &TMusicRecord::artist);
    if (music.title.isEmpty()) music.title = CommonValue(music.records, &TMusicRecord::album);
    return music;
}

void SortMusicRecords(std::vector<TMusicRecord>& records)
{
    for (size_t i = 0; i + 1 < records.size(); ++i)
        for (size_t j = i + 1; j < records.size(); ++j)
            if (ComesBefore(records[j].title, records[i].title)) std::swap(records[i], records[j]);
}

QString TimeText(int seconds)
{
    if (seconds <= 0) return {};
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void MusicToAlbum(const TMusicInfo& music, TAlbumInfo& album)
{
    if (album.Title().isEmpty()) album.SetTitle(music.title);
    if (album.Artist().isEmpty()) album.SetArtist(music.artist);
    for (const TMusicRecord& record : music.records) {
        TTrackInfo& track = album.Tracks().Add();
        track.SetTitle(record.title);
        track.SetArtist(record.artist);
        track.SetAlbum(record.album);
        track.SetTime(TimeText(record.seconds));
    }
}

TMusicInfo ReadMusicPaths(const QStringList& paths, bool noNameParsing)
{
    const QStringList playlists = [&] {
        QStringList found;
        for (const QString& path : paths)
            if (IsPlaylistFile(path) && QFileInfo(path).isFile()) found << path;
        return found;
    }();
    if (!playlists.isEmpty()) return ReadPlaylist(playlists.first());
    QStringList files;
    QString folderName;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            files << AudioFilesIn(path);
            if (folderName.isEmpty()) folderName = QDir(path).dirName();
        } else if (info.isFile() && IsAudioFile(path)) {
            files << path;
            if (folderName.isEmpty()) folderName = info.absoluteDir().dirName();
        }
    }
    if (files.isEmpty()) throw EKestrel(QStringLiteral("音楽ファイルかプレイリストがありません"));
    return ReadMusicFiles(files, folderName, noNameParsing);
}

}  // namespace kestrel
