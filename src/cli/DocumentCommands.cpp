#include "cli/DocumentCommands.h"

#include <QFileInfo>
#include <QMap>
#include <optional>

#include "app/AppFrame.h"
#include "cli/CommandSupport.h"
#include "cli/PaperCommands.h"
#include "document/DOList.h"
#include "document/DrawObject.h"
#include "label/DocumentFlows.h"
#include "label/FaceRender.h"
#include "label/LabelData.h"
#include "paper/CatalogueStartup.h"
#include "paper/PaperInfo.h"
#include "platform/Error.h"

namespace kestrel {

namespace {

constexpr int kMaxDpi = 2400;

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

QImage RenderOneFace(TLabelData& document, int face, int dpi)
{
    TDOList objects;
    document.LoadFaceObjects(face, objects);
    return RenderFace(objects.ReleaseAll(), document.Face(face), dpi);
}

// Renders the sheet (the current one unless given) or one face of it into picture; the message
// naming a sheet or face that does not exist, else empty. Numbers count from 1.
QString RenderRequested(TLabelData& document, std::optional<int> sheet, std::optional<int> face, int dpi,
                        QImage& picture)
{
    if (sheet && *sheet > document.SheetCount()) return QStringLiteral("シート%1 はありません").arg(*sheet);
    if (sheet) document.SelectSheet(*sheet - 1);
    if (face && *face > document.FaceCount()) return QStringLiteral("面%1 はありません").arg(*face);
    picture = face ? RenderOneFace(document, *face - 1, dpi) : RenderSheet(document, dpi);
    return {};
}

}  // namespace

int RunNewCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    QString paperName, catalogueFile, target;
    int sheets = 1;
    bool landscape = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (arg == u"--landscape") {
            landscape = true;
        } else if (arg == u"--paper" && hasValue) {
            paperName = arguments[++i];
        } else if (arg == u"--catalogue" && hasValue) {
            catalogueFile = arguments[++i];
        } else if (arg == u"--sheets" && hasValue) {
            const auto count = NumberArgument(arguments[++i], 1, kMaxSheets);
            if (!count) {
                errors << QStringLiteral("シート数は 1 から %1 で指定してください\n").arg(kMaxSheets);
                return kUsageError;
            }
            sheets = *count;
        } else if (!arg.startsWith(u"--") && target.isEmpty()) {
            target = arg;
        } else {
            target.clear();
            break;
        }
    }
    if (paperName.isEmpty() || target.isEmpty()) {
        errors << QStringLiteral("使い方: kestrel-cli new --paper 用紙名 [--sheets N] [--landscape] [--catalogue ファイル] 出力.mld\n");
        return kUsageError;
    }
    try {
        TPaperCatalogue papers;
        OpenCatalogueForCommand(papers, catalogueFile);
        const TPapersV2& catalogue = *papers.Catalogue();
        const int index = catalogue.IndexOfName(paperName);
        if (index < 0) throw EKestrel(QStringLiteral("用紙「%1」はカタログにありません").arg(paperName));
        TDocumentWindow window;
        window.choosePaper = [&] { return TPaperChoice{&catalogue.Paper(index), landscape, sheets}; };
        TDocumentFlows flows(*TAppFrame::Instance(), &catalogue, nullptr, window);
        flows.New(true);
        flows.Document().SaveToFile(target);
        out << QStringLiteral("「%1」を作りました(用紙 %2、シート %3)\n").arg(target, paperName).arg(sheets);
        return 0;
    } catch (const EKestrel& e) {
        errors << QStringLiteral("エラー: ") << e.Message() << '\n';
        return 1;
    }
}

int RunInfoCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    if (arguments.size() != 1) {
        errors << QStringLiteral("使い方: kestrel-cli info 文書.mld\n");
        return kUsageError;
    }
    try {
        TLabelData document;
        document.LoadFromFile(arguments[0]);
        out << QStringLiteral("データ名\t%1\nシート数\t%2\n").arg(document.DataName()).arg(document.SheetCount());
        const int current = document.CurrentSheet();
        for (int i = 0; i < document.SheetCount(); ++i) {
            document.SelectSheet(i);
            PrintSheet(document, out);
        }
        document.SelectSheet(current);
        return 0;
    } catch (const EKestrel& e) {
        return ReportUnreadable(e, errors);
    }
}

int RunRenderCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    QString source, target;
    std::optional<int> sheet, face, dpi = LogicalUnitsPerInch;
    bool usage = false;
    for (int i = 0; i < arguments.size() && !usage; ++i) {
        const QString& arg = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (arg == u"--out" && hasValue) {
            target = arguments[++i];
        } else if (arg == u"--sheet" && hasValue) {
            usage = !(sheet = NumberArgument(arguments[++i], 1, kMaxSheets));
        } else if (arg == u"--face" && hasValue) {
            usage = !(face = NumberArgument(arguments[++i], 1, MaxFreeFaceCount));
        } else if (arg == u"--dpi" && hasValue) {
            usage = !(dpi = NumberArgument(arguments[++i], 1, kMaxDpi));
        } else if (!arg.startsWith(u"--") && source.isEmpty()) {
            source = arg;
        } else {
            usage = true;
        }
    }
    if (usage || source.isEmpty() || target.isEmpty()) {
        errors << QStringLiteral("使い方: kestrel-cli render 文書.mld [--sheet N] [--face F] [--dpi D(1-%1)] --out 出力.png\n")
                      .arg(kMaxDpi);
        return kUsageError;
    }
    TLabelData document;
    QImage picture;
    QString missing;
    try {
        document.LoadFromFile(source);
        missing = RenderRequested(document, sheet, face, *dpi, picture);
    } catch (const EKestrel& e) {
        return ReportUnreadable(e, errors);
    }
    if (!missing.isEmpty()) {
        errors << QStringLiteral("エラー: ") << missing << '\n';
        return 1;
    }
    try {
        SavePicture(picture, target);
    } catch (const EKestrel& e) {
        errors << QStringLiteral("エラー: ") << e.Message() << '\n';
        return 1;
    }
    out << QStringLiteral("「%1」に %2x%3 の画像を書きました\n").arg(target).arg(picture.width()).arg(picture.height());
    return 0;
}

}  // namespace kestrel
