#include "cli/PrintCommand.h"

#include <unistd.h>

#include <cmath>
#include <optional>

#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/DocumentCommands.h"
#include "cli/PaperCommands.h"
#include "label/LabelData.h"
#include "paper/CatalogueStartup.h"
#include "platform/Error.h"
#include "platform/PrinterConfiguration.h"
#include "print/PhasedProgress.h"
#include "print/PrintCommand.h"
#include "print/PrintSpec.h"

namespace kestrel {

namespace {

constexpr double kMaxOffsetMm = 99.9;

struct TPrintArguments {
    QString source;
    std::optional<int> sheet;
    QString faces;
    QString pdf;
    QString printer;
    QString catalogue;
    TPrintRequest request;
    bool anyway = false;
};


// "X,Y" in millimetres, each within ±99.9, as 0.1 mm.
void ParseOffset(const QString& option, const QString& text, TPrintRequest& request)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 2) throw EArgumentError(option, text, QStringLiteral("ずらす量は X,Y (mm)で指定してください"));
    int values[2];
    for (int i = 0; i < 2; ++i) {
        bool ok = false;
        const double mm = parts[i].trimmed().toDouble(&ok);
        if (!ok || std::abs(mm) > kMaxOffsetMm)
            throw EArgumentError(option, text, QStringLiteral("ずらす量は -%1 から %1 mm までです").arg(kMaxOffsetMm));
        values[i] = int(std::lround(mm * 10));
    }
    request.leftOffset = values[0];
    request.topOffset = values[1];
}

TPrintArguments ParseArguments(const QStringList& arguments)
{
    TPrintArguments parsed;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == u"--sheet") {
            parsed.sheet = RangedOption(arguments, i, 1, kMaxSheets, QStringLiteral("シート番号"));
        } else if (arg == u"--faces") {
            parsed.faces = OptionValue(arguments, i);
            parsed.request.allFaces = false;
        } else if (arg == u"--copies") {
            parsed.request.copies = RangedOption(arguments, i, MinCopies, MaxCopies, QStringLiteral("部数"));
        } else if (arg == u"--offset") {
            ParseOffset(arg, OptionValue(arguments, i), parsed.request);
        } else if (arg == u"--frames") {
            parsed.request.printFrame = true;
        } else if (arg == u"--cut-lines") {
            parsed.request.printCutLine = true;
        } else if (arg == u"--blur-edge") {
            parsed.request.blurEdge = true;
        } else if (arg == u"--pdf") {
            parsed.pdf = OptionValue(arguments, i);
        } else if (arg == u"--printer") {
            parsed.printer = OptionValue(arguments, i);
        } else if (arg == u"--catalogue") {
            parsed.catalogue = OptionValue(arguments, i);
        } else if (arg == u"--anyway") {
            parsed.anyway = true;
        } else if (!arg.startsWith(u"--") && parsed.source.isEmpty()) {
            parsed.source = arg;
        } else {
            ThrowUnexpectedArgument(arg);
        }
    }
    if (parsed.source.isEmpty()) throw EArgumentError(QStringLiteral("文書.mld"), {}, QStringLiteral("印刷する文書を指定してください"));
    if (parsed.pdf.isEmpty() && parsed.printer.isEmpty())
        throw EArgumentError(QStringLiteral("--pdf"), {}, QStringLiteral("--pdf か --printer で出力先を指定してください"));
    if (!parsed.pdf.isEmpty() && !parsed.printer.isEmpty())
        throw EArgumentError(QStringLiteral("--printer"), parsed.printer, QStringLiteral("--pdf と --printer は一緒に使えません"));
    return parsed;
}

// One byte per face from "1,3"; the message naming a face that does not exist, else empty.
QString SelectFaces(const QString& list, int faceCount, QByteArray& selection)
{
    selection = QByteArray(faceCount, 0);
    for (const QString& item : list.split(u',', Qt::SkipEmptyParts)) {
        const auto face = NumberArgument(item.trimmed(), 1, std::max(faceCount, 1));
        if (!face || *face > faceCount) return QStringLiteral("面%1 はありません").arg(item.trimmed());
        selection[*face - 1] = 1;
    }
    return {};
}

// On a terminal the percentage is rewritten in place.
TSTDPhasedProgress::Listener ProgressLine(QTextStream& errors)
{
    if (!isatty(STDERR_FILENO)) return {};
    return [&errors](int percent) {
        errors << QStringLiteral("\r印刷中 %1%").arg(percent, 3) << Qt::flush;
    };
}

// The catalogue that tells disc papers and printer data: the one named, else the shipped one when
// it is there (without it every paper prints as a sheet).
const TPapersV2* OpenCatalogue(TPaperCatalogue& papers, const QString& fileName)
{
    try {
        OpenCatalogueForCommand(papers, fileName);
    } catch (const EKestrel&) {
        if (!fileName.isEmpty()) throw;
    }
    return papers.Catalogue();
}

// The start check's message without its advice on the print dialog's button.
QString DirectPrintWarning()
{
    return QStringLiteral("警告: ") + DirectPrintRefusedText.section(QStringLiteral("\r\n\r\n"), 0, 0).remove(QStringLiteral("\r\n")) +
           u'\n';
}

int Print(TLabelData& document, const TPrintArguments& arguments, QTextStream& out, QTextStream& errors)
{
    const QStringList problems = document.LoadWarnings() + SheetProblems(document);
    if (!problems.isEmpty() && !arguments.anyway) return RefuseForProblems(errors, problems);
    ReportWarnings(errors, problems);
    const bool toPdf = !arguments.pdf.isEmpty();
    TPaperCatalogue papers;
    const TPapersV2* catalogue = OpenCatalogue(papers, arguments.catalogue);
    TPrintOptions options;
    RememberPrintRequest(arguments.request, options);
    TSTDPhasedProgress progress(ProgressLine(errors));
    const std::optional<int> jobId =
        PrintDocumentOn(document, options, toPdf ? PdfPrinterName() : arguments.printer, arguments.pdf, progress,
                        catalogue, [&errors] { errors << DirectPrintWarning() << Qt::flush; });
    if (isatty(STDERR_FILENO)) errors << '\n';
    if (!jobId) {
        errors << QStringLiteral("エラー: 印刷を中止しました。印刷データは送られていません\n");
        return 1;
    }
    const int pages = options.copies;
    if (toPdf)
        out << QStringLiteral("「%1」に %2 ページを印刷しました\n").arg(arguments.pdf).arg(pages);
    else
        out << QStringLiteral("プリンタ「%1」に %2 ページを送りました(ジョブ %3)\n").arg(arguments.printer).arg(pages).arg(*jobId);
    return 0;
}

}  // namespace

int PrintSheetToPdf(TLabelData& document, const QString& pdf, bool anyway, QTextStream& out, QTextStream& errors)
{
    if (!document.EffectivePaper()) return ReportError(errors, QStringLiteral("シートに用紙がありません"));
    TPrintArguments arguments;
    arguments.pdf = pdf;
    arguments.anyway = anyway;
    return Print(document, arguments, out, errors);
}

int RunPrintCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    std::optional<TPrintArguments> parsed;
    try {
        parsed = ParseArguments(arguments);
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("print"));
    }
    TLabelData document;
    try {
        document.LoadFromFile(parsed->source);
    } catch (const std::exception& e) {
        return ReportUnreadable(parsed->source, e, errors);
    }
    try {
        if (parsed->sheet && *parsed->sheet > document.SheetCount())
            throw EKestrel(QStringLiteral("シート%1 はありません").arg(*parsed->sheet));
        if (parsed->sheet) document.SelectSheet(*parsed->sheet - 1);
        if (!document.EffectivePaper()) throw EKestrel(QStringLiteral("シートに用紙がありません"));
        if (!parsed->request.allFaces) {
            const QString missing = SelectFaces(parsed->faces, document.FaceCount(), parsed->request.selection);
            if (!missing.isEmpty()) throw EKestrel(missing);
        }
        const QString problem = PrintRequestProblem(parsed->request);
        if (!problem.isEmpty()) throw EKestrel(problem);
        return Print(document, *parsed, out, errors);
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
}

}  // namespace kestrel
