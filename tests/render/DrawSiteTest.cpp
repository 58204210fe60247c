#include <gtest/gtest.h>

#include <QImage>
#include <stdexcept>

#include "platform/Canvas.h"
#include "render/DrawSiteFixtures.h"

namespace kestrel {
namespace {

using test::AddRect;
using test::TFilledRect;
using test::TRecordingSession;

class DrawSiteTest : public ::testing::Test {
protected:
    void SetUp() override { test::SetUpDocumentSite(site); }

    // Device position of a logical point at the site's zoom.
    QPoint At(int x, int y) const { return site.LogToDev(QPoint(x, y)); }
    void Press(QPoint device, TShiftState shift = 0, TMouseButton button = TMouseButton::mbLeft)
    {
        site.MouseDown({device, button, shift});
    }
    void Release(QPoint device, TShiftState shift = 0)
    {
        site.MouseUp({device, TMouseButton::mbLeft, shift});
    }
    void Click(QPoint device, TShiftState shift = 0) { Press(device, shift), Release(device, shift); }

    TDrawSite site;
};

TEST_F(DrawSiteTest, ZoomSizesTheElementAndEveryObject)
{
    int scalerChanges = 0;
    site.SetOnScalerChanged([&](TDrawSite&) { ++scalerChanges; });
    site.SetLogSize(1200, 1200);
    EXPECT_EQ(site.ElementSize(), QSize(454, 454));
    TFilledRect& rect = AddRect(site, {254, 254, 508, 762});
    EXPECT_EQ(rect.ElementBounds(), (TRect{96, 96, 193, 289}));  // one pixel further right and down

    site.Scaler().SetScale(200);
    EXPECT_EQ(site.ElementSize(), QSize(908, 908));
    EXPECT_EQ(rect.ElementBounds(), (TRect{192, 192, 385, 577}));
    EXPECT_EQ(scalerChanges, 2);
    EXPECT_EQ(site.LogicalClientRect(), (TRect{0, 0, 1201, 1201}));  // 908 pixels back in units
    EXPECT_EQ(site.FitScale({454, 100}, true, true), 22);            // 1200 x 1200 at 100 % is 454 x 454
}

TEST_F(DrawSiteTest, LoadingTakesTheLogicalSizeFromTheElementWhenNoneIsStored)
{
    TDrawSite stored;
    stored.SetDeviceDpi(96);
    stored.Scaler().SetUnitDPI(254);
    stored.SetElementSize({454, 227});
    stored.SetModified(true);
    stored.Loaded();
    EXPECT_EQ(stored.LogWidth(), 1201);
    EXPECT_EQ(stored.LogHeight(), 601);
    EXPECT_FALSE(stored.Modified());

    stored.BeginLoading();
    stored.SetLogSize(1200, 300);
    EXPECT_EQ(stored.ElementSize(), QSize(454, 227));  // nothing rescales while reading
    stored.Loaded();                                   // a stored logical size wins over the element size
    EXPECT_EQ(stored.ElementSize(), QSize(454, 114));
}

TEST_F(DrawSiteTest, AddingMarksModifiedAndKeepsLayerGroupsInOrder)
{
    int modifyChanges = 0;
    site.SetOnModifyChanged([&](TDrawSite&) { ++modifyChanges; });
    TFilledRect& high = AddRect(site, {0, 0, 100, 100}, clBlue, 1);
    TFilledRect& low = AddRect(site, {0, 0, 100, 100}, clRed, 0);
    EXPECT_EQ(site.IndexOf(low), 0);  // below the higher band although added later
    EXPECT_EQ(site.IndexOf(high), 1);
    EXPECT_TRUE(site.Modified());
    EXPECT_EQ(modifyChanges, 1);

    site.SetModified(false);
    site.SetTouched(false);
    site.SetModified(false);
    EXPECT_EQ(modifyChanges, 2);
    EXPECT_TRUE(site.Touched());  // touched on every call, changed or not
    high.SetBounds({10, 10, 90, 90});
    EXPECT_TRUE(site.Modified());  // an object's change reaches its site
}

TEST_F(DrawSiteTest, FindsAndSelectsObjectsFromTheFront)
{
    TFilledRect& back = AddRect(site, {0, 0, 1000, 1000});
    TFilledRect& front = AddRect(site, {500, 500, 1500, 1500});
    EXPECT_EQ(site.ObjectAt({700, 700}), &front);
    EXPECT_EQ(site.ObjectAt({100, 100}), &back);
    EXPECT_EQ(site.ObjectAt({1800, 1800}), nullptr);

    site.SelectAll(true);
    std::vector<TDrawObject*> selected;
    site.Objects(selected, true);
    EXPECT_EQ(selected, (std::vector<TDrawObject*>{&front, &back}));
    site.SelectAll(false);
    site.SelectInRect({At(1200, 1200).x(), At(1200, 1200).y(), At(1300, 1300).x(), At(1300, 1300).y()});
    EXPECT_TRUE(front.Selected());
    EXPECT_FALSE(back.Selected());
}

TEST_F(DrawSiteTest, RebroadcastsObjectNotificationsAndForgetsObjectsThatLeave)
{
    TFilledRect& rect = AddRect(site, {0, 0, 100, 100});
    test::TKindCounter selection(site.Notifier(), NotifySelectionChanged);
    test::TKindCounter modified(site.Notifier(), NotifyModified);
    rect.SetSelected(true);
    rect.SetBounds({0, 0, 200, 200});
    EXPECT_EQ(selection.count, 1);
    EXPECT_EQ(selection.lastSender, &rect);
    EXPECT_EQ(modified.count, 1);
    EXPECT_TRUE(site.PivotsStale());

    std::unique_ptr<TDrawObject> taken = site.ExtractChild(rect);
    EXPECT_EQ(selection.count, 2);  // a selected object leaving changes the selection
    static_cast<TFilledRect&>(*taken).SetBounds({0, 0, 300, 300});
    EXPECT_EQ(modified.count, 1);  // no longer the site's news
}

TEST_F(DrawSiteTest, HandlesAreBuiltLazilyAndLoseTheirCursorsForSeveralObjects)
{
    TRecordingSession editing;
    editing.Attach(site);
    TFilledRect& a = AddRect(site, {0, 0, 500, 500});
    TFilledRect& b = AddRect(site, {600, 600, 900, 900});
    a.SetSelected(true);
    site.UpdatePivots();
    ASSERT_EQ(site.PivotCount(), 8);
    EXPECT_EQ(site.Pivot(7).Cursor(), crSizeNWSE);
    // Centred on the device image of the corner.
    EXPECT_EQ(site.Pivot(7).ElementBounds().TopLeft(), At(500, 500) - QPoint(PivotSize / 2, PivotSize / 2));

    b.SetSelected(true);
    site.UpdatePivots();
    ASSERT_EQ(site.PivotCount(), 16);
    for (int i = 0; i < site.PivotCount(); ++i) EXPECT_EQ(site.Pivot(i).Cursor(), crDefault);

    EXPECT_TRUE(site.HidePivots());
    EXPECT_FALSE(site.HidePivots());
    EXPECT_TRUE(site.PivotsStale());
    site.ExtractChild(b);  // its handles must not outlive it
    EXPECT_EQ(site.PivotCount(), 8);
}

TEST_F(DrawSiteTest, PressSelectsTheObjectAndShiftAddsToTheSelection)
{
    TRecordingSession editing;
    editing.Attach(site);
    TFilledRect& a = AddRect(site, {0, 0, 500, 500});
    TFilledRect& b = AddRect(site, {600, 600, 900, 900});
    Click(At(250, 250));
    EXPECT_TRUE(a.Selected());
    Click(At(700, 700));
    EXPECT_FALSE(a.Selected());
    EXPECT_TRUE(b.Selected());
    Click(At(250, 250), ssShift);
    EXPECT_TRUE(a.Selected());
    EXPECT_TRUE(b.Selected());
    // A right press on the empty site deselects everything.
    Press(At(1800, 1800), 0, TMouseButton::mbRight);
    EXPECT_FALSE(a.Selected() || b.Selected());
}

TEST_F(DrawSiteTest, ShiftClickOnASelectedObjectDeselectsItUnlessTheDragMoved)
{
    TRecordingSession editing;
    editing.Attach(site);
    TFilledRect& a = AddRect(site, {0, 0, 500, 500});
    TFilledRect& b = AddRect(site, {600, 600, 900, 900});
    a.SetSelected(true);
    b.SetSelected(true);

    Press(At(700, 700), ssShift);
    Release(At(800, 800), ssShift);  // moved: a drag, not a click
    EXPECT_TRUE(b.Selected());

    Click(At(700, 700), ssShift);
    EXPECT_FALSE(b.Selected());
    EXPECT_TRUE(a.Selected());
    EXPECT_EQ(site.ClickedObject(), nullptr);
}

TEST_F(DrawSiteTest, PressOnAnObjectStartsItsGhostAndADragLimitedToTheSite)
{
    TRecordingSession editing;
    editing.Attach(site);
    TFilledRect& a = AddRect(site, {0, 0, 500, 500});
    std::vector<TDrawObject*> cleared;
    site.SetOnClearGhost([&](TDrawSite&, TDrawObject* object) { cleared.push_back(object); });

    Press(At(250, 250));
    ASSERT_EQ(editing.designers.ghostsStarted.size(), 1u);
    EXPECT_EQ(editing.designers.ghostsStarted[0], std::make_pair(static_cast<TDrawObject*>(&a), -1));
    EXPECT_TRUE(site.IsDragging());
    EXPECT_EQ(editing.ghosts.limit, site.LogicalClientRect());
    EXPECT_EQ(editing.ghosts.start, site.DevToLog(At(250, 250)));

    // A modifier pressed mid-drag changes the drag at once.
    site.KeyDown({Qt::Key_Shift, ssShift});
    EXPECT_EQ(editing.ghosts.shift, ssShift);
    EXPECT_TRUE(editing.ghosts.moved);

    Release(At(300, 300));
    EXPECT_EQ(editing.ghosts.applied, 1);
    EXPECT_FALSE(site.IsDragging());
    EXPECT_EQ(cleared, (std::vector<TDrawObject*>{nullptr}));
    EXPECT_EQ(site.PivotCount(), 8);  // handles back after the drag
}

TEST_F(DrawSiteTest, PressOnAHandleResizesWithItsCodeAndCancelDiscardsTheDrag)
{
    TRecordingSession editing;
    editing.Attach(site);
    TFilledRect& a = AddRect(site, {0, 0, 500, 500});
    a.SetSelected(true);
    site.UpdatePivots();
    const QPoint corner = site.Pivot(7).ElementBounds().TopLeft() + QPoint(2, 2);

    Press(corner, ssShift);  // handles drop the modifiers: no toggling here
    ASSERT_EQ(editing.designers.ghostsStarted.size(), 1u);
    EXPECT_EQ(editing.designers.ghostsStarted[0].second, 7);
    site.MouseMove({corner + QPoint(10, 10)});
    site.CancelMode();
    EXPECT_EQ(editing.ghosts.cancelled, 1);
    EXPECT_EQ(editing.ghosts.applied, 0);
    EXPECT_TRUE(a.Selected());
}

TEST_F(DrawSiteTest, DoubleClickEditsTheObjectAndAnAcceptedEditClearsGhosts)
{
    TRecordingSession editing;
    editing.Attach(site);
    TFilledRect& a = AddRect(site, {0, 0, 500, 500});
    std::vector<TDrawObject*> cleared;
    site.SetOnClearGhost([&](TDrawSite&, TDrawObject* object) { cleared.push_back(object); });
    editing.designers.acceptEdits = true;
    Click(At(250, 250));
    site.MouseDown({At(250, 250), TMouseButton::mbLeft, 0, true});
    EXPECT_EQ(editing.designers.edits, 1);
    EXPECT_EQ(editing.designers.ghostsStarted.size(), 1u);  // the second press starts no drag
    Release(At(250, 250));
    EXPECT_EQ(cleared, (std::vector<TDrawObject*>{nullptr, &a}));  // the first click's drag, then the edit
}

TEST_F(DrawSiteTest, RubberBandOnTheEmptySiteSelectsWhatItMeets)
{
    TRecordingSession editing;
    editing.Attach(site);
    TFilledRect& a = AddRect(site, {0, 0, 500, 500});
    TFilledRect& b = AddRect(site, {600, 600, 900, 900});
    a.SetSelected(true);

    Press(At(1000, 1000));
    EXPECT_FALSE(a.Selected());
    site.MouseMove({At(700, 700)});
    Release(At(700, 700));
    EXPECT_TRUE(b.Selected());
    EXPECT_FALSE(a.Selected());
}

TEST_F(DrawSiteTest, WithoutAGhostListPressesStillSelect)
{
    TFilledRect& a = AddRect(site, {0, 0, 500, 500});
    Click(At(250, 250));
    EXPECT_TRUE(a.Selected());
    EXPECT_FALSE(site.IsDragging());
    Click(At(250, 250), ssShift);
    EXPECT_FALSE(a.Selected());
}

struct TRecordingHost : IDrawSiteHost {
    std::vector<TRect> invalidated;
    QSize size;
    int focused = 0;
    int repaints = 0;
    std::vector<QPoint> scrolledTowards;
    TRect view{0, 0, 100, 100};

    void InvalidateArea(const TRect& device) override { invalidated.push_back(device); }
    void RepaintNow() override { ++repaints; }
    void ElementSizeChanged(QSize device) override { size = device; }
    void TakeFocus() override { ++focused; }
    bool IsInView(QPoint device) const override { return view.Contains(device); }
    void ScrollTowards(QPoint device) override { scrolledTowards.push_back(device); }
};

TEST_F(DrawSiteTest, TellsItsWindowWhatToRepaintResizeAndScroll)
{
    TRecordingSession editing;
    editing.Attach(site);
    TRecordingHost host;
    site.SetHost(&host);
    TFilledRect& rect = AddRect(site, {0, 0, 100, 100});
    const TRect before = rect.ElementBounds();
    host.invalidated.clear();
    rect.SetBounds({500, 500, 600, 600});
    EXPECT_EQ(host.invalidated, (std::vector<TRect>{before, rect.ElementBounds()}));  // old and new area
    site.Scaler().SetScale(50);
    EXPECT_EQ(host.size, site.ElementSize());

    rect.SetSelected(true);
    site.UpdatePivots();
    Press(rect.ElementBounds().TopLeft() + QPoint(10, 10));
    EXPECT_EQ(host.focused, 1);
    EXPECT_EQ(host.repaints, 1);  // the hidden handles go at once, before the ghosts are drawn
    site.MouseMove({QPoint(50, 50)});
    EXPECT_TRUE(host.scrolledTowards.empty());
    site.MouseMove({QPoint(150, 50)});
    EXPECT_EQ(host.scrolledTowards, (std::vector<QPoint>{QPoint(150, 50)}));
    site.SetHost(nullptr);
}

// Painting at several zooms: probes at the device images of chosen logical points, away from edges.
class DrawSitePaintTest : public DrawSiteTest, public ::testing::WithParamInterface<int> {};

TEST_P(DrawSitePaintTest, BackgroundObjectsOverlayAndBorderLandWhereTheMappingSays)
{
    site.Scaler().SetScale(GetParam());
    AddRect(site, {400, 400, 1200, 1200}, clBlue);
    AddRect(site, {1000, 1000, 1600, 1600}, clRed);
    site.SetOnPaint([](TDrawSite&, TCanvas& canvas) {  // in logical units, behind the objects
        canvas.SetBrush({RGBColor(0, 255, 0), TBrushStyle::bsSolid});
        canvas.FillRect({0, 1600, 2000, 2000});
    });
    site.SetOnPaintAfter([](TDrawSite&, TCanvas& canvas) {
        canvas.SetBrush({clBlack, TBrushStyle::bsSolid});
        canvas.FillRect({1700, 100, 1900, 300});
    });
    const QSize size = site.ElementSize();
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(128, 128, 128));
    {
        TCanvas canvas(image);
        site.Paint(canvas, {0, 0, size.width(), size.height()});
    }
    auto probe = [&](int x, int y) { return test::PixelAt(image, At(x, y).x(), At(x, y).y()); };
    EXPECT_EQ(probe(600, 600), clBlue);
    EXPECT_EQ(probe(1100, 1100), clRed);  // the later object is in front
    EXPECT_EQ(probe(1500, 1500), clRed);
    EXPECT_EQ(probe(200, 200), clWhite);
    EXPECT_EQ(probe(200, 1800), RGBColor(0, 255, 0));
    EXPECT_EQ(probe(1800, 200), clBlack);
    EXPECT_EQ(test::PixelAt(image, 0, size.height() / 2), clBlack);  // the frame
}

INSTANTIATE_TEST_SUITE_P(Zooms, DrawSitePaintTest, ::testing::Values(25, 100, 400));

TEST_F(DrawSiteTest, NoColourLeavesTheParentVisibleAndBufferedPaintingMatchesDirect)
{
    AddRect(site, {400, 400, 1200, 1200}, clBlue);
    site.SetColor(clNone);
    site.SetBorder(false);
    const TRect update{50, 50, 400, 400};
    auto paint = [&](bool buffered) {
        QImage image(site.ElementSize(), QImage::Format_RGB32);
        image.fill(QColor(128, 128, 128));
        site.SetDoubleBuffered(buffered);
        TCanvas canvas(image);
        site.Paint(canvas, update);
        return image;
    };
    const QImage direct = paint(false);
    EXPECT_EQ(test::PixelAt(direct, At(200, 200).x(), At(200, 200).y()), clGray);
    EXPECT_EQ(test::PixelAt(direct, At(800, 800).x(), At(800, 800).y()), clBlue);
    EXPECT_EQ(test::PixelAt(direct, 20, 20), clGray);  // outside the update area: untouched

    site.SetColor(clWhite);
    const QImage buffered = paint(true);
    EXPECT_EQ(test::PixelAt(buffered, At(200, 200).x(), At(200, 200).y()), clWhite);
    EXPECT_EQ(test::PixelAt(buffered, At(800, 800).x(), At(800, 800).y()), clBlue);
    EXPECT_EQ(test::PixelAt(buffered, 20, 20), clGray);

    site.SetColor(clNone);  // nothing of its own to buffer: what lies behind stays visible
    const QImage seeThrough = paint(true);
    EXPECT_EQ(test::PixelAt(seeThrough, At(200, 200).x(), At(200, 200).y()), clGray);
}

TEST_F(DrawSiteTest, DrawToRendersAtItsZoomAndLeavesTheSiteAsItWas)
{
    AddRect(site, {400, 400, 1200, 1200}, clBlue);
    AddRect(site, {1300, 1300, 1600, 1600}, clRed).SetVisible(false);
    std::vector<int> progress;
    site.SetOnDrawToProgress([&](TDrawSite&, int index) { progress.push_back(index); });
    int scalerChanges = 0;
    site.SetOnScalerChanged([&](TDrawSite&) { ++scalerChanges; });
    const QSize before = site.ElementSize();

    QImage image(200, 200, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);  // 96 dpi
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    {
        TCanvas canvas(image);
        site.DrawTo(canvas, {-50, -50}, 25);  // logical (0, 0) at pixel (50, 50); 1 unit = 0.0945 pixel
        EXPECT_EQ(site.PaintingSurface(), nullptr);
    }
    EXPECT_EQ(test::PixelAt(image, 30, 30), clWhite);
    EXPECT_EQ(test::PixelAt(image, 120, 120), clBlue);   // logical 741
    EXPECT_EQ(test::PixelAt(image, 185, 185), clWhite);  // the hidden red object is left out
    EXPECT_EQ(progress, (std::vector<int>{0, 1}));
    EXPECT_EQ(site.Scaler().Scale(), 100);
    EXPECT_EQ(site.ElementSize(), before);
    EXPECT_EQ(scalerChanges, 2);  // there and back

    // A failing overlay cannot leave the site at the other zoom.
    site.SetOnPaintAfter([](TDrawSite&, TCanvas&) { throw std::runtime_error("overlay"); });
    TCanvas canvas(image);
    EXPECT_THROW(site.DrawTo(canvas, {}, 400), std::runtime_error);
    EXPECT_EQ(site.Scaler().Scale(), 100);
    EXPECT_EQ(site.PaintingSurface(), nullptr);
}

}  // namespace
}  // namespace kestrel
