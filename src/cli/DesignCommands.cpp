#include "cli/DesignCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <map>

#include "app/AppFrame.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/PaperCommands.h"
#include "document/stream/JsonCodec.h"
#include "label/DocumentJson.h"
#include "label/LabelData.h"
#include "label/Templates.h"
#include "objects/BackgroundLibrary.h"
#include "paper/CatalogueStartup.h"
#include "platform/Cp932.h"
#include "platform/Error.h"
#include "platform/ReplacingFile.h"

namespace kestrel {

namespace {

void WriteCp932File(const QString& path, const QString& text)
{
    TReplacingFile out(path);
    if (!out.Open()) throw EKestrel(out.ErrorString());
    out.Device().write(ToCp932(text));
    if (!out.Commit()) throw EKestrel(out.ErrorString());
}

QJsonObject ReadJsonFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw EKestrel(QStringLiteral("「%1」を読み込めません").arg(path));
    return ParseJson(file.readAll()).toObject();
}

// The first designed face that has a purpose: the face the template is offered for.
std::pair<int, QString> OfferedFace(TLabelData& document)
{
    for (int f = 0; f < document.FaceCount(); ++f)
        if (document.HasFaceObjects(f) && !document.Face(f).purpose.isEmpty()) return {f, document.Face(f).purpose};
    return {0, QString()};
}

struct TBuiltTemplates {
    // purpose → genre folders in the order of the genre list
    std::map<QString, QStringList> genresByPurpose;
    // genre folder → lines "NAME,0,F=ID"
    std::map<QString, QStringList> ids;
};

QString GenreFile(const QJsonArray& genres, const TBuiltTemplates& built)
{
    QString text;
    for (const auto& [purpose, folders] : built.genresByPurpose) {
        QStringList dirs, names;
        for (const QJsonValue& genre : genres) {
            const QString dir = genre.toObject().value("dir").toString();
            if (!folders.contains(dir)) continue;
            dirs << dir;
            names << genre.toObject().value("name").toString();
        }
        text += QStringLiteral("[%1]\r\nDir=%2\r\nName=%3\r\n\r\n").arg(purpose, dirs.join(u','), names.join(u','));
    }
    return text;
}

QString IdFile(const TBuiltTemplates& built)
{
    QString text;
    for (const auto& [folder, lines] : built.ids)
        text += QStringLiteral("[Data\\Template\\%1]\r\n%2\r\n\r\n").arg(folder, lines.join(QStringLiteral("\r\n")));
    return text;
}

}  // namespace

int RunBuildTemplatesCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    if (arguments.size() != 2)
        return ReportError(errors, cli::CommandUsage("build-templates"));
    try {
        const QJsonObject source = ReadJsonFile(arguments[0]);
        const QDir root(QDir(arguments[1]).filePath(QStringLiteral("Data/Template")));
        TPaperCatalogue papers;
        OpenCatalogueForCommand(papers, {});
        TBuiltTemplates built;
        int count = 0;
        for (const QJsonValue& value : source.value("templates").toArray()) {
            const QJsonObject entry = value.toObject();
            const QString genre = entry.value("genre").toString();
            const QString name = entry.value("name").toString();
            const std::unique_ptr<TLabelData> document = DocumentFromJson(entry.value("scene"), papers.Catalogue());
            if (!QDir().mkpath(root.filePath(genre))) throw EKestrel(QStringLiteral("「%1」を作れません").arg(root.filePath(genre)));
            document->SaveToFile(root.filePath(genre + u'/' + name + QStringLiteral(".mld")));
            const auto [face, purpose] = OfferedFace(*document);
            QStringList& genres = built.genresByPurpose[purpose];
            if (!purpose.isEmpty() && !genres.contains(genre)) genres << genre;
            built.ids[genre] << QStringLiteral("%1,0,%2=%3").arg(name.toUpper()).arg(face).arg(entry.value("id").toString());
            ++count;
        }
        built.genresByPurpose.erase(QString());
        WriteCp932File(root.filePath(QStringLiteral("Template.dat")), GenreFile(source.value("genres").toArray(), built));
        WriteCp932File(root.filePath(QStringLiteral("Template.ids")), IdFile(built));
        out << QStringLiteral("テンプレート %1 件を「%2」に作りました\n").arg(count).arg(root.path());
        return 0;
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
}

int RunTemplatesCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    if (!arguments.isEmpty()) return ReportError(errors, cli::CommandUsage("templates"));
    if (!TTemplateGroup().Found()) return ReportError(errors, QStringLiteral("テンプレート集が見つかりません。"));
    const TIdIndex ids = TIdIndex::Load();
    out << QStringLiteral("用途\tジャンル\t名前\tシート,面\tID\t入力項目\n");
    for (const TShippedTemplate& shipped : ShippedTemplates()) {
        const TTemplateInfo& entry = shipped.entry;
        QStringList captions;
        try {
            captions = TemplateCaptions(LoadTemplateFace(entry));
        } catch (const EKestrel& e) {
            captions << e.Message();
        }
        out << QStringLiteral("%1\t%2\t%3\t%4,%5\t%6\t%7\n")
                   .arg(shipped.purpose, shipped.genre, QFileInfo(entry.fileName).completeBaseName())
                   .arg(entry.sheetIndex + 1)
                   .arg(entry.faceIndex + 1)
                   .arg(ids.IdOf(entry), captions.join(QStringLiteral(" / ")));
    }
    return 0;
}

int RunBackgroundsCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    if (!arguments.isEmpty()) return ReportError(errors, cli::CommandUsage("backgrounds"));
    const QString file = TAppFrame::FindDataFile(BackgroundGenreFile);
    const std::vector<TBackgroundGenre> genres = ReadBackgroundGenres(file);
    if (genres.empty()) return ReportError(errors, QStringLiteral("背景柄データが見つかりません。"));
    const TIdIndex ids = TIdIndex::Load(QStringLiteral("Data\\BackGrnd\\BackGrnd.ids"));
    out << QStringLiteral("ジャンル\tサブジャンル\tタイル\t画像\tID\n");
    for (const TBackgroundGenre& genre : genres)
        for (const TBackgroundFolder& folder : genre.Folders()) {
            for (const QString& path : BackgroundPictures(LocateBackgroundFolder(folder.folder))) {
                const QFileInfo picture(path);
                out << QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                           .arg(genre.caption, folder.caption, folder.tile ? QStringLiteral("する") : QStringLiteral("しない"),
                                picture.fileName(), ids.IdOf(path, picture.completeBaseName()));
            }
        }
    return 0;
}

}  // namespace kestrel
