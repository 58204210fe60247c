// Playlists: the bytes as an M3U or ASX file, every entry asked for (the files they name are not read).
#include "fuzz/FuzzTarget.h"
#include "music/M3UFileInfo.h"

KESTREL_FUZZ_TARGET(Playlist)
{
    kestrel::TM3UFileInfo playlist;
    playlist.SetReadTags(false);
    playlist.Load(data);
    for (int i = 1; i <= playlist.Count(); ++i) {
        (void)playlist.Path(i);
        (void)playlist.Duration(i);
    }
}
