#include "support/UpdateFixtures.h"

#include <QDir>

#include "paper/CatalogueStartup.h"
#include "paper/PaperRecords.h"
#include "paper/PapersV2.h"

namespace kestrel::test {

TMatrixPaperInfo DiscPaper(const QString& name, bool user)
{
    TMatrixPaperInfo paper;
    paper.SetPaperName(name);
    paper.SetGroupName(user ? QStringLiteral("ユーザー") : QStringLiteral("CD-R・DVDラベル"));
    paper.SetReadOnly(!user);
    paper.SetPortraitSize(2100, 2970);
    paper.SetFaceCountX(1);
    paper.SetFaceCountY(2);
    paper.SetFaceWidth(1170);
    paper.SetFaceHeight(1170);
    paper.SetLeftOffset(465);
    paper.SetTopOffset(215);
    paper.SetBottomMargin(200);
    paper.SetFaceShape(fsDoughnut);
    paper.SetFacePurpose(QStringLiteral("CD"));
    return paper;
}

void WriteCatalogueFile(const QString& file, const QStringList& paperNames, int pprNo, double lastUpdate,
                        bool directPrinter, bool user)
{
    TPaperCatalogue files;
    TPapersV2 catalogue(files.IO());
    catalogue.Create(file);
    RegisterPaperRecordBases(catalogue);
    for (const QString& name : paperNames) {
        catalogue.Store(DiscPaper(name, user));
        TExPaperInfo extra;
        extra.SetPaperName(name);
        extra.SetCompany(QStringLiteral("メーカー"));
        catalogue.StoreExtra(ExtraInfosBaseName, extra);
    }
    TPaperUpdate update;
    update.SetPPRNo(pprNo);
    update.SetLastUpdate(lastUpdate);
    catalogue.SetUpdateInfo(update);
    if (directPrinter)
        catalogue.RootStorage().WriteStream(QStringLiteral("GlobalInfo\\DirectPrinter"),
                                            EncodeTextLines({QStringLiteral("PX-G930=Epson")}));
    catalogue.SetModified(true);
    catalogue.Close();
}

QByteArray VersionUpText(const QByteArray& numberAndDate, const QByteArray& catalogue)
{
    return "CORVIDNET VERSION UP FILE\r\n" + numberAndDate + "\r\n" + catalogue + "\r\n";
}

QStringList UpdateTempFiles()
{
    return QDir(QDir::tempPath()).entryList({QStringLiteral("PPR*"), QStringLiteral("PPZ*")}, QDir::Files);
}

}  // namespace kestrel::test
