// The album database: the bytes as "Albums.dat", opened, every album read, and an album inserted
// at the top and deleted again (renumbering around whatever streams could not be read).
#include "fuzz/FuzzTarget.h"
#include "music/Albums.h"

KESTREL_FUZZ_TARGET(Albums)
{
    const QString file = kestrel::fuzz::WriteInputFile(data, QStringLiteral(".dat"));
    kestrel::TAlbums albums;
    albums.Open(file);
    for (int i = 0; i < albums.Count(); ++i)
        for (int t = 0; t < albums.Album(i).TrackCount(); ++t) (void)albums.Album(i).Track(t).Title();
    kestrel::TAlbumsUpdate update(albums);
    albums.InsertAt(kestrel::TAlbumInfo(), 0);
    albums.Delete(0);
}
