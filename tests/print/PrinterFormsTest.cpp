#include <gtest/gtest.h>

#include <QImage>

#include "app/MessageFormat.h"
#include "label/LabelDocumentFixtures.h"
#include "imaging/GreyBlur.h"
#include "platform/Error.h"
#include "platform/PrinterConfiguration.h"
#include "platform/PrinterForms.h"
#include "FakePrinter.h"
#include "print/PaperPrintSetting.h"
#include "print/PrintCommand.h"
#include "print/PrintSpec.h"

namespace kestrel {
namespace {

std::vector<TFormInfo> SomeForms()
{
    return {{"A4", 9, QSize(2100, 2970)},
            {"Square 120", 300, QSize(1205, 1205)},
            {"Postcard", 43, QSize(1000, 1480)},
            {"User", UserPaperId, QSize()}};
}

// A printer with fixed forms, set to one of them.
test::TFakePrinter PrinterSetTo(int paperSize)
{
    test::TFakePrinter printer(SomeForms());
    printer.GetDeviceMode().paperSize = paperSize;
    return printer;
}

std::unique_ptr<TMatrixPaperInfo> SquarePaperOf(int size)
{
    auto paper = test::SquarePaper(1);
    paper->SetPortraitSize(size, size);
    return paper;
}

TEST(PrinterForm, FindsByNameSizeNearSizeAndId)
{
    const TPrinterForm forms(SomeForms());
    EXPECT_EQ(forms.FindByName("square 120"), 1);
    EXPECT_EQ(forms.FindBySize(QSize(1000, 1480)), 2);
    EXPECT_EQ(forms.FindBySize(QSize(1000, 1481)), -1);
    EXPECT_EQ(forms.FindNearSize(QSize(1200, 1200)), 1);   // 0.5 mm off
    EXPECT_EQ(forms.FindNearSize(QSize(1184, 1200)), -1);  // 2.1 mm off
    EXPECT_EQ(forms.FindByID(43), 2);
    EXPECT_EQ(forms.FindByID(44), -1);
    EXPECT_EQ(forms.GetText(), "A4\r\nSquare 120\r\nPostcard\r\nUser\r\n");
    EXPECT_EQ(TFormInfo(QString(80, 'x'), 1, QSize()).GetName().size(), 64);
}

TEST(PaperSizeName, TheFormNameWithinTwoMillimetresElseThePapersOwnSize)
{
    test::TFakePrinter square = PrinterSetTo(300);
    EXPECT_EQ(PaperSizeName(square, *SquarePaperOf(1200)), "Square 120");
    EXPECT_EQ(PaperSizeName(square, *SquarePaperOf(1184)), "118.4 x 118.4mm");
    test::TFakePrinter a4 = PrinterSetTo(9);
    EXPECT_EQ(PaperSizeName(a4, *SquarePaperOf(1200)), "120 x 120mm");
    // A printer set to an id it does not list still names the paper's size.
    test::TFakePrinter unknown = PrinterSetTo(77);
    EXPECT_EQ(PaperSizeName(unknown, *SquarePaperOf(1200)), "120 x 120mm");
    test::TFakePrinter user = PrinterSetTo(UserPaperId);
    user.GetDeviceMode().paperWidth = 1190;
    user.GetDeviceMode().paperLength = 1210;
    EXPECT_EQ(PaperSizeName(user, *SquarePaperOf(1200)), "119 x 121mm");
    // A landscape paper is fed upright.
    auto landscape = test::TwoDiscPaper();
    landscape->SetLandscape(true);
    EXPECT_EQ(PaperSizeName(a4, *landscape), "A4");
}

TEST(PaperSizeName, TheConfirmationNeverReadsTheNameAsAPlaceholder)
{
    const QString name = "100% %s";
    EXPECT_EQ(FormatText(StartConfirmationTemplate(name), {name}),
              "印刷を開始します。\r\n\r\n「100% %s」サイズの用紙、もしくはメディアをセットして [OK] をクリックしてください。");
    EXPECT_EQ(StartConfirmationTemplate({}), "印刷を開始します。\r\n\r\n用紙をセットして [OK] をクリックしてください。");
}

TEST(PdfPrinter, FitsItsPageToThePaperAddingACustomSizeWhenNeeded)
{
    auto pdf = TPrinterConfiguration::Named(PdfPrinterName());
    const TPaperPrintSetting settings(nullptr);
    settings.ApplyForPrinter(*pdf, *test::TwoDiscPaper());
    EXPECT_EQ(pdf->SelectedPageSize()->id(), QPageSize::A4);
    settings.ApplyForPrinter(*pdf, *SquarePaperOf(1234));
    const QSizeF mm = pdf->SelectedPageSize()->size(QPageSize::Millimeter);
    EXPECT_NEAR(mm.width(), 123.4, 0.01);
    EXPECT_EQ(pdf->GetForms().GetForm(pdf->GetForms().FindByID(pdf->GetDeviceMode().paperSize)).GetName(),
              "123.4 x 123.4mm");
    EXPECT_THROW(TPrinterConfiguration::Named("存在しないプリンタ"), EKestrel);
}

TEST(PrintRequest, NoChosenFaceIsRefusedAndTheOffsetSwitchZeroesOnlyThisPrint)
{
    TPrintRequest request;
    request.allFaces = false;
    request.selection = QByteArray(2, 0);
    EXPECT_EQ(PrintRequestProblem(request), "印刷するラベルが一つもありません");
    request.selection[1] = 1;
    EXPECT_TRUE(PrintRequestProblem(request).isEmpty());

    request.leftOffset = 123;
    request.topOffset = -45;
    request.offsetEnabled = false;
    TPrintOptions options;
    RememberPrintRequest(request, options);
    EXPECT_EQ(options.leftOffset, 0);
    EXPECT_EQ(FillPrintSpec(options, false).Faces, (std::vector<uint8_t>{0, 1}));
    request.offsetEnabled = true;
    RememberPrintRequest(request, options);
    EXPECT_EQ(FillPrintSpec(options, false).Offset, QPoint(123, -45));
}

TEST(GreyBlur, AnEdgeBecomesASmoothRampOfAboutTheRadius)
{
    QImage picture(200, 4, QImage::Format_Grayscale8);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 200; ++x) picture.scanLine(y)[x] = x < 100 ? 0 : 255;
    BlurGrey8(picture, 30, 30);
    const uint8_t* row = picture.constScanLine(2);
    EXPECT_EQ(row[0], 0);
    EXPECT_EQ(row[199], 255);
    EXPECT_NEAR(row[99] + row[100], 255, 4);  // symmetric about the edge
    EXPECT_GT(row[85], 5);
    EXPECT_LT(row[114], 250);
    for (int x = 1; x < 200; ++x) EXPECT_LE(row[x - 1], row[x]);
    EXPECT_EQ(picture.constScanLine(0)[150], row[150]);  // vertical blur of equal rows changes nothing
}

}  // namespace
}  // namespace kestrel
