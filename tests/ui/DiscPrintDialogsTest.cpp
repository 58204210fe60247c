// The dialogs of printing onto discs and the paper's pattern on the editing screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTimer>

#include "app/AppFrame.h"
#include "document/DOList.h"
#include "edit/LayoutSession.h"
#include "label/LabelData.h"
#include "label/LabelDocumentFixtures.h"
#include "label/PaperPattern.h"
#include "paper/PaperRecords.h"
#include "platform/PrinterConfiguration.h"
#include "print/DiscFixtures.h"
#include "print/FakePrinter.h"
#include "print/PaperPrintSetting.h"
#include "print/PrintSpec.h"
#include "render/DrawSite.h"
#include "support/MessageRecorder.h"
#include "support/PrivateCups.h"
#include "support/TestEnvironment.h"
#include "ui/DiscPrintDialogs.h"
#include "ui/FaceView.h"
#include "ui/PrintPaperDialog.h"
#include "ui/PrinterSettingDialog.h"

namespace kestrel {
namespace {

// Presses the button of that caption on the next modal dialog, once it is open.
void PressOnModal(const QString& caption)
{
    QTimer::singleShot(0, [caption] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_TRUE(modal) << "no dialog opened";
        for (QPushButton* button : modal->findChildren<QPushButton*>())
            if (button->text() == caption) return button->click();
        ADD_FAILURE() << "no button " << caption.toStdString();
    });
}

class DiscDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RecordMessages(frame, messages, answer);
        document.SetPaper(*test::DiscPaper());
        document.SetPaperAdapter(std::make_shared<TDirectPrintPaperAdapter>(
            &disc.catalogue, [] { return CurrentPrinterName(); },
            [](const QString& name) -> std::unique_ptr<IPrinterConfiguration> {
                return TPrinterConfiguration::Named(name);
            }));
    }

    TAppFrame frame;
    QStringList messages;
    int answer = mrOk;
    test::TDiscCatalogue disc;
    TLabelData document;
    TPrintOptions remembered;
};

TEST_F(DiscDialogsTest, TheRingDialogWritesAtOnceWithinTheLimitsAndPutsBackOnCancel)
{
    {
        TfrmAdjustDiscSize dialog(document, &disc.catalogue);
        EXPECT_EQ(dialog.OuterBox().maximum(), 2.0);          // 120 mm at most
        EXPECT_DOUBLE_EQ(dialog.InnerBox().minimum(), -7.1);  // 15.9 mm at least
        EXPECT_EQ(dialog.OuterBox().text(), "+0.0 mm");
        const QStringList texts = [&] {
            QStringList all;
            for (QLabel* label : dialog.findChildren<QLabel*>()) all << label->text();
            return all;
        }();
        EXPECT_TRUE(texts.join('\n').contains("外円では120mmを超えるサイズ、内円では15.9mm未満"));
        EXPECT_TRUE(texts.join('\n').contains("調整後のサイズ 118.0 mm"));

        dialog.OuterBox().setValue(2.0);
        EXPECT_EQ(ReadRingAdjustment(*document.SheetPaper()), (TRingAdjustment{0, 20}));
        EXPECT_EQ(document.Face(0).rect.Width(), 1200);  // the document lays the disc out again
        EXPECT_EQ(dialog.InnerBox().maximum(), 92.0);
        EXPECT_EQ(dialog.OuterBox().text(), "+2.0 mm");
        dialog.reject();
    }
    EXPECT_EQ(ReadRingAdjustment(*document.SheetPaper()), (TRingAdjustment{0, 0}));
    EXPECT_EQ(document.Face(0).rect.Width(), 1180);
    {
        TfrmAdjustDiscSize dialog(document, &disc.catalogue);
        dialog.InnerBox().setValue(-3.0);
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    }
    EXPECT_EQ(ReadRingAdjustment(*document.SheetPaper()), (TRingAdjustment{-30, 0}));
}

TEST_F(DiscDialogsTest, WithoutLimitsForItsGroupNothingCanBeAdjusted)
{
    auto other = test::DiscPaper();
    other->SetGroupName("ダイレクトプリント\\不明");
    document.SetPaper(*other);
    TfrmAdjustDiscSize dialog(document, &disc.catalogue);
    EXPECT_FALSE(dialog.OuterBox().isEnabled());
    EXPECT_FALSE(dialog.InnerBox().isEnabled());
}

TEST_F(DiscDialogsTest, ThePrintDialogLeavesFramesCutLinesAndPatternOffForADisc)
{
    int ringChanges = 0;
    TPrintDialogContext context;
    context.catalogue = &disc.catalogue;
    context.discSize = [&] { return ++ringChanges > 0; };
    TfrmPrintPaper dialog(document, remembered, context);
    for (const char* caption : {"ラベル枠線を印刷(&F)", "切り取り線を印刷(&C)", "用紙柄を印刷(&I)"}) {
        const auto boxes = dialog.findChildren<QCheckBox*>();
        const auto box =
            std::find_if(boxes.begin(), boxes.end(), [&](QCheckBox* b) { return b->text() == caption; });
        ASSERT_NE(box, boxes.end());
        EXPECT_FALSE((*box)->isEnabled()) << caption;
    }
    auto* discSize = dialog.findChild<QPushButton*>("DiscSize");
    ASSERT_TRUE(discSize->isEnabled());
    discSize->click();
    EXPECT_EQ(ringChanges, 1);
    EXPECT_FALSE(dialog.findChild<QPushButton*>("PrinterSetup")->isEnabled());  // no command given

    document.SetPaper(*test::TwoDiscPaper());
    TfrmPrintPaper sheet(document, remembered, context);
    EXPECT_FALSE(sheet.findChild<QPushButton*>("DiscSize")->isEnabled());
}

TEST_F(DiscDialogsTest, APrinterWithoutDiscsIsConfirmedChangedOrCancelled)
{
    test::TPrivateCups cups;
    QString why;
    if (!cups.Start(why)) GTEST_SKIP() << "No private CUPS scheduler on this machine: " << why.toStdString();
    TPrinterConfiguration::Named(test::TPrivateCups::Queue)->MakeCurrent();
    int setups = 0;
    TPrintDialogContext context;
    context.catalogue = &disc.catalogue;
    context.printerSetup = [&] {
        ++setups;
        TPrinterConfiguration::Named(PdfPrinterName())->MakeCurrent();
        return true;
    };
    TfrmPrintPaper dialog(document, remembered, context);
    PressOnModal("キャンセル");
    EXPECT_FALSE(dialog.Start());
    EXPECT_TRUE(messages.isEmpty());  // not even asked to load the disc

    answer = mrCancel;
    PressOnModal("印刷(&P)");
    EXPECT_FALSE(dialog.Start());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("印刷を開始します。")) << messages[0].toStdString();

    // Changing the printer to one that takes the disc (a PDF file) asks no more, not even for
    // media to load.
    dialog.findChild<QLineEdit*>("PdfFile")->setText(test::TestFolder() + "/disc.pdf");
    PressOnModal("プリンタ設定変更(&S)...");
    EXPECT_TRUE(dialog.Start());
    EXPECT_EQ(setups, 1);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(dialog.findChild<QComboBox*>("Printers")->currentText(), PdfPrinterName());
}

TEST_F(DiscDialogsTest, TheEpsonPanelShowsMediaAndQualityAndWritesChoicesBack)
{
    auto epson = test::TFakePrinter::FromPpd(test::GutenprintPpd("escp2-r300"));
    ASSERT_TRUE(epson->GetDriver()) << "printer-driver-gutenprint is missing";
    TframeEpsonPrinterSetting panel(nullptr);
    panel.Bind(epson.get());
    ASSERT_TRUE(panel.Available());
    panel.Refresh();
    EXPECT_EQ(panel.MediaBox().currentText(), "普通紙");
    EXPECT_EQ(panel.QualityBar().maximum(), 9);
    EXPECT_EQ(panel.QualityBar().value(), 6);
    panel.MediaBox().setCurrentText("ｽｰﾊﾟｰﾌｧｲﾝ専用紙");
    EXPECT_EQ(epson->Option("MediaType"), "Coated");
    panel.QualityBar().setValue(1);
    EXPECT_EQ(epson->Option("StpQuality"), "Best");

    epson->GetDeviceMode().driverOptions["StpQuality"] = "None";
    panel.Refresh();
    EXPECT_TRUE(panel.QualityBar().isHidden() || !panel.QualityBar().isVisibleTo(&panel));
    EXPECT_FALSE(panel.Detail().isHidden());
    EXPECT_TRUE(panel.Detail().text().startsWith("詳細設定されています。"));
    panel.MediaBox().setCurrentText("普通紙");
    EXPECT_EQ(epson->Option("MediaType"), "Coated");  // a custom setting is left to the driver's dialog
}

TEST_F(DiscDialogsTest, TheCanonPanelSetsTheChosenMedia)
{
    auto canon = test::TFakePrinter::FromPpd(test::GutenprintPpd("bjc-PIXMA-iP4500"));
    ASSERT_TRUE(canon->GetDriver()) << "printer-driver-gutenprint is missing";
    TframeCanonPrinterSetting panel(nullptr);
    panel.Bind(canon.get());
    panel.Refresh();
    EXPECT_EQ(panel.Box(ciMediaType).currentText(), "普通紙");
    EXPECT_EQ(panel.Box(ciQuality).currentText(), "標準");
    panel.Box(ciMediaType).setCurrentText("レーベル印刷可能ディスク(推奨)");
    EXPECT_EQ(canon->Option("InputSlot"), "CD");
}

TEST_F(DiscDialogsTest, ThePrinterSettingDialogSetsTheChosenPrinterUpForTheDisc)
{
    test::TPrivateCups cups;
    const QString ppd = test::GutenprintPpd("escp2-r300");
    ASSERT_FALSE(ppd.isEmpty()) << "printer-driver-gutenprint is missing";
    cups.AddQueue("epson-disc", ppd);
    QString why;
    if (!cups.Start(why)) GTEST_SKIP() << "No private CUPS scheduler on this machine: " << why.toStdString();
    TPrinterConfiguration::Named(PdfPrinterName())->MakeCurrent();
    const TPaperPrintSetting settings(&disc.catalogue);
    TfrmPrinterSetting dialog(settings, *document.SheetPaper());
    EXPECT_EQ(qobject_cast<QLabel*>(dialog.VendorPages().currentWidget())->text(),
              "このプリンタではTamarind印刷設定をご使用になれません。プロパティボタンを押して設定変更をしてく"
              "ださい。");

    dialog.PrinterBox().setCurrentText("epson-disc");
    EXPECT_EQ(dialog.Printer().GetDeviceName(), "epson-disc");
    EXPECT_EQ(dialog.VendorPages().currentWidget(), &dialog.EpsonPanel());
    EXPECT_EQ(dialog.Printer().GetDeviceMode().driverOptions.at("InputSlot"), "CD");
    EXPECT_EQ(dialog.PaperBox().currentText(), "CD - Custom");
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(CurrentPrinterName(), "epson-disc");
}

// A paper pattern of one rectangle shared by every face.
void GivePattern(TLabelData& document, const TRect& bounds)
{
    test::RegisterTestObjects();
    TImagePaperInfo images;
    test::TFilledRect rect;
    rect.SetBounds(bounds);
    TDOList pattern;
    pattern.Add(rect);
    images.AddList(pattern);
    images.SetSeparatelyDesign(false);
    document.SetImageInfo(&images);
}

TEST(PaperPattern, TheEditingScreenShowsThePatternUnderTheFaceAndNeverSavesIt)
{
    TLabelData document;
    document.SetPaper(*test::TwoDiscPaper());
    GivePattern(document, {0, 0, 1190, 1190});
    test::PutRects(document, 0, {{0, 0, 100, 100}});

    TLayoutSession session;
    TFaceView view(session);
    view.Load(document, 0);
    ASSERT_EQ(view.Site()->ChildCount(), 2);
    int patterns = 0;
    for (int i = 0; i < view.Site()->ChildCount(); ++i) {
        const TDrawObject& object = view.Site()->Child(i);
        if (object.LayerGroup() != PatternLayerGroup) continue;
        ++patterns;
        EXPECT_FALSE(object.Selectable());
        EXPECT_FALSE(object.Enabled());
    }
    EXPECT_EQ(patterns, 1);
    view.Site()->SetModified(true);
    view.Flush();
    TDOList saved;
    document.LoadFaceObjects(0, saved);
    EXPECT_EQ(saved.Count(), 1);
    view.Unload();
}

TEST(PaperPattern, OnALandscapePaperThePatternTurnsAQuarter)
{
    TLabelData document;
    auto paper = test::TwoDiscPaper();
    paper->SetLandscape(true);
    document.SetPaper(*paper);
    GivePattern(document, {0, 0, 100, 50});
    const auto turned = FacePatternObjects(document, 0);
    ASSERT_EQ(turned.size(), 1u);
    EXPECT_EQ(turned[0]->LayerGroup(), PatternLayerGroup);
    const TRect bounds = dynamic_cast<IDOEncloseBounds&>(*turned[0]).GetBounds();
    EXPECT_EQ(bounds.Width(), 100);  // moved, not resized: turning is the object's own business
    EXPECT_NE(bounds, (TRect{0, 0, 100, 50}));
}

}  // namespace
}  // namespace kestrel
