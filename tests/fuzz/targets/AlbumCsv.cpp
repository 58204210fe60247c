// Album CSV import: the bytes as a CSV file, every column mapped, the albums built and shown.
#include "fuzz/FuzzTarget.h"
#include "music/AlbumCSV.h"
#include "music/Albums.h"

KESTREL_FUZZ_TARGET(AlbumCsv)
{
    kestrel::TAlbumCsvFile file;
    file.LoadFromBytes(data.toByteArray());
    kestrel::TAlbumCsvMapping mapping;
    mapping.column = {0, 1, 2, 3, 4};
    const std::vector<kestrel::TAlbumInfo> albums = kestrel::AlbumsFromCsv(file, mapping);
    (void)kestrel::AlbumCsvLines(albums.back(), kestrel::TAlbumExportOptions());
}
