#include "label/DocumentJson.h"

#include <QJsonArray>

#include "document/DOList.h"
#include "document/DrawObject.h"
#include "document/stream/ObjectStream.h"
#include "label/InformationFields.h"
#include "label/LabelData.h"
#include "label/SheetInfo.h"
#include "paper/PaperInfo.h"
#include "paper/PaperRecords.h"
#include "paper/PapersV2.h"
#include "paper/ProductInfo.h"

namespace kestrel {

namespace {

// The component and everything it owns.
int ComponentCount(TComponent& component)
{
    int count = 1;
    component.GetChildren([&count](TComponent& child) { count += ComponentCount(child); });
    return count;
}

const QString ExtraInfosBase = QStringLiteral("ExtraInfos");
const QString PaperImagesBase = QStringLiteral("PaperImages");

// The document's information records under "information", by these keys.
const struct {
    const char* key;
    TFieldType set;
} InformationKeys[] = {{"product", ftProduct}, {"creatorJapanese", ftCreatorJapanese}, {"creatorEnglish", ftCreatorEnglish}};

// ---------------------------------------------------------------- dump

// A record that holds nothing is left out.
void InsertRecord(QJsonObject& json, const QString& key, const TComponent& record)
{
    const QJsonObject object = ObjectToJson(record);
    if (object.size() > 1) json.insert(key, object);
}

QJsonObject PaperJson(const TLabelData& document)
{
    QJsonObject paper;
    if (const TPaperInfo* info = document.SheetPaper()) {
        paper.insert("name", info->PaperName());
        paper.insert("record", ObjectToJson(*info));
    }
    InsertRecord(paper, "extra", document.ExtraInfo());
    InsertRecord(paper, "images", document.ImageInfo());
    return paper;
}

QJsonObject FaceJson(TLabelData& document, int face)
{
    TDOList objects;
    document.LoadFaceObjects(face, objects);
    QJsonArray list;
    for (const TDrawObject* object : objects.Items()) list.append(ObjectToJson(*object));
    return QJsonObject{{"face", face + 1}, {"objects", list}};
}

QJsonObject SheetJson(TLabelData& document, std::optional<int> onlyFace)
{
    // Faces that share one design are stored once, as the first face.
    const int designFaces = document.SeparatelyDesign() ? document.FaceCount() : std::min(1, document.FaceCount());
    QJsonArray faces;
    for (int n = 0; n < designFaces; ++n)
        if (!onlyFace || *onlyFace == n) faces.append(FaceJson(document, n));
    return QJsonObject{{"paper", PaperJson(document)},
                       {"settings", PropertiesToJson(document.Settings())},
                       {"faces", faces}};
}

// ---------------------------------------------------------------- compose

QString Item(const QString& path, qsizetype index) { return QStringLiteral("%1[%2]").arg(path).arg(index); }

QJsonObject ObjectAt(const QJsonValue& value, const QString& path)
{
    if (!value.isObject()) throw EJsonError(path, QStringLiteral("オブジェクトではありません"));
    return value.toObject();
}

QJsonArray ArrayAt(const QJsonObject& object, const QString& key, const QString& path)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined()) return {};
    if (!value.isArray()) throw EJsonError(path + u'.' + key, QStringLiteral("配列ではありません"));
    return value.toArray();
}

void RefuseUnknownKeys(const QJsonObject& object, std::initializer_list<const char*> known, const QString& path)
{
    for (auto it = object.begin(); it != object.end(); ++it)
        if (std::none_of(known.begin(), known.end(), [&](const char* k) { return it.key() == QLatin1String(k); }))
            throw EJsonError(path + u'.' + it.key(), QStringLiteral("不明なキーです"));
}

template <class T>
std::unique_ptr<T> ComponentAs(const QJsonValue& json, const QString& path, const TJsonReadOptions& options,
                               const QString& what)
{
    std::unique_ptr<TComponent> component = ObjectFromJson(json, path, options);
    auto* typed = dynamic_cast<T*>(component.get());
    if (!typed) throw EJsonError(path + QStringLiteral(".class"), QStringLiteral("%1ではありません").arg(what));
    component.release();
    return std::unique_ptr<T>(typed);
}

class TSceneReader {
public:
    TSceneReader(const TPapersV2* catalogue, const TJsonReadOptions& options) : catalogue_(catalogue), options_(options) {}

    std::unique_ptr<TLabelData> Read(const QJsonValue& scene)
    {
        const QJsonObject root = ObjectAt(scene, {});
        RefuseUnknownKeys(root, {"sheets", "information"}, {});
        const QJsonArray sheets = ArrayAt(root, "sheets", QStringLiteral("sheets"));
        if (sheets.isEmpty()) throw EJsonError(QStringLiteral("sheets"), QStringLiteral("シートがありません"));
        auto document = std::make_unique<TLabelData>();
        for (qsizetype i = 0; i < sheets.size(); ++i) {
            if (i > 0) document->NewSheet();
            ReadSheet(ObjectAt(sheets[i], Item("sheets", i)), *document, Item("sheets", i));
        }
        document->SelectSheet(0);
        if (root.contains("information")) ReadInformation(ObjectAt(root.value("information"), "information"), *document);
        return document;
    }

private:
    // After the faces, so that the texts showing an item take it.
    void ReadInformation(const QJsonObject& information, TLabelData& document)
    {
        RefuseUnknownKeys(information, {"product", "creatorJapanese", "creatorEnglish"}, QStringLiteral("information"));
        for (const auto& [key, set] : InformationKeys) {
            if (!information.contains(key)) continue;
            const QString path = QStringLiteral("information.") + key;
            TProductInfo record = InformationRecord(document, set);
            PropertiesFromJson(information.value(key), record, path, options_);
            ChangeInformation(document, set, record);
        }
    }

    void ReadSheet(const QJsonObject& sheet, TLabelData& document, const QString& path)
    {
        RefuseUnknownKeys(sheet, {"paper", "settings", "faces"}, path);
        ReadPaper(ObjectAt(sheet.value("paper"), path + QStringLiteral(".paper")), document, path + QStringLiteral(".paper"));
        if (sheet.contains("settings"))
            PropertiesFromJson(sheet.value("settings"), document.Settings(), path + QStringLiteral(".settings"), options_);
        const QJsonArray faces = ArrayAt(sheet, "faces", path);
        for (qsizetype i = 0; i < faces.size(); ++i) ReadFace(ObjectAt(faces[i], Item(path + ".faces", i)), i, document, Item(path + ".faces", i));
    }

    void ReadPaper(const QJsonObject& paper, TLabelData& document, const QString& path)
    {
        RefuseUnknownKeys(paper, {"name", "record", "extra", "images"}, path);
        std::unique_ptr<TPaperInfo> record = paper.contains("record")
                                                 ? RecordPaper(paper.value("record"), path + QStringLiteral(".record"))
                                                 : CataloguePaper(paper.value("name"), path + QStringLiteral(".name"));
        document.SetPaper(*record);
        const QString name = record->PaperName();
        if (paper.contains("extra"))
            document.SetExtraInfo(ComponentAs<TExPaperInfo>(paper.value("extra"), path + ".extra", options_, "用紙の追加情報").get());
        else if (catalogue_)
            document.SetExtraInfo(dynamic_cast<const TExPaperInfo*>(catalogue_->GetExtra(ExtraInfosBase, name).get()));
        if (paper.contains("images"))
            document.SetImageInfo(ComponentAs<TImagePaperInfo>(paper.value("images"), path + ".images", options_, "用紙のイメージ情報").get());
        else if (catalogue_)
            document.SetImageInfo(dynamic_cast<const TImagePaperInfo*>(catalogue_->GetExtra(PaperImagesBase, name).get()));
    }

    std::unique_ptr<TPaperInfo> RecordPaper(const QJsonValue& json, const QString& path)
    {
        auto paper = ComponentAs<TPaperInfo>(json, path, options_, QStringLiteral("用紙"));
        try {
            paper->CheckLayout();
        } catch (const EKestrel& e) {
            throw EJsonError(path, e.Message());
        }
        return paper;
    }

    std::unique_ptr<TPaperInfo> CataloguePaper(const QJsonValue& name, const QString& path)
    {
        if (!name.isString()) throw EJsonError(path, QStringLiteral("用紙名がありません"));
        const int index = catalogue_ ? catalogue_->IndexOfName(name.toString()) : -1;
        if (index < 0) throw EJsonError(path, QStringLiteral("用紙「%1」はカタログにありません").arg(name.toString()));
        return catalogue_->Paper(index).Clone();
    }

    void ReadFace(const QJsonObject& face, qsizetype position, TLabelData& document, const QString& path)
    {
        RefuseUnknownKeys(face, {"face", "objects"}, path);
        const QJsonValue number = face.value("face");
        const int n = number.isUndefined() ? int(position) : number.toInt(0) - 1;
        if (n < 0 || n >= document.FaceCount())
            throw EJsonError(path, QStringLiteral("面%1 はありません").arg(n + 1));
        const QJsonArray objects = ArrayAt(face, "objects", path);
        TDOList list;
        // Listed from the back to the front; the face is saved from the front to the back.
        for (qsizetype i = objects.size() - 1; i >= 0; --i)
            list.Add(ComponentAs<TDrawObject>(objects[i], Item(path + ".objects", i), options_, QStringLiteral("描画オブジェクト")));
        // A face's stream must read back: its reader takes so many objects, the face's own
        // container among them.
        int count = 1;
        for (TDrawObject* object : list.Items()) count += ComponentCount(*object);
        if (count > TReadOptions::DefaultMaxObjects)
            throw EJsonError(path + QStringLiteral(".objects"), QStringLiteral("オブジェクトが %1 個あり、1 面に置ける %2 個を超えています")
                                                                   .arg(count - 1)
                                                                   .arg(TReadOptions::DefaultMaxObjects - 1));
        document.SaveFaceObjects(n, list);
    }

    const TPapersV2* catalogue_;
    const TJsonReadOptions& options_;
};

}  // namespace

QJsonObject DocumentToJson(TLabelData& document, const TDumpSelection& selection)
{
    QJsonArray sheets;
    const int current = document.CurrentSheet();
    for (int i = 0; i < document.SheetCount(); ++i) {
        if (selection.sheet && *selection.sheet != i) continue;
        document.SelectSheet(i);
        sheets.append(SheetJson(document, selection.face));
    }
    document.SelectSheet(current);
    // An opened document takes its creator records from the program's database, so only the
    // product record is the document's own.
    const QJsonObject information{{"product", PropertiesToJson(document.ProductInfo())}};
    return QJsonObject{{"sheets", sheets}, {"information", information}};
}

std::unique_ptr<TLabelData> DocumentFromJson(const QJsonValue& scene, const TPapersV2* catalogue,
                                             const TJsonReadOptions& options)
{
    return TSceneReader(catalogue, options).Read(scene);
}

}  // namespace kestrel
