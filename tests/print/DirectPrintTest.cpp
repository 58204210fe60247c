#include <gtest/gtest.h>

#include "DiscFixtures.h"
#include "FakePrinter.h"
#include "PrintFixtures.h"
#include "platform/Canvas.h"
#include "print/BandPage.h"
#include "print/DirectPrint.h"

namespace kestrel {
namespace {

using test::DiscPaper;

TRingAdjustment Limited(int face, int hole, TRingAdjustment adjustment)
{
    auto paper = DiscPaper();
    paper->Faces()->Item(0).SetWidth(face);
    paper->Faces()->Item(0).SetCutCenterWidth(hole);
    return LimitRingAdjustment(*paper, adjustment);
}

TEST(RingAdjustment, TheLimitsKeepTheFaceOnTheTrayTheHoleAndAFiveMillimetreRing)
{
    EXPECT_EQ(Limited(1180, 230, {0, 40}).outer, 20);      // no printed face wider than 120 mm
    EXPECT_EQ(Limited(1000, 150, {-200, 0}).inner, -150);  // no hole below nothing
    EXPECT_EQ(Limited(1000, 900, {0, 0}), (TRingAdjustment{0, 0}));
    EXPECT_EQ(Limited(1000, 960, {0, 0}).outer, 10);  // the ring widens to 5 mm
    // Widening the ring would leave the tray here: the hole narrows instead.
    EXPECT_EQ(Limited(1180, 1170, {0, 0}), (TRingAdjustment{-20, 20}));
}

TEST(RingAdjustment, IsKeptPerPaperUnderNamesWithSlashesAndBackslashes)
{
    auto disc = DiscPaper();
    auto other = DiscPaper();
    other->SetPaperName("12cmディスク/別");
    WriteRingAdjustment(*disc, {-15, 8});
    EXPECT_EQ(ReadRingAdjustment(*disc), (TRingAdjustment{-15, 8}));
    EXPECT_EQ(ReadRingAdjustment(*other), (TRingAdjustment{0, 0}));
}

TEST(EffectivePaper, TheFaceIsCentredOnTheTrayAndWidenedByTheRing)
{
    const std::unique_ptr<TPaperInfo> laid = LayOutOnTray(*DiscPaper(), {655, 1510, 1357, 2557}, {0, 20});
    EXPECT_EQ(laid->Width(), 1357);
    EXPECT_EQ(laid->Height(), 2557);
    EXPECT_EQ(laid->GetFaceRect(0), (TSheetRect{55, 910, 1255, 2110}));
    EXPECT_EQ(laid->GetCutCenterSize(0), QSize(230, 230));
    // Halving truncates toward zero: an outer ring of -3 moves the face by one, not two.
    EXPECT_EQ(LayOutOnTray(*DiscPaper(), {655, 1510, 1357, 2557}, {5, -3})->GetFaceRect(0),
              (TSheetRect{66, 921, 1243, 2098}));
    EXPECT_EQ(LayOutOnTray(*DiscPaper(), {655, 1510, 1357, 2557}, {5, -3})->GetCutCenterSize(0),
              QSize(235, 235));
}

TEST(EffectivePaper, WithoutATrayThePaperKeepsItsSizeAndTheFacesTheirCentre)
{
    const std::unique_ptr<TPaperInfo> kept = LayOutOnTray(*DiscPaper(), {}, {0, 0});
    EXPECT_EQ(kept->Width(), 1200);
    EXPECT_EQ(kept->GetFaceRect(0), (TSheetRect{10, 10, 1190, 1190}));
    EXPECT_EQ(LayOutOnTray(*DiscPaper(), {}, {0, 20})->GetFaceRect(0), (TSheetRect{0, 0, 1200, 1200}));
}

TEST(EffectivePaper, AMatrixPaperMovesItsOffsets)
{
    TMatrixPaperInfo paper;
    paper.SetPortraitSize(1200, 1200);
    paper.SetFaceWidth(1180);
    paper.SetFaceHeight(1180);
    paper.SetFaceCountX(1);
    paper.SetFaceCountY(1);
    paper.SetFaceShape(fsDoughnut);
    paper.SetCutCenterWidth(230);
    paper.SetCutCenterHeight(230);
    const std::unique_ptr<TPaperInfo> laid = LayOutOnTray(paper, {655, 1510, 1357, 2557}, {-10, 20});
    auto& matrix = dynamic_cast<TMatrixPaperInfo&>(*laid);
    EXPECT_EQ(matrix.LeftOffset(), 55);
    EXPECT_EQ(matrix.TopOffset(), 910);
    EXPECT_EQ(matrix.FaceWidth(), 1200);
    EXPECT_EQ(matrix.CutCenterWidth(), 220);
}

TEST(PrinterData, SelectsPrintersByNameWhateverCharactersTheNameHolds)
{
    test::TDiscCatalogue disc;
    TDirectPrinterInfo data(&disc.catalogue);
    EXPECT_EQ(data.ListPrinterNames(), (QStringList{"Model X", test::DiscGroup, "Model \"Y'"}));
    data.SelectPrinter("Model X");
    EXPECT_EQ(data.GetTrayGeometry(), (TTrayGeometry{655, 1510, 1357, 2557}));
    EXPECT_EQ(data.GetLimits()->maxOuterWidth, 1190);
    EXPECT_TRUE(data.Supports(*DiscPaper()));
    data.SelectPrinter(test::DiscGroup);
    EXPECT_EQ(data.GetTrayGeometry().CenterY, 1485);
    data.SelectPrinter("Model \"Y'");
    EXPECT_EQ(data.GetTrayGeometry().TrayWidth, 1200);
    EXPECT_EQ(data.GetLimits()->maxOuterWidth, 0);  // left out

    data.SelectPrinter("Model Z");
    EXPECT_FALSE(data.HasSelection());
    EXPECT_EQ(data.GetTrayGeometry(), TTrayGeometry{});
    EXPECT_FALSE(data.GetLimits());
    EXPECT_FALSE(data.Supports(*DiscPaper()));
}

TEST(PrinterData, SupportsOnlyDirectPrintPapersOfItsShapesAndPurposes)
{
    test::TDiscCatalogue disc;
    TDirectPrinterInfo data(&disc.catalogue);
    data.SelectPrinter("Model X");
    auto userPaper = DiscPaper();
    userPaper->SetReadOnly(false);  // user papers never print directly
    EXPECT_FALSE(data.Supports(*userPaper));
    auto label = DiscPaper();
    label->SetGroupName("ラベル");
    EXPECT_FALSE(data.Supports(*label));
    auto ellipse = DiscPaper();
    ellipse->Faces()->Item(0).SetFaceShape(fsEllipse);
    EXPECT_FALSE(data.Supports(*ellipse));
    auto jacket = DiscPaper();
    jacket->Faces()->Item(0).SetFacePurpose("CDCover");
    EXPECT_FALSE(data.Supports(*jacket));
}

TEST(PrinterData, AMissingOrDamagedBlockListsNothing)
{
    test::TDiscCatalogue damaged({"<root><DirectPrinterInfo>"});
    EXPECT_TRUE(TDirectPrinterInfo(&damaged.catalogue).ListPrinterNames().isEmpty());
    EXPECT_TRUE(TDirectPrinterInfo(nullptr).ListPrinterNames().isEmpty());
}

TEST(PrinterData, AdaptingNarrowsTheFaceToThePrinterAndCentresItOnTheDisc)
{
    test::TDiscCatalogue disc;
    TDirectPrinterInfo data(&disc.catalogue);
    auto wide = DiscPaper();
    wide->Faces()->Item(0).SetRect({0, 0, 1200, 1200});
    wide->Faces()->Item(0).SetCutCenterWidth(100);
    wide->Faces()->Item(0).SetCutCenterHeight(100);
    EXPECT_FALSE(data.AdaptPaper(*wide));  // nothing selected
    data.SelectPrinter("Model X");
    const std::unique_ptr<TPaperInfo> adapted = data.AdaptPaper(*wide);
    ASSERT_TRUE(adapted);
    EXPECT_EQ(adapted->GroupName(), "Model X");
    EXPECT_EQ(adapted->Width(), 1357);
    EXPECT_EQ(adapted->GetFaceRect(0), (TSheetRect{60, 915, 1250, 2105}));
    EXPECT_EQ(adapted->GetCutCenterSize(0), QSize(159, 159));
    // Data without ring limits limit nothing: the face keeps its size.
    data.SelectPrinter("Model \"Y'");
    EXPECT_EQ(data.AdaptPaper(*wide)->GetFaceRect(0), (TSheetRect{0, 0, 1200, 1200}));
}

TEST(TrayGeometry, ComesFromTheDriverElseThePrinterDataOfTheModelElseOfTheGroup)
{
    test::TDiscCatalogue disc;
    auto canon = test::TFakePrinter::FromPpd(test::GutenprintPpd("bjc-PIXMA-iP4500"));
    auto epson = test::TFakePrinter::FromPpd(test::GutenprintPpd("escp2-r300"));
    ASSERT_TRUE(canon->GetDriver() && epson->GetDriver()) << "printer-driver-gutenprint is missing";
    EXPECT_EQ(TrayGeometryFor(*canon, *DiscPaper(), &disc.catalogue), (TTrayGeometry{599, 599, 1199, 1199}));
    EXPECT_EQ(TrayGeometryFor(*epson, *DiscPaper(), &disc.catalogue), (TTrayGeometry{600, 600, 1199, 1199}));

    test::TFakePrinter listed({});
    listed.driverName = "Model X";
    EXPECT_EQ(TrayGeometryFor(listed, *DiscPaper(), &disc.catalogue), (TTrayGeometry{655, 1510, 1357, 2557}));
    EXPECT_TRUE(PrinterSupportsDirectPrint(listed, *DiscPaper(), &disc.catalogue));
    test::TFakePrinter plain({});
    plain.driverName = "Kestrel test queue";
    EXPECT_EQ(TrayGeometryFor(plain, *DiscPaper(), &disc.catalogue), (TTrayGeometry{1050, 1485, 2100, 2970}));
    EXPECT_FALSE(PrinterSupportsDirectPrint(plain, *DiscPaper(), &disc.catalogue));
    EXPECT_TRUE(PrinterSupportsDirectPrint(*epson, *DiscPaper(), &disc.catalogue));
    EXPECT_FALSE(DiscTrayOf(plain, &disc.catalogue));
    EXPECT_EQ(DiscTrayOf(listed, &disc.catalogue)->CenterX, 655);
}

TEST(RingBoxes, TheDialogsRangesFollowTheLimitsAndTheOtherRing)
{
    const TRingBoxes boxes = RingBoxes(*DiscPaper(), TRingLimits{1200, 1200, 159, 159}, {0, 0});
    EXPECT_EQ(boxes.nativeOuter, 1180);
    EXPECT_EQ(boxes.nativeInner, 230);
    EXPECT_EQ(boxes.outerMax, 20);
    EXPECT_EQ(boxes.innerMin, -71);
    EXPECT_EQ(boxes.outerMin, -900);
    EXPECT_EQ(boxes.innerMax, 900);
    EXPECT_TRUE(boxes.outerEnabled && boxes.innerEnabled && boxes.outerShown && boxes.innerShown);
    // The outer ring bounds how far the hole may grow; without limits nothing can be changed.
    EXPECT_EQ(RingBoxes(*DiscPaper(), TRingLimits{1200, 1200, 159, 159}, {0, -300}).innerMax, 600);
    EXPECT_EQ(RingBoxes(*DiscPaper(), TRingLimits{0, 0, 0, 0}, {0, 0}).outerMax, 20);
    const TRingBoxes unlisted = RingBoxes(*DiscPaper(), std::nullopt, {0, 0});
    EXPECT_FALSE(unlisted.outerEnabled || unlisted.innerEnabled);
    EXPECT_EQ(
        RingLimitsText({1190, 1190, 159, 159}),
        "外円・内円のサイズを調整することができます。\n"
        "ただし、外円では119mmを超えるサイズ、内円では15.9mm未満になるサイズに設定することはできません。");
}

TEST(DensityCorrection, TheTableDarkensOrLightensAndKeepsWhite)
{
    const auto g3 = DensityTable(0.3);
    EXPECT_EQ(g3[0], 0);
    EXPECT_EQ(g3[64], 7);
    EXPECT_EQ(g3[128], 90);
    EXPECT_EQ(g3[255], 255);
    EXPECT_EQ(DensityTable(0.15)[128], 109);
    EXPECT_EQ(DensityTable(-0.1)[0], 26);  // 25.5 rounds to even
    EXPECT_EQ(DensityTable(-0.3)[255], 255);
    EXPECT_EQ(DensityCorrection(-3), -0.3);
    EXPECT_EQ(DensityCorrection(1), 0.15);
    EXPECT_EQ(DensityCorrection(3), 0.45);
    EXPECT_EQ(DensityCorrection(4), 0);
}

TEST(DensityCorrection, TheGammaPageBandsEvenWhenToldNotToAndCorrectsEachBand)
{
    QImage page(200, 200, QImage::Format_RGB32);
    page.fill(Qt::white);
    TCanvas printer(page);
    {
        TGammaPrintPage gamma(printer, 0.15, QSize(254, 254), 0, false, QPoint(), TRect{0, 0, 100, 100});
        EXPECT_EQ(gamma.BandCount(), 1);
        ASSERT_TRUE(gamma.NextBand());
        gamma.GetCanvas().Painter().fillRect(QRect(0, 0, 100, 100), QColor(128, 128, 128));
        EXPECT_FALSE(gamma.NextBand());
    }
    EXPECT_EQ(QColor(page.pixel(50, 50)), QColor(109, 109, 109));
    EXPECT_EQ(QColor(page.pixel(150, 150)), QColor(Qt::white));
    // No correction, no banding: drawn straight on the page.
    TGammaPrintPage plain(printer, 0, QSize(254, 254), 0, false, QPoint(), TRect{0, 0, 100, 100});
    ASSERT_TRUE(plain.NextBand());
    EXPECT_EQ(&plain.GetCanvas(), &printer);
}

TEST(DirectPrintAdapter, LaysDiscsOutForTheCurrentPrinterAndLeavesOtherPapersAlone)
{
    test::TDiscCatalogue disc;
    QString current = "queue-x";
    int opened = 0;
    TDirectPrintPaperAdapter adapter(
        &disc.catalogue, [&] { return current; },
        [&](const QString& name) -> std::unique_ptr<IPrinterConfiguration> {
            ++opened;
            if (name == "gone") throw EKestrel("gone");
            auto printer = std::make_unique<test::TFakePrinter>(std::vector<TFormInfo>{});
            printer->driverName = name == "queue-x" ? "Model X" : "Plain";
            return printer;
        });
    auto label = DiscPaper();
    label->SetGroupName("ラベル");
    EXPECT_FALSE(adapter.IsDirectPrint(*label));
    EXPECT_TRUE(adapter.Key(*label).isEmpty());
    EXPECT_EQ(adapter.Adapt(*label)->Width(), 1200);

    ASSERT_TRUE(adapter.IsDirectPrint(*DiscPaper()));
    const QString key = adapter.Key(*DiscPaper());
    EXPECT_EQ(adapter.Adapt(*DiscPaper())->GetFaceRect(0).left, 655 - 590);
    current = "queue-plain";
    EXPECT_NE(adapter.Key(*DiscPaper()), key);
    EXPECT_EQ(adapter.Adapt(*DiscPaper())->GetFaceRect(0).left, 1050 - 590);
    const int opens = opened;
    adapter.Key(*DiscPaper());
    EXPECT_EQ(opened, opens);  // a printer's driver is asked once
    current = "gone";
    EXPECT_EQ(adapter.Adapt(*DiscPaper())->GetFaceRect(0), (TSheetRect{10, 10, 1190, 1190}));
}

TEST(DirectPrintAdapter, TheDocumentKeepsItsLayoutUntilTheKeyOrTheRingChanges)
{
    test::TDiscCatalogue disc;
    QString current = "queue-x";
    auto adapter = std::make_shared<TDirectPrintPaperAdapter>(
        &disc.catalogue, [&] { return current; },
        [&](const QString& name) -> std::unique_ptr<IPrinterConfiguration> {
            auto printer = std::make_unique<test::TFakePrinter>(std::vector<TFormInfo>{});
            printer->driverName = name == "queue-x" ? "Model X" : "Plain";
            return printer;
        });
    TLabelData document;
    document.SetPaper(*DiscPaper());
    EXPECT_EQ(document.EffectivePaper()->Width(), 1200);  // no adapter: the sheet's own paper
    document.SetPaperAdapter(adapter);
    EXPECT_TRUE(document.IsDirectPrintPaper());
    EXPECT_EQ(document.Face(0).rect.left, 65);
    WriteRingAdjustment(*DiscPaper(), {0, 20});
    EXPECT_EQ(document.Face(0).rect.left, 65);  // kept until told
    document.InvalidateEffectivePaper();
    EXPECT_EQ(document.Face(0).rect.left, 55);
    current = "queue-plain";
    EXPECT_EQ(document.Face(0).rect, (TSheetRect{450, 885, 1650, 2085}));
}

}  // namespace
}  // namespace kestrel
