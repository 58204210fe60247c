#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

#include "FakePrinter.h"
#include "edit/ModelStartup.h"
#include "label/LabelDocumentFixtures.h"
#include "paper/CatalogueStartup.h"
#include "platform/PrinterConfiguration.h"
#include "print/DirectPrint.h"
#include "print/PhasedProgress.h"
#include "print/PrintCommand.h"
#include "print/PrintSpec.h"
#include "support/PrivateCups.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

const QString DiscPaperName = QStringLiteral("12cmディスク (印刷面 外径118mm/内径23mm)");
constexpr int ProbeDpi = 50;

// Where the printed disc lies on a page drawn by poppler: the middle of its blue pixels, in
// 0.1 mm; and whether any pixel is black (a frame or a cut line).
struct TProbe {
    QPointF centre;
    double width = 0;
    int blackPixels = 0;
    bool holeWhite = false;
};

TProbe ProbePdf(const QString& pdf)
{
    const QString base = test::TestFolder() + "/probe";
    QProcess poppler;
    poppler.start("pdftoppm", {"-r", QString::number(ProbeDpi), "-singlefile", pdf, base});
    EXPECT_TRUE(poppler.waitForFinished(60000));
    const QImage page(base + ".ppm");
    EXPECT_FALSE(page.isNull()) << "pdftoppm drew nothing";
    QRect blue;
    TProbe probe;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.blue() > 150 && c.red() < 100) blue |= QRect(x, y, 1, 1);
            probe.blackPixels += c.red() < 60 && c.green() < 60 && c.blue() < 60;
        }
    const double tenthsPerPixel = 254.0 / ProbeDpi;
    probe.centre = QPointF((blue.left() + blue.right() + 1) / 2.0, (blue.top() + blue.bottom() + 1) / 2.0) *
                   tenthsPerPixel;
    probe.width = blue.width() * tenthsPerPixel;
    probe.holeWhite = page.pixelColor(blue.center()) == QColor(Qt::white);
    return probe;
}

class DiscPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(QStandardPaths::findExecutable("pdftoppm").isEmpty()) << "poppler-utils is missing";
        InitializeModel();
        test::RegisterTestObjects();
        papers_.OpenSystem(KESTREL_DATA_DIR "/kestrel.ppr");
        const TPapersV2& catalogue = *papers_.Catalogue();
        document_.SetPaper(catalogue.Paper(catalogue.IndexOfName(DiscPaperName)));
        test::PutRects(document_, 0, {{0, 0, 1180, 1180}});
        TPrintRequest request;
        request.printFrame = true;
        request.printCutLine = true;
        request.printPaperImage = true;
        request.leftOffset = 20;
        request.topOffset = -10;
        RememberPrintRequest(request, options_);
    }

    std::optional<int> PrintOn(const QString& printer, const QString& pdf = {},
                               const std::function<void()>& refused = {})
    {
        TSTDPhasedProgress progress;
        return PrintDocumentOn(document_, options_, printer, pdf, progress, papers_.Catalogue(), refused);
    }

    TPaperCatalogue papers_;
    TLabelData document_;
    TPrintOptions options_;
};

TEST_F(DiscPrintTest, ADiscOnAPrinterWithoutATrayIsCentredOnTheSheetWithoutFrameOrCutLine)
{
    const QString pdf = test::TestFolder() + "/disc.pdf";
    bool refused = false;
    ASSERT_TRUE(PrintOn(PdfPrinterName(), pdf, [&] { refused = true; }));
    EXPECT_FALSE(refused);  // a PDF file is not asked about discs
    EXPECT_TRUE(document_.IsDirectPrintPaper());
    const TProbe probe = ProbePdf(pdf);
    // The group's printer data put the disc in the middle of A4; the offset moves it by (2, -1) mm.
    EXPECT_NEAR(probe.centre.x(), 1050 + 20, 10);
    EXPECT_NEAR(probe.centre.y(), 1485 - 10, 10);
    EXPECT_NEAR(probe.width, 1180, 12);
    EXPECT_TRUE(probe.holeWhite);
    EXPECT_EQ(probe.blackPixels, 0);
}

TEST_F(DiscPrintTest, JobsForDiscsCarryNoFramesAndAPrintedDensity)
{
    const TPrintSpec job = FillPrintSpec(options_, true);
    EXPECT_FALSE(job.PrintFrame || job.PrintCutLine || job.PrintPaperImage);
    EXPECT_TRUE(FillPrintSpec(options_, false).PrintFrame);
    TPrintOptions darker = options_;
    darker.thicknessLevel = 2;
    EXPECT_EQ(FillPrintSpec(darker, true).Correction, 0.3);
    EXPECT_EQ(FillPrintSpec(options_, true).Correction, 0);  // a print from the dialog
}

class CupsDiscTest : public DiscPrintTest {
protected:
    void SetUp() override
    {
        DiscPrintTest::SetUp();
        if (HasFatalFailure()) return;
        for (const auto& [queue, model] :
             {std::pair{"epson-disc", "escp2-r300"}, std::pair{"canon-disc", "bjc-PIXMA-iP4500"}}) {
            const QString ppd = test::GutenprintPpd(model);
            ASSERT_FALSE(ppd.isEmpty()) << "printer-driver-gutenprint is missing";
            cups_.AddQueue(queue, ppd);
        }
        QString why;
        if (!cups_.Start(why))
            GTEST_SKIP() << "No private CUPS scheduler on this machine: " << why.toStdString();
    }

    test::TPrivateCups cups_;
};

TEST_F(CupsDiscTest, DiscQueuesGetTheTrayTheRingAndTheOffsetAndTheDriverWritesPrinterData)
{
    for (const char* queue : {"epson-disc", "canon-disc"}) {
        SCOPED_TRACE(queue);
        bool refused = false;
        const std::optional<int> jobId = PrintOn(queue, {}, [&] { refused = true; });
        ASSERT_TRUE(jobId && *jobId > 0);
        EXPECT_FALSE(refused);
        const QMap<QString, QString> job = cups_.JobAttributes(*jobId);
        EXPECT_EQ(job.value("InputSlot"), "CD");
        EXPECT_EQ(job.value("PageSize"), "CDCustom");
        EXPECT_EQ(job.value("media"), "CDCustom");
        EXPECT_EQ(job.value("StpCDOuterDiameter"), "335");  // 118 mm, rounded up to whole points
        EXPECT_EQ(job.value("StpCDInnerDiameter"), "65");   // 23 mm, rounded down
        EXPECT_EQ(job.value("StpCDXAdjustment"), "6");      // +2 mm
        EXPECT_EQ(job.value("StpCDYAdjustment"), "-3");     // -1 mm
    }
    ASSERT_TRUE(cups_.WaitUntilIdle(300000));
    for (const char* queue : {"epson-disc", "canon-disc"}) {
        QFile data(cups_.ReceivedFile(queue));
        ASSERT_TRUE(data.open(QIODevice::ReadOnly)) << queue;
        const QByteArray bytes = data.readAll();
        EXPECT_GT(bytes.size(), 1000) << queue;
        EXPECT_FALSE(bytes.startsWith("%PDF")) << queue;  // the driver's own commands
        EXPECT_TRUE(bytes.contains('\x1b')) << queue;
    }
    EXPECT_EQ(cups_.JobAttributes(1).value("job-state"), "completed");
}

TEST_F(CupsDiscTest, AQueueWithoutDiscsIsToldAndPrintsTheDiscOnItsSheet)
{
    bool refused = false;
    const std::optional<int> jobId = PrintOn(test::TPrivateCups::Queue, {}, [&] { refused = true; });
    ASSERT_TRUE(jobId);
    EXPECT_TRUE(refused);
    auto queue = TPrinterConfiguration::Named(test::TPrivateCups::Queue);
    EXPECT_TRUE(DirectPrintRefused(document_, *queue, papers_.Catalogue()));
    EXPECT_EQ(cups_.JobAttributes(*jobId).value("media"), "A4");
    EXPECT_FALSE(cups_.JobAttributes(*jobId).contains("InputSlot"));
    ASSERT_TRUE(cups_.WaitUntilIdle());
    const TProbe probe = ProbePdf(cups_.ReceivedFile());
    EXPECT_NEAR(probe.centre.x(), 1050 + 20, 10);
    EXPECT_NEAR(probe.centre.y(), 1485 - 10, 10);
    EXPECT_EQ(probe.blackPixels, 0);
}

TEST_F(CupsDiscTest, TheQueuesDriverNamesItsModelAndTrays)
{
    auto epson = TPrinterConfiguration::Named("epson-disc");
    EXPECT_EQ(epson->GetDriverName(), "Epson Stylus Photo R300");
    EXPECT_EQ(DiscTrayOf(*epson, papers_.Catalogue()), (TTrayGeometry{600, 600, 1199, 1199}));
    auto canon = TPrinterConfiguration::Named("canon-disc");
    EXPECT_EQ(DiscTrayOf(*canon, papers_.Catalogue()), (TTrayGeometry{599, 599, 1199, 1199}));
    auto plain = TPrinterConfiguration::Named(test::TPrivateCups::Queue);
    EXPECT_EQ(plain->GetDriverName(), "Kestrel test queue");
    EXPECT_FALSE(DiscTrayOf(*plain, papers_.Catalogue()));
    EXPECT_EQ(TPrinterConfiguration::Named(PdfPrinterName())->GetDriverName(), "");
}

TEST(PrinterData, TheShippedDataSaysWhatTheInstalledGutenprintSays)
{
    QProcess generator;
    generator.start("/usr/bin/python3",
                    {KESTREL_TEST_SOURCE_DIR "/../data/papers/make_printer_data.py", "--check",
                     KESTREL_TEST_SOURCE_DIR "/../data/papers/DirectPrinter.xml"});
    ASSERT_TRUE(generator.waitForFinished(120000));
    EXPECT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();
}

}  // namespace
}  // namespace kestrel
