#include <gtest/gtest.h>

#include <ctime>

#include "LabelDocumentFixtures.h"
#include "document/storage/DocStream.h"
#include "label/SheetThumbnail.h"
#include "platform/Error.h"
#include "support/CfbTestSupport.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

using test::PutRects;

#if defined(__SANITIZE_ADDRESS__)
constexpr qint64 CpuBudgetMs = 250;
#else
constexpr qint64 CpuBudgetMs = 50;
#endif

qint64 ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// The two-disc paper (A4, faces of 1170 at 465,215 and 465,1600) scaled to a thumbnail.
QPoint OnThumbnail(const QImage& thumbnail, int x, int y)
{
    return {x * thumbnail.height() / 2970, y * thumbnail.height() / 2970};
}

bool IsBlue(QRgb pixel)
{
    return qBlue(pixel) > 200 && qRed(pixel) < 80 && qGreen(pixel) < 80;
}

class SheetThumbnailTest : public ::testing::Test {
protected:
    void SetUp() override { test::RegisterTestObjects(); }

    QString File(const QString& name) const { return test::TestFolder() + u'/' + name; }

    // sheets sheets of the two-disc paper; the first shows its upper disc in blue, every later one
    // its lower disc.
    QString SavedDocument(int sheets)
    {
        TLabelData document;
        for (int i = 0; i < sheets; ++i) {
            if (i > 0) document.NewSheet();
            document.SetPaper(*test::TwoDiscPaper());
            PutRects(document, i == 0 ? 0 : 1, {{0, 0, 1190, 1190}});
            sheetPaths_ << document.CurrentSheetPath();
        }
        document.SelectSheet(0);
        document.SaveToFile(File("doc.mld"));
        return File("doc.mld");
    }

    // Replaces streams of the saved file.
    static void Replace(const QString& file, const QStringList& paths, const QByteArray& bytes)
    {
        TFileStorage storage(file, ModeReadWrite);
        for (const QString& path : paths) TDocStream::Open(storage, ModeCreate, path)->WriteAll(bytes);
        storage.Close();
    }

    QStringList sheetPaths_;
};

TEST_F(SheetThumbnailTest, TheFirstSheetIsDrawnFromItsPreviewsAtTheAskedSize)
{
    const QImage thumbnail = DrawSheetThumbnail(SavedDocument(2), 128);
    ASSERT_EQ(thumbnail.height(), 128);
    EXPECT_NEAR(thumbnail.width(), 128 * 2100 / 2970, 1);

    // The upper disc of the first sheet is blue round its hole; the lower one (designed only on
    // the second sheet) and the paper stay white.
    EXPECT_TRUE(IsBlue(thumbnail.pixel(OnThumbnail(thumbnail, 1050, 405))));
    EXPECT_EQ(thumbnail.pixel(OnThumbnail(thumbnail, 1050, 800)), qRgb(255, 255, 255)) << "the hole";
    EXPECT_EQ(thumbnail.pixel(OnThumbnail(thumbnail, 1050, 1790)), qRgb(255, 255, 255)) << "the lower disc";
    EXPECT_EQ(thumbnail.pixel(OnThumbnail(thumbnail, 150, 1500)), qRgb(255, 255, 255)) << "the paper";
    EXPECT_EQ(qGray(thumbnail.pixel(0, 64)), 160) << "the paper's edge";

    const QImage large = DrawSheetThumbnail(File("doc.mld"), 512);
    EXPECT_EQ(large.height(), 512);
    EXPECT_TRUE(IsBlue(large.pixel(OnThumbnail(large, 1050, 405))));
}

// No object is read: damaged face streams change nothing, and a face without a stored preview
// is shown empty even though it has objects.
TEST_F(SheetThumbnailTest, OnlyTheStoredPreviewsAreDrawn)
{
    const QString file = SavedDocument(1);
    Replace(file, {sheetPaths_[0] + "\\NameList0"}, test::PatternBytes(5000, 3));
    const QImage drawn = DrawSheetThumbnail(file, 128);
    EXPECT_TRUE(IsBlue(drawn.pixel(OnThumbnail(drawn, 1050, 405))));

    Replace(file, {sheetPaths_[0] + "\\Preview0"}, test::PatternBytes(300, 4));
    const QImage damaged = DrawSheetThumbnail(file, 128);
    EXPECT_EQ(damaged.pixel(OnThumbnail(damaged, 1050, 405)), qRgb(255, 255, 255));
}

TEST_F(SheetThumbnailTest, WhatIsNoDocumentOrHasNoPaperIsRefused)
{
    test::WriteFileBytes(File("garbage.mld"), test::PatternBytes(4000, 9));
    EXPECT_THROW(DrawSheetThumbnail(File("garbage.mld"), 128), EKestrel);
    EXPECT_THROW(DrawSheetThumbnail(File("missing.mld"), 128), EKestrel);

    TLabelData paperless;
    paperless.SaveToFile(File("paperless.mld"));
    EXPECT_TRUE(DrawSheetThumbnail(File("paperless.mld"), 128).isNull());
}

// A file manager asks for many thumbnails at once: the cost is that of the first sheet, however
// many sheets and pictures follow it.
TEST_F(SheetThumbnailTest, ATwentySheetDocumentWithLargeFacesIsQuick)
{
    const QString file = SavedDocument(20);
    QStringList faces;
    for (const QString& sheet : sheetPaths_) faces << sheet + "\\NameList1";
    Replace(file, faces, test::PatternBytes(1 << 20, 5));
    const qint64 start = ThreadCpuMs();
    const QImage thumbnail = DrawSheetThumbnail(file, 256);
    const qint64 spent = ThreadCpuMs() - start;
    EXPECT_EQ(thumbnail.height(), 256);
    EXPECT_LT(spent, CpuBudgetMs);
}

}  // namespace
}  // namespace kestrel
