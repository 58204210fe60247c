#include "paper/UserPapers.h"

#include "paper/CatalogueStartup.h"
#include "paper/CatalogueUpdate.h"
#include "paper/PaperRecords.h"

namespace kestrel {

int UserPaperCount(const TPapersV2& catalogue)
{
    int count = 0;
    for (int i = 0; i < catalogue.Count(); ++i)
        if (!catalogue.Paper(i).ReadOnly()) ++count;
    return count;
}

int ExportUserPapers(const TPapersV2& catalogue, const QString& file)
{
    const int count = UserPaperCount(catalogue);
    if (count == 0) throw EKestrel(QStringLiteral("保存するユーザー用紙がありません"));
    WriteUserPapers(catalogue, catalogue.IO(), file, RegisterPaperRecordBases);
    return count;
}

int ImportUserPapers(TPapersV2& catalogue, const QString& file)
{
    CheckCatalogueFilePlace(file);
    std::unique_ptr<TPapersV2> imported = OpenCatalogueFile(catalogue.IO(), file, RegisterPaperRecordBases);
    const int count = UserPaperCount(*imported);
    if (count == 0) throw EKestrel(QStringLiteral("「%1」にはユーザー用紙がありません").arg(file));
    catalogue.Merge(*imported, true, false);
    return count;
}

}  // namespace kestrel
