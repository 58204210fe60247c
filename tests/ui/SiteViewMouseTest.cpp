#include <gtest/gtest.h>

#include <QTest>

#include "edit/LayoutSession.h"
#include "edit/LayoutSnap.h"
#include "edit/MoveModes.h"
#include "objects/LORect.h"
#include "render/DrawSite.h"
#include "render/GridGuide.h"
#include "ui/SiteView.h"

namespace kestrel {
namespace {

// Real mouse events on the view of a 1200 x 1200 face at 96 dpi (1 pixel = 2.65 units).
class SiteViewMouseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.Attach(site);
        site.SetDeviceDpi(96);
        site.Scaler().SetUnitDPI(254);
        site.SetLogSize(1200, 1200);
        site.SetColor(clWhite);
        view = std::make_unique<TSiteView>(site);
        view->resize(600, 600);
        view->show();
        rect = &AddRect({254, 254, 762, 762});
    }
    void TearDown() override { view.reset(); }

    TActionList& History() { return session.History(); }

    TLORect& AddRect(const TRect& bounds, int angle = 0)
    {
        auto added = std::make_unique<TLORect>();
        added->SetBounds(bounds);
        added->SetAngle(angle);
        added->SetFillInside(true);  // hit inside, not only on the frame
        return static_cast<TLORect&>(site.AddObject(std::move(added)));
    }

    QWidget* Surface() const { return &view->Surface(); }
    QPoint Device(QPoint logical) const { return site.LogToDev(logical); }

    void Click(QPoint device, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(Surface(), Qt::LeftButton, modifiers, device);
    }

    // Press, two moves and a release, the modifiers held throughout.
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mousePress(Surface(), Qt::LeftButton, modifiers, from);
        QTest::mouseEvent(QTest::MouseMove, Surface(), Qt::NoButton, modifiers, (from + to) / 2);
        QTest::mouseEvent(QTest::MouseMove, Surface(), Qt::NoButton, modifiers, to);
        QTest::mouseRelease(Surface(), Qt::LeftButton, modifiers, to);
    }

    QPoint LogicalOffset(QPoint from, QPoint to) const { return site.DevToLog(to) - site.DevToLog(from); }

    // Exactly one undo step, with the caption.
    void ExpectOneStep(const QString& caption)
    {
        EXPECT_EQ(History().Current(), 0);
        EXPECT_EQ(History().Count(), 1);
        EXPECT_EQ(History().UndoCaption(), caption);
    }

    TLayoutSession session;
    TDrawSite site;
    std::unique_ptr<TSiteView> view;
    TLORect* rect = nullptr;
};

TEST_F(SiteViewMouseTest, ClickSelectsShiftOrCtrlClickExtendsAndTheBandSelects)
{
    TLORect& other = AddRect({900, 900, 1100, 1100});
    Click(Device({500, 500}));
    EXPECT_TRUE(rect->Selected());
    Click(Device({1000, 1000}));
    EXPECT_FALSE(rect->Selected());
    EXPECT_TRUE(other.Selected());
    Click(Device({500, 500}), Qt::ControlModifier);
    EXPECT_TRUE(rect->Selected());
    EXPECT_TRUE(other.Selected());
    Click(Device({50, 50}));  // empty place
    EXPECT_FALSE(rect->Selected() || other.Selected());
    Click(Device({500, 500}));
    Click(Device({1000, 1000}), Qt::ShiftModifier);
    EXPECT_TRUE(rect->Selected() && other.Selected());
    Click(Device({50, 50}));

    Drag(Device({850, 850}), Device({1150, 1150}));  // the band touches only the second
    EXPECT_FALSE(rect->Selected());
    EXPECT_TRUE(other.Selected());
    EXPECT_EQ(History().Count(), 0);
}

TEST_F(SiteViewMouseTest, DragMovesTheObjectInOneStep)
{
    const QPoint from = Device({500, 500});
    const QPoint to = from + QPoint(40, 25);
    Drag(from, to);
    const QPoint offset = LogicalOffset(from, to);
    EXPECT_EQ(rect->Rect(), TRect(254, 254, 762, 762).Translated(offset.x(), offset.y()));
    ExpectOneStep("移動");
    History().Undo();
    EXPECT_EQ(rect->Rect(), TRect(254, 254, 762, 762));
}

// A turnable object: right-top and left-bottom turn it, the other six resize it.
TEST_F(SiteViewMouseTest, EachHandleResizesItsEdgesOrTurnsInOneStep)
{
    const TRect start = rect->Rect();
    for (int handle = 0; handle < 8; ++handle) {
        History().Clear();
        Click(Device({50, 50}));
        Click(Device({500, 500}));  // selected alone: its handles show
        const QPoint grip = Device(RoundedPoint(HandlePoint(start, handle)));
        const QPoint to = grip + QPoint(-20, 30);
        Drag(grip, to);
        if (handle == 2 || handle == 5) {
            EXPECT_EQ(rect->Rect(), start);
            EXPECT_NE(rect->Angle(), 0) << handle;
            ExpectOneStep("回転");
        } else {
            EXPECT_EQ(rect->Rect(), ResizeRect({start, handle, LogicalOffset(grip, to), false, 1})) << handle;
            ExpectOneStep("サイズ変更");
        }
        History().Undo();
        ASSERT_EQ(rect->Rect(), start);
        ASSERT_EQ(rect->Angle(), 0);
    }
}

TEST_F(SiteViewMouseTest, TurnedObjectsTurnByTheirRotationHandle)
{
    TLORect& turned = AddRect({800, 100, 1000, 300}, 20);
    Click(Device({900, 200}));
    ASSERT_TRUE(turned.Selected());
    const TRect r = turned.Rect();
    const QPoint handle = RoundedPoint(TurnedAbout(HandlePoint(r, 5), CentreOf(r), 20));
    const QPoint centre = RoundedPoint(CentreOf(r));
    // From the handle to the point a quarter turn further on about the centre.
    const QPoint target = RoundedPoint(TurnedAbout(handle, centre, 90));
    Drag(Device(handle), Device(target));
    EXPECT_NEAR(turned.Angle(), 110, 1);
    ExpectOneStep("回転");
}

TEST_F(SiteViewMouseTest, CtrlDragCopiesAndShiftLocksTheAxis)
{
    const QPoint from = Device({500, 500});
    Drag(from, from + QPoint(60, 10), Qt::ControlModifier);
    ASSERT_EQ(site.ChildCount(), 2);
    EXPECT_EQ(rect->Rect(), TRect(254, 254, 762, 762));
    const QPoint offset = LogicalOffset(from, from + QPoint(60, 10));
    EXPECT_EQ(dynamic_cast<TLORect&>(site.Child(1)).Rect(), rect->Rect().Translated(offset.x(), offset.y()));
    ExpectOneStep("ドラッグコピー");

    History().Clear();
    Click(Device({300, 300}));  // the original alone (the copy lies over the rest of it)
    ASSERT_TRUE(rect->Selected());
    Drag(Device({300, 300}), Device({300, 300}) + QPoint(15, 50), Qt::ShiftModifier);
    EXPECT_EQ(rect->Rect().left, 254);  // the lesser axis stays
    EXPECT_GT(rect->Rect().top, 254);
    ExpectOneStep("移動");
}

TEST_F(SiteViewMouseTest, AltMovesWithoutSnapping)
{
    TGrid grid;
    grid.SetEnabled(true);
    TGuide guide;
    session.Ghosts().SetSnapHook(this, LayoutSnapHook(grid, guide));
    const auto onGrid = [](const TRect& b) {
        return b.left % 50 == 0 || b.right % 50 == 0;
    };
    const QPoint from = Device({500, 500});
    const QPoint to = from + QPoint(41, 0);
    Drag(from, to);
    EXPECT_TRUE(onGrid(rect->GetBounds()));
    ExpectOneStep("移動");
    History().Undo();

    History().Clear();
    Drag(from, to, Qt::AltModifier);
    const QPoint offset = LogicalOffset(from, to);
    EXPECT_EQ(rect->Rect(), TRect(254, 254, 762, 762).Translated(offset.x(), offset.y()));
    ExpectOneStep("移動");
}

TEST_F(SiteViewMouseTest, InsertedRectangleIsDrawnOutWithTheMouse)
{
    ASSERT_TRUE(session.Designers().CreateOnSite(site, "TLORect"));
    ASSERT_EQ(site.ChildCount(), 2);
    const QPoint from = Device({800, 800});
    const QPoint to = Device({1000, 900});
    Drag(from, to);
    auto& created = dynamic_cast<TLORect&>(site.Child(1));
    EXPECT_TRUE(created.Visible());
    EXPECT_EQ(created.Rect(), TRect(site.DevToLog(from).x(), site.DevToLog(from).y(), site.DevToLog(to).x(),
                                    site.DevToLog(to).y()));
    EXPECT_TRUE(created.Selected());
    EXPECT_FALSE(rect->Selected());
    ExpectOneStep("追加");
}

TEST_F(SiteViewMouseTest, GhostIsDrawnOverThePictureOfTheScene)
{
    rect->FillColor().SetColor(clBlue);
    const QPoint from = Device({500, 500});
    QTest::mousePress(Surface(), Qt::LeftButton, {}, from);
    QTest::mouseMove(Surface(), from + QPoint(100, 0));
    const QImage during = Surface()->grab().toImage();
    // The object still shows where it was; the dotted outline runs along the moved right edge.
    const QPoint inside = Device({500, 500});
    EXPECT_EQ(during.pixelColor(inside), QColor(Qt::blue));
    const int movedRight = Device({762, 0}).x() + 100;
    int dark = 0;
    for (int y = Device({0, 300}).y(); y < Device({0, 700}).y(); ++y)
        for (int x = movedRight - 2; x <= movedRight + 2; ++x)
            if (qGray(during.pixel(x, y)) < 80) ++dark;
    EXPECT_GT(dark, 20);
    QTest::mouseRelease(Surface(), Qt::LeftButton, {}, from + QPoint(100, 0));
    ExpectOneStep("移動");
}

}  // namespace
}  // namespace kestrel
