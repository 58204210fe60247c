#include "music/LabelFill.h"

#include <QFile>
#include <gtest/gtest.h>

#include "document/DOList.h"
#include "label/LabelData.h"
#include "label/LabelDocumentFixtures.h"
#include "platform/Cp932.h"
#include "platform/Error.h"
#include "support/TestEnvironment.h"

namespace kestrel::test {
namespace {

TEST(LabelFill, CsvIsReadAsUtf8OrCodePage932AndCheckedForTheCodePage)
{
    const QByteArray utf8 = "\xEF\xBB\xBFtitle,artist\r\n" + QStringLiteral("夜明け,\"A, B\"\r\n").toUtf8();
    TFillData data = ReadFillData(utf8);
    EXPECT_EQ(data.columns, QStringList({"title", "artist"}));
    ASSERT_EQ(data.rows.size(), 1u);
    EXPECT_EQ(data.rows[0], QStringList({QStringLiteral("夜明け"), "A, B"}));

    data = ReadFillData(ToCp932(QStringLiteral("曲名\r\nソ表\r\n")));
    EXPECT_EQ(data.rows[0], QStringList({QStringLiteral("ソ表")}));

    EXPECT_THROW(ReadFillData("title\r\n"), EKestrel);  // no data rows
    try {
        ReadFillData(QStringLiteral("title\r\nok\r\n絵😀\r\n").toUtf8());
        ADD_FAILURE();
    } catch (const EKestrel& e) {
        EXPECT_EQ(e.Message(), "CSV の 2 行目「title」: Shift_JIS で表せない文字があります");
    }
}

TEST(LabelFill, FieldsAndFileNamesAreFilledSafely)
{
    const TFillData data{{"title", "no"}, {{"a/b", "1"}, {"c", "2"}}};
    const auto values = RowValues(data, 1);
    EXPECT_EQ(FillFields("{{title}}-{{no}} {{row}} {{nope}} {{", values), "c-2 2 {{nope}} {{");
    EXPECT_EQ(OutputNames("out/{{row}}_{{title}}.mld", data), QStringList({"out/1_a_b.mld", "out/2_c.mld"}));
    EXPECT_THROW(OutputNames("out/{{album}}.mld", data), EKestrel);
    EXPECT_THROW(OutputNames("out/same.mld", data), EKestrel);  // the second row would overwrite the first
}

TEST(LabelFill, EachRowMakesADocumentWithItsTexts)
{
    RegisterTestObjects();
    const QString templateFile = TestFolder() + "/template.mld";
    {
        TLabelData document;
        document.SetPaper(*TwoDiscPaper());
        PutRects(document, 0, {{10, 10, 50, 50}});
        TDOList objects;
        document.LoadFaceObjects(0, objects);
        objects.Item(0).SetHint("{{title}} / {{row}}");
        objects.Item(0).SetAppendix({"by {{artist}}", "keep"});
        document.SaveFaceObjects(0, objects);
        document.SaveToFile(templateFile);
    }
    const TFillData data{{"title", "artist"}, {{"One", "A"}, {"Two", "B"}}};
    QStringList written;
    FillFromTemplate(templateFile, data, TestFolder() + "/{{title}}.mld", [&](const QString& f) { written << f; });
    ASSERT_EQ(written.size(), 2);

    TLabelData second;
    second.LoadFromFile(TestFolder() + "/Two.mld");
    TDOList objects;
    second.LoadFaceObjects(0, objects);
    ASSERT_EQ(objects.Count(), 1);
    EXPECT_EQ(objects.Item(0).Hint(), "Two / 2");
    EXPECT_EQ(objects.Item(0).Appendix(), QStringList({"by B", "keep"}));
}

}  // namespace
}  // namespace kestrel::test
