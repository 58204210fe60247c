#include <gtest/gtest.h>

#include <random>

#include "document/ActionList.h"
#include "document/DODesigner.h"
#include "document/DOList.h"
#include "edit/GhostList.h"
#include "edit/Ghosts.h"
#include "edit/LayoutSession.h"
#include "edit/LayoutSnap.h"
#include "edit/MoveModes.h"
#include "objects/LOLine.h"
#include "objects/LORect.h"
#include "render/DrawSite.h"
#include "render/GridGuide.h"
#include "text/CoonsDistortion.h"
#include "text/LOText.h"

namespace kestrel {
namespace {

constexpr QPoint kCentre(600, 600);

class GhostDragTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.Attach(site);
        site.SetDeviceDpi(96);
        site.Scaler().SetUnitDPI(254);
        site.SetLogSize(1200, 1200);
        History().SetLimit(1000);
    }

    TActionList& History() { return session.History(); }
    TGhostList& Ghosts() { return session.Ghosts(); }
    TMoveSettings& MoveSettings() { return session.MoveSettings(); }

    TLORect& AddRect(const TRect& bounds, int angle = 0)
    {
        auto rect = std::make_unique<TLORect>();
        rect->SetBounds(bounds);
        rect->SetAngle(angle);
        return static_cast<TLORect&>(site.AddObject(std::move(rect)));
    }

    template <class T>
    T& AddLine(QPoint from, QPoint to)
    {
        auto line = std::make_unique<T>();
        line->SetStartPoint(from);
        line->SetEndPoint(to);
        return static_cast<T&>(site.AddObject(std::move(line)));
    }

    QByteArray FaceStream() const
    {
        std::vector<TDrawObject*> objects;
        site.Objects(objects, false);
        TDOList list;
        for (TDrawObject* object : objects) list.Add(*object);
        QByteArray bytes;
        list.SaveToStream(bytes);
        return bytes;
    }

    // One drag as the site runs it: the ghost for the handle, then press, move and release.
    void Drag(TDrawObject& object, int handle, QPoint from, QPoint offset, TShiftState shift = 0)
    {
        site.SelectAll(false);
        object.SetSelected(true);
        object.StartGhost(handle);
        DragGhosts(from, offset, shift);
    }

    void DragGhosts(QPoint from, QPoint offset, TShiftState shift = 0)
    {
        Ghosts().BeginDrag(site, site.LogicalArea(), from, shift);
        Ghosts().DragTo(from + offset, shift);
        Ghosts().EndDrag();
    }

    int UndoSteps() { return History().Current() + 1; }

    TLayoutSession session;
    TDrawSite site;
};

TEST_F(GhostDragTest, MoveIsOneStepAndUndoPutsTheObjectBack)
{
    TLORect& rect = AddRect({100, 100, 300, 200});
    Drag(rect, -1, {200, 150}, {50, 30});
    EXPECT_EQ(rect.Rect(), TRect(150, 130, 350, 230));
    ASSERT_EQ(UndoSteps(), 1);
    EXPECT_EQ(History().UndoCaption(), "移動");
    History().Undo();
    EXPECT_EQ(rect.Rect(), TRect(100, 100, 300, 200));

    // Back where it began: nothing changes and nothing is recorded.
    History().Clear();
    Drag(rect, -1, {200, 150}, {0, 0});
    EXPECT_EQ(UndoSteps(), 0);
}

TEST_F(GhostDragTest, MovingSeveralObjectsIsStillOneStep)
{
    TLORect& a = AddRect({100, 100, 200, 200});
    TLORect& b = AddRect({400, 400, 500, 500});
    a.SetSelected(true);
    b.SetSelected(true);
    a.StartGhost(-1);
    b.StartGhost(-1);
    DragGhosts({150, 150}, {20, 0});
    EXPECT_EQ(a.Rect().left, 120);
    EXPECT_EQ(b.Rect().left, 420);
    ASSERT_EQ(UndoSteps(), 1);
    EXPECT_EQ(History().UndoCaption(), "移動");
    History().Undo();
    EXPECT_EQ(a.Rect().left, 100);
    EXPECT_EQ(b.Rect().left, 400);
}

TEST_F(GhostDragTest, CtrlDragLeavesTheObjectAndDropsACopy)
{
    TLORect& rect = AddRect({100, 100, 300, 200});
    Drag(rect, -1, {200, 150}, {300, 0}, ssCtrl);
    ASSERT_EQ(site.ChildCount(), 2);
    EXPECT_EQ(rect.Rect(), TRect(100, 100, 300, 200));
    EXPECT_FALSE(rect.Selected());
    auto& copy = dynamic_cast<TLORect&>(site.Child(1));
    EXPECT_EQ(copy.Rect(), TRect(400, 100, 600, 200));
    EXPECT_TRUE(copy.Selected());
    ASSERT_EQ(UndoSteps(), 1);
    EXPECT_EQ(History().UndoCaption(), "ドラッグコピー");
    History().Undo();
    EXPECT_EQ(site.ChildCount(), 1);
}

TEST_F(GhostDragTest, PureTurnAboutTheDiscCentreIsApplied)
{
    MoveSettings().circumference = true;
    MoveSettings().turnObject = true;
    TLORect& rect = AddRect({500, 550, 700, 650});
    Drag(rect, -1, kCentre + QPoint(200, 0), {-400, 0});
    EXPECT_EQ(rect.Angle(), 180);
    EXPECT_EQ(rect.Rect(), TRect(500, 550, 700, 650));
    EXPECT_EQ(UndoSteps(), 1);
}

TEST_F(GhostDragTest, AltDisablesTheModesAndShiftLocksTheAxis)
{
    MoveSettings().circumference = true;
    TLORect& rect = AddRect({500, 100, 700, 200});
    Drag(rect, -1, {600, 150}, {100, 40}, ssAlt);  // plain free move
    EXPECT_EQ(rect.Rect(), TRect(600, 140, 800, 240));
    MoveSettings() = {};
    Drag(rect, -1, {700, 190}, {100, 40}, ssShift);
    EXPECT_EQ(rect.Rect(), TRect(700, 140, 900, 240));
}

TEST_F(GhostDragTest, SimpleMoveIgnoresTheModesAndNeverCopies)
{
    MoveSettings().circumference = true;
    TLORect& rect = AddRect({100, 100, 300, 200});
    rect.SetSelected(true);
    Ghosts().AddGhost(std::make_unique<TSimpleMoveGhost>(rect));
    DragGhosts({200, 150}, {50, 30}, ssCtrl | ssShift);
    EXPECT_EQ(rect.Rect(), TRect(150, 130, 350, 230));
    EXPECT_EQ(site.ChildCount(), 1);
    EXPECT_EQ(History().UndoCaption(), "移動");
}

TEST_F(GhostDragTest, ResizingATurnedObjectKeepsTheOppositeCornerInPlace)
{
    TLORect& rect = AddRect({200, 200, 400, 300}, 90);
    const auto screenCorner = [&](int handle) {
        const TRect r = rect.Rect();
        return RoundedPoint(TurnedAbout(HandlePoint(r, handle), CentreOf(r), rect.Angle()));
    };
    const QPoint anchor = screenCorner(0);
    const QPoint grip = screenCorner(7);
    Drag(rect, 7, grip, {-30, 50});  // 50 down on screen is 50 wider in the object's frame
    EXPECT_EQ(rect.Rect().Width(), 250);
    EXPECT_EQ(rect.Rect().Height(), 130);
    EXPECT_LE((screenCorner(0) - anchor).manhattanLength(), 1);
    EXPECT_EQ(History().UndoCaption(), "サイズ変更");
}

TEST_F(GhostDragTest, RotateHandleTurnsByTheSweptAngle)
{
    TLORect& rect = AddRect({500, 500, 700, 700}, 10);
    Drag(rect, 8, {800, 600}, {-200, 200});  // a quarter turn about the centre
    EXPECT_EQ(rect.Angle(), 100);
    EXPECT_EQ(History().UndoCaption(), "回転");
}

// What the status bar shows during a drag: where the copy goes, and its angle only while it turns.
TEST_F(GhostDragTest, TheDraggedShapeFollowsTheCopyAndNamesTheAngleWhileTurning)
{
    TLORect& rect = AddRect({500, 500, 700, 700}, 10);
    EXPECT_FALSE(Ghosts().DraggedShape()) << "no drag";
    rect.SetSelected(true);
    rect.StartGhost(-1);
    Ghosts().BeginDrag(site, site.LogicalArea(), {600, 600}, 0);
    Ghosts().DragTo({630, 580}, 0);
    std::optional<TDraggedShape> shape = Ghosts().DraggedShape();
    ASSERT_TRUE(shape);
    EXPECT_EQ(shape->bounds, TRect(530, 480, 730, 680));
    EXPECT_FALSE(shape->angle) << "a plain move does not turn";
    Ghosts().CancelDrag();
    EXPECT_FALSE(Ghosts().DraggedShape());

    rect.StartGhost(RotateHandle);
    Ghosts().BeginDrag(site, site.LogicalArea(), {800, 600}, 0);
    Ghosts().DragTo({600, 800}, 0);
    shape = Ghosts().DraggedShape();
    ASSERT_TRUE(shape && shape->angle);
    EXPECT_EQ(*shape->angle, 100);
    Ghosts().CancelDrag();

    Ghosts().StartSelection(site);
    Ghosts().BeginDrag(site, site.LogicalArea(), {100, 100}, 0);
    Ghosts().DragTo({300, 300}, 0);
    EXPECT_FALSE(Ghosts().DraggedShape()) << "a selection band stands for no object";
    Ghosts().CancelDrag();
}

// A text is a box with handles of a box, and bends into an arc by the handle in its middle
// while no distortion bends it.
TEST_F(GhostDragTest, TextHasBoxHandlesAndBendsByItsMiddle)
{
    auto made = std::make_unique<TLOText>();
    made->SetBounds({200, 500, 1000, 600});
    made->SetText({QStringLiteral("タイトル")});
    auto& text = static_cast<TLOText&>(site.AddObject(std::move(made)));
    const auto handleCodes = [&] {
        site.SelectAll(false);
        text.SetSelected(true);
        site.UpdatePivots();
        std::vector<int> codes;
        for (int i = 0; i < site.PivotCount(); ++i) codes.push_back(site.Pivot(i).Code());
        return codes;
    };
    EXPECT_EQ(handleCodes(), (std::vector<int>{0, 1, 8, 3, 4, 8, 6, 7, 2}));  // eight, two of them turning, then the arc

    const QPoint middle = text.ViaPoint();
    Drag(text, 2, middle, {0, -200});
    EXPECT_EQ(text.Bulge(), 200);
    EXPECT_EQ(History().UndoCaption(), "変形");
    // Near the chord it snaps straight, unless Alt holds snapping off.
    Drag(text, 2, text.ViaPoint(), {0, 160});
    EXPECT_EQ(text.Bulge(), 0);
    Drag(text, 2, text.ViaPoint(), {0, -40}, ssAlt);
    EXPECT_EQ(text.Bulge(), 40);

    text.SetBulge(0);
    text.SetCoonsDistortion(TCoonsDistortion::Identity());
    EXPECT_EQ(handleCodes(), (std::vector<int>{0, 1, 8, 3, 4, 8, 6, 7}));
    History().Clear();
    Drag(text, 2, {600, 550}, {0, -200});
    EXPECT_EQ(text.Bulge(), 0);
    EXPECT_EQ(UndoSteps(), 0);
}

TEST_F(GhostDragTest, CreationByDraggingShowsTheObjectOnlyWhenItHasAShape)
{
    ASSERT_TRUE(session.Designers().CreateOnSite(site, "TLORect"));
    ASSERT_EQ(site.ChildCount(), 1);
    EXPECT_FALSE(site.Child(0).Visible());
    DragGhosts({100, 100}, {0, 0});  // a click: nothing is made
    EXPECT_EQ(site.ChildCount(), 0);
    EXPECT_EQ(UndoSteps(), 0);

    ASSERT_TRUE(session.Designers().CreateOnSite(site, "TLOLine"));
    DragGhosts({300, 100}, {-200, 150});
    ASSERT_EQ(site.ChildCount(), 1);
    auto& line = dynamic_cast<TLOLine&>(site.Child(0));
    EXPECT_TRUE(line.Visible());
    EXPECT_EQ(line.StartPoint(), QPoint(300, 100));
    EXPECT_EQ(line.EndPoint(), QPoint(100, 250));
    ASSERT_EQ(UndoSteps(), 1);
    EXPECT_EQ(History().UndoCaption(), "追加");
    History().Undo();
    EXPECT_EQ(site.ChildCount(), 0);
}

TEST_F(GhostDragTest, RandomDragsUndoToTheSameBytesAndRedoToTheEnd)
{
    AddRect({100, 100, 300, 250});
    AddRect({500, 450, 700, 750}, 30);
    AddRect({800, 200, 900, 260});
    AddLine<TLOLine>({100, 900}, {400, 1000});
    AddLine<TLOCurve>({600, 900}, {1000, 800});
    const QByteArray start = FaceStream();
    std::mt19937 random(15);
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const TShiftState shifts[] = {0, ssShift, ssAlt, ssCtrl, ssShift | ssAlt};
    for (int drag = 0; drag < 60; ++drag) {
        MoveSettings() = {pick(0, 1) == 1, pick(0, 1) == 1, pick(0, 1) == 1, pick(0, 1) == 1, pick(0, 1) == 1,
                          TMoveSettings::StepAngles[pick(0, 2)]};
        TDrawObject& object = site.Child(pick(0, site.ChildCount() - 1));
        const bool isLine = dynamic_cast<IDOLine*>(&object);
        const int handle = isLine ? pick(-1, 2) : pick(-1, 8);
        const TRect bounds = object.GetBounds();
        const QPoint from(pick(bounds.left, bounds.right), pick(bounds.top, bounds.bottom));
        Drag(object, handle, from, {pick(-300, 300), pick(-300, 300)}, shifts[pick(0, 4)]);
    }
    const QByteArray end = FaceStream();
    ASSERT_NE(end, start);
    ASSERT_GT(UndoSteps(), 10);
    while (History().CanUndo()) History().Undo();
    EXPECT_EQ(FaceStream(), start);
    while (History().CanRedo()) History().Redo();
    EXPECT_EQ(FaceStream(), end);
}

TEST(LayoutSnap, GuideOrGridWhicheverIsCloserAndNothingWithAlt)
{
    TDrawSite site;
    site.SetDeviceDpi(96);
    site.Scaler().SetUnitDPI(254);
    site.SetLogSize(1200, 1200);  // 10 pixels are 26 units
    TGrid grid;
    grid.SetEnabled(true);
    TGuide guide;
    guide.SetEnabled(true);
    guide.SetSlot(0, {130, 0});
    EXPECT_EQ(LayoutSnapOffset(grid, guide, site, {124, 124}, 0), QPoint(6, -24));   // guide, grid
    EXPECT_EQ(LayoutSnapOffset(grid, guide, site, {140, 90}, 0), QPoint(10, 10));  // a tie goes to the grid
    EXPECT_EQ(LayoutSnapOffset(grid, guide, site, {124, 124}, ssAlt), QPoint(0, 0));
    grid.SetEnabled(false);
    EXPECT_EQ(LayoutSnapOffset(grid, guide, site, {300, 300}, 0), QPoint(NoSnap, NoSnap));
    // A size of 0 or less (from a damaged document) snaps as the default size.
    grid.SetEnabled(true);
    grid.SetSize(0);
    EXPECT_EQ(LayoutSnapOffset(grid, guide, site, {1024, 1024}, 0).y(), -24);
    grid.SetSize(-7);
    EXPECT_EQ(grid.SnapOffset({1026, 1026}), QPoint(24, 24));
}

}  // namespace
}  // namespace kestrel
