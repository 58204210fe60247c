#include <gtest/gtest.h>

#include "LabelDocumentFixtures.h"
#include "document/ActionList.h"
#include "document/storage/DocStorage.h"
#include "label/SheetEditing.h"
#include "paper/PaperRecords.h"
#include "platform/cfb/CfbTree.h"

namespace kestrel {
namespace {

using test::PutRects;

class SheetEditingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RegisterTestObjects();
        document.SetPaper(*test::TwoDiscPaper());
        PutRects(document, 1, {{100, 100, 300, 300}});
        document.NewSheet();
        document.SetPaper(*test::SquarePaper(2));
        PutRects(document, 3, {{0, 0, 200, 200}});
        document.SetSheetName("裏面");
        document.SelectSheet(0);
    }

    // Everything the sheets store, in sheet order, the current sheet's settings written first.
    QList<QByteArray> Stored()
    {
        QList<QByteArray> sheets;
        for (int i = 0; i < document.SheetCount(); ++i) sheets << Flattened(*document.CaptureSheet(i).content);
        return sheets;
    }

    static QByteArray Flattened(const TCfbStorage& storage)
    {
        QByteArray bytes;
        for (const auto& [name, element] : storage.Children()) {
            bytes += element->Name().toUtf8() + '\0';
            if (auto* stream = dynamic_cast<const TCfbStream*>(element.get())) bytes += stream->Data() + '\0';
            else bytes += Flattened(static_cast<const TCfbStorage&>(*element));
        }
        return bytes;
    }

    TLabelData document;
    TActionList history;
    TSheetEditing sheets{document, history};
};

TEST_F(SheetEditingTest, AddedAndDuplicatedSheetsGoOnUndoAndComeBackOnRedo)
{
    const QList<QByteArray> start = Stored();
    sheets.DuplicateSheet();
    ASSERT_EQ(document.SheetCount(), 3);
    EXPECT_EQ(document.SheetName(), QStringLiteral("新規シート1のコピー1"));
    EXPECT_EQ(history.UndoCaption(), QStringLiteral("シートの複製"));
    const QList<QByteArray> duplicated = Stored();
    history.Undo();
    EXPECT_EQ(document.SheetCount(), 2);
    EXPECT_EQ(document.CurrentSheet(), 0) << "the sheet that was current comes back";
    EXPECT_EQ(Stored(), start);
    history.Redo();
    EXPECT_EQ(document.CurrentSheet(), 2);
    EXPECT_EQ(Stored(), duplicated);
    EXPECT_TRUE(document.HasFaceObjects(1));

    sheets.NewSheet();
    EXPECT_EQ(history.UndoCaption(), QStringLiteral("シートの追加"));
    history.Undo();
    EXPECT_EQ(Stored(), duplicated);
}

TEST_F(SheetEditingTest, ADeletedSheetComesBackWithItsFacesAndPreviews)
{
    document.SelectSheet(1);
    ASSERT_FALSE(document.FacePreview(3).isNull());
    const QList<QByteArray> start = Stored();
    sheets.DeleteSheet(1);
    ASSERT_EQ(document.SheetCount(), 1);
    history.Undo();
    EXPECT_EQ(document.SheetCount(), 2);
    EXPECT_EQ(document.CurrentSheet(), 1);
    EXPECT_EQ(document.SheetName(), QStringLiteral("裏面"));
    EXPECT_EQ(Stored(), start);
    history.Redo();
    EXPECT_EQ(document.SheetNames(), QStringList{"新規シート1"});
}

TEST_F(SheetEditingTest, MovesAndNamesAreUndoneInPlace)
{
    sheets.MoveSheet(1);
    EXPECT_EQ(document.SheetNames(), QStringList({"裏面", "新規シート1"}));
    sheets.RenameSheet("表面");
    sheets.RenameSheet("表面");
    EXPECT_EQ(history.Count(), 2) << "an unchanged name is no step";
    history.Undo();
    EXPECT_EQ(document.SheetNames(), QStringList({"裏面", "新規シート1"}));
    history.Undo();
    EXPECT_EQ(document.SheetNames(), QStringList({"新規シート1", "裏面"}));
    EXPECT_EQ(document.CurrentSheet(), 0);
    history.Redo();
    history.Redo();
    EXPECT_EQ(document.SheetNames(), QStringList({"裏面", "表面"}));
}

TEST_F(SheetEditingTest, AnotherPaperIsUndoneWithTheFacesItDropped)
{
    document.SelectSheet(1);
    const QList<QByteArray> start = Stored();
    TExPaperInfo extra;
    extra.SetCompany(QStringLiteral("メーカー"));
    sheets.ChangePaper(*test::SquarePaper(1), &extra, nullptr);
    EXPECT_EQ(document.FaceCount(), 1);
    EXPECT_EQ(document.ExtraInfo().Company(), QStringLiteral("メーカー"));
    EXPECT_EQ(history.UndoCaption(), QStringLiteral("用紙の変更"));
    history.Undo();
    EXPECT_EQ(document.FaceCount(), 4);
    EXPECT_TRUE(document.HasFaceObjects(3));
    EXPECT_TRUE(document.ExtraInfo().Company().isEmpty());
    EXPECT_EQ(Stored(), start);
    history.Redo();
    EXPECT_EQ(document.FaceCount(), 1);
    EXPECT_EQ(document.ExtraInfo().Company(), QStringLiteral("メーカー"));
}

}  // namespace
}  // namespace kestrel
