#include "paper/CatalogueUpdate.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <optional>

#include "app/AppFrame.h"
#include "paper/CatalogueStartup.h"
#include "paper/PaperRecords.h"
#include "platform/RegularFile.h"
#include "platform/ReplacingFile.h"

namespace kestrel {

namespace {

// The system catalogue in use is ours, but grows with its papers' pictures.
constexpr qint64 MaxInstalledCatalogueSize = 4 * MaxCatalogueFileSize;

[[noreturn]] void Refuse(const QString& cause)
{
    throw ECatalogueUpdate(UnusableUpdateFileText + QStringLiteral("\n(%1)").arg(cause));
}

// Every record of every base, so that a damaged one is found now rather than when it is shown.
void ReadEveryRecord(TPapersV2& catalogue)
{
    for (const QString& name : {ExtraInfosBaseName, PaperImagesBaseName}) {
        TExtraInfoBase* base = catalogue.FindBase(name);
        for (int i = 0; base && i < base->Count(); ++i) base->GetByIndex(i);
    }
}

}  // namespace

TCatalogueFileNames ProgramCatalogueFiles()
{
    return {ExpandMacro(QStringLiteral("$(SystemPaperInfo)")), ExpandMacro(QStringLiteral("$(UserPaperInfo)"))};
}

void CheckCatalogueFilePlace(const QString& file)
{
    QFile probe;
    OpenRegularFile(probe, file, MaxCatalogueFileSize);
}

void CheckUpdateFile(TCatalogueIO io, const QString& file)
{
    QStringList printers;
    try {
        CheckCatalogueFilePlace(file);
        std::unique_ptr<TPapersV2> catalogue = OpenCatalogueFile(io, file, RegisterPaperRecordBases);
        ReadEveryRecord(*catalogue);
        catalogue->ReadGlobalInfo(QStringLiteral("DirectPrinter"), printers);
    } catch (const EKestrel& e) {
        Refuse(e.Message());
    }
    if (printers.isEmpty()) Refuse(QStringLiteral("プリンタ情報「DirectPrinter」がありません"));
}

void ReloadCatalogue(TPapersV2& catalogue, const TCatalogueFileNames& names)
{
    const TCatalogueIO io = catalogue.IO();
    if (!io.files->Exists(names.systemFile))
        throw EKestrel(QStringLiteral("ファイル「%1」が見つかりません").arg(names.systemFile));
    std::unique_ptr<TPapersV2> fresh = OpenCatalogueFile(io, names.systemFile, RegisterPaperRecordBases);
    if (io.files->Exists(names.userFile)) MergeUserPapers(*fresh, io, names.userFile, RegisterPaperRecordBases);
    fresh->SetModified(false);
    catalogue.Swap(*fresh);
}

void InstallCatalogueFile(TPapersV2& catalogue, const QString& file, const TCatalogueFileNames& names)
{
    const TCatalogueIO io = catalogue.IO();
    CheckUpdateFile(io, file);
    const auto removeFile = qScopeGuard([&file] { QFile::remove(file); });
    std::optional<QByteArray> previous;
    QByteArray fresh;
    try {
        fresh = ReadRegularFile(file, MaxCatalogueFileSize);
        WriteBackUserPapers(catalogue, io, names.userFile, RegisterPaperRecordBases);
        if (QFileInfo::exists(names.systemFile)) previous = ReadRegularFile(names.systemFile, MaxInstalledCatalogueSize);
        WriteFileReplacing(names.systemFile, fresh);
    } catch (const EKestrel& e) {
        throw ECatalogueUpdate(e.Message());
    }
    try {
        ReloadCatalogue(catalogue, names);
    } catch (const EKestrel& e) {
        QString restored = QStringLiteral("元の用紙/メディア情報に戻しました");
        try {
            if (previous)
                WriteFileReplacing(names.systemFile, *previous);
            else
                QFile::remove(names.systemFile);
        } catch (const EKestrel& again) {
            restored = again.Message();
        }
        throw ECatalogueUpdate(QStringLiteral("更新した用紙/メディア情報を読み込めません: %1\n%2").arg(e.Message(), restored));
    }
}

bool MayReplaceSystemCatalogue(const QString& systemFile)
{
    const QFileInfo file(systemFile);
    const QFileInfo folder(file.absolutePath());
    return folder.isDir() && folder.isWritable() && (!file.exists() || file.isWritable());
}

}  // namespace kestrel
