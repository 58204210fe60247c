#pragma once

// Playlists: M3U and extended M3U (one path per line, "#EXTINF:" lines with the time and title)
// and ASX (one element per line). Text is UTF-8 when the bytes are UTF-8, code page 932
// otherwise.

#include <QByteArrayView>
#include <QString>
#include <vector>

namespace kestrel {

class TM3UFileInfo {
public:
    // More than any real playlist; the file is refused beyond it.
    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

    const QString& FileName() const { return fileName_; }
    void SetFileName(const QString& name) { fileName_ = name; }
    // Entries without a title of their own take it from the file's tags (off: they stay empty).
    void SetReadTags(bool read) { readTags_ = read; }

    // Reads FileName; true when at least one entry was read.
    bool Load();
    // The same from bytes at hand; relative paths are still taken from FileName's folder.
    bool Load(QByteArrayView bytes);

    int Count() const { return int(entries_.size()); }
    // Entries count from 1; outside, empty texts and 0.
    QString Path(int i) const;
    QString Title(int i) const;
    QString Artist(int i) const;
    QString Album(int i) const;
    int Duration(int i) const;
    // What an ASX playlist says of the whole list.
    const QString& AlbumTitle() const { return albumTitle_; }
    const QString& AlbumArtist() const { return albumArtist_; }

private:
    struct TEntry {
        QString path;
        QString title;
        QString duration;
        QString artist;
        QString album;
    };
    const TEntry* EntryAt(int i) const;
    void LoadAsx(const QStringList& lines);
    void LoadM3U(const QStringList& lines);
    void ReadAsxLine(const QString& line);
    // The pending M3U entry with a path becomes an entry; its title from the file's tags when
    // the list gave none.
    void CompleteM3UEntry(TEntry& pending);
    QString Resolved(const QString& path) const;

    QString fileName_;
    bool readTags_ = true;
    std::vector<TEntry> entries_;
    QString albumTitle_;
    QString albumArtist_;
};

}  // namespace kestrel
