#include "music/AlbumCSV.h"

#include <QFile>
#include <QFileInfo>

#include "music/Albums.h"
#include "platform/Cp932.h"
#include "platform/Error.h"
#include "platform/ReplacingFile.h"

namespace kestrel {

namespace {

const QString kAlbumMark = QStringLiteral("アルバム");

QString HeaderCaption(int column)
{
    return column == acNumber ? QString() : AlbumCsvColumnCaption(column);
}

QString TrackValue(const TTrackInfo& track, int number, int column)
{
    switch (column) {
        case acNumber: return QString::number(number);
        case acTitle: return track.Title();
        case acTime: return track.Time();
        case acArtist: return track.Artist();
        default: return track.Album();
    }
}

QString AlbumLineValue(const TAlbumInfo& album, int column)
{
    switch (column) {
        case acNumber: return kAlbumMark;
        case acTitle: return album.Title();
        case acArtist: return album.Artist();
        default: return {};
    }
}

// The fields of the checked columns in the chosen order.
QStringList Row(const TAlbumExportOptions& options, const std::function<QString(int column)>& value)
{
    QStringList row;
    for (const int column : options.order)
        if (options.checked[size_t(column)]) row << value(column);
    return row;
}

QByteArray CsvLine(const QStringList& fields)
{
    QList<QByteArray> bytes;
    for (const QString& field : fields) bytes << ToCp932(field);
    return TCSVStringList(bytes).ToCSV(TCSVRules::Rfc4180);
}

bool Continue(const TCsvProgress& progress, int done, int total)
{
    return !progress || progress(done, total);
}

}  // namespace

QString AlbumCsvColumnCaption(int column)
{
    static const QStringList captions = {"No.", "タイトル", "時間", "アーティスト", "アルバム"};
    return captions.value(column);
}

std::vector<QStringList> AlbumCsvRows(const TAlbumInfo& album, const TAlbumExportOptions& options)
{
    std::vector<QStringList> rows;
    if (options.header) rows.push_back(Row(options, HeaderCaption));
    if (options.albumLine) rows.push_back(Row(options, [&](int column) { return AlbumLineValue(album, column); }));
    for (int i = 0; i < album.TrackCount(); ++i)
        rows.push_back(Row(options, [&](int column) { return TrackValue(album.Track(i), i + 1, column); }));
    return rows;
}

QStringList AlbumCsvLines(const TAlbumInfo& album, const TAlbumExportOptions& options)
{
    QStringList lines;
    for (const QStringList& row : AlbumCsvRows(album, options)) lines << FromCp932(CsvLine(row));
    return lines;
}

void ExportAlbumsCsv(const TAlbums& albums, int current, const TAlbumExportOptions& options, const TCsvProgress& progress)
{
    QByteArray bytes;
    const int first = options.allAlbums ? 0 : current;
    const int last = options.allAlbums ? albums.Count() - 1 : current;
    for (int i = first; i <= last; ++i) {
        if (!Continue(progress, i - first, last - first + 1)) throw EKestrel(QStringLiteral("中止しました"));
        for (const QStringList& row : AlbumCsvRows(albums.Album(i), options)) bytes += CsvLine(row) + "\r\n";
    }
    TReplacingFile file(options.file);
    if (!file.Open() || file.Device().write(bytes) != bytes.size() || !file.Commit())
        throw EKestrel(QStringLiteral("ファイルの作成に失敗しました\n%1").arg(file.ErrorString()));
}

void TAlbumCsvFile::Load(const QString& file)
{
    QFile in(file);
    const QFileInfo info(file);
    if (!info.isFile() || info.size() > MaxFileSize || !in.open(QIODevice::ReadOnly))
        throw EKestrel(QStringLiteral("ファイルの読み込みに失敗しました"));
    LoadFromBytes(in.read(MaxFileSize));
}

void TAlbumCsvFile::LoadFromBytes(const QByteArray& bytes)
{
    const bool utf8 = IsUtf8Text(bytes);
    table_.SetUtf8(utf8);
    table_.SetRules(TCSVRules::Rfc4180);
    table_.LoadFromBytes(utf8 && bytes.startsWith("\xEF\xBB\xBF") ? QByteArrayView(bytes).sliced(3) : QByteArrayView(bytes));
}

QStringList TAlbumCsvFile::Row(int index)
{
    QStringList fields;
    for (const QByteArray& field : table_.GetRow(index).Fields())
        fields << (table_.Utf8() ? QString::fromUtf8(field) : FromCp932(field));
    return fields;
}

bool TAlbumCsvMapping::Any() const
{
    return std::any_of(column.begin(), column.end(), [](int c) { return c >= 0; });
}

std::vector<TAlbumInfo> AlbumsFromCsv(TAlbumCsvFile& file, const TAlbumCsvMapping& mapping, const TCsvProgress& progress)
{
    std::vector<TAlbumInfo> albums(1);
    for (int r = 0; r < file.RowCount(); ++r) {
        if (!Continue(progress, r, file.RowCount())) break;
        const QStringList fields = file.Row(r);
        const auto field = [&](int albumField) { return fields.value(mapping.column[size_t(albumField)]); };
        if (mapping.column[acNumber] >= 0 && field(acNumber) == kAlbumMark) {
            if (r > 0) albums.emplace_back();
            albums.back().SetTitle(field(acTitle));
            albums.back().SetArtist(field(acArtist));
            continue;
        }
        TTrackInfo& track = albums.back().Tracks().Add();
        track.SetTitle(field(acTitle));
        track.SetTime(field(acTime));
        track.SetArtist(field(acArtist));
        track.SetAlbum(field(acAlbum));
    }
    return albums;
}

int ImportAlbumsCsv(TAlbums& albums, TAlbumCsvFile& file, const TAlbumCsvMapping& mapping, const TCsvProgress& progress)
{
    const std::vector<TAlbumInfo> read = AlbumsFromCsv(file, mapping, progress);
    TAlbumsUpdate update(albums);
    for (const TAlbumInfo& album : read) albums.Store(album, -1);
    return int(read.size());
}

}  // namespace kestrel
