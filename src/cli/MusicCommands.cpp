#include "cli/MusicCommands.h"

#include <QJsonDocument>
#include <optional>

#include "app/AppFrame.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "document/stream/JsonCodec.h"
#include "label/LabelData.h"
#include "music/AlbumCSV.h"
#include "music/Albums.h"
#include "music/LabelMusic.h"
#include "music/MusicInfo.h"
#include "paper/PaperInfo.h"

namespace kestrel {

namespace {

// The user's album database unless a file is named.
QString DatabaseFile(const QString& given)
{
    return given.isEmpty() ? ExpandMacro(QStringLiteral("$(UserPreferenceFolder)Albums.dat")) : given;
}

void OpenDatabase(TAlbums& albums, const QString& file, QTextStream& errors)
{
    albums.Open(file);
    for (const QString& skipped : albums.Skipped())
        errors << QStringLiteral("警告: 読めないアルバムを飛ばしました: %1\n").arg(skipped);
}

TAlbumCsvMapping ColumnsOption(const QString& option, const QString& value)
{
    const QStringList parts = value.split(u',');
    if (parts.size() != AlbumCsvColumnCount)
        throw EArgumentError(option, value, QStringLiteral("列の番号を5つ、カンマで区切って指定してください"));
    TAlbumCsvMapping mapping;
    for (int i = 0; i < AlbumCsvColumnCount; ++i) {
        const std::optional<int> column = NumberArgument(parts[i], 0, 1000);
        if (!column) throw EArgumentError(option, value, QStringLiteral("列の番号は0から1000までです"));
        mapping.column[size_t(i)] = *column - 1;
    }
    if (!mapping.Any()) throw EArgumentError(option, value, QStringLiteral("取る列が一つもありません"));
    return mapping;
}

int ListAlbums(const TAlbums& albums, QTextStream& out)
{
    for (int i = 0; i < albums.Count(); ++i) {
        const TAlbumInfo& album = albums.Album(i);
        out << QStringLiteral("%1\t%2\t%3\t%4曲\n").arg(i + 1).arg(album.Title(), album.Artist()).arg(album.TrackCount());
    }
    return 0;
}

struct TMusicSource {
    QString folder;
    QString playlist;
    std::optional<int> album;
    QString database;
};

TAlbumInfo AlbumOf(const TMusicSource& source, QTextStream& errors)
{
    TAlbumInfo album;
    if (source.album) {
        TAlbums albums;
        OpenDatabase(albums, DatabaseFile(source.database), errors);
        CheckedRange(QStringLiteral("--album"), *source.album, 1, albums.Count(), QStringLiteral("アルバム番号"));
        return albums.Album(*source.album - 1);
    }
    MusicToAlbum(source.folder.isEmpty() ? ReadPlaylist(source.playlist) : ReadFolder(source.folder, false), album);
    return album;
}

}  // namespace

int RunTagsCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    QStringList paths;
    bool noNameParsing = false;
    try {
        for (const QString& arg : arguments) {
            if (arg == u"--no-name-parsing")
                noNameParsing = true;
            else if (!arg.startsWith(u"--"))
                paths << arg;
            else
                ThrowUnexpectedArgument(arg);
        }
        if (paths.isEmpty())
            throw EArgumentError(QStringLiteral("ファイル"), {}, QStringLiteral("音楽ファイル、フォルダかプレイリストを指定してください"));
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("tags"));
    }
    try {
        TAlbumInfo album;
        MusicToAlbum(ReadMusicPaths(paths, noNameParsing), album);
        out << QString::fromUtf8(QJsonDocument(ObjectToJson(album)).toJson(QJsonDocument::Indented));
        return 0;
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
}

int RunAlbumsCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    QString database;
    QStringList words;
    std::optional<TAlbumCsvMapping> mapping;
    try {
        for (int i = 0; i < arguments.size(); ++i) {
            const QString& arg = arguments[i];
            if (arg == u"--db")
                database = OptionValue(arguments, i);
            else if (arg == u"--columns")
                mapping = ColumnsOption(arg, OptionValue(arguments, i));
            else if (!arg.startsWith(u"--") && words.size() < 2)
                words << arg;
            else
                ThrowUnexpectedArgument(arg);
        }
        const QString action = words.value(0);
        if (action != u"list" && action != u"export" && action != u"import")
            throw EArgumentError(QStringLiteral("操作"), action, QStringLiteral("list、export か import を指定してください"));
        if (action == u"list" ? words.size() != 1 : words.size() != 2)
            throw EArgumentError(action, {}, action == u"list" ? QStringLiteral("ファイルは要りません")
                                                                : QStringLiteral("CSV ファイルを指定してください"));
        if (mapping && action != u"import") ThrowUnexpectedArgument(QStringLiteral("--columns"));
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("albums"));
    }
    try {
        TAlbums albums;
        OpenDatabase(albums, DatabaseFile(database), errors);
        if (words[0] == u"list") return ListAlbums(albums, out);
        if (words[0] == u"export") {
            TAlbumExportOptions options;
            options.file = words[1];
            options.allAlbums = true;
            if (albums.Count() == 0) throw EKestrel(QStringLiteral("アルバムがありません"));
            ExportAlbumsCsv(albums, 0, options);
            out << QStringLiteral("%1 件のアルバムを「%2」に書き出しました\n").arg(albums.Count()).arg(words[1]);
            return 0;
        }
        TAlbumCsvFile file;
        file.Load(words[1]);
        TAlbumCsvMapping identity;
        identity.column = {0, 1, 2, 3, 4};
        const int imported = ImportAlbumsCsv(albums, file, mapping.value_or(identity));
        albums.Close();
        out << QStringLiteral("%1 件のアルバムを取り込みました\n").arg(imported);
        return 0;
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
}

int RunMusicCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    QString source;
    QString output;
    TMusicSource music;
    int sheet = 0;
    std::optional<int> face;
    bool lines = false;
    int text = 0;
    try {
        for (int i = 0; i < arguments.size(); ++i) {
            const QString& arg = arguments[i];
            if (arg == u"--folder")
                music.folder = OptionValue(arguments, i);
            else if (arg == u"--playlist")
                music.playlist = OptionValue(arguments, i);
            else if (arg == u"--album")
                music.album = RangedOption(arguments, i, 1, TAlbums::MaxAlbums, QStringLiteral("アルバム番号"));
            else if (arg == u"--db")
                music.database = OptionValue(arguments, i);
            else if (arg == u"--sheet")
                sheet = RangedOption(arguments, i, 1, kMaxSheets, QStringLiteral("シート番号")) - 1;
            else if (arg == u"--face")
                face = RangedOption(arguments, i, 1, MaxFreeFaceCount, QStringLiteral("面番号")) - 1;
            else if (arg == u"--lines")
                lines = true;
            else if (arg == u"--text")
                text = RangedOption(arguments, i, 1, TAlbums::MaxAlbums, QStringLiteral("文字オブジェクトの番号")) - 1;
            else if (arg == u"--out")
                output = OptionValue(arguments, i);
            else if (!arg.startsWith(u"--") && source.isEmpty())
                source = arg;
            else
                ThrowUnexpectedArgument(arg);
        }
        if (source.isEmpty()) throw EArgumentError(QStringLiteral("文書.mld"), {}, QStringLiteral("文書を指定してください"));
        if (int(!music.folder.isEmpty()) + int(!music.playlist.isEmpty()) + int(music.album.has_value()) != 1)
            throw EArgumentError(QStringLiteral("--folder"), {}, QStringLiteral("--folder、--playlist、--album のどれか一つを指定してください"));
        if (output.isEmpty()) throw EArgumentError(QStringLiteral("--out"), {}, QStringLiteral("書き出す文書を指定してください"));
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("music"));
    }
    TLabelData document;
    try {
        document.LoadFromFile(source);
    } catch (const std::exception& e) {
        return ReportUnreadable(source, e, errors);
    }
    try {
        CheckedRange(QStringLiteral("--sheet"), sheet + 1, 1, document.SheetCount(), QStringLiteral("シート番号"));
        document.SelectSheet(sheet);
        if (face) CheckedRange(QStringLiteral("--face"), *face + 1, 1, document.FaceCount(), QStringLiteral("面番号"));
        const TAlbumInfo album = AlbumOf(music, errors);
        if (lines) {
            WriteLinesToText(document, face.value_or(0), text, MusicLines(album));
            out << QStringLiteral("%1 曲を文字オブジェクトに書きました\n").arg(album.TrackCount());
        } else {
            const int items = FillDocumentInputItems(document, DesignedFaces(document, face), album);
            if (items == 0)
                throw EKestrel(album.TrackCount() == 0 ? QStringLiteral("アルバムに曲がありません")
                                                       : QStringLiteral("面に入力項目がありません"));
            out << QStringLiteral("%1 個の入力項目に %2 曲を入れました\n").arg(items).arg(album.TrackCount());
        }
        document.SaveToFile(output);
        return 0;
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
}

}  // namespace kestrel
