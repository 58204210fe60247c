#include "cli/JsonCommands.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/PaperCommands.h"
#include "label/DocumentJson.h"
#include "label/LabelData.h"
#include "music/LabelFill.h"
#include "paper/CatalogueStartup.h"
#include "paper/PaperInfo.h"
#include "platform/Error.h"
#include "platform/PrinterConfiguration.h"
#include "print/PhasedProgress.h"
#include "print/PrintCommand.h"
#include "print/PrintSpec.h"

namespace kestrel {

namespace {

// Papers named by catalogue name only need the catalogue.
bool NamesCataloguePaper(const QJsonValue& scene)
{
    for (const QJsonValue& sheet : scene.toObject().value("sheets").toArray()) {
        const QJsonObject paper = sheet.toObject().value("paper").toObject();
        if (!paper.contains("record")) return true;
    }
    return false;
}

}  // namespace

int RunDumpCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    QString source;
    TDumpSelection selection;
    try {
        for (int i = 0; i < arguments.size(); ++i) {
            const QString& arg = arguments[i];
            if (arg == u"--sheet")
                selection.sheet = RangedOption(arguments, i, 1, kMaxSheets, QStringLiteral("シート番号")) - 1;
            else if (arg == u"--face")
                selection.face = RangedOption(arguments, i, 1, MaxFreeFaceCount, QStringLiteral("面番号")) - 1;
            else if (!arg.startsWith(u"--") && source.isEmpty())
                source = arg;
            else
                ThrowUnexpectedArgument(arg);
        }
        if (source.isEmpty()) throw EArgumentError(QStringLiteral("文書.mld"), {}, QStringLiteral("書き出す文書を指定してください"));
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("dump"));
    }
    TLabelData document;
    QJsonObject json;
    try {
        document.LoadFromFile(source);
    } catch (const std::exception& e) {
        return ReportUnreadable(source, e, errors);
    }
    try {
        if (selection.sheet)
            CheckedRange(QStringLiteral("--sheet"), *selection.sheet + 1, 1, document.SheetCount(), QStringLiteral("シート番号"));
        json = DocumentToJson(document, selection);
    } catch (const EArgumentError& e) {
        return ReportError(errors, e.Message());
    } catch (const std::exception& e) {
        return ReportUnreadable(source, e, errors);
    }
    out << QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Indented));
    return 0;
}

int RunComposeCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    QStringList files;
    QString catalogueFile;
    try {
        for (int i = 0; i < arguments.size(); ++i) {
            const QString& arg = arguments[i];
            if (arg == u"--catalogue")
                catalogueFile = OptionValue(arguments, i);
            else if (!arg.startsWith(u"--") && files.size() < 2)
                files << arg;
            else
                ThrowUnexpectedArgument(arg);
        }
        if (files.isEmpty()) throw EArgumentError(QStringLiteral("場面.json"), {}, QStringLiteral("場面の JSON を指定してください"));
        if (files.size() < 2) throw EArgumentError(QStringLiteral("出力.mld"), {}, QStringLiteral("作る文書のファイル名を指定してください"));
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("compose"));
    }
    try {
        const QJsonValue scene = ParseJson(ReadSourceFile(files[0]));
        TPaperCatalogue papers;
        if (NamesCataloguePaper(scene)) OpenCatalogueForCommand(papers, catalogueFile);
        TJsonReadOptions options;
        options.baseDir = QFileInfo(files[0]).absoluteDir();
        const std::unique_ptr<TLabelData> document = DocumentFromJson(scene, papers.Catalogue(), options);
        document->SaveToFile(files[1]);
        QStringList problems;
        for (int i = 0; i < document->SheetCount(); ++i) {
            document->SelectSheet(i);
            problems << SheetProblems(*document);
        }
        ReportWarnings(errors, problems);
        out << QStringLiteral("「%1」を作りました(シート %2)\n").arg(files[1]).arg(document->SheetCount());
        return 0;
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
}

int RunFillCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    const QStringList placeholders{QStringLiteral("テンプレート.mld"), QStringLiteral("データ.csv"), QStringLiteral("出力パターン")};
    QStringList files;
    bool toPdf = false;
    try {
        for (const QString& arg : arguments) {
            if (arg == u"--pdf")
                toPdf = true;
            else if (!arg.startsWith(u"--") && files.size() < placeholders.size())
                files << arg;
            else
                ThrowUnexpectedArgument(arg);
        }
        if (files.size() < placeholders.size())
            throw EArgumentError(placeholders[files.size()], {}, QStringLiteral("指定してください"));
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("fill"));
    }
    try {
        const TFillData data = ReadFillDataFile(files[1]);
        {
            TLabelData probe;  // a template that cannot be read is reported before anything is written
            try {
                probe.LoadFromFile(files[0]);
            } catch (const std::exception& e) {
                return ReportUnreadable(files[0], e, errors);
            }
            if (toPdf && !probe.EffectivePaper()) throw EKestrel(QStringLiteral("シートに用紙がありません"));
        }
        TFillWriter printToPdf;
        if (toPdf) {
            printToPdf = [](TLabelData& document, const QString& file) {
                TSTDPhasedProgress progress;
                if (!PrintDocumentOn(document, TPrintOptions{}, PdfPrinterName(), file, progress, nullptr))
                    throw EKestrel(QStringLiteral("「%1」の印刷を中止しました").arg(file));
            };
        }
        int written = 0;
        FillFromTemplate(files[0], data, files[2], [&](const QString& file) {
            out << QStringLiteral("「%1」を作りました\n").arg(file);
            ++written;
        }, printToPdf);
        out << QStringLiteral("%1 件の%2を作りました\n").arg(written).arg(toPdf ? QStringLiteral("PDF") : QStringLiteral("文書"));
        return 0;
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
}

}  // namespace kestrel
