#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "print/PrintCommand.h"
#include "render/DrawSite.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace kestrel {

class TLabelData;
class TPaperPrintSetting;
class TPapersV2;
struct TPrintOptions;
class TPrinterConfiguration;
class TSiteView;

// What the print dialog borrows from the main window.
struct TPrintDialogContext {
    const TPaperPrintSetting* settings = nullptr;
    const TPapersV2* catalogue = nullptr;
    // The window's printer-setup command; true when a printer setting was confirmed.
    std::function<bool()> printerSetup;
    // The window's ring-size command; true when the adjustment changed.
    std::function<bool()> discSize;
};

// The print dialog ("ラベルシートの印刷"): copies, the faces to print chosen on a small picture
// of the sheet, frames, cut lines, paper pattern, soft edge, the print offset and the printer
// (any CUPS queue or a PDF file). A disc printed directly gets no frames, cut lines or pattern;
// its printer is checked for discs before printing. Accepting it remembers the choices for the
// print command and makes the chosen printer current.
class TfrmPrintPaper : public QDialog {
public:
    // The dialog starts from the remembered options and keeps the choices there.
    TfrmPrintPaper(TLabelData& document, TPrintOptions& remembered, TPrintDialogContext context = {},
                   QWidget* parent = nullptr);
    ~TfrmPrintPaper() override;

    // The PDF file chosen, when the PDF printer is the one chosen.
    QString PdfFile() const;
    TPrintRequest Request() const;
    // Checks, confirms and remembers; false keeps the dialog open.
    bool Start();

private:
    void BuildFaceView();
    void ChoosePrinter(const QString& name);
    void RunPrinterSetup();
    void RunDiscSize();
    // False when the user cancelled the print on a printer without discs.
    bool CheckDirectPrint();
    bool ConfirmStart();
    void ShowAllFaces(bool all);
    QByteArray ViewSelection() const;
    void ShowSelection(const QByteArray& selection);
    void LoadRemembered();
    void OffsetSwitched();
    bool ChoosePdfFile();

    TLabelData& document_;
    TPrintOptions& remembered_;
    TPrintDialogContext context_;
    std::unique_ptr<TPrinterConfiguration> printer_;
    TDrawSite site_;
    TSiteView* view_;
    QComboBox* printers_;
    QPushButton* properties_;
    QPushButton* printerSetup_;
    QPushButton* discSize_;
    QLineEdit* pdfFile_;
    QPushButton* browse_;
    QSpinBox* copies_;
    QRadioButton* allFaces_;
    QRadioButton* chosenFaces_;
    QCheckBox* frame_;
    QCheckBox* cutLine_;
    QCheckBox* paperImage_;
    QCheckBox* blurEdge_;
    QCheckBox* offsetEnabled_;
    QDoubleSpinBox* leftOffset_;
    QDoubleSpinBox* topOffset_;
};

}  // namespace kestrel
