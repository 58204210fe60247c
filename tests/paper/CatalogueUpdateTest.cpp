// Installing a new system catalogue and the user papers in and out, on real files.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <unistd.h>

#include "paper/CatalogueStartup.h"
#include "paper/CatalogueUpdate.h"
#include "paper/PaperRecords.h"
#include "paper/UserPapers.h"
#include "support/CfbTestSupport.h"
#include "support/TestEnvironment.h"
#include "support/UpdateFixtures.h"

namespace kestrel {
namespace {

QStringList PaperNames(const TPapersV2& catalogue)
{
    QStringList names;
    for (int i = 0; i < catalogue.Count(); ++i) names << catalogue.Paper(i).PaperName();
    return names;
}

QString MakerOf(const TPapersV2& catalogue, const QString& paper)
{
    const auto record = catalogue.GetExtra(ExtraInfosBaseName, paper);
    return record ? static_cast<const TExPaperInfo&>(*record).Company() : QString();
}

class CatalogueUpdate : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::WriteCatalogueFile(names.systemFile, {"旧用紙"}, 7);
        test::WriteCatalogueFile(names.userFile, {"自分の用紙"}, 0, 0, false, true);
        papers.OpenSystem(names.systemFile);
        papers.MergeUser(names.userFile);
        test::WriteCatalogueFile(update, {"新用紙A", "新用紙B"}, 12);
    }

    TPapersV2& InUse() { return *papers.Catalogue(); }

    const QString folder = test::TestFolder();
    const TCatalogueFileNames names{folder + "/kestrel.ppr", folder + "/UserPaper.ppr"};
    const QString update = folder + "/PPRdownload.tmp";
    TPaperCatalogue papers;
};

TEST_F(CatalogueUpdate, InstallingReplacesTheSystemFileAndReloadsWithTheUserPapers)
{
    const QByteArray fresh = test::ReadFileBytes(update);
    TPapersV2* const before = &InUse();
    InUse().Store(test::DiscPaper("追加した用紙", true));
    InstallCatalogueFile(InUse(), update, names);
    EXPECT_EQ(papers.Catalogue(), before);  // the same object, which others hold on to
    EXPECT_EQ(test::ReadFileBytes(names.systemFile), fresh);
    EXPECT_FALSE(QFile::exists(update));
    EXPECT_EQ(PaperNames(InUse()), QStringList({"新用紙A", "新用紙B", "自分の用紙", "追加した用紙"}));
    EXPECT_EQ(MakerOf(InUse(), "新用紙B"), "メーカー");
    EXPECT_EQ(InUse().UpdateInfo().PPRNo(), 12);
    EXPECT_FALSE(InUse().Modified());
    // The paper stored before the update was written to the user file on the way.
    TPaperCatalogue user;
    user.OpenSystem(names.userFile);
    EXPECT_EQ(PaperNames(*user.Catalogue()), QStringList({"自分の用紙", "追加した用紙"}));
}

TEST_F(CatalogueUpdate, AFileThatIsNoUsableCatalogueIsRefusedAndKept)
{
    const QByteArray old = test::ReadFileBytes(names.systemFile);
    test::WriteCatalogueFile(update, {"新用紙"}, 12, 38443, false);
    const QString document = folder + "/garbage.ppr";
    test::WriteFileBytes(document, "not a compound file");
    const struct {
        QString file;
        const char* cause;
    } refused[] = {
        {update, "プリンタ情報「DirectPrinter」がありません"},
        {document, ""},
        {folder, "フォルダです"},
        {folder + "/none.ppr", "ファイルまたはフォルダがありません"},
    };
    for (const auto& [file, cause] : refused) {
        try {
            InstallCatalogueFile(InUse(), file, names);
            ADD_FAILURE() << file.toStdString() << " was installed";
        } catch (const ECatalogueUpdate& e) {
            EXPECT_TRUE(e.Message().startsWith(UnusableUpdateFileText + "\n(")) << e.Message().toStdString();
            EXPECT_TRUE(e.Message().contains(QString::fromUtf8(cause))) << e.Message().toStdString();
        }
    }
    EXPECT_TRUE(QFile::exists(update));
    EXPECT_TRUE(QFile::exists(document));
    EXPECT_EQ(test::ReadFileBytes(names.systemFile), old);
    EXPECT_EQ(PaperNames(InUse()), QStringList({"旧用紙", "自分の用紙"}));
}

// The user file cannot be merged: the new catalogue is not taken, and the old file comes back.
TEST_F(CatalogueUpdate, AFailedReloadPutsTheOldCatalogueBack)
{
    const QByteArray old = test::ReadFileBytes(names.systemFile);
    test::WriteFileBytes(names.userFile, "damaged");
    try {
        InstallCatalogueFile(InUse(), update, names);
        ADD_FAILURE() << "installed";
    } catch (const ECatalogueUpdate& e) {
        EXPECT_TRUE(e.Message().startsWith("更新した用紙/メディア情報を読み込めません: ")) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().endsWith("\n元の用紙/メディア情報に戻しました"));
    }
    EXPECT_EQ(test::ReadFileBytes(names.systemFile), old);
    EXPECT_EQ(PaperNames(InUse()), QStringList({"旧用紙", "自分の用紙"}));
    EXPECT_EQ(InUse().UpdateInfo().PPRNo(), 7);
    EXPECT_FALSE(QFile::exists(update));  // it passed the check
}

TEST_F(CatalogueUpdate, AFolderThatCannotBeWrittenStopsBeforeAnythingChanges)
{
    if (geteuid() == 0) GTEST_SKIP() << "the superuser writes anywhere";
    const QByteArray old = test::ReadFileBytes(names.systemFile);
    const QString locked = folder + "/locked";
    QDir().mkpath(locked);
    const TCatalogueFileNames lockedNames{locked + "/kestrel.ppr", names.userFile};
    QFile::copy(names.systemFile, lockedNames.systemFile);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_FALSE(MayReplaceSystemCatalogue(lockedNames.systemFile));
    EXPECT_TRUE(MayReplaceSystemCatalogue(names.systemFile));
    EXPECT_THROW(InstallCatalogueFile(InUse(), update, lockedNames), ECatalogueUpdate);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(test::ReadFileBytes(lockedNames.systemFile), old);
    EXPECT_EQ(PaperNames(InUse()), QStringList({"旧用紙", "自分の用紙"}));
}

TEST_F(CatalogueUpdate, UserPapersRoundTripThroughAnExportedFile)
{
    InUse().Store(test::DiscPaper("追加した用紙", true));
    const QString exported = folder + "/mine.ppr";
    EXPECT_EQ(ExportUserPapers(InUse(), exported), 2);
    // An independent reader sees a compound file with the two papers and their records.
    const test::TOleListing listing = test::ListWithOlefile(exported);
    EXPECT_TRUE(listing.streams.contains("Papers/$00000001"));
    EXPECT_TRUE(listing.streams.contains("Papers/$00000002"));
    EXPECT_FALSE(listing.streams.contains("Papers/$00000003"));
    EXPECT_TRUE(listing.streams.contains("ExtraInfos/$00000001"));

    // Into a catalogue that has a system paper of the same name: it comes in as "自分の用紙$".
    test::WriteCatalogueFile(names.systemFile, {"自分の用紙"}, 7);
    TPaperCatalogue other;
    other.OpenSystem(names.systemFile);
    EXPECT_EQ(ImportUserPapers(*other.Catalogue(), exported), 2);
    EXPECT_EQ(PaperNames(*other.Catalogue()), QStringList({"自分の用紙", "自分の用紙$", "追加した用紙"}));
    EXPECT_EQ(MakerOf(*other.Catalogue(), "自分の用紙$"), "メーカー");
    EXPECT_TRUE(other.Catalogue()->Modified());
    EXPECT_FALSE(other.Catalogue()->Paper(1).ReadOnly());
}

TEST_F(CatalogueUpdate, SystemPapersAreNeitherExportedNorImported)
{
    TPaperCatalogue system;
    system.OpenSystem(names.systemFile);
    EXPECT_THROW(ExportUserPapers(*system.Catalogue(), folder + "/none.ppr"), EKestrel);
    EXPECT_FALSE(QFile::exists(folder + "/none.ppr"));
    try {
        ImportUserPapers(InUse(), update);
        ADD_FAILURE() << "system papers imported";
    } catch (const EKestrel& e) {
        EXPECT_EQ(e.Message(), "「" + update + "」にはユーザー用紙がありません");
    }
    EXPECT_THROW(ImportUserPapers(InUse(), folder), EKestrel);
    EXPECT_EQ(PaperNames(InUse()), QStringList({"旧用紙", "自分の用紙"}));
}

}  // namespace
}  // namespace kestrel
