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
#include "paper/UserPapers.h"
#include "platform/RegularFile.h"
#include "platform/SystemErrorText.h"
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

namespace {

struct TPapersOptions {
    QString catalogue;
    bool faces = false;
    QString importFile;
    QString exportFile;
};

TPapersOptions ParsePapersOptions(const QStringList& arguments)
{
    TPapersOptions options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == u"--faces")
            options.faces = true;
        else if (arg == u"--catalogue")
            options.catalogue = OptionValue(arguments, i);
        else if (arg == u"--import")
            options.importFile = OptionValue(arguments, i);
        else if (arg == u"--export")
            options.exportFile = OptionValue(arguments, i);
        else
            ThrowUnexpectedArgument(arg);
    }
    if (int(options.faces) + int(!options.importFile.isEmpty()) + int(!options.exportFile.isEmpty()) > 1)
        throw EArgumentError(QStringLiteral("--faces・--import・--export"), {},
                             QStringLiteral("どれか一つだけ指定してください"));
    return options;
}

void ListPapers(const TPapersV2& catalogue, bool faces, QTextStream& out)
{
    for (int i = 0; i < catalogue.Count(); ++i) {
        const TPaperInfo& paper = catalogue.Paper(i);
        out << paper.PaperName() << '\t' << paper.GroupName() << '\t' << SizeText(paper.Width(), paper.Height())
            << '\t' << paper.GetFaceCount() << '\n';
        for (int face = 0; faces && face < paper.GetFaceCount(); ++face) PrintFace(paper, face, out);
    }
}

}  // namespace

int RunPapersCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    try {
        const TPapersOptions options = ParsePapersOptions(arguments);
        TPaperCatalogue papers;
        OpenCatalogueForCommand(papers, options.catalogue);
        TPapersV2& catalogue = *papers.Catalogue();
        const QString userFile = ExpandMacro(QStringLiteral("$(UserPaperInfo)"));
        const bool withUserPapers = !options.importFile.isEmpty() || !options.exportFile.isEmpty();
        if (withUserPapers && papers.IO().files->Exists(userFile)) papers.MergeUser(userFile);
        if (!options.importFile.isEmpty()) {
            const int count = ImportUserPapers(catalogue, options.importFile);
            papers.SaveUser(userFile);
            out << QStringLiteral("%1 件のユーザー用紙を取り込みました\n").arg(count);
        } else if (!options.exportFile.isEmpty()) {
            const int count = ExportUserPapers(catalogue, options.exportFile);
            out << QStringLiteral("%1 件のユーザー用紙を「%2」に保存しました\n").arg(count).arg(options.exportFile);
        } else {
            ListPapers(catalogue, options.faces, out);
        }
        return 0;
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("papers"));
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
}

}  // namespace kestrel
