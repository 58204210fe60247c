#include "document/stream/JsonCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

#include "document/StreamTestClasses.h"
#include "document/stream/ClassRegistry.h"
#include "document/stream/ObjectStream.h"
#include "platform/Error.h"

namespace kestrel::test {
namespace {

class JsonCodec : public ::testing::Test {
protected:
    JsonCodec()
    {
        registry_.Register(TTestRect::StaticClass());
        registry_.Register(TTestOther::StaticClass());
        options_.registry = &registry_;
    }

    static std::unique_ptr<TTestRect> FullRect()
    {
        auto rect = std::make_unique<TTestRect>();
        rect->SetLeft(10), rect->SetWidth(-40000), rect->SetCursor(-21), rect->SetCaption("見出し");
        rect->SetVisible(false), rect->SetColor(0x0000FF), rect->SetStyle(tsItalic), rect->SetOptions(0b101);
        rect->SetRatio(2.5), rect->SetBig(int64_t(1) << 60), rect->SetLines({"一", "two"});
        rect->Font()->SetSize(12), rect->SetPopupMenu("pmMain"), rect->SetOnModify("FormModify");
        auto& item = static_cast<TTestItem&>(rect->Items()->Add());
        item.SetValue(7);
        rect->data = QByteArray("\x00\x01\xFF", 3);
        rect->extra = {1, 300};
        auto child = std::make_unique<TTestRect>();
        child->SetName("Child");
        child->SetCaption("子");
        rect->children.push_back(std::move(child));
        return rect;
    }

    std::unique_ptr<TComponent> Read(const QJsonValue& json) const { return ObjectFromJson(json, {}, options_); }

    // The message of reading json, which must fail.
    QString Refusal(const QJsonValue& json) const
    {
        try {
            Read(json);
        } catch (const EJsonError& e) {
            return e.Message();
        }
        ADD_FAILURE() << "accepted " << QJsonDocument(json.toObject()).toJson().constData();
        return {};
    }

    static QByteArray Stream(const TComponent& object)
    {
        QByteArray bytes;
        WriteObject(bytes, object);
        return bytes;
    }

    TClassRegistry registry_;
    TJsonReadOptions options_;
};

TEST_F(JsonCodec, EveryKindMapsToItsNaturalJsonAndBackToTheSameStream)
{
    const auto rect = FullRect();
    const QJsonObject json = ObjectToJson(*rect);
    const QJsonObject props = json.value("properties").toObject();
    EXPECT_EQ(json.value("class").toString(), "TTestRect");
    EXPECT_EQ(props.value("Cursor").toString(), "crHandPoint");
    EXPECT_EQ(props.value("Color").toString(), "clRed");
    EXPECT_EQ(props.value("Visible").toBool(true), false);
    EXPECT_EQ(props.value("Style").toString(), "tsItalic");
    EXPECT_EQ(props.value("Options").toArray(), QJsonArray({"toFirst", "toThird"}));
    EXPECT_EQ(props.value("Ratio").toDouble(), 2.5);
    EXPECT_EQ(props.value("Big").toString(), "1152921504606846976");  // beyond a double's integers
    EXPECT_EQ(props.value("Lines").toArray(), QJsonArray({"一", "two"}));
    EXPECT_EQ(props.value("Font").toObject(), QJsonObject({{"Size", 12}}));
    EXPECT_EQ(props.value("Items").toArray().at(0).toObject().value("Value").toInt(), 7);
    EXPECT_EQ(props.value("Data").toString(), "AAH/");
    EXPECT_TRUE(props.value("Extra").toObject().contains("stream"));  // a list: no plain JSON form
    EXPECT_FALSE(props.contains("BlendRatio"));  // at its default
    EXPECT_EQ(props.value("Top").toInt(-1), 0);  // nodefault: written even at 0
    EXPECT_EQ(json.value("children").toArray().at(0).toObject().value("name").toString(), "Child");

    EXPECT_EQ(Stream(*Read(json)), Stream(*rect));
}

TEST_F(JsonCodec, HostileInputIsRefusedWithItsPathAndReason)
{
    const QJsonObject good = ObjectToJson(*FullRect());
    const auto withProperty = [&](const char* key, const QJsonValue& value) {
        QJsonObject props = good.value("properties").toObject();
        props.insert(key, value);
        QJsonObject object = good;
        object.insert("properties", props);
        return object;
    };
    struct TCase {
        QJsonObject json;
        const char* message;
    };
    const std::vector<TCase> cases = {
        {withProperty("Left", "10"), "properties.Left: 整数ではありません"},
        {withProperty("Left", 1.5), "properties.Left: 整数ではありません"},
        {withProperty("Left", 1e300), "properties.Left: 範囲外の値です"},
        {withProperty("Left", 2147483648.0), "properties.Left: 範囲外の値です"},
        {withProperty("Big", 1e17), "properties.Big: 範囲外の値です"},
        {withProperty("Visible", 1), "properties.Visible: true か false ではありません"},
        {withProperty("Style", "tsHuge"), "properties.Style: 「tsHuge」は TTestStyle の値ではありません"},
        {withProperty("Options", QJsonArray({"toFirst", 3})), "properties.Options[1]: 「3」は TTestOption の値ではありません"},
        {withProperty("Caption", "絵文字😀"), "properties.Caption: Shift_JIS で表せない文字があります"},
        {withProperty("Lines", QJsonArray({"a", 1})), "properties.Lines[1]: 文字列ではありません"},
        {withProperty("Font", 3), "properties.Font: オブジェクトではありません"},
        {withProperty("Items", QJsonObject()), "properties.Items: 配列ではありません"},
        {withProperty("PopupMenu", "a b"), "properties.PopupMenu: 名前に使えない文字があります"},
        {withProperty("Data", "!!"), "properties.Data: base64 ではありません"},
        {withProperty("Extra", QJsonObject{{"stream", "AQ=="}}), "properties.Extra: ストリームからの読み込みエラー"},
        {withProperty("Angle", 3), "properties.Angle: クラス TTestRect にないプロパティです"},
        {QJsonObject{{"class", "TNoSuch"}}, "class: クラス「TNoSuch」はありません"},
        {QJsonObject{{"class", 5}}, "class: 文字列ではありません"},
        {QJsonObject{{"class", "TTestRect"}, {"colour", 1}}, "colour: 不明なキーです"},
        {QJsonObject{{"class", "TTestRect"}, {"children", QJsonArray({QJsonObject{{"class", "TComponent"}}})}},
         "children[0].class: クラス TComponent は作成できません"},
    };
    for (const TCase& c : cases) EXPECT_EQ(Refusal(c.json), QString::fromUtf8(c.message));

    // Nesting deeper than the cap is refused, not followed down the stack.
    QJsonObject deep{{"class", "TTestRect"}};
    for (int i = 0; i < 80; ++i) deep = QJsonObject{{"class", "TTestRect"}, {"children", QJsonArray({deep})}};
    EXPECT_TRUE(Refusal(deep).endsWith("入れ子が深すぎます（64 段まで）")) << Refusal(deep).toStdString();
    EXPECT_THROW(ParseJson("{\"class\": "), EJsonError);
}

TEST_F(JsonCodec, FileRecordsComeFromTheInstalledReaderRelativeToTheBaseFolder)
{
    QTemporaryDir folder;
    QFile file(folder.filePath("photo.bin"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("raw");
    file.close();
    QJsonObject json{{"class", "TTestRect"}, {"properties", QJsonObject{{"Data", QJsonObject{{"file", "photo.bin"}}}}}};
    EXPECT_EQ(Refusal(json), "properties.Data: ファイルから読み込めないデータです");

    TJsonFileRecords records;
    records.Register("TTestRect", "Data", [](const QByteArray& bytes) -> QByteArray { return "<" + bytes + ">"; });
    options_.fileRecords = &records;
    options_.baseDir = QDir(folder.path());
    EXPECT_EQ(static_cast<TTestRect&>(*Read(json)).data, "<raw>");
    json.insert("properties", QJsonObject{{"Data", QJsonObject{{"file", "missing.jpg"}}}});
    EXPECT_EQ(Refusal(json), "properties.Data.file: ファイル「missing.jpg」を開けません");
}

}  // namespace
}  // namespace kestrel::test
