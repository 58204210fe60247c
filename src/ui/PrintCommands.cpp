#include "ui/PrintCommands.h"

#include <QApplication>

#include "app/AppFrame.h"
#include "platform/PrintJob.h"
#include "platform/PrinterConfiguration.h"
#include "print/PhasedProgress.h"
#include "print/PrintCommand.h"
#include "print/PrintSpec.h"
#include "ui/PrintPaperDialog.h"
#include "ui/PrintingPopup.h"

namespace kestrel {

QString PrintSheetFromWindow(TLabelData& document, TPrintOptions& options, const TPrintDialogContext& context,
                             QWidget* parent)
{
    QString pdfFile;
    {
        TfrmPrintPaper dialog(document, options, context, parent);
        if (dialog.exec() != QDialog::Accepted) return {};
        pdfFile = dialog.PdfFile();
    }
    std::unique_ptr<TPrinterConfiguration> printer = TPrinterConfiguration::Current();
    const TPrintSpec spec = PreparePrint(document, options, *printer);
    TPdfPrintJob job(*printer, pdfFile);
    bool printed = false;
    {
        TfrmPrinting popup(job, parent);
        job.SetOnSending([] { QApplication::processEvents(); });
        TSTDPhasedProgress progress([&popup](int percent) { popup.SetPercent(percent); });
        printed = PrintDocument(document, job, progress, [] { QApplication::processEvents(); }, spec);
    }
    if (!printed) {
        TAppFrame::ShowOkMessage(QStringLiteral("印刷を中止しました。印刷データは送られていません"));
        return {};
    }
    return pdfFile;
}

}  // namespace kestrel
