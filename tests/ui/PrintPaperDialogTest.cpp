#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>

#include "app/AppFrame.h"
#include "label/LabelData.h"
#include "label/LabelDocumentFixtures.h"
#include "platform/PrinterConfiguration.h"
#include "print/PrintSpec.h"
#include "support/MessageRecorder.h"
#include "support/TestEnvironment.h"
#include "ui/MainWindow.h"
#include "ui/PrintPaperDialog.h"
#include "ui/SiteView.h"

namespace kestrel {
namespace {

class PrintPaperDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RecordMessages(frame, messages, answer);
        document.SetPaper(*test::TwoDiscPaper());
    }

    static QRadioButton* Radio(QDialog& dialog, const QString& caption)
    {
        for (QRadioButton* radio : dialog.findChildren<QRadioButton*>())
            if (radio->text() == caption) return radio;
        return nullptr;
    }

    // A click on the centre of face n of the dialog's sheet picture.
    void ClickFace(QDialog& dialog, int n)
    {
        auto* view = dialog.findChild<TSiteView*>();
        const TSheetRect outer = document.Face(n).OuterRect();
        const QPoint at = view->Site().LogToDev({(outer.left + outer.right) / 2, outer.top + 100});
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, QPointF(at), view->Surface().mapToGlobal(QPointF(at)), Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&view->Surface(), &event);
        }
    }

    TAppFrame frame;
    QStringList messages;
    int answer = mrOk;
    TLabelData document;
    TPrintOptions remembered;
};

TEST_F(PrintPaperDialogTest, ChosenFacesWithNoneSelectedKeepTheDialogOpen)
{
    TfrmPrintPaper dialog(document, remembered);
    Radio(dialog, "指定ラベル(&S)")->setChecked(true);
    // Switching to chosen faces with nothing chosen chooses the first face; a click takes it away.
    EXPECT_EQ(dialog.Request().selection, QByteArray("\x01\x00", 2));
    ClickFace(dialog, 0);
    EXPECT_EQ(dialog.Request().selection, QByteArray(2, 0));
    EXPECT_FALSE(dialog.Start());
    EXPECT_EQ(messages, QStringList{"印刷するラベルが一つもありません"});
}

// A file needs no paper loaded: starting asks nothing.
TEST_F(PrintPaperDialogTest, StartingAPdfFileAsksForNoPaperAndRemembersTheChoices)
{
    TfrmPrintPaper dialog(document, remembered);
    dialog.findChild<QComboBox*>("Printers")->setCurrentText(PdfPrinterName());
    dialog.findChild<QLineEdit*>("PdfFile")->setText(test::TestFolder() + "/sheet.pdf");
    Radio(dialog, "指定ラベル(&S)")->setChecked(true);
    ClickFace(dialog, 1);
    answer = mrCancel;
    ASSERT_TRUE(dialog.Start());
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
    EXPECT_TRUE(remembered.selectedOnly);
    EXPECT_EQ(remembered.selection, QByteArray("\x01\x01", 2));
    EXPECT_EQ(TPrinterConfiguration::Current()->GetDeviceName(), PdfPrinterName());
    EXPECT_EQ(dialog.PdfFile(), test::TestFolder() + "/sheet.pdf");
}

// Printed from the window, the file is written and the window says where.
TEST_F(PrintPaperDialogTest, PrintingToAPdfFileReportsTheFileInTheStatusBar)
{
    const QString path = test::TestFolder() + "/printed.pdf";
    const QString file = test::TestFolder() + "/doc.mld";
    document.SaveToFile(file);
    TfrmMain window(frame, nullptr, nullptr);
    ASSERT_TRUE(window.OpenDocument(file));
    QTimer::singleShot(0, &window, [&] {
        auto* dialog = dynamic_cast<TfrmPrintPaper*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QComboBox*>("Printers")->setCurrentText(PdfPrinterName());
        dialog->findChild<QLineEdit*>("PdfFile")->setText(path);
        QDialogButtonBox& buttons = *dialog->findChild<QDialogButtonBox*>();
        for (QAbstractButton* button : buttons.buttons())
            if (buttons.buttonRole(button) == QDialogButtonBox::AcceptRole) button->click();
    });
    const QList<QAction*> actions = window.findChildren<QAction*>();
    const auto print = std::find_if(actions.cbegin(), actions.cend(), [](QAction* a) { return a->text() == "印刷(&P)..."; });
    ASSERT_NE(print, actions.cend());
    (*print)->trigger();
    ASSERT_TRUE(QFileInfo(path).size() > 0);
    const QString said = "PDFファイル「" + QDir::toNativeSeparators(path) + "」に印刷しました";
    EXPECT_EQ(window.statusBar()->currentMessage(), said);
    EXPECT_EQ(messages, QStringList{said}) << "and no paper to load";
}

TEST_F(PrintPaperDialogTest, ASheetOfOneFaceAlwaysPrintsAllFaces)
{
    document.SetPaper(*test::SquarePaper(1));
    remembered.selectedOnly = true;
    TfrmPrintPaper dialog(document, remembered);
    EXPECT_TRUE(Radio(dialog, "全ラベル(&A)")->isChecked());
    EXPECT_FALSE(Radio(dialog, "指定ラベル(&S)")->isEnabled());
    EXPECT_TRUE(dialog.Request().allFaces);
}

TEST_F(PrintPaperDialogTest, TheFileMenuOffersPrintingWithControlP)
{
    TfrmMain window(frame, nullptr, nullptr);
    const QList<QAction*> actions = window.findChildren<QAction*>();
    const auto print = std::find_if(actions.cbegin(), actions.cend(), [](QAction* a) { return a->text() == "印刷(&P)..."; });
    ASSERT_NE(print, actions.cend());
    EXPECT_EQ((*print)->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_EQ((*print)->statusTip(), "ラベルシートを印刷します");
}

}  // namespace
}  // namespace kestrel
