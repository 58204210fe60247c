#include "label/InformationFields.h"

#include <QJsonArray>
#include <gtest/gtest.h>

#include "document/DOGroup.h"
#include "label/DocumentJson.h"
#include "label/LabelDocumentFixtures.h"
#include "paper/ProductInfo.h"

namespace kestrel::test {
namespace {

TProductInfo Record(const QStringList& firstItems)
{
    TProductInfo record;
    for (int i = 0; i < firstItems.size(); ++i) record.Items().Item(i).SetInfo(firstItems[i].split(u'\n'));
    return record;
}

class InformationFieldsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        document.SetPaper(*TwoDiscPaper());
        document.SetSeparatelyDesign(true);
        TDOList front;
        front.Add(InformationField(ftProduct, 1, "旧タイトル"));
        auto group = std::make_unique<TDOGroup>();
        group->AdoptChild(InformationField(ftProduct, 2, "旧サブ"));
        group->AdoptChild(InformationField(ftCreatorJapanese, 1, "旧会社"));
        front.Add(std::move(group));
        front.Add(InformationField(ftProduct, 0, "自由入力"));
        front.Add(InformationField(ftProduct, 99, "範囲外"));
        document.SaveFaceObjects(0, front);
        document.NewSheet();
        document.SetPaper(*TwoDiscPaper());
        TDOList second;
        second.Add(InformationField(ftProduct, 1, "別シート"));
        document.SaveFaceObjects(1, second);
        document.SelectSheet(0);
        document.SetModified(false);
    }

    TLabelData document;
};

TEST_F(InformationFieldsTest, ChangedInformationRefillsItsFieldsOnEverySheetAndInGroups)
{
    ChangeInformation(document, ftProduct, Record({"新タイトル", "一行目\n二行目"}));
    EXPECT_TRUE(document.IsModified());
    EXPECT_EQ(document.CurrentSheet(), 0);
    EXPECT_EQ(FaceTexts(document, 0), (QStringList{"新タイトル", "一行目|二行目", "旧会社", "自由入力", "範囲外"}));
    document.SelectSheet(1);
    EXPECT_EQ(FaceTexts(document, 1), QStringList{"新タイトル"});
    EXPECT_EQ(InformationTexts(document, ftProduct).mid(0, 2), (QStringList{"新タイトル", "一行目\n二行目"}));
}

TEST_F(InformationFieldsTest, InformationWithUnchangedTextsLeavesEditedFieldsAlone)
{
    TProductInfo same = document.ProductInfo();
    ChangeInformation(document, ftProduct, same);
    EXPECT_EQ(FaceTexts(document, 0).first(), "旧タイトル");

    ChangeInformation(document, ftCreatorJapanese, Record({"新会社"}));
    EXPECT_EQ(FaceTexts(document, 0), (QStringList{"旧タイトル", "旧サブ", "新会社", "自由入力", "範囲外"}));
}

TEST_F(InformationFieldsTest, ComposedInformationFillsTheFieldsAndDumpsBack)
{
    QJsonObject scene = DocumentToJson(document);
    QJsonObject product = PropertiesToJson(Record({"JSONのタイトル"}));
    scene.insert("information", QJsonObject{{"product", product}});
    const std::unique_ptr<TLabelData> composed = DocumentFromJson(scene, nullptr);
    EXPECT_EQ(FaceTexts(*composed, 0).first(), "JSONのタイトル");
    EXPECT_EQ(DocumentToJson(*composed).value("information").toObject().value("product"), product);

    scene.insert("information", QJsonObject{{"products", product}});
    try {
        DocumentFromJson(scene, nullptr);
        ADD_FAILURE() << "an unknown information key is refused";
    } catch (const EJsonError& e) {
        EXPECT_EQ(e.Message(), "information.products: 不明なキーです");
    }
}

}  // namespace
}  // namespace kestrel::test
