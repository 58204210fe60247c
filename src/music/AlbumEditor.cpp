#include "music/AlbumEditor.h"

#include "music/MusicInfo.h"
#include "text/CharConvert.h"

namespace kestrel {

bool ContainsKeyword(const QString& text, const QString& keyword, bool strict)
{
    return strict ? text.contains(keyword) : FoldForSearch(text).contains(FoldForSearch(keyword));
}

namespace {

std::optional<TAlbumMatch> MatchIn(const TAlbumInfo& album, int index, const QString& keyword, bool strict)
{
    if (ContainsKeyword(album.Title(), keyword, strict)) return TAlbumMatch{index, TAlbumMatch::Title, -1};
    if (ContainsKeyword(album.Artist(), keyword, strict)) return TAlbumMatch{index, TAlbumMatch::Artist, -1};
    for (int t = 0; t < album.TrackCount(); ++t) {
        const TTrackInfo& track = album.Track(t);
        for (const QString* text : {&track.Title(), &track.Artist(), &track.Album(), &track.Time()})
            if (ContainsKeyword(*text, keyword, strict)) return TAlbumMatch{index, TAlbumMatch::Track, t};
    }
    return std::nullopt;
}

}  // namespace

TAlbumEditor::TAlbumEditor(TAlbums& albums, TAlbumDialogMemory& memory) : albums_(albums), memory_(memory)
{
    EnsureOne();
    Load(memory_.currentPage);
}

QString TAlbumEditor::PageCaption() const
{
    return QStringLiteral("%1/%2").arg(Current() + 1).arg(Count());
}

void TAlbumEditor::EnsureOne()
{
    if (albums_.Count() == 0) albums_.Store(TAlbumInfo(), -1);
}

void TAlbumEditor::Load(int page)
{
    memory_.currentPage = std::clamp(page, 0, Count() - 1);
    working_ = albums_.Album(memory_.currentPage);
}

void TAlbumEditor::LeavePage()
{
    if (!working_.SameAs(albums_.Album(Current()))) albums_.Store(working_, Current());
}

void TAlbumEditor::Go(int page)
{
    LeavePage();
    Load(page);
}

void TAlbumEditor::InsertTrack(int row)
{
    working_.Tracks().Insert(std::clamp(row, 0, working_.TrackCount()));
}

void TAlbumEditor::DeleteTrack(int row)
{
    if (row >= 0 && row < working_.TrackCount()) working_.Tracks().Delete(row);
}

bool TAlbumEditor::MoveTrack(int row, int delta)
{
    const int other = row + delta;
    if (row < 0 || row >= working_.TrackCount() || other < 0 || other >= working_.TrackCount()) return false;
    working_.Tracks().Exchange(row, other);
    return true;
}

void TAlbumEditor::EnsureTrack(int row)
{
    while (working_.TrackCount() <= row) working_.Tracks().Add();
}

void TAlbumEditor::AddAlbum(TAddPosition position, bool copyCurrent)
{
    LeavePage();
    const TAlbumInfo added = copyCurrent ? working_ : TAlbumInfo();
    switch (position) {
        case TAddPosition::End:
            albums_.Store(added, -1);
            Load(Count() - 1);
            break;
        case TAddPosition::Current:
            albums_.InsertAt(added, Current());
            Load(Current());
            break;
        case TAddPosition::Top:
            albums_.InsertAt(added, 0);
            Load(0);
            break;
    }
}

void TAlbumEditor::DeleteCurrent()
{
    albums_.Delete(Current());
    EnsureOne();
    Load(Current());
}

void TAlbumEditor::DeleteAll()
{
    {
        TAlbumsUpdate update(albums_);
        for (int i = Count() - 1; i >= 0; --i) albums_.Delete(i);
        EnsureOne();
    }
    Load(0);
}

std::optional<TAlbumMatch> TAlbumEditor::Search(const QString& keyword, bool strict,
                                                const std::function<bool(int, int)>& progress)
{
    LeavePage();
    const int first = Current() + 1;
    for (int i = first; i < Count(); ++i) {
        if (progress && !progress(i - first, Count() - first)) break;
        if (auto match = MatchIn(albums_.Album(i), i, keyword, strict)) {
            Load(i);
            return match;
        }
    }
    return std::nullopt;
}

void TAlbumEditor::AddMusic(const TMusicInfo& music)
{
    MusicToAlbum(music, working_);
}

void TAlbumEditor::AppendAlbum(const TAlbumInfo& album)
{
    LeavePage();
    albums_.Store(album, -1);
    Load(Count() - 1);
}

void TAlbumEditor::Reload()
{
    EnsureOne();
    Load(0);
}

}  // namespace kestrel
