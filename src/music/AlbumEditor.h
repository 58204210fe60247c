#pragma once

// The album dialog's editing logic, apart from its widgets: one album page at a time edited in a
// working copy that reaches the database when the page is left, tracks inserted, deleted and
// moved, albums added and deleted, and the search through the albums after the current one.

#include <QString>
#include <functional>
#include <optional>

#include "music/AlbumCSV.h"
#include "music/AlbumLines.h"
#include "music/Albums.h"

namespace kestrel {

struct TMusicInfo;

enum class TAddPosition { End, Current, Top };

// What the album dialogs remember while the program runs; its owner (the main window) keeps it.
struct TAlbumDialogMemory {
    int currentPage = 0;
    TAddPosition addPosition = TAddPosition::End;
    bool copyCurrent = false;
    bool fuzzySearch = true;
    TAlbumLineOptions insertion;
    TAlbumExportOptions csvExport;
    QString replaceSearch;
    QString replaceWith;
    bool replaceStrict = false;
};

// Where a search found its keyword.
struct TAlbumMatch {
    enum TField { Title, Artist, Track };
    int album = -1;
    TField field = Title;
    int track = -1;
};

// Whether text holds keyword: as it stands when strict, otherwise after upper case, full-width
// and katakana on both sides.
bool ContainsKeyword(const QString& text, const QString& keyword, bool strict);

class TAlbumEditor {
public:
    // The database must be open; it gets one empty album when it has none.
    TAlbumEditor(TAlbums& albums, TAlbumDialogMemory& memory);

    TAlbums& Albums() const { return albums_; }
    int Count() const { return albums_.Count(); }
    int Current() const { return memory_.currentPage; }
    // "2/5".
    QString PageCaption() const;
    TAlbumInfo& Working() { return working_; }
    const TAlbumInfo& Working() const { return working_; }

    // Stores the working copy at the current index when it differs from the stored album.
    void LeavePage();
    // Leaves the page and shows page (clamped).
    void Go(int page);

    void InsertTrack(int row);
    void DeleteTrack(int row);
    // Exchanges the track with its neighbour (delta -1 or +1); false when there is none.
    bool MoveTrack(int row, int delta);
    // Appends empty tracks until row exists.
    void EnsureTrack(int row);

    void AddAlbum(TAddPosition position, bool copyCurrent);
    void DeleteCurrent();
    void DeleteAll();
    // Albums after the current one, in order; the one found becomes the current page.
    std::optional<TAlbumMatch> Search(const QString& keyword, bool strict,
                                      const std::function<bool(int done, int total)>& progress = {});

    // Tracks read from files or a playlist join the current album.
    void AddMusic(const TMusicInfo& music);
    // An album from elsewhere goes to the end and becomes the current page.
    void AppendAlbum(const TAlbumInfo& album);
    // After albums were imported: the first page again.
    void Reload();

private:
    void EnsureOne();
    void Load(int page);

    TAlbums& albums_;
    TAlbumDialogMemory& memory_;
    TAlbumInfo working_;
};

}  // namespace kestrel
