#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include "cli/PrintCommand.h"
#include "label/LabelDocumentFixtures.h"
#include "paper/FaceInfo.h"
#include "platform/Rounding.h"
#include "print/BandPage.h"
#include "platform/ReplacingFile.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

constexpr int kOffsetX = 123;  // 12.3 mm
constexpr int kOffsetY = 45;

struct TRun {
    int exitCode;
    QString out;
    QString err;
};

QString Tool(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) return {};
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// Judged from outside: poppler's tools read what we wrote.
class PrintCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(QStandardPaths::findExecutable("pdftoppm").isEmpty())
            << "poppler-utils (pdfinfo, pdfimages, pdftoppm) is missing: run scripts/install-deps.sh";
        test::RegisterTestObjects();
        TLabelData document;
        document.SetPaper(*test::TwoDiscPaper());
        test::PutRects(document, 0, {{0, 0, 1190, 1190}});
        faces_[0] = TFaceInfo(document.Face(0));
        faces_[1] = TFaceInfo(document.Face(1));
        document.SaveToFile(source_);
    }

    TRun Run(QStringList arguments)
    {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const int code = RunPrintCommand(arguments, outStream, errStream);
        return {code, out, err};
    }

    // Page n (from 1) rendered at 254 dpi: one pixel per 0.1 mm.
    QImage Page(int n)
    {
        const QString prefix = test::TestFolder() + "/page";
        Tool("pdftoppm", {"-r", "254", "-png", "-f", QString::number(n), "-l", QString::number(n), pdf_, prefix});
        return QImage(QStringLiteral("%1-%2.png").arg(prefix).arg(n));
    }

    // The colour under a sheet point moved by the offset.
    static QRgb At(const QImage& page, QPoint logical) { return page.pixel(logical + QPoint(kOffsetX, kOffsetY)); }

    static bool DarkNear(const QImage& page, QPoint logical)
    {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (qGray(At(page, logical + QPoint(dx, dy))) < 200) return true;  // hairlines render grey
        return false;
    }

    static QPoint Centre(const TFaceInfo& face)
    {
        return {(face.rect.left + face.rect.right) / 2, (face.rect.top + face.rect.bottom) / 2};
    }

    QString source_ = test::TestFolder() + "/disc.mld";
    QString pdf_ = test::TestFolder() + "/out.pdf";
    TFaceInfo faces_[2];
};

TEST_F(PrintCommandTest, ThePdfHoldsOnePagePerCopyOfThePapersSize)
{
    const TRun run = Run({source_, "--copies", "3", "--pdf", pdf_});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("3 ページ"));
    const QString info = Tool("pdfinfo", {pdf_});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\n"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)"))) << info.toStdString();
}

TEST_F(PrintCommandTest, ImagesFollowTheBandPlanAt254Dpi)
{
    ASSERT_EQ(Run({source_, "--pdf", pdf_}).exitCode, 0);
    // page num type width height ...: one band for the face with objects, none for the empty face.
    const QStringList lines = Tool("pdfimages", {"-list", pdf_}).split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_EQ(lines.size(), 1) << lines.join('\n').toStdString();
    const QStringList fields = lines[0].simplified().split(' ');
    const TSheetRect outer = faces_[0].OuterRect();
    const TRect target{outer.left * 600 / 254 - 10, outer.top * 600 / 254 - 10, (outer.right * 600 + 253) / 254 + 10,
                       (outer.bottom * 600 + 253) / 254 + 10};
    const std::vector<TBand> plan = PlanBands(target, QSize(600, 600), 254);
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(fields[3].toInt(), plan[0].size.width());
    EXPECT_EQ(fields[4].toInt(), plan[0].size.height());
    EXPECT_NEAR(fields[12].toDouble(), 254, 1);  // x-ppi
}

TEST_F(PrintCommandTest, FacesHolesFramesAndDashedCutLinesSitWhereTheCatalogueSaysMovedByTheOffset)
{
    const TRun run = Run({source_, "--offset", "12.3,4.5", "--frames", "--cut-lines", "--pdf", pdf_});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage page = Page(1);
    ASSERT_FALSE(page.isNull());
    // Whole points in the PDF: A4 is 595 x 842 pt, so a row more than 2970 may appear.
    ASSERT_EQ(page.width(), 2100);
    ASSERT_NEAR(page.height(), 2970, 1);

    // Face 1: blue ring, white hole, the bleed's left edge within one pixel.
    const QPoint centre = Centre(faces_[0]);
    EXPECT_GT(qBlue(At(page, centre + QPoint(-400, 0))), 240);
    EXPECT_LT(qRed(At(page, centre + QPoint(-400, 0))), 40);
    EXPECT_GT(qRed(At(page, centre)), 215);
    const int left = faces_[0].OuterRect().left;
    EXPECT_LT(qRed(At(page, QPoint(left + 2, centre.y()))), 60);
    EXPECT_GT(qRed(At(page, QPoint(left - 2, centre.y()))), 200);

    // Face 2 has no objects: its frame (bleed outline) and its dashed cut line (label edge) alone.
    const QPoint second = Centre(faces_[1]);
    EXPECT_TRUE(DarkNear(page, QPoint(second.x(), faces_[1].OuterRect().top)));
    EXPECT_TRUE(DarkNear(page, QPoint(second.x(), faces_[1].PrintedHoleRect().top)));
    EXPECT_TRUE(DarkNear(page, QPoint(second.x(), faces_[1].rect.top)));
    EXPECT_FALSE(DarkNear(page, QPoint(second.x(), faces_[1].rect.top + 100)));
    int dark = 0, light = 0;
    for (int x = second.x() - 30; x <= second.x() + 30; ++x) {
        bool ink = false;
        for (int dy = -1; dy <= 1; ++dy) ink = ink || qGray(At(page, QPoint(x, faces_[1].rect.top + dy))) < 200;
        (ink ? dark : light)++;
    }
    EXPECT_GT(dark, 5);
    EXPECT_GT(light, 5);
}

TEST_F(PrintCommandTest, NoChosenFaceBadArgumentsAndMissingPrintersAreRefusedWithoutAFile)
{
    const TRun none = Run({source_, "--faces", "", "--pdf", pdf_});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.contains("印刷するラベルが一つもありません")) << none.err.toStdString();
    EXPECT_EQ(Run({source_, "--faces", "3", "--pdf", pdf_}).exitCode, 1);
    EXPECT_EQ(Run({source_, "--offset", "100,0", "--pdf", pdf_}).exitCode, 2);
    EXPECT_EQ(Run({source_, "--copies", "0", "--pdf", pdf_}).exitCode, 2);
    EXPECT_EQ(Run({source_}).exitCode, 2);
    EXPECT_EQ(Run({source_, "--pdf", pdf_, "--printer", "x"}).exitCode, 2);
    const TRun missing = Run({source_, "--printer", "存在しないプリンタ"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("存在しないプリンタ"));
    EXPECT_FALSE(QFile::exists(pdf_));
    // Only the chosen face prints.
    ASSERT_EQ(Run({source_, "--faces", "2", "--pdf", pdf_}).exitCode, 0);
    EXPECT_GT(qRed(At(Page(1), Centre(faces_[0]) + QPoint(-400, 0))), 215);
}

// The PDF replaces the old file only when complete, and what a killed print left beside it goes.
TEST_F(PrintCommandTest, APrintToPdfReplacesTheFileWholeAndClearsWhatAKilledPrintLeft)
{
    // A print killed half-way leaves its temporary file, which nobody holds any more.
    const QString left = TReplacingFile::TemporaryName(pdf_, 0);
    for (const QString& file : {pdf_, left}) {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    ASSERT_EQ(Run({source_, "--pdf", pdf_}).exitCode, 0);
    EXPECT_TRUE(Tool("pdfinfo", {pdf_}).contains("Pages:"));
    EXPECT_EQ(QDir(test::TestFolder()).entryList({"*.tmp"}, QDir::Files), QStringList());
}

}  // namespace
}  // namespace kestrel
