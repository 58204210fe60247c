#pragma once

// What the print dialog and the command line share: checking and remembering what the user
// asked for, naming the paper size, and running the job.

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace kestrel {

class IPrintDevice;
class IPrinterConfiguration;
class TLabelData;
class TPaperInfo;
class TPrinterConfiguration;
class TSTDPhasedProgress;
struct TPrintOptions;

// The choices of one print, as the dialog or the command line collects them.
struct TPrintRequest {
    int copies = 1;
    bool printFrame = false;
    bool printCutLine = false;
    bool printPaperImage = false;
    bool blurEdge = false;
    bool allFaces = true;
    QByteArray selection;  // one byte per face, non-zero = print it
    int leftOffset = 0;
    int topOffset = 0;  // 0.1 mm
    bool offsetEnabled = true;
};

// Why the request cannot be printed, or empty.
QString PrintRequestProblem(const TPrintRequest& request);
// Remembers the request in options for the print command; with the offset switch off the print
// runs without offsets (the dialog's settings keep the typed values).
void RememberPrintRequest(const TPrintRequest& request, TPrintOptions& options);

// The name of the size the printer is set to, for the start confirmation: the form's name when
// it is the paper's size within 2.0 mm, else the size in millimetres.
QString PaperSizeName(IPrinterConfiguration& printer, const TPaperInfo& paper);
// The start confirmation "印刷を開始します。...", with one "%s" for the size name when there is
// one (filled in by the message box, so the name is never read as a macro).
QString StartConfirmationTemplate(const QString& sizeName);

// Sets the printer to the form of the paper's size (within 2.0 mm), adding a custom size when it
// has none, and to the paper's orientation.
void FitPrinterToPaper(TPrinterConfiguration& printer, const TPaperInfo& paper);

// The job title: the document's file name without folder, or "新規作成".
QString PrintTitle(const TLabelData& document);

// The print command after the dialog: stamps the document's print time, titles the job and
// prints the current sheet from the remembered options. idle runs between objects, bands and
// faces. False when the job was aborted (nothing was sent).
bool PrintDocument(TLabelData& document, const TPrintOptions& options, IPrintDevice& printer,
                   TSTDPhasedProgress& progress, const std::function<void()>& idle);

// PrintDocument without a dialog: the named printer (or the PDF printer, writing pdfFile) is set
// to the document's paper first. The queue's job id (0 for a PDF file), or nothing when aborted.
std::optional<int> PrintDocumentOn(TLabelData& document, const TPrintOptions& options, const QString& printerName,
                                   const QString& pdfFile, TSTDPhasedProgress& progress);

}  // namespace kestrel
