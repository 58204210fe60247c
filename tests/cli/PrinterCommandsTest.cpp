#include <gtest/gtest.h>

#include "cli/CommandSupport.h"
#include "cli/PrintCommand.h"
#include "cli/PrinterCommands.h"
#include "edit/ModelStartup.h"
#include "label/LabelDocumentFixtures.h"
#include "paper/CatalogueStartup.h"
#include "print/FakePrinter.h"
#include "print/PrintSpec.h"
#include "support/PrivateCups.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

const QString Catalogue = QStringLiteral(KESTREL_DATA_DIR "/kestrel.ppr");

struct TRun {
    int exitCode;
    QString out;
    QString err;
};

template <typename Command>
TRun RunCommand(Command command, const QStringList& arguments)
{
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const int code = command(arguments, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return {code, out, err};
}

// kestrel-cli printers and print --printer against a scheduler of the test's own with a disc
// printer (Gutenprint's Epson R300) beside a queue without discs.
class PrinterCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString ppd = test::GutenprintPpd("escp2-r300");
        ASSERT_FALSE(ppd.isEmpty()) << "printer-driver-gutenprint is missing";
        cups_.AddQueue("epson-disc", ppd);
        QString why;
        if (!cups_.Start(why))
            GTEST_SKIP() << "No private CUPS scheduler on this machine: " << why.toStdString();
        InitializeModel();
        test::RegisterTestObjects();
        TPaperCatalogue papers;
        papers.OpenSystem(Catalogue);
        const TPapersV2& catalogue = *papers.Catalogue();
        TLabelData document;
        document.SetPaper(catalogue.Paper(catalogue.IndexOfName("12cmディスク (印刷面 外径118mm/内径23mm)")));
        test::PutRects(document, 0, {{0, 0, 1180, 1180}});
        document.SaveToFile(source_);
    }

    test::TPrivateCups cups_;
    QString source_ = test::TestFolder() + "/disc.mld";
};

TEST_F(PrinterCommandsTest, EveryPrinterIsListedWithItsDriverAndDiscTray)
{
    const TRun run = RunCommand(&RunPrintersCommand, {"--catalogue", Catalogue});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(
        "epson-disc\tEpson Stylus Photo R300\tディスク印刷 可\tトレイ 1199x1199\t中心 (600,600)\n"))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("kestreltest\tKestrel test queue\tディスク印刷 不可\n"))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(PdfPrinterName() + "\t-\tディスク印刷 不可\n")) << run.out.toStdString();
    EXPECT_EQ(RunCommand(&RunPrintersCommand, {"--sorted"}).exitCode, kUsageError);
}

TEST_F(PrinterCommandsTest, ADiscOnAPrinterWithoutDiscsIsPrintedWithAWarning)
{
    const TRun plain =
        RunCommand(&RunPrintCommand, {source_, "--catalogue", Catalogue, "--printer", "kestreltest"});
    ASSERT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    EXPECT_TRUE(
        plain.err.contains("警告: このデータはダイレクト印刷用にデザインされていますが、"
                           "選択されているプリンタはダイレクト印刷に対応していません。\n"))
        << plain.err.toStdString();
    const TRun disc =
        RunCommand(&RunPrintCommand, {source_, "--catalogue", Catalogue, "--printer", "epson-disc"});
    ASSERT_EQ(disc.exitCode, 0) << disc.err.toStdString();
    EXPECT_FALSE(disc.err.contains("警告"));
    EXPECT_TRUE(disc.out.contains("プリンタ「epson-disc」に 1 ページを送りました")) << disc.out.toStdString();
    EXPECT_NE(RunCommand(&RunPrintCommand, {source_, "--catalogue", test::TestFolder() + "/none.ppr",
                                            "--printer", "epson-disc"})
                  .exitCode,
              0);
}

}  // namespace
}  // namespace kestrel
