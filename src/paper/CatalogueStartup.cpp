#include "paper/CatalogueStartup.h"

#include "app/DataMain.h"
#include "paper/PaperRecords.h"
#include "platform/Error.h"

namespace kestrel {

std::unique_ptr<TPapersV2> OpenCatalogueFile(TCatalogueIO io, const QString& fileName,
                                             const TRegisterBases& registerBases)
{
    auto catalogue = std::make_unique<TPapersV2>(io);
    catalogue->Open(fileName, true, true);
    if (registerBases) registerBases(*catalogue);
    return catalogue;
}

void MergeUserPapers(TPapersV2& catalogue, TCatalogueIO io, const QString& userFile,
                     const TRegisterBases& registerBases)
{
    std::unique_ptr<TPapersV2> user = OpenCatalogueFile(io, userFile, registerBases);
    catalogue.Merge(*user, true, false);
    catalogue.SetModified(false);
}

void WriteUserPapers(const TPapersV2& catalogue, TCatalogueIO io, const QString& file,
                     const TRegisterBases& registerBases)
{
    TPapersV2 user(io);
    user.Create(file);
    if (registerBases) registerBases(user);
    user.Merge(catalogue, true, false);
    user.Close();
}

void WriteBackUserPapers(TPapersV2& catalogue, TCatalogueIO io, const QString& userFile,
                         const TRegisterBases& registerBases)
{
    if (catalogue.Modified()) WriteUserPapers(catalogue, io, userFile, registerBases);
}

// --- TPaperCatalogue ---

void TPaperCatalogue::OpenSystem(const QString& systemFile)
{
    catalogue_ = OpenCatalogueFile(IO(), systemFile, RegisterPaperRecordBases);
}

void TPaperCatalogue::MergeUser(const QString& userFile)
{
    if (!catalogue_) throw EKestrel(QStringLiteral("用紙カタログが開かれていません"));
    MergeUserPapers(*catalogue_, IO(), userFile, RegisterPaperRecordBases);
}

void TPaperCatalogue::SaveUser(const QString& userFile)
{
    if (catalogue_) WriteBackUserPapers(*catalogue_, IO(), userFile, RegisterPaperRecordBases);
}

void InstallCatalogueHooks(TStartupHooks& hooks, TPaperCatalogue& papers)
{
    static TPurposeValidator productFilter;
    hooks.installPurposeFilter = [] { SetPurposeValidator(&productFilter); };
    hooks.removePurposeFilter = [] { SetPurposeValidator(nullptr); };
    hooks.openPaperCatalogue = [&papers](const QString& file) { papers.OpenSystem(file); };
    hooks.mergeUserPapers = [&papers](const QString& file) { papers.MergeUser(file); };
    hooks.saveUserPapers = [&papers](const QString& file) { papers.SaveUser(file); };
    hooks.freePaperCatalogue = [&papers] { papers.Free(); };
}

}  // namespace kestrel
