#include <gtest/gtest.h>

#include <QColor>
#include <stdexcept>

#include "PrintFixtures.h"
#include "app/AppFrame.h"
#include "app/ProgramMacros.h"
#include "label/LabelDocumentFixtures.h"
#include "paper/FaceInfo.h"
#include "paper/PaperRecords.h"
#include "platform/Rounding.h"
#include "print/BandPage.h"
#include "print/PhasedProgress.h"
#include "print/PrintCommand.h"
#include "print/PrintSite.h"
#include "print/PrintSpec.h"

namespace kestrel {
namespace {

using test::PutRects;
using test::TFilledRect;
using test::TImagePrintDevice;

constexpr QRgb kBlue = 0xff0000ff;
constexpr QRgb kWhite = 0xffffffff;

class PrintSiteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RegisterTestObjects();
        document.SetPaper(*test::TwoDiscPaper());
        job.Copies = 1;
        job.AllFaces = true;
    }

    // Prints with a device of the given resolution; the pages come back.
    TImagePrintDevice& Print(QSize dpi = QSize(254, 254))
    {
        device = std::make_unique<TImagePrintDevice>(QSize(2100, 2970), dpi);
        TPrintSite site(document, progress, job, *device);
        site.SetOnIdle(idle);
        site.Print();
        return *device;
    }

    // The page pixel under a sheet point (0.1 mm) on a page of dpi.
    static QRgb At(const QImage& page, QPoint logical, QSize dpi = QSize(254, 254))
    {
        return page.pixel(MulDiv(logical.x(), dpi.width(), 254), MulDiv(logical.y(), dpi.height(), 254));
    }

    TFaceInfo Face(int n) const { return TFaceInfo(document.Face(n)); }
    // A point inside the ring of face n, left of the hole.
    QPoint RingPoint(int n) const
    {
        const TSheetRect r = Face(n).rect;
        return {r.left + 150, (r.top + r.bottom) / 2};
    }
    QPoint HoleCentre(int n) const
    {
        const TSheetRect r = Face(n).rect;
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    TLabelData document;
    TPrintSpec job;
    TSTDPhasedProgress progress;
    std::function<void()> idle;
    std::unique_ptr<TImagePrintDevice> device;
};

TEST_F(PrintSiteTest, FacesLandAtTheirPlaceClippedToTheirShapeAndMovedByTheOffsetOnce)
{
    PutRects(document, 0, {{0, 0, 1190, 1190}});
    job.Offset = QPoint(123, 45);
    const QImage page = Print().pages.at(0);
    const QPoint shift(123, 45);
    EXPECT_EQ(At(page, RingPoint(0) + shift), kBlue);
    EXPECT_EQ(At(page, HoleCentre(0) + shift), kWhite);
    // The left edge of the bleed: blue just inside, white just outside, 123 pixels further right.
    const int edge = Face(0).OuterRect().left + 123, y = HoleCentre(0).y() + 45;
    EXPECT_EQ(page.pixel(edge + 1, y), kBlue);
    EXPECT_EQ(page.pixel(edge - 2, y), kWhite);
    // Face 2 has no objects.
    EXPECT_EQ(At(page, RingPoint(1) + shift), kWhite);
}

TEST_F(PrintSiteTest, UnequalResolutionsPlaceFacesWithEachAxisOwnResolution)
{
    PutRects(document, 1, {{0, 0, 1190, 1190}});
    const QSize dpi(300, 150);
    const QImage page = Print(dpi).pages.at(0);
    const TSheetRect outer = Face(1).OuterRect();
    const int y = MulDiv(HoleCentre(1).y(), 150, 254);
    EXPECT_EQ(page.pixel(MulDiv(outer.left, 300, 254) + 2, y), kBlue);
    EXPECT_EQ(page.pixel(MulDiv(outer.left, 300, 254) - 3, y), kWhite);
    EXPECT_EQ(page.pixel(MulDiv(outer.right, 300, 254) - 3, y), kBlue);
    EXPECT_EQ(page.pixel(MulDiv(outer.right, 300, 254) + 2, y), kWhite);
    const int x = MulDiv(RingPoint(1).x(), 300, 254);
    EXPECT_EQ(page.pixel(x, MulDiv(outer.top, 150, 254) + 200 * 150 / 254), kBlue);
    EXPECT_EQ(page.pixel(x, MulDiv(outer.top, 150, 254) - 2), kWhite);
}

TEST_F(PrintSiteTest, WithoutBandingObjectsArePaintedStraightOntoTheUnequalPage)
{
    TAppFrame frame;
    frame.Macro().SetLines(ProgramMacroTable());
    frame.Loaded();
    TAppFrame::WriteInteger("Banding", 0);
    PutRects(document, 1, {{300, 200, 700, 400}});
    const QSize dpi(300, 150);
    const QImage page = Print(dpi).pages.at(0);
    const TSheetRect outer = Face(1).OuterRect();
    auto at = [&](int x, int y) { return At(page, QPoint(outer.left + x, outer.top + y), dpi); };
    EXPECT_EQ(at(500, 300), kBlue);
    EXPECT_EQ(at(305, 205), kBlue);
    EXPECT_EQ(at(695, 395), kBlue);
    EXPECT_EQ(at(295, 300), kWhite);
    EXPECT_EQ(at(705, 300), kWhite);
    EXPECT_EQ(at(500, 190), kWhite);
}

TEST_F(PrintSiteTest, CopiesArePagesAndOnlySelectedFacesPrint)
{
    PutRects(document, 0, {{0, 0, 1190, 1190}});
    PutRects(document, 1, {{0, 0, 1190, 1190}});
    job.Copies = 3;
    job.AllFaces = false;
    job.Faces = {0, 1};
    TImagePrintDevice& printed = Print();
    EXPECT_EQ(printed.newPages, 2);
    EXPECT_EQ(printed.endDocs, 1);
    ASSERT_EQ(printed.pages.size(), 3u);
    for (const QImage& page : printed.pages) {
        EXPECT_EQ(At(page, RingPoint(0)), kWhite);
        EXPECT_EQ(At(page, RingPoint(1)), kBlue);
    }

    job.Copies = 1;
    ASSERT_EQ(Print().newPages, 0);
}

TEST_F(PrintSiteTest, FramesAndCutLinesAreDrawnForSelectedFacesEvenWithoutContent)
{
    job.PrintFrame = true;
    job.PrintCutLine = true;
    const QImage page = Print().pages.at(0);
    const TFaceInfo face = Face(1);
    const int centreX = HoleCentre(1).x();
    auto darkNear = [&](int y) {
        for (int dy = -1; dy <= 1; ++dy)
            if (qGray(page.pixel(centreX, y + dy)) < 128) return true;
        return false;
    };
    EXPECT_TRUE(darkNear(face.OuterRect().top));  // frame round the bleed
    EXPECT_TRUE(darkNear(face.rect.top));         // cut line on the label's edge
    EXPECT_FALSE(darkNear(face.rect.top + 100));
    // The cut line is dashed: along its flat top both ink and gaps show.
    int dark = 0, light = 0;
    for (int x = centreX - 30; x <= centreX + 30; ++x) {
        bool ink = false;
        for (int dy = -1; dy <= 1; ++dy) ink = ink || qGray(page.pixel(x, face.rect.top + dy)) < 128;
        (ink ? dark : light)++;
    }
    EXPECT_GT(dark, 5);
    EXPECT_GT(light, 5);
}

TEST_F(PrintSiteTest, BlurredEdgeFadesToWhiteOverTheFacesOwnObjects)
{
    PutRects(document, 0, {{0, 0, 1190, 1190}});
    job.BlurEdge = true;
    const QImage page = Print().pages.at(0);
    const TSheetRect outer = Face(0).OuterRect();
    const int y = HoleCentre(0).y();
    auto blueness = [&](int x) { return 255 - qRed(page.pixel(x, y)); };
    EXPECT_LT(blueness(outer.left + 2), 40);            // almost white at the edge
    EXPECT_GT(blueness(outer.left + 120), 215);         // full colour well inside
    const int middle = blueness(outer.left + 35);       // on the ramp
    EXPECT_GT(middle, 40);
    EXPECT_LT(middle, 215);
    EXPECT_LT(blueness(outer.left + 20), blueness(outer.left + 50));
}

TEST_F(PrintSiteTest, ThePapersPatternGivesAFaceContentOnlyWhenAskedFor)
{
    TImagePaperInfo images;
    images.SetPaperName(document.SheetPaper()->PaperName());
    TFilledRect patternRect;
    patternRect.SetBounds({0, 0, 1190, 1190});
    TDOList none, pattern;
    pattern.Add(patternRect);
    images.AddList(none);
    images.AddList(pattern);
    document.SetImageInfo(&images);

    EXPECT_EQ(At(Print().pages.at(0), RingPoint(1)), kWhite);
    job.PrintPaperImage = true;
    const QImage page = Print().pages.at(0);
    EXPECT_EQ(At(page, RingPoint(1)), kBlue);
    EXPECT_EQ(At(page, RingPoint(0)), kWhite);
}

TEST_F(PrintSiteTest, AnAbortStopsPaintingAndNeverEndsTheDocument)
{
    PutRects(document, 0, {{0, 0, 1190, 1190}, {0, 0, 100, 100}, {0, 0, 50, 50}});
    PutRects(document, 1, {{0, 0, 1190, 1190}});
    job.Copies = 2;
    int idles = 0;
    idle = [&] {
        if (++idles == 1) device->Abort();
    };
    TImagePrintDevice& printed = Print();
    EXPECT_EQ(printed.endDocs, 0);
    EXPECT_EQ(printed.newPages, 0);
    EXPECT_TRUE(printed.Aborted());
}

TEST_F(PrintSiteTest, AnErrorDropsTheJobAndReachesTheCaller)
{
    PutRects(document, 0, {{0, 0, 1190, 1190}});
    idle = [] { throw std::runtime_error("the window went away"); };
    EXPECT_THROW(Print(), std::runtime_error);
    EXPECT_EQ(device->aborts, 1);
    EXPECT_EQ(device->endDocs, 0);
}

TEST_F(PrintSiteTest, TargetRectRoundsOutwardsAndGrowsByTenPixels)
{
    device = std::make_unique<TImagePrintDevice>(QSize(2100, 2970), QSize(600, 600));
    TPrintSite site(document, progress, job, *device);
    const TSheetRect outer = Face(0).OuterRect();
    const TRect target = site.TargetRect(Face(0));
    EXPECT_EQ(target.left, outer.left * 600 / 254 - 10);
    EXPECT_EQ(target.right, (outer.right * 600 + 253) / 254 + 10);
    job.Offset = QPoint(123, -10);
    EXPECT_EQ(site.PrintOffset(), QPoint(291, -24));
}

TEST_F(PrintSiteTest, OnlyAPrintThatHappenedStampsThePrintDate)
{
    PutRects(document, 0, {{0, 0, 1190, 1190}});
    const TPrintSpec remembered = FillPrintSpec(TPrintOptions{}, false);
    const double before = document.Dates().lastPrint;
    TImagePrintDevice aborted(QSize(2100, 2970), QSize(254, 254));
    EXPECT_FALSE(PrintDocument(document, aborted, progress, [&] { aborted.Abort(); }, remembered));
    EXPECT_EQ(document.Dates().lastPrint, before);
    TImagePrintDevice failing(QSize(2100, 2970), QSize(254, 254));
    EXPECT_THROW(PrintDocument(document, failing, progress, [] { throw std::runtime_error("gone"); }, remembered),
                 std::runtime_error);
    EXPECT_EQ(document.Dates().lastPrint, before);
    TImagePrintDevice printed(QSize(2100, 2970), QSize(254, 254));
    EXPECT_TRUE(PrintDocument(document, printed, progress, {}, remembered));
    EXPECT_GT(document.Dates().lastPrint, before);
    EXPECT_EQ(printed.pages.size(), 1u);
}

TEST(BandPlan, BandsNeverExceedTheirPixelBudgetAndTileTheTarget)
{
    const std::vector<TBand> two = PlanBands({0, 0, 1000, 6000}, QSize(254, 254), 254);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0], (TBand{QSize(1000, 3000), {0, 0, 1000, 3000}}));
    EXPECT_EQ(two[1], (TBand{QSize(1000, 3000), {0, 3000, 1000, 6000}}));
    EXPECT_EQ(PlanBands({0, 0, 1000, 5242}, QSize(254, 254), 254).size(), 1u);

    // 600 dpi printer pixels rasterised at 254: bitmap sizes scale, targets stay in printer pixels.
    const std::vector<TBand> scaled = PlanBands({10, 20, 2410, 18020}, QSize(600, 600), 254);
    int rows = 0, covered = 20;
    for (const TBand& band : scaled) {
        EXPECT_LE(band.size.width() * band.size.height(), MaxBandPixels);
        EXPECT_EQ(band.target.top, covered);
        covered = band.target.bottom;
        rows += band.size.height();
    }
    EXPECT_EQ(covered, 18020);
    EXPECT_EQ(rows, MulDiv(18000, 254, 600));
    EXPECT_TRUE(PlanBands({0, 0, 0, 100}, QSize(254, 254), 254).empty());
}

TEST(PhasedProgress, NestedPhasesShareOutTheirParentsStep)
{
    std::vector<int> heard;
    TSTDPhasedProgress progress([&](int percent) { heard.push_back(percent); });
    progress.BeginPhase(2);
    progress.BeginPhase(4);
    progress.Step();
    EXPECT_EQ(progress.Percent(), 12);
    progress.Step();
    progress.Step();
    progress.Step();
    progress.EndPhase();
    progress.Step();
    EXPECT_EQ(progress.Percent(), 50);
    progress.BeginPhase(0);  // a face without bands
    progress.EndPhase();
    progress.Step();
    progress.EndPhase();
    EXPECT_EQ(progress.Percent(), 100);
    EXPECT_TRUE(std::is_sorted(heard.begin(), heard.end()));
    EXPECT_EQ(heard.back(), 100);
}

TEST(PrintSpec, SelectionBytesBeyondTheEndAreNotSelected)
{
    TPrintSpec job;
    job.Faces = {0, 1, 0};
    EXPECT_FALSE(job.IsFaceSelected(0));
    EXPECT_TRUE(job.IsFaceSelected(1));
    EXPECT_FALSE(job.IsFaceSelected(7));
    EXPECT_EQ(job.SelectedCount(10), 1);
    job.AllFaces = true;
    EXPECT_EQ(job.SelectedCount(10), 10);
}

TEST(MulDiv, RoundsHalfAwayFromZero)
{
    EXPECT_EQ(MulDiv(123, 600, 254), 291);
    EXPECT_EQ(MulDiv(127, 1, 254), 1);
    EXPECT_EQ(MulDiv(-127, 1, 254), -1);
    EXPECT_EQ(MulDiv(5, 5, 0), 0);
}

}  // namespace
}  // namespace kestrel
