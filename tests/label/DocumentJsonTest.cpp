#include "label/DocumentJson.h"

#include <QJsonArray>
#include <gtest/gtest.h>

#include "document/DOGroup.h"
#include "document/DOList.h"
#include "document/DrawObject.h"
#include "document/stream/ClassRegistry.h"
#include "document/stream/ObjectStream.h"
#include "label/LabelDocumentFixtures.h"
#include "label/SheetInfo.h"
#include "support/RandomProperties.h"

namespace kestrel::test {
namespace {

std::unique_ptr<TDrawObject> RandomObject(const TClassInfo& info, std::mt19937& random)
{
    std::unique_ptr<TComponent> component = CreateComponent(info);
    RandomizeProperties(*component, random);
    return std::unique_ptr<TDrawObject>(static_cast<TDrawObject*>(component.release()));
}

// Objects of every registered draw-object class, each with random values; a group holds one
// more of them as its member, so members travel as children.
void PutRandomObjects(TLabelData& document, int face, std::mt19937& random)
{
    TDOList list;
    for (const TClassInfo* info : CreatableComponentClasses(TClassRegistry::Global())) {
        if (!info->InheritsFrom(TDrawObject::StaticClass())) continue;
        std::unique_ptr<TDrawObject> object = RandomObject(*info, random);
        if (object->ClassInfo().InheritsFrom(TDOGroup::StaticClass())) object->AdoptChild(RandomObject(*info, random));
        list.Add(std::move(object));
    }
    document.SaveFaceObjects(face, list);
}

// What a face holds, as the stream its objects write.
QByteArray FaceBytes(TLabelData& document, int sheet, int face)
{
    document.SelectSheet(sheet);
    TDOList objects;
    document.LoadFaceObjects(face, objects);
    std::vector<const TComponent*> items(objects.Items().begin(), objects.Items().end());
    QByteArray bytes;
    WriteObjectList(bytes, items);
    return bytes;
}

TEST(DocumentJson, ComposeOfDumpGivesTheSameFacesAndDumpIsStable)
{
    std::mt19937 random(7);
    for (int round = 0; round < 3; ++round) {
        TLabelData document;
        document.SetPaper(*TwoDiscPaper());
        document.SetSeparatelyDesign(true);
        RandomizeProperties(document.Settings().Grid(), random);
        PutRandomObjects(document, 0, random);
        PutRandomObjects(document, 1, random);
        document.NewSheet();
        document.SetPaper(*SquarePaper(2));
        PutRandomObjects(document, 3, random);

        const QJsonObject dumped = DocumentToJson(document);
        const std::unique_ptr<TLabelData> composed = DocumentFromJson(dumped, nullptr);
        ASSERT_EQ(composed->SheetCount(), 2);
        // Date fields that follow the opening show each document's own time.
        composed->RestoreDates(document.Dates());
        for (auto [sheet, face] : {std::pair{0, 0}, {0, 1}, {1, 3}})
            EXPECT_EQ(FaceBytes(*composed, sheet, face), FaceBytes(document, sheet, face)) << sheet << face;
        EXPECT_EQ(DocumentToJson(*composed), dumped);
    }
}

TEST(DocumentJson, DumpListsObjectsFromTheBackAndHonoursTheSelection)
{
    RegisterTestObjects();
    TLabelData document;
    document.SetPaper(*TwoDiscPaper());
    document.SetSeparatelyDesign(true);
    PutRects(document, 1, {{10, 10, 50, 50}, {20, 20, 60, 60}});
    TDumpSelection selection;
    selection.face = 1;
    const QJsonArray sheets = DocumentToJson(document, selection).value("sheets").toArray();
    ASSERT_EQ(sheets.size(), 1);
    const QJsonArray faces = sheets[0].toObject().value("faces").toArray();
    ASSERT_EQ(faces.size(), 1);
    EXPECT_EQ(faces[0].toObject().value("face").toInt(), 2);
    const QJsonArray objects = faces[0].toObject().value("objects").toArray();
    ASSERT_EQ(objects.size(), 2);
    // PutRects takes front to back: the second rectangle is the back one.
    EXPECT_EQ(objects[0].toObject().value("properties").toObject().value("Left").toInt(), 20);
    EXPECT_EQ(sheets[0].toObject().value("paper").toObject().value("name").toString(), "A4 CDラベル 2面");
}

TEST(DocumentJson, ScenesAreRefusedAtTheirFirstErrorWithItsPath)
{
    TLabelData document;
    document.SetPaper(*TwoDiscPaper());
    QJsonObject scene = DocumentToJson(document);
    const auto refusal = [](const QJsonObject& json) -> QString {
        try {
            DocumentFromJson(json, nullptr);
        } catch (const EJsonError& e) {
            return e.Message();
        }
        return {};
    };
    QJsonArray sheets = scene.value("sheets").toArray();
    QJsonObject sheet = sheets[0].toObject();
    sheet.insert("faces", QJsonArray({QJsonObject{{"face", 1}, {"objects", QJsonArray({QJsonObject{{"class", "TLDObjects"}}})}}}));
    EXPECT_EQ(refusal(QJsonObject{{"sheets", QJsonArray({sheet})}}), "sheets[0].faces[0].objects[0].class: 描画オブジェクトではありません");
    sheet.insert("faces", QJsonArray({QJsonObject{{"face", 5}}}));
    EXPECT_EQ(refusal(QJsonObject{{"sheets", QJsonArray({sheet})}}), "sheets[0].faces[0]: 面5 はありません");
    sheet.insert("paper", QJsonObject{{"name", "ない用紙"}});
    EXPECT_EQ(refusal(QJsonObject{{"sheets", QJsonArray({sheet})}}), "sheets[0].paper.name: 用紙「ない用紙」はカタログにありません");
    EXPECT_EQ(refusal(QJsonObject{{"sheets", QJsonArray()}}), "sheets: シートがありません");
}

}  // namespace
}  // namespace kestrel::test
