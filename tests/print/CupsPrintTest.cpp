#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include "support/PrivateCups.h"
#include "label/LabelDocumentFixtures.h"
#include "print/PrintSpec.h"
#include "platform/PrintJob.h"
#include "platform/PrinterConfiguration.h"
#include "print/PhasedProgress.h"
#include "print/PaperPrintSetting.h"
#include "print/PrintCommand.h"
#include "print/PrintSpec.h"

namespace kestrel {
namespace {

// Prints through our own code into a private scheduler's queue and checks what arrives.
class CupsPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString why;
        if (!cups_.Start(why)) GTEST_SKIP() << "No private CUPS scheduler on this machine: " << why.toStdString();
        test::RegisterTestObjects();
        document_.SetPaper(*test::TwoDiscPaper());
        test::PutRects(document_, 0, {{0, 0, 1190, 1190}});
        TPrintRequest request;
        request.copies = 2;
        request.printFrame = true;
        RememberPrintRequest(request, options_);
        printer_ = TPrinterConfiguration::Named(test::TPrivateCups::Queue);
        TPaperPrintSetting(nullptr).ApplyForPrinter(*printer_, *document_.SheetPaper());
    }

    bool Print(const std::function<void(TPdfPrintJob&)>& prepare = {}, const std::function<void()>& idle = {})
    {
        job_ = std::make_unique<TPdfPrintJob>(*printer_, QString());
        if (prepare) prepare(*job_);
        TSTDPhasedProgress progress;
        return PrintDocument(document_, *job_, progress, idle, FillPrintSpec(options_, false));
    }

    test::TPrivateCups cups_;
    TLabelData document_;
    TPrintOptions options_;
    std::unique_ptr<TPrinterConfiguration> printer_;
    std::unique_ptr<TPdfPrintJob> job_;
};

TEST_F(CupsPrintTest, TheQueueReceivesTheWholeJobAsOnePdf)
{
    ASSERT_TRUE(Print());
    EXPECT_GT(job_->JobId(), 0);
    ASSERT_TRUE(cups_.WaitUntilIdle());
    QProcess info;
    info.start("pdfinfo", {cups_.ReceivedFile()});
    ASSERT_TRUE(info.waitForFinished(30000));
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QRegularExpression("Pages:\\s+2\\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains("(A4)")) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression("Title:\\s+新規作成"))) << text.toStdString();
}

TEST_F(CupsPrintTest, AbortingWhilePaintingOrSendingLeavesNoJobQueued)
{
    const int before = cups_.JobCount(false);
    EXPECT_FALSE(Print({}, [this] { job_->Abort(); }));
    EXPECT_EQ(job_->JobId(), 0);
    EXPECT_FALSE(Print([](TPdfPrintJob& job) { job.SetOnSending([&job] { job.Abort(); }); }));
    EXPECT_EQ(cups_.JobCount(true), 0);
    EXPECT_EQ(cups_.JobCount(false), before);
    EXPECT_FALSE(QFile::exists(cups_.ReceivedFile()));
}

}  // namespace
}  // namespace kestrel
