#include <QElapsedTimer>
#include <gtest/gtest.h>

#include "CatalogueTestSupport.h"
#include "paper/PaperEditor.h"

namespace kestrel {
namespace {

using test::SimplePaper;

TEST(PaperEditor, ValuesOutsideTheFormRangesAreNamed)
{
    TMatrixPaperInfo paper = SimplePaper("P");
    EXPECT_EQ(CheckEditorValues(paper), "");
    paper.SetPortraitSize(400, 2970);
    EXPECT_EQ(CheckEditorValues(paper), "用紙の横は50.0～1000.0mmで指定してください");
    paper.SetPortraitSize(2100, 2970);
    paper.SetFaceCountY(100);
    EXPECT_EQ(CheckEditorValues(paper), "縦のラベル数は1～99で指定してください");
    paper.SetFaceCountY(1);
    paper.SetCutCenterWidth(90);  // hole of a disc: 10.0 mm at least
    EXPECT_EQ(CheckEditorValues(paper), "内円のサイズは10.0～100.0mmで指定してください");
    paper.SetFaceShape(fsRect);  // no hole: the hole size is not shown and not checked
    EXPECT_EQ(CheckEditorValues(paper), "");
    paper.SetFaceShape(fsRoundRect);
    paper.SetRoundSize(1200);
    EXPECT_EQ(CheckEditorValues(paper), "角丸のサイズは0.0～100.0mmで指定してください");

    TFreePaperInfo free;
    free.SetPortraitSize(1000, 1000);
    EXPECT_EQ(CheckEditorValues(free), "ラベルを追加してください");
    TFaceItem& face = free.Faces()->Add();
    face.SetRect({0, 0, 500, 20});
    EXPECT_EQ(CheckEditorValues(free), "ラベル1: ラベルの高さは3.0～1000.0mmで指定してください");
}

TEST(PaperEditor, FacesLeavingTheSheetAreRefusedAndOverlapsAsked)
{
    TFreePaperInfo paper;
    paper.SetPortraitSize(1000, 1000);
    paper.Faces()->Add().SetRect({0, 0, 500, 500});
    EXPECT_EQ(CheckPaperBeforeStore(paper).verdict, TStoreVerdict::Store);
    paper.Faces()->Add().SetRect({400, 400, 900, 900});
    TStoreCheck check = CheckPaperBeforeStore(paper);
    EXPECT_EQ(check.verdict, TStoreVerdict::AskOverlap);
    EXPECT_EQ(check.message, "ラベルが重なっています。よろしいですか？");
    EXPECT_EQ(check.face, 1);
    paper.Faces()->Item(1).SetLeft(600);  // now also past the right edge
    check = CheckPaperBeforeStore(paper);
    EXPECT_EQ(check.verdict, TStoreVerdict::Refuse);
    EXPECT_EQ(check.message, "ラベルが用紙からはみ出しています");
}

TEST(PaperEditor, NewUserPaperGetsTheFirstFreeNumber)
{
    test::TCatalogueFixture fixture;
    TPapers papers(fixture.io);
    papers.Open("user.ppr", false, true);
    EXPECT_EQ(FirstFreeUserPaperName(papers), "ユーザー用紙1");
    papers.Store(SimplePaper("ユーザー用紙1"));
    papers.Store(SimplePaper("ユーザー用紙3"));
    EXPECT_EQ(FirstFreeUserPaperName(papers), "ユーザー用紙2");
}

TEST(PaperEditor, LargestGridIsCheckedQuickly)
{
    TMatrixPaperInfo paper;
    paper.SetPortraitSize(10000, 10000);
    paper.SetFaceCountX(99);
    paper.SetFaceCountY(99);
    paper.SetFaceWidth(100);
    paper.SetFaceHeight(100);
    paper.SetFaceShape(fsDoughnut);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(paper.FirstOverlappingFace(), -1);  // touching boxes, separate circles
    EXPECT_LT(timer.elapsed(), 20000);
    paper.SetRightMargin(-1);
    EXPECT_EQ(paper.FirstOverlappingFace(), 1);
}

TEST(PurposeFilter, ObsoleteIdsAreRemovedAndMappedCaseSensitively)
{
    TPurposeValidator validator;
    EXPECT_TRUE(validator.IsObsolete("MO"));
    EXPECT_TRUE(validator.IsObsolete("FD"));
    EXPECT_TRUE(validator.IsObsolete("CDCase"));
    EXPECT_FALSE(validator.IsObsolete("cdcase"));
    EXPECT_FALSE(validator.IsObsolete("MOSquare"));
    EXPECT_EQ(validator.Normalize("MO"), "MOSquare");
    EXPECT_EQ(validator.Normalize("FD"), "MOSquare");
    EXPECT_EQ(validator.Normalize("CDCase"), "CDCaseTray");
    EXPECT_EQ(validator.Normalize("fd"), "fd");

    TPurposeList list;
    for (const char* id : {"MO", "FD", "CD", "CDCase", "CDCase", "Other"}) list.Add({id, id, {}});
    validator.Validate(list);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(0).ID(), "CD");
    EXPECT_EQ(list.Item(1).ID(), "Other");
    // Without an installed validator nothing is filtered.
    ASSERT_EQ(PurposeValidator(), nullptr);
    EXPECT_EQ(NormalizePurpose("FD"), "FD");
}

TEST(PurposeFilter, ShapeDisplayNamesFollowTheOrdinals)
{
    const QStringList names = FaceShapeDisplayNames();
    ASSERT_EQ(names.size(), FaceShapeCount);
    EXPECT_EQ(names[fsDoughnut], "CDラベル");
    EXPECT_EQ(names[fsBarrelCD], "樽CDラベル");
    EXPECT_EQ(FaceShapeInfo().IndexOf("fsRectCD"), fsRectCD);
    EXPECT_EQ(TFaceShapes::FromMask(0xFF).Mask(), 0x3Fu);
}

}  // namespace
}  // namespace kestrel
