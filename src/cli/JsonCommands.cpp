#include "cli/JsonCommands.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include "cli/CommandSupport.h"
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
#include "platform/SystemErrorText.h"

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
    bool usage = false;
    for (int i = 0; i < arguments.size() && !usage; ++i) {
        const QString& arg = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        std::optional<int> number;
        if (arg == u"--sheet" && hasValue) {
            usage = !(number = NumberArgument(arguments[++i], 1, kMaxSheets));
            if (number) selection.sheet = *number - 1;
        } else if (arg == u"--face" && hasValue) {
            usage = !(number = NumberArgument(arguments[++i], 1, MaxFreeFaceCount));
            if (number) selection.face = *number - 1;
        } else if (!arg.startsWith(u"--") && source.isEmpty()) {
            source = arg;
        } else {
            usage = true;
        }
    }
    if (usage || source.isEmpty()) {
        errors << QStringLiteral("使い方: kestrel-cli dump 文書.mld [--sheet N] [--face F]\n");
        return kUsageError;
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
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == u"--catalogue" && i + 1 < arguments.size())
            catalogueFile = arguments[++i];
        else
            files << arguments[i];
    }
    if (files.size() != 2 || files[0].startsWith(u"--") || files[1].startsWith(u"--")) {
        errors << QStringLiteral("使い方: kestrel-cli compose 場面.json 出力.mld [--catalogue ファイル]\n");
        return kUsageError;
    }
    try {
        QFile sceneFile(files[0]);
        if (!sceneFile.open(QIODevice::ReadOnly))
            throw EKestrel(QStringLiteral("「%1」を読み込めません: %2").arg(files[0], FileErrorText(sceneFile)));
        const QJsonValue scene = ParseJson(sceneFile.readAll());
        TPaperCatalogue papers;
        if (NamesCataloguePaper(scene)) OpenCatalogueForCommand(papers, catalogueFile);
        TJsonReadOptions options;
        options.baseDir = QFileInfo(files[0]).absoluteDir();
        const std::unique_ptr<TLabelData> document = DocumentFromJson(scene, papers.Catalogue(), options);
        document->SaveToFile(files[1]);
        out << QStringLiteral("「%1」を作りました(シート %2)\n").arg(files[1]).arg(document->SheetCount());
        return 0;
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
}

int RunFillCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    QStringList files = arguments;
    const bool toPdf = files.removeAll(QStringLiteral("--pdf")) > 0;
    if (files.size() != 3 || std::any_of(files.begin(), files.end(), [](const QString& a) { return a.startsWith(u"--"); })) {
        errors << QStringLiteral("使い方: kestrel-cli fill テンプレート.mld データ.csv 出力パターン [--pdf]\n"
                                 "  出力パターンには {{列名}} か {{row}} (行番号)を入れてください\n"
                                 "  --pdf: 文書の代わりに各行を印刷した PDF を書きます\n");
        return kUsageError;
    }
    try {
        QFile csv(files[1]);
        if (!csv.open(QIODevice::ReadOnly))
            throw EKestrel(QStringLiteral("「%1」を読み込めません: %2").arg(files[1], FileErrorText(csv)));
        const TFillData data = ReadFillData(csv.readAll());
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
            RememberPrintRequest({});
            printToPdf = [](TLabelData& document, const QString& file) {
                TSTDPhasedProgress progress;
                if (!PrintDocumentOn(document, PdfPrinterName(), file, progress))
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
