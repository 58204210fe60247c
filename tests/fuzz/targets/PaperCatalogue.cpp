// The paper catalogue: opened as the system catalogue, merged as a user catalogue, every paper's
// faces laid out.
#include "fuzz/FuzzTarget.h"
#include "paper/CatalogueStartup.h"
#include "paper/FaceGeometry.h"
#include "paper/PaperRecords.h"

KESTREL_FUZZ_TARGET(PaperCatalogue)
{
    const QString file = kestrel::fuzz::WriteInputFile(data, QStringLiteral(".ppr"));
    kestrel::TPaperCatalogue papers;
    papers.OpenSystem(file);
    papers.MergeUser(file);
    const kestrel::TPapersV2& catalogue = *papers.Catalogue();
    QStringList groups;
    catalogue.GetGroupNames(groups);
    for (int i = 0; i < catalogue.Count(); ++i) {
        const kestrel::TPaperInfo& paper = catalogue.Paper(i);
        try {
            paper.CheckLayout();
        } catch (const kestrel::EKestrel&) {
            continue;  // the program refuses such a paper where it is chosen
        }
        for (int n = 0; n < paper.GetFaceCount(); ++n) {
            kestrel::TFaceGeometry face;
            paper.FillFaceInfo(n, face);
        }
        catalogue.GetExtra(kestrel::ExtraInfosBaseName, paper.PaperName());
        catalogue.GetExtra(kestrel::PaperImagesBaseName, paper.PaperName());
    }
}
