#include "cli/DocumentCommands.h"

#include <QFileInfo>
#include <QMap>
#include <optional>

#include "app/AppFrame.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/PaperCommands.h"
#include "cli/PrintCommand.h"
#include "document/DOList.h"
#include "document/DrawObject.h"
#include "label/DocumentFlows.h"
#include "label/FaceRender.h"
#include "label/LabelExport.h"
#include "label/LabelData.h"
#include "label/SheetThumbnail.h"
#include "label/Templates.h"
#include "paper/CatalogueStartup.h"
#include "paper/PaperInfo.h"
#include "platform/Error.h"
#include "platform/PictureCodecs.h"
#include "platform/RegularFile.h"
#include "platform/ReplacingFile.h"

namespace kestrel {

namespace {

constexpr int kMaxDpi = 2400;
constexpr int kDefaultThumbnailSize = 256;
constexpr int kMinThumbnailSize = 16;
constexpr int kMaxThumbnailSize = 1024;
// File managers hand the thumbnailer whatever the user browses; a document past this is refused
// unread.
constexpr qint64 kMaxThumbnailSource = qint64(256) << 20;
// Pictures are drawn and written in bands, so memory does not grow with this; time does.
constexpr qint64 kMaxRenderPixels = 256LL << 20;

QString ClassSummary(const TDOList& objects)
{
    QMap<QString, int> counts;
    for (const TDrawObject* object : objects.Items()) ++counts[QString::fromLatin1(object->ClassName())];
    QStringList parts;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) parts << QStringLiteral("%1×%2").arg(it.key()).arg(it.value());
    return parts.join(QStringLiteral(", "));
}

void PrintSheet(TLabelData& document, QTextStream& out)
{
    const TPaperInfo* paper = document.SheetPaper();
    out << QStringLiteral("シート%1\t%2\n").arg(document.CurrentSheet() + 1).arg(document.SheetName());
    if (!paper) {
        out << QStringLiteral("  用紙なし\n");
        return;
    }
    out << QStringLiteral("  用紙\t%1\t%2\t%3x%4\t面 %5\n")
               .arg(paper->PaperName(), paper->GroupName())
               .arg(paper->Width())
               .arg(paper->Height())
               .arg(document.FaceCount());
    for (int n = 0; n < document.FaceCount(); ++n) {
        const TFaceGeometry face = document.Face(n);
        TDOList objects;
        document.LoadFaceObjects(n, objects);
        out << QStringLiteral("  面%1\t%2\t%3\tオブジェクト %4")
                   .arg(n + 1)
                   .arg(QString::fromLatin1(FaceShapeInfo().names[face.shape]), face.purpose)
                   .arg(objects.Count());
        if (!objects.IsEmpty()) out << '\t' << ClassSummary(objects);
        out << '\n';
    }
}

// Selects the sheet and checks the face against the document; numbers count from 1.
void SelectRequested(TLabelData& document, std::optional<int> sheet, std::optional<int> face)
{
    if (sheet)
        document.SelectSheet(CheckedRange(QStringLiteral("--sheet"), *sheet, 1, document.SheetCount(),
                                          QStringLiteral("シート番号")) - 1);
    if (face) CheckedRange(QStringLiteral("--face"), *face, 1, document.FaceCount(), QStringLiteral("面番号"));
}

QImage RenderRequested(TLabelData& document, std::optional<int> face, int dpi, QStringList& problems)
{
    return face ? RenderDocumentFace(document, *face - 1, dpi, &problems) : RenderSheet(document, dpi, &problems);
}

struct TThumbnailArguments {
    QString source;
    QString target;
    int size = kDefaultThumbnailSize;
};

TThumbnailArguments ParseThumbnailArguments(const QStringList& arguments)
{
    QStringList values;
    for (const QString& arg : arguments) {
        if (arg.startsWith(u"--") || values.size() == 3) ThrowUnexpectedArgument(arg);
        values << arg;
    }
    if (values.size() < 1)
        throw EArgumentError(QStringLiteral("文書.mld"), {}, QStringLiteral("サムネイルにする文書を指定してください"));
    if (values.size() < 2)
        throw EArgumentError(QStringLiteral("出力.png"), {}, QStringLiteral("書き出す PNG ファイルを指定してください"));
    TThumbnailArguments parsed{values[0], values[1]};
    if (values.size() == 3) {
        const QString what = QStringLiteral("大きさ");
        parsed.size = CheckedRange(what, IntegerOption(what, values[2], what), kMinThumbnailSize, kMaxThumbnailSize, what);
    }
    return parsed;
}

// Only a regular file (links followed) of a size worth reading: never a device or a pipe.
void CheckThumbnailSource(const QString& path)
{
    QFile file;
    OpenRegularFile(file, path, kMaxThumbnailSource);
}


// The template on every face of the document's sheets it fits; on its own paper, every designed
// face of its sheet on the same face. Answers how many faces took it.
int ApplyTemplateEverywhere(TLabelData& document, const TTemplateInfo& entry, bool ownPaper)
{
    TLabelData source;
    source.LoadFromFile(entry.fileName);
    source.SelectSheet(entry.sheetIndex);
    const TFaceGeometry offered = source.Face(entry.faceIndex);
    int applied = 0;
    for (int s = 0; s < document.SheetCount(); ++s) {
        document.SelectSheet(s);
        document.SetSeparatelyDesign(true);
        for (int f = 0; f < document.FaceCount(); ++f) {
            const TFaceGeometry face = document.Face(f);
            const bool designed = ownPaper && f < source.FaceCount() && source.HasFaceObjects(f);
            if (!designed && (ownPaper || !TemplateFaceFits(&face, offered))) continue;
            ApplyTemplate(document, f, LoadTemplateFace({entry.fileName, entry.sheetIndex, designed ? f : entry.faceIndex, false}));
            ++applied;
        }
    }
    document.SelectSheet(0);
    return applied;
}

struct TNewArguments {
    QString paperName, catalogueFile, target, templateName;
    int sheets = 1;
    bool force = false;
    bool landscape = false;
};

TNewArguments ParseNewArguments(const QStringList& arguments)
{
    TNewArguments parsed;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == u"--paper") {
            parsed.paperName = OptionValue(arguments, i);
        } else if (arg == u"--catalogue") {
            parsed.catalogueFile = OptionValue(arguments, i);
        } else if (arg == u"--template") {
            parsed.templateName = OptionValue(arguments, i);
        } else if (arg == u"--sheets") {
            parsed.sheets = RangedOption(arguments, i, 1, kMaxSheets, QStringLiteral("シート数"));
        } else if (arg == u"--force") {
            parsed.force = true;
        } else if (arg == u"--landscape") {
            parsed.landscape = true;
        } else if (!arg.startsWith(u"--") && parsed.target.isEmpty()) {
            parsed.target = arg;
        } else {
            ThrowUnexpectedArgument(arg);
        }
    }
    if (parsed.paperName.isEmpty() && parsed.templateName.isEmpty())
        throw EArgumentError(QStringLiteral("--paper"), {}, QStringLiteral("用紙名を指定してください"));
    if (parsed.target.isEmpty()) throw EArgumentError(QStringLiteral("出力.mld"), {}, QStringLiteral("作る文書のファイル名を指定してください"));
    return parsed;
}

struct TRenderArguments {
    QString source, target;
    std::optional<int> sheet, face, dpi;
    TOutputFormat format = TOutputFormat::Png;
    bool anyway = false;
};

TRenderArguments ParseRenderArguments(const QStringList& arguments)
{
    TRenderArguments parsed;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == u"--out") {
            parsed.target = OptionValue(arguments, i);
        } else if (arg == u"--sheet") {
            parsed.sheet = IntegerOption(arg, OptionValue(arguments, i), QStringLiteral("シート番号"));
        } else if (arg == u"--face") {
            parsed.face = IntegerOption(arg, OptionValue(arguments, i), QStringLiteral("面番号"));
        } else if (arg == u"--dpi") {
            parsed.dpi = RangedOption(arguments, i, 1, kMaxDpi, QStringLiteral("解像度"));
        } else if (arg == u"--anyway") {
            parsed.anyway = true;
        } else if (!arg.startsWith(u"--") && parsed.source.isEmpty()) {
            parsed.source = arg;
        } else {
            ThrowUnexpectedArgument(arg);
        }
    }
    if (parsed.source.isEmpty()) throw EArgumentError(QStringLiteral("文書.mld"), {}, QStringLiteral("描く文書を指定してください"));
    if (parsed.target.isEmpty()) throw EArgumentError(QStringLiteral("--out"), {}, QStringLiteral("出力ファイルを指定してください"));
    parsed.format = OutputFormatOf(QStringLiteral("--out"), parsed.target, true);
    if (parsed.format == TOutputFormat::Pdf && (parsed.face || parsed.dpi))
        throw EArgumentError(QStringLiteral("--out"), parsed.target,
                             QStringLiteral("PDF にはシート全体を印刷します(--face と --dpi は使えません)"));
    return parsed;
}

// A picture too large to hold whole, drawn and written band by band.
int RenderInBands(TLabelData& document, const TRenderArguments& parsed, QSize size, int dpi, QStringList problems,
                  QTextStream& out, QTextStream& errors)
{
    SavePictureInBands(parsed.target, size, dpi, [&](const TBandSink& sink) {
        if (parsed.face)
            RenderFaceInBands(document, *parsed.face - 1, dpi, sink, &problems);
        else
            RenderSheetInBands(document, dpi, sink, &problems);
        return problems.isEmpty() || parsed.anyway;
    });
    if (!problems.isEmpty() && !parsed.anyway) return RefuseForProblems(errors, problems);
    ReportWarnings(errors, problems);
    out << QStringLiteral("「%1」に %2x%3 の画像を書きました\n").arg(parsed.target).arg(size.width()).arg(size.height());
    return 0;
}

}  // namespace

int RunNewCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    TNewArguments parsed;
    try {
        parsed = ParseNewArguments(arguments);
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("new"));
    }
    if (!parsed.force && QFileInfo::exists(parsed.target))
        return ReportError(errors, QStringLiteral("「%1」は既にあります。上書きするときは --force を付けてください")
                                       .arg(parsed.target));
    try {
        TPaperCatalogue papers;
        OpenCatalogueForCommand(papers, parsed.catalogueFile);
        const TPapersV2& catalogue = *papers.Catalogue();
        std::optional<TTemplateInfo> shipped;
        TLabelData templateDocument;
        if (!parsed.templateName.isEmpty()) {
            shipped = FindShippedTemplate(parsed.templateName);
            if (!shipped) throw EKestrel(QStringLiteral("「%1」は見つかりませんでした").arg(parsed.templateName));
            templateDocument.LoadFromFile(shipped->fileName);
            templateDocument.SelectSheet(shipped->sheetIndex);
        }
        const TPaperInfo* paper = nullptr;
        if (!parsed.paperName.isEmpty()) {
            const int index = catalogue.IndexOfName(parsed.paperName);
            if (index < 0) throw EKestrel(QStringLiteral("用紙「%1」はカタログにありません").arg(parsed.paperName));
            paper = &catalogue.Paper(index);
        } else {
            paper = templateDocument.SheetPaper();
        }
        TDocumentWindow window;
        window.choosePaper = [&] { return TPaperChoice{paper, parsed.landscape, parsed.sheets}; };
        TDocumentFlows flows(*TAppFrame::Instance(), &catalogue, nullptr, window);
        flows.New(true);
        const int applied = shipped ? ApplyTemplateEverywhere(flows.Document(), *shipped, parsed.paperName.isEmpty()) : 0;
        if (shipped && applied == 0)
            throw EKestrel(QStringLiteral("「%1」のテンプレートは現在のラベルに適合しません").arg(parsed.templateName));
        flows.Document().SaveToFile(parsed.target);
        out << QStringLiteral("「%1」を作りました(用紙 %2、シート %3)\n")
                   .arg(parsed.target, paper->PaperName())
                   .arg(parsed.sheets);
        return 0;
    } catch (const std::exception& e) {
        return ReportError(errors, ExceptionMessage(e));
    }
}

int RunInfoCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    QString source;
    try {
        source = SingleFileArgument(arguments, QStringLiteral("文書.mld"), QStringLiteral("文書"));
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("info"));
    }
    try {
        TLabelData document;
        document.LoadFromFile(source);
        out << QStringLiteral("データ名\t%1\nシート数\t%2\n").arg(document.DataName()).arg(document.SheetCount());
        QStringList warnings = document.LoadWarnings();
        const int current = document.CurrentSheet();
        for (int i = 0; i < document.SheetCount(); ++i) {
            document.SelectSheet(i);
            PrintSheet(document, out);
            warnings << SheetProblems(document);
        }
        document.SelectSheet(current);
        ReportWarnings(errors, warnings);
        return 0;
    } catch (const std::exception& e) {
        return ReportUnreadable(source, e, errors);
    }
}

int RunRenderCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    TRenderArguments parsed;
    try {
        parsed = ParseRenderArguments(arguments);
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("render"));
    }
    TLabelData document;
    try {
        document.LoadFromFile(parsed.source);
    } catch (const std::exception& e) {
        return ReportUnreadable(parsed.source, e, errors);
    }
    QImage picture;
    QStringList problems = document.LoadWarnings();
    const int dpi = parsed.dpi.value_or(LogicalUnitsPerInch);
    try {
        SelectRequested(document, parsed.sheet, parsed.face);
        if (parsed.format == TOutputFormat::Pdf)
            return PrintSheetToPdf(document, parsed.target, parsed.anyway, out, errors);
        if (!document.EffectivePaper()) throw EKestrel(QStringLiteral("シートに用紙がありません"));
        const QSize size = parsed.face ? FacePictureSize(document.Face(*parsed.face - 1), dpi) : SheetPictureSize(document, dpi);
        const QString what = parsed.face ? QStringLiteral("シート%1 の面%2").arg(document.CurrentSheet() + 1).arg(*parsed.face)
                                         : QStringLiteral("シート%1").arg(document.CurrentSheet() + 1);
        if (qint64(size.width()) * size.height() > kMaxRenderPixels)
            throw EKestrel(QStringLiteral("%1 を %2 dpi で描くと %3×%4 ピクセルになり、上限の %5 万ピクセルを超えます。解像度を下げてください")
                               .arg(what)
                               .arg(dpi)
                               .arg(size.width())
                               .arg(size.height())
                               .arg(kMaxRenderPixels / 10000));
        if (qint64(size.width()) * size.height() > MaxRenderBandPixels)
            return RenderInBands(document, parsed, size, dpi, problems, out, errors);
        picture = RenderRequested(document, parsed.face, dpi, problems);
    } catch (const EReadError& e) {
        return ReportUnreadable(parsed.source, e, errors);  // a damaged face stream
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    } catch (const std::bad_alloc&) {
        return ReportError(errors, QStringLiteral("「%1」のシート%2 を %3 dpi で描くメモリが足りません")
                                       .arg(parsed.source)
                                       .arg(document.CurrentSheet() + 1)
                                       .arg(dpi));
    }
    if (!problems.isEmpty() && !parsed.anyway) return RefuseForProblems(errors, problems);
    ReportWarnings(errors, problems);
    try {
        SavePicture(picture, parsed.target);
    } catch (const std::exception& e) {
        return ReportError(errors, ExceptionMessage(e));
    }
    out << QStringLiteral("「%1」に %2x%3 の画像を書きました\n").arg(parsed.target).arg(picture.width()).arg(picture.height());
    return 0;
}

int RunThumbnailCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    TThumbnailArguments parsed;
    try {
        parsed = ParseThumbnailArguments(arguments);
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("thumbnail"));
    }
    QImage picture;
    try {
        CheckThumbnailSource(parsed.source);
        picture = DrawSheetThumbnail(parsed.source, parsed.size);
        if (picture.isNull()) throw EKestrel(QStringLiteral("最初のシートに用紙がありません"));
    } catch (const std::exception& e) {
        return ReportUnreadable(parsed.source, e, errors);
    }
    try {
        WriteFileReplacing(parsed.target, EncodePng(picture, TPngCompression::Fast));
    } catch (const std::exception& e) {
        return ReportError(errors, ExceptionMessage(e));
    }
    out << QStringLiteral("「%1」に %2x%3 のサムネイルを書きました\n").arg(parsed.target).arg(picture.width()).arg(picture.height());
    return 0;
}

}  // namespace kestrel
