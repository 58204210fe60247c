#include "cli/PaperCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/AppFrame.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "paper/CatalogueSource.h"
#include "paper/CatalogueStartup.h"
#include "paper/ProductDB.h"
#include "paper/ProductSource.h"
#include "platform/RegularFile.h"
#include "platform/cfb/StorageError.h"

namespace kestrel {

namespace {

QString SizeText(int width, int height)
{
    return QStringLiteral("%1x%2").arg(width).arg(height);
}

void PrintFace(const TPaperInfo& paper, int index, QTextStream& out)
{
    const TSheetRect rect = paper.GetFaceRect(index);
    const TFaceShape shape = paper.GetFaceShape(index);
    const QSize hole = paper.GetCutCenterSize(index);
    out << "  ラベル" << index + 1 << '\t'
        << QStringLiteral("(%1,%2)-(%3,%4)").arg(rect.left).arg(rect.top).arg(rect.right).arg(rect.bottom)
        << '\t' << FaceShapeInfo().names[shape] << '\t' << "塗り足し " << paper.GetFaceMargin(index) << '\t'
        << "内円 " << (HasHole(shape) ? SizeText(hole.width(), hole.height()) : QStringLiteral("なし"))
        << '\n';
}

}  // namespace

void OpenCatalogueForCommand(TPaperCatalogue& papers, const QString& fileName)
{
    if (!fileName.isEmpty()) {
        if (!papers.IO().files->Exists(fileName))
            throw EStorageError(TStorageErrorCode::FileNotFound,
                                StorageErrorMessage(TStorageErrorCode::FileNotFound, fileName));
        return papers.OpenSystem(fileName);
    }
    const QString shipped = ExpandMacro(QStringLiteral("$(SystemPaperInfo)"));
    if (!papers.IO().files->Exists(shipped))
        throw EKestrel(QStringLiteral("アプリケーションに必要なファイル「%1」が開けませんでした")
                           .arg(QFileInfo(shipped).fileName()));
    papers.OpenSystem(shipped);
}

QByteArray ReadSourceFile(const QString& path) { return ReadRegularFile(path, MaxSourceFileBytes); }

int RunBuildPapersCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    if (arguments.size() != 2) {
        errors << cli::CommandUsage("build-papers") << '\n';
        return kUsageError;
    }
    try {
        const QDir folder = QFileInfo(arguments[0]).absoluteDir();
        const TCatalogueSource source = LoadCatalogueSource(
            ReadSourceFile(arguments[0]), [&folder](const QString& name) { return ReadSourceFile(folder.filePath(name)); });
        const TPaperCatalogue service;
        TPapersV2 catalogue(service.IO());
        catalogue.Create(arguments[1]);
        BuildCatalogue(source, catalogue);
        catalogue.Close();
        out << QStringLiteral("%1 件の用紙を「%2」に書きました\n")
                   .arg(source.papers.size())
                   .arg(arguments[1]);
        return 0;
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
}

int RunBuildProductsCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    if (arguments.size() != 2) {
        errors << cli::CommandUsage("build-products") << '\n';
        return kUsageError;
    }
    try {
        TProductDB db(QString(), arguments[1]);
        db.Create();
        const int products = BuildProductDB(ReadSourceFile(arguments[0]), db);
        db.Save();
        out << QStringLiteral("%1 件の製品情報を「%2」に書きました\n").arg(products).arg(arguments[1]);
        return 0;
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
}

int RunPapersCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    QString fileName;
    bool faces = false;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == u"--faces") {
            faces = true;
        } else if (arguments[i] == u"--catalogue" && i + 1 < arguments.size()) {
            fileName = arguments[++i];
        } else {
            errors << cli::CommandUsage("papers") << '\n';
            return kUsageError;
        }
    }
    try {
        TPaperCatalogue papers;
        OpenCatalogueForCommand(papers, fileName);
        const TPapersV2& catalogue = *papers.Catalogue();
        for (int i = 0; i < catalogue.Count(); ++i) {
            const TPaperInfo& paper = catalogue.Paper(i);
            out << paper.PaperName() << '\t' << paper.GroupName() << '\t'
                << SizeText(paper.Width(), paper.Height()) << '\t' << paper.GetFaceCount() << '\n';
            for (int face = 0; faces && face < paper.GetFaceCount(); ++face) PrintFace(paper, face, out);
        }
        return 0;
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
}

}  // namespace kestrel
