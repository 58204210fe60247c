#include "print/PrintCommand.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>
#include <cstdlib>

#include "app/AppFrame.h"
#include "label/LabelData.h"
#include "paper/PaperInfo.h"
#include "platform/PrintJob.h"
#include "platform/PrinterConfiguration.h"
#include "print/DirectPrint.h"
#include "print/PaperPrintSetting.h"
#include "print/PhasedProgress.h"
#include "print/PrintSite.h"
#include "print/PrintSpec.h"

namespace kestrel {

namespace {

QString MillimetreName(QSize tenths)
{
    return MillimetreSizeName(tenths.width(), tenths.height());
}

// The size as the sheet is fed: a landscape paper goes in upright.
QSize FedSize(const TPaperInfo& paper)
{
    return QSize(paper.PortraitWidth(), paper.PortraitHeight());
}

bool Near(QSize a, QSize b)
{
    return std::abs(a.width() - b.width()) <= NearSizeTolerance && std::abs(a.height() - b.height()) <= NearSizeTolerance;
}

}  // namespace

QString PrintRequestProblem(const TPrintRequest& request)
{
    const bool noneChosen = std::all_of(request.selection.cbegin(), request.selection.cend(), [](char c) { return c == 0; });
    if (!request.allFaces && noneChosen) return QStringLiteral("印刷するラベルが一つもありません");
    return {};
}

void RememberPrintRequest(const TPrintRequest& request, TPrintOptions& options)
{
    options.copies = std::clamp(request.copies, MinCopies, MaxCopies);
    options.printFrame = request.printFrame;
    options.printCutLine = request.printCutLine;
    options.printPaperImage = request.printPaperImage;
    options.blurEdge = request.blurEdge;
    options.selectedOnly = !request.allFaces;
    if (!request.allFaces) options.selection = request.selection;
    options.leftOffset = request.offsetEnabled ? request.leftOffset : 0;
    options.topOffset = request.offsetEnabled ? request.topOffset : 0;
    options.thicknessLevel = 0;
}

QString PaperSizeName(IPrinterConfiguration& printer, const TPaperInfo& paper)
{
    const TDeviceMode& mode = printer.GetDeviceMode();
    const IPrinterForm& forms = printer.GetForms();
    const QSize paperSize = FedSize(paper);
    const int index = forms.FindByID(mode.paperSize);
    // A printer set to a size it does not list still prints on the paper's size.
    if (index < 0) return MillimetreName(paperSize);
    const TFormInfo& form = forms.GetForm(index);
    const bool user = form.GetID() == UserPaperId;
    const QSize formSize = user ? QSize(mode.paperWidth, mode.paperLength) : form.GetSize();
    if (!Near(formSize, paperSize)) return MillimetreName(paperSize);
    return user ? MillimetreName(formSize) : form.GetName();
}

QString StartConfirmationTemplate(const QString& sizeName)
{
    if (sizeName.isEmpty()) return QStringLiteral("印刷を開始します。\r\n\r\n用紙をセットして [OK] をクリックしてください。");
    return QStringLiteral("印刷を開始します。\r\n\r\n「%s」サイズの用紙、もしくはメディアをセットして [OK] をクリックしてください。");
}

QString PrintTitle(const TLabelData& document)
{
    const QString name =
        document.DataName().isEmpty() ? QStringLiteral("新規作成") : QFileInfo(document.DataName()).fileName();
    // Without the program's macro table (a bare library user) the title is the name alone.
    const QString format = TAppFrame::Instance() ? TAppFrame::Instance()->Expand(QStringLiteral("$(PrintTitleFormat)")) : QString();
    return format.contains(QStringLiteral("%s")) ? FormatText(format, {name}) : name;
}

bool PrintDocument(TLabelData& document, IPrintDevice& printer, TSTDPhasedProgress& progress,
                   const std::function<void()>& idle, const TPrintSpec& job)
{
    // Date objects show the print date, so it is stamped first and taken back when nothing printed.
    const TDocumentDates before = document.Dates();
    document.SetLastPrint(QDateTime::currentDateTime());
    printer.SetTitle(PrintTitle(document));
    TPrintSite site(document, progress, job, printer);
    site.SetOnIdle(idle);
    try {
        site.Print();
    } catch (...) {
        document.RestoreDates(before);
        throw;
    }
    if (printer.Aborted()) document.RestoreDates(before);
    return !printer.Aborted();
}

TPrintSpec PreparePrint(const TLabelData& document, const TPrintOptions& options, IPrinterConfiguration& printer)
{
    const bool direct = document.IsDirectPrintPaper();
    TPrintSpec job = FillPrintSpec(options, direct);
    if (direct && document.FaceCount() > 0) job.Offset = SetDiscJobOptions(printer, document.Face(0), job.Offset);
    return job;
}

bool DirectPrintRefused(const TLabelData& document, IPrinterConfiguration& printer, const TPapersV2* catalogue)
{
    // A PDF file is a picture of the disc, which is what it is asked for.
    return document.IsDirectPrintPaper() && printer.GetDeviceName() != PdfPrinterName() &&
           !PrinterSupportsDirectPrint(printer, *document.SheetPaper(), catalogue);
}

std::optional<int> PrintDocumentOn(TLabelData& document, const TPrintOptions& options, const QString& printerName,
                                   const QString& pdfFile, TSTDPhasedProgress& progress, const TPapersV2* catalogue,
                                   const std::function<void()>& refused)
{
    std::unique_ptr<TPrinterConfiguration> printer = TPrinterConfiguration::Named(printerName);
    document.SetPaperAdapter(std::make_shared<TDirectPrintPaperAdapter>(
        catalogue, [printerName] { return printerName; },
        [](const QString& name) -> std::unique_ptr<IPrinterConfiguration> { return TPrinterConfiguration::Named(name); }));
    if (refused && DirectPrintRefused(document, *printer, catalogue)) refused();
    TPaperPrintSetting(catalogue).ApplyForPrinter(*printer, *document.SheetPaper());
    const TPrintSpec job = PreparePrint(document, options, *printer);
    TPdfPrintJob device(*printer, pdfFile);
    if (!PrintDocument(document, device, progress, {}, job)) return std::nullopt;
    return device.JobId();
}

}  // namespace kestrel
