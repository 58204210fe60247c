#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>

#include "label/LabelDocumentFixtures.h"
#include "label/LabelExport.h"
#include "platform/Error.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

// Read back by programs of their own: Pillow for the pictures, poppler for the PDF.
QString RunTool(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) return QString::fromUtf8(tool.readAllStandardError());
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

// "width height r,g,b r,g,b" of the file, the colours at the two points.
QString PillowReads(const QString& file, QPoint a, QPoint b)
{
    const QString script = QStringLiteral(
        "import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1]).convert('RGB')\n"
        "print(im.width, im.height, *(','.join(map(str, im.getpixel((int(sys.argv[i]), int(sys.argv[i + 1]))))) for i in (2, 4)))");
    return RunTool("/usr/bin/python3", {"-c", script, file, QString::number(a.x()), QString::number(a.y()),
                                    QString::number(b.x()), QString::number(b.y())});
}

class LabelExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RegisterTestObjects();
        document.SetPaper(*test::SquarePaper(2));
        // Face 1's left half is blue, its right half stays white.
        test::PutRects(document, 1, {{0, 0, 300, 600}});
    }

    QString File(const QString& name) const { return test::TestFolder() + "/" + name; }

    TLabelData document;
};

TEST_F(LabelExportTest, AFaceIsWrittenInEachPictureFormatAsItsExtensionSays)
{
    // At 254 dpi one pixel is 0.1 mm: the face is 600 pixels square.
    for (const QString name : {"face.png", "face.jpg", "face.BMP"}) {
        ExportLabel(document, 1, 254, File(name));
        const QStringList read = PillowReads(File(name), {150, 300}, {450, 300}).split(' ');
        ASSERT_EQ(read.size(), 4) << read.join(' ').toStdString();
        EXPECT_EQ(read[0] + "x" + read[1], "600x600") << name.toStdString();
        const QStringList left = read[2].split(','), right = read[3].split(',');
        EXPECT_LT(left[0].toInt(), 16) << name.toStdString();
        EXPECT_GT(left[2].toInt(), 239) << name.toStdString();
        EXPECT_GT(right[0].toInt() + right[1].toInt() + right[2].toInt(), 3 * 240) << name.toStdString();
    }
}

TEST_F(LabelExportTest, ThePdfPageHasTheLabelsSizeAndShowsItsObjects)
{
    ExportLabel(document, 1, 254, File("face.pdf"));
    const QString info = RunTool("pdfinfo", {File("face.pdf")});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages: +1\n"))) << info.toStdString();
    // 60 mm square, in whole points.
    EXPECT_TRUE(info.contains(QRegularExpression("Page size: +170(\\.\\d+)? x 170(\\.\\d+)? pts"))) << info.toStdString();
    RunTool("pdftoppm", {"-r", "254", "-png", "-singlefile", File("face.pdf"), File("face-page")});
    const QImage page(File("face-page.png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_NEAR(page.width(), 600, 1);
    EXPECT_NEAR(page.height(), 600, 1);
    EXPECT_EQ(qBlue(page.pixel(150, 300)), 255);
    EXPECT_LT(qRed(page.pixel(150, 300)), 16);
    EXPECT_EQ(page.pixel(450, 300), qRgb(255, 255, 255));
}

TEST_F(LabelExportTest, TheWholeSheetPlacesEachFaceOnThePaper)
{
    // At 127 dpi one pixel is 0.2 mm; face 1 starts at (700, 100) on the paper.
    ExportLabel(document, -1, 127, File("sheet.png"));
    const QStringList read = PillowReads(File("sheet.png"), {(700 + 100) / 2, (100 + 300) / 2}, {(700 + 500) / 2, 200}).split(' ');
    ASSERT_EQ(read.size(), 4) << read.join(' ').toStdString();
    EXPECT_EQ(read[0] + "x" + read[1], "1050x1485");
    EXPECT_EQ(read[2], "0,0,255");
    EXPECT_EQ(read[3], "255,255,255");
}

TEST_F(LabelExportTest, AnUnknownFormatOrFaceIsRefusedAndLeavesNoFile)
{
    EXPECT_THROW(ExportLabel(document, 1, 254, File("face.gif")), EKestrel);
    EXPECT_FALSE(QFile::exists(File("face.gif")));
    EXPECT_THROW(ExportLabel(document, 4, 254, File("face.png")), EKestrel);
    EXPECT_FALSE(QFile::exists(File("face.png")));
    EXPECT_EQ(OutputFormatOfFile("a.JPEG"), TOutputFormat::Jpeg);
    EXPECT_EQ(OutputFormatOfFile("a.pdf"), TOutputFormat::Pdf);
    EXPECT_EQ(OutputFormatOfFile("a.svg"), std::nullopt);
}

}  // namespace
}  // namespace kestrel
