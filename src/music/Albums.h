#pragma once

// Albums and their tracks, and the user's album database: a compound file whose "Albums"
// storage holds one component stream per album, named "$" and eight hexadecimal digits of a
// sequence number; the names' order is the albums' order.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <exception>
#include <memory>
#include <set>
#include <vector>

#include "document/stream/Persistent.h"
#include "platform/Error.h"

namespace kestrel {

class TClassRegistry;
class TDocStorage;
class TFileStorage;

class TTrackInfo : public TCollectionItem {
    KESTREL_PERSISTENT()
public:
    const QString& Title() const { return title_; }
    void SetTitle(const QString& value) { title_ = value; }
    const QString& Artist() const { return artist_; }
    void SetArtist(const QString& value) { artist_ = value; }
    // The playing time as shown, normally "m:ss".
    const QString& Time() const { return time_; }
    void SetTime(const QString& value) { time_ = value; }
    const QString& Album() const { return album_; }
    void SetAlbum(const QString& value) { album_ = value; }

    bool SameAs(const TTrackInfo& other) const;

private:
    QString title_;
    QString artist_;
    QString time_;
    QString album_;
};

class TTracks : public TCollection {
    KESTREL_PERSISTENT()
public:
    TTracks();
    TTrackInfo& Item(int i) const { return static_cast<TTrackInfo&>(TCollection::Item(i)); }
    TTrackInfo& Add() { return static_cast<TTrackInfo&>(TCollection::Add()); }
    // A new track at index, a copy of source when given.
    TTrackInfo& Insert(int index, const TTrackInfo* source = nullptr);
};

class TAlbumInfo : public TComponent {
    KESTREL_PERSISTENT()
public:
    TAlbumInfo() = default;
    TAlbumInfo(const TAlbumInfo& other) : TComponent() { Assign(other); }
    TAlbumInfo& operator=(const TAlbumInfo& other)
    {
        Assign(other);
        return *this;
    }

    const QString& Title() const { return title_; }
    void SetTitle(const QString& value) { title_ = value; }
    const QString& Artist() const { return artist_; }
    void SetArtist(const QString& value) { artist_ = value; }
    int TrackCount() const { return tracks_.Count(); }
    TTracks& Tracks() { return tracks_; }
    const TTracks& Tracks() const { return tracks_; }
    TTrackInfo& Track(int i) const { return tracks_.Item(i); }

    // Empties title and artist and deletes every track.
    void Clear();
    // Title, artist and every track's four texts equal, exactly.
    bool SameAs(const TAlbumInfo& other) const;

private:
    TTracks* TracksHolder() { return &tracks_; }

    QString title_;
    QString artist_;
    TTracks tracks_;
};

// The album classes under their stream names.
void RegisterMusicClasses(TClassRegistry& registry);

// An album as the database stores it: one component stream.
QByteArray AlbumStreamBytes(const TAlbumInfo& album);
// Fails (EReadError) for a stream that holds anything but one album.
std::unique_ptr<TAlbumInfo> AlbumFromStreamBytes(QByteArrayView bytes);

class EAlbumsError : public EKestrel {
public:
    using EKestrel::EKestrel;
    const char* ClassName() const override { return "EAlbumsError"; }
};

// The album database. Every change is written to the file before the call returns (outside an
// update batch): an album is written under a temporary name and only then swapped in, and the
// file is replaced only once complete, so a failure never loses what was there.
class TAlbums {
public:
    // Far more albums than anyone keeps, few enough that a crafted file stays quick to open.
    static constexpr int MaxAlbums = 20000;

    TAlbums();
    ~TAlbums();
    TAlbums(const TAlbums&) = delete;
    TAlbums& operator=(const TAlbums&) = delete;

    // createNew: an empty database replaces any file there. Otherwise an existing file is
    // opened for reading and writing and a missing one created (with its folder). Album streams
    // that cannot be read are left in the file untouched and listed by Skipped.
    void Open(const QString& file, bool createNew = false);
    // Writes what is pending; raises when that fails.
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    const QString& FileName() const { return fileName_; }

    int Count() const { return int(entries_.size()); }
    const TAlbumInfo& Album(int index) const;
    // The stream name of album index ("$0000000a").
    QString Name(int index) const;
    // "name: reason" for every album stream Open could not read.
    const QStringList& Skipped() const { return skipped_; }

    void Delete(int index);
    // Outside 0..Count-1 the album is appended under the last number + 1; otherwise it
    // replaces album index under the same name.
    void Store(const TAlbumInfo& album, int index);
    // Moves the albums from index on one place back (renumbering from the top down) and
    // stores the album at index.
    void InsertAt(const TAlbumInfo& album, int index);

    // Changes between BeginUpdate and the matching EndUpdate reach the file once, at the end.
    void BeginUpdate() { ++updating_; }
    void EndUpdate();

    // "$%.8x" of a positive number; the number of such a name, or 0 for any other name.
    static QString StreamName(uint32_t number);
    static uint32_t StreamNumber(const QString& name);

private:
    struct TEntry {
        uint32_t number;
        std::unique_ptr<TAlbumInfo> album;
    };

    void CheckOpen() const;
    void CheckIndex(int index) const;
    void CheckRoom() const;
    void LoadEntries();
    // The lowest number above after that no unreadable stream holds.
    uint32_t FreeNumberAbove(uint32_t after) const;
    // The highest number at most atMost that no unreadable stream holds.
    uint32_t FreeNumberAtMost(uint32_t atMost) const;
    void WriteStream(uint32_t number, const TAlbumInfo& album);
    void Rename(uint32_t from, uint32_t to);
    void Changed();

    QString fileName_;
    std::unique_ptr<TFileStorage> file_;
    std::unique_ptr<TDocStorage> folder_;
    std::vector<TEntry> entries_;
    std::set<uint32_t> unreadable_;
    QStringList skipped_;
    int updating_ = 0;
};

// Groups changes into one write; nesting is allowed. Leaving the scope normally writes and
// raises when writing fails; leaving it by an error writes what was done and keeps that error.
class TAlbumsUpdate {
public:
    explicit TAlbumsUpdate(TAlbums& albums) : albums_(albums), errors_(std::uncaught_exceptions())
    {
        albums_.BeginUpdate();
    }
    ~TAlbumsUpdate() noexcept(false);
    TAlbumsUpdate(const TAlbumsUpdate&) = delete;
    TAlbumsUpdate& operator=(const TAlbumsUpdate&) = delete;

private:
    TAlbums& albums_;
    int errors_;
};

}  // namespace kestrel
