#include "paper/CatalogueSource.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <set>

#include "app/XMLIniFile.h"
#include "paper/CatalogueJson.h"
#include "paper/PapersV2.h"
#include "platform/Error.h"
#include "platform/SystemErrorText.h"

namespace kestrel {

namespace {

[[noreturn]] void Fail(const QString& detail)
{
    throw EReadError(QStringLiteral("用紙カタログの元データが不正です: %1").arg(detail));
}

QJsonArray RequiredArray(const QJsonObject& root, const QString& key)
{
    const QJsonValue value = root.value(key);
    if (!value.isArray()) Fail(QStringLiteral("「%1」の配列がありません").arg(key));
    return value.toArray();
}

QStringList TextList(const QJsonObject& root, const QString& key)
{
    QStringList lines;
    for (const QJsonValue& v : RequiredArray(root, key)) {
        if (!v.isString()) Fail(QStringLiteral("「%1」には文字列だけを書いてください").arg(key));
        lines << v.toString();
    }
    return lines;
}

TPurposeList ReadPurposes(const QJsonObject& root, const TJsonComponentCodec& codec)
{
    const QJsonObject streamer{{"class", "TPLStreamer"},
                               {"properties", QJsonObject{{"List", RequiredArray(root, "purposes")}}}};
    auto read = codec.FromJson(streamer, QStringLiteral("purposes"));
    return static_cast<TPLStreamer&>(*read).ListRef();
}

void CheckFaces(const TPaperInfo& paper, const TCatalogueSource& source)
{
    if (paper.GetFaceCount() < 1) Fail(QStringLiteral("ラベルがありません"));
    for (int i = 0; i < paper.GetFaceCount(); ++i) {
        const int purpose = source.purposes.LastIndexOf(paper.GetFacePurpose(i));
        if (purpose < 0) Fail(QStringLiteral("ラベル%1 の用途「%2」は用途一覧にありません").arg(i + 1).arg(paper.GetFacePurpose(i)));
        const TFaceShapes allowed = source.purposes.Item(purpose).ShapeMask();
        if (!paper.GetFacePurpose(i).isEmpty() && !allowed.Contains(paper.GetFaceShape(i)))
            Fail(QStringLiteral("ラベル%1 の形状は用途「%2」に使えません").arg(i + 1).arg(paper.GetFacePurpose(i)));
    }
    if (const int face = paper.FirstFaceOutsidePaper(); face >= 0)
        Fail(QStringLiteral("ラベル%1 が用紙からはみ出しています").arg(face + 1));
    if (const int face = paper.FirstOverlappingFace(); face >= 0)
        Fail(QStringLiteral("ラベル%1 が他のラベルと重なっています").arg(face + 1));
}

std::unique_ptr<TPaperInfo> ReadPaper(const QJsonValue& value, const TJsonComponentCodec& codec,
                                      const TCatalogueSource& source)
{
    if (!value.isObject()) Fail(QStringLiteral("用紙はオブジェクトで書いてください"));
    std::unique_ptr<TComponent> component = codec.FromJson(value);
    auto* paper = dynamic_cast<TPaperInfo*>(component.get());
    if (!paper) Fail(QStringLiteral("クラス「%1」は用紙ではありません").arg(QString::fromLatin1(component->ClassName())));
    component.release();
    std::unique_ptr<TPaperInfo> owned(paper);
    if (owned->PaperName().isEmpty()) Fail(QStringLiteral("用紙名がありません"));
    if (!source.groups.contains(owned->GroupName()))
        Fail(QStringLiteral("グループ「%1」はグループ一覧にありません").arg(owned->GroupName()));
    // A catalogue holds every paper upright; turning it is the document's choice.
    if (owned->Landscape()) Fail(QStringLiteral("横向きの用紙はカタログに入れられません(縦置きで書いてください)"));
    owned->SetReadOnly(true);
    owned->CheckLayout();
    CheckFaces(*owned, source);
    return owned;
}

const QStringList GlobalInfoNames{"SearchExtKeyInfo", "GenreInfo",     "V1ToV2PaperInfo", "V2ToV3PaperInfo",
                                   "V2ToV3GroupInfo",  "DirectPrinter", "PrinterSetting"};

QStringList GlobalInfoLines(const QString& name, const QJsonValue& value, const TSourceFileReader& readFile)
{
    if (value.isArray()) return TextList(QJsonObject{{name, value}}, name);
    if (!value.isString() || !readFile)
        Fail(QStringLiteral("「%1」には文字列の配列かファイル名を書いてください").arg(name));
    QString text = QString::fromUtf8(readFile(value.toString()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

void CheckGlobalInfo(const QString& name, const QStringList& lines, const QStringList& groups)
{
    if (name == u"GenreInfo") {
        for (const QString& line : lines) {
            const QString group = line.section(u'=', 0, 0);
            if (!line.contains(u'=') || !groups.contains(group))
                Fail(QStringLiteral("「GenreInfo」の「%1」は「グループ名=ジャンル」ではありません").arg(line));
        }
    } else if (name == u"DirectPrinter") {
        TXMLIniFile printers;
        try {
            printers.LoadFromText(lines.join(u'\n'));
        } catch (const EKestrel& e) {
            Fail(QStringLiteral("「DirectPrinter」: %1").arg(e.Message()));
        }
        if (!printers.SectionExists(QStringLiteral("DirectPrinterInfo")))
            Fail(QStringLiteral("「DirectPrinter」に DirectPrinterInfo がありません"));
    }
}

std::map<QString, QStringList> ReadGlobalInfo(const QJsonObject& root, const QStringList& groups,
                                              const TSourceFileReader& readFile)
{
    std::map<QString, QStringList> blocks;
    const QJsonValue value = root.value("globalInfo");
    if (value.isUndefined()) return blocks;
    if (!value.isObject()) Fail(QStringLiteral("「globalInfo」はオブジェクトで書いてください"));
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!GlobalInfoNames.contains(it.key())) Fail(QStringLiteral("「globalInfo」の「%1」は使えません").arg(it.key()));
        QStringList lines = GlobalInfoLines(it.key(), it.value(), readFile);
        CheckGlobalInfo(it.key(), lines, groups);
        blocks.emplace(it.key(), std::move(lines));
    }
    return blocks;
}

}  // namespace

TCatalogueSource LoadCatalogueSource(const QByteArray& json, const TSourceFileReader& readFile)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        Fail(JsonSyntaxErrorText(error));
    if (!document.isObject()) Fail(QStringLiteral("全体をオブジェクトで書いてください"));
    const QJsonObject root = document.object();
    const TJsonComponentCodec codec = CatalogueJsonCodec();

    TCatalogueSource source;
    const QJsonValue version = root.value("version");
    if (!version.isDouble() || version.toDouble() != version.toInt() || version.toInt() < 0)
        Fail(QStringLiteral("「version」には 0 以上の整数を書いてください"));
    source.pprNo = version.toInt();
    source.groups = TextList(root, "groups");
    source.companies = TextList(root, "makers");
    source.purposes = ReadPurposes(root, codec);
    source.globalInfo = ReadGlobalInfo(root, source.groups, readFile);

    std::set<QString> names;
    const QJsonArray papers = RequiredArray(root, "papers");
    for (int i = 0; i < papers.size(); ++i) {
        const QString label = papers[i].toObject().value("properties").toObject().value("PaperName").toString();
        try {
            source.papers.push_back(ReadPaper(papers[i], codec, source));
        } catch (const EKestrel& e) {
            throw EReadError(QStringLiteral("%1 番目の用紙「%2」: %3").arg(i + 1).arg(label, e.Message()));
        }
        if (!names.insert(label).second) Fail(QStringLiteral("用紙名「%1」が重複しています").arg(label));
    }
    return source;
}

void BuildCatalogue(const TCatalogueSource& source, TPapersV2& catalogue)
{
    catalogue.SetPurposes(source.purposes);
    for (const auto& paper : source.papers) catalogue.Store(*paper);
    TPaperUpdate update;
    update.SetPPRNo(source.pprNo);
    catalogue.SetUpdateInfo(update);
    catalogue.GroupList().SetLines(source.groups);
    catalogue.CompanyList().SetLines(source.companies);
    for (const auto& [name, lines] : source.globalInfo) catalogue.WriteGlobalInfo(name, lines);
}

}  // namespace kestrel
