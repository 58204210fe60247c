#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "CliRun.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

using test::RunCli;

const QString ShippedCatalogue = QStringLiteral(KESTREL_DATA_DIR "/kestrel.ppr");
const QString FirstPaper =
    QStringLiteral("A4 CDラベル 2面 (外径117mm/内径41mm)\tCD-R・DVDラベル\t2100x2970\t2");

TEST(PaperCommands, PapersListsTheShippedCatalogueBesideTheProgram)
{
    const test::TCliRun run = RunCli({"papers"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    EXPECT_GE(lines.size(), 40);
    EXPECT_EQ(lines.value(0), FirstPaper);
    for (const QString& line : lines) EXPECT_EQ(line.count('\t'), 3) << line.toStdString();
}

TEST(PaperCommands, FacesShowEachFacesGeometry)
{
    const test::TCliRun run = RunCli({"papers", "--catalogue", ShippedCatalogue, "--faces"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split('\n').mid(0, 3);
    EXPECT_EQ(
        lines,
        QStringList({FirstPaper, "  ラベル1\t(465,215)-(1635,1385)\tfsDoughnut\t塗り足し 10\t内円 410x410",
                     "  ラベル2\t(465,1585)-(1635,2755)\tfsDoughnut\t塗り足し 10\t内円 410x410"}));
}

TEST(PaperCommands, AMissingCatalogueIsReportedInJapanese)
{
    const test::TCliRun run = RunCli({"papers", "--catalogue", test::TestFolder() + "/none.ppr"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "エラー: ファイル「" + test::TestFolder() + "/none.ppr」が見つかりません\n");
    EXPECT_EQ(RunCli({"papers", "--catalogue"}).exitCode, 2);
}

// A document or a product database is a compound file too, but no catalogue: it is refused as
// such instead of being listed as empty or written to.
TEST(PaperCommands, OtherCompoundFilesAreRefusedAsCatalogues)
{
    const QString document = test::TestFolder() + "/doc.mld";
    ASSERT_EQ(RunCli({"new", "--paper", "A4 CDラベル 2面 (外径117mm/内径41mm)", document}).exitCode, 0);
    for (const QString& file : {document, QStringLiteral(KESTREL_DATA_DIR "/kestrel.cdb")}) {
        const test::TCliRun run = RunCli({"papers", "--catalogue", file});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, "エラー: 「" + file + "」は用紙カタログのファイルではありません\n");
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST(PaperCommands, BuildPapersRefusesABadSourceWithoutWritingAFile)
{
    const QString source = test::TestFolder() + "/bad.json";
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        R"({"version": 1, "makers": [], "groups": [], "purposes": [], "papers": [{"class": "TNothing"}]})");
    file.close();
    const QString out = test::TestFolder() + "/out.ppr";
    const test::TCliRun run = RunCli({"build-papers", source, out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith("エラー: ")) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
}

}  // namespace
}  // namespace kestrel
