#pragma once

// Albums to and from CSV files (RFC 4180, code page 932): the chosen columns of every track,
// optionally under a header line and an album line ("アルバム" in the number column, the album's
// title and artist in theirs). Importing, the user maps file columns to album fields; a line
// whose number field reads "アルバム" starts a new album.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

#include "platform/CSVData.h"

namespace kestrel {

class TAlbumInfo;
class TAlbums;

// Album fields, as the files number their columns.
enum TAlbumCsvColumn { acNumber, acTitle, acTime, acArtist, acAlbum };
inline constexpr int AlbumCsvColumnCount = 5;

// "No.", "タイトル", "時間", "アーティスト", "アルバム".
QString AlbumCsvColumnCaption(int column);

struct TAlbumExportOptions {
    QString file;
    std::array<bool, AlbumCsvColumnCount> checked{true, true, true, true, true};
    bool header = true;
    bool albumLine = true;
    bool allAlbums = false;
    // Column identifiers in output order.
    std::array<int, AlbumCsvColumnCount> order{acNumber, acTitle, acTime, acArtist, acAlbum};
};

// One album's rows of fields, as the options say.
std::vector<QStringList> AlbumCsvRows(const TAlbumInfo& album, const TAlbumExportOptions& options);
// The rows as lines of the file (without line ends), for a preview.
QStringList AlbumCsvLines(const TAlbumInfo& album, const TAlbumExportOptions& options);

// Tells how far the work has come; answers false to stop.
using TCsvProgress = std::function<bool(int done, int total)>;

// Writes the album shown (current) or every album, replacing the file only once complete.
// Fails with "ファイルの作成に失敗しました" when the file cannot be written.
void ExportAlbumsCsv(const TAlbums& albums, int current, const TAlbumExportOptions& options,
                     const TCsvProgress& progress = {});

// The lines of a CSV file (UTF-8 or code page 932). Fails with "ファイルの読み込みに失敗しました".
class TAlbumCsvFile {
public:
    static constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

    void Load(const QString& file);
    void LoadFromBytes(const QByteArray& bytes);
    int RowCount() const { return table_.RowCount(); }
    // The fields of row index as text.
    QStringList Row(int index);

private:
    TCSVData table_;
};

// For each album field, the file column it is taken from (-1: none).
struct TAlbumCsvMapping {
    std::array<int, AlbumCsvColumnCount> column{-1, -1, -1, -1, -1};
    bool Any() const;
};

// The albums the rows make; a row shorter than a mapped column reads empty fields there.
std::vector<TAlbumInfo> AlbumsFromCsv(TAlbumCsvFile& file, const TAlbumCsvMapping& mapping,
                                      const TCsvProgress& progress = {});
// Appends them to the database (written once at the end); returns how many.
int ImportAlbumsCsv(TAlbums& albums, TAlbumCsvFile& file, const TAlbumCsvMapping& mapping,
                    const TCsvProgress& progress = {});

}  // namespace kestrel
