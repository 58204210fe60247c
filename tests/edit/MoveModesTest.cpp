#include <gtest/gtest.h>

#include "edit/MoveModes.h"
#include "render/GridGuide.h"

namespace kestrel {
namespace {

// A 1200 x 1200 disc face: the centre is (600, 600).
constexpr QPoint kCentre(600, 600);
const TRect kFace{0, 0, 1200, 1200};

// The point at `radius` from the centre in `degrees` (clockwise from the right), rounded.
QPoint OnCircle(double radius, double degrees)
{
    return RoundedPoint(TurnedAbout(QPointF(kCentre) + QPointF(radius, 0), kCentre, degrees));
}

TRect BoxAround(QPoint centre, int half = 50)
{
    return {centre.x() - half, centre.y() - half, centre.x() + half, centre.y() + half};
}

TMoveInput DiscDrag(const TRect& bounds, QPoint from, QPoint to, TMoveSettings modes)
{
    TMoveInput in;
    in.startBounds = bounds;
    in.offset = to - from;
    in.offsetBounds = bounds.Translated(in.offset.x(), in.offset.y());
    in.start = from;
    in.centre = kCentre;
    in.limit = kFace;
    in.modes = modes;
    return in;
}

TMoveSettings Circumference(bool steps = false, bool turn = false)
{
    TMoveSettings modes;
    modes.circumference = true;
    modes.stepMove = steps;
    modes.turnObject = turn;
    return modes;
}

TEST(MoveModes, StepsRoundHalfAwayFromZeroToTheStepAngle)
{
    EXPECT_EQ(SteppedAngle(40, 30), 30);
    EXPECT_EQ(SteppedAngle(50, 30), 60);
    EXPECT_EQ(SteppedAngle(15, 30), 30);
    EXPECT_EQ(SteppedAngle(14.9, 30), 0);
    EXPECT_EQ(SteppedAngle(-40, 30), -30);
    EXPECT_EQ(SteppedAngle(-50, 30), -60);
    EXPECT_EQ(SteppedAngle(-15, 30), -30);
    EXPECT_EQ(SteppedAngle(22.5, 45), 45);
    EXPECT_EQ(SteppedAngle(2.9, 6), 0);
    EXPECT_EQ(SteppedAngle(37, 0), 37);  // no step angle: unchanged, no division
}

TEST(MoveModes, AnglesNormaliseIntoTheHalfOpenRange)
{
    EXPECT_EQ(NormalizedAngle(190), -170);
    EXPECT_EQ(NormalizedAngle(-180), 180);
    EXPECT_EQ(NormalizedAngle(180), 180);
    EXPECT_EQ(NormalizedAngle(540), 180);
    EXPECT_EQ(NormalizedAngle(-340), 20);
    EXPECT_EQ(NormalizedTurn(-90), 270);
    EXPECT_EQ(NormalizedTurn(720 + 45), 45);
}

TEST(MoveModes, SweepsOfFortyAndFiftyDegreesMoveByThirtyAndSixty)
{
    const TRect title = BoxAround(OnCircle(400, -90));  // above the centre
    const QPoint grip = OnCircle(400, -90);
    for (const auto& [sweep, stepped] : {std::pair{40, 30}, std::pair{50, 60}, std::pair{-40, -30}}) {
        const TMoveResult moved = MoveBounds(DiscDrag(title, grip, OnCircle(400, -90 + sweep), Circumference(true, true)));
        EXPECT_EQ(moved.bounds, BoxAround(OnCircle(400, -90 + stepped))) << sweep;
        ASSERT_TRUE(moved.turn.has_value());
        EXPECT_EQ(*moved.turn, stepped);
    }
    // Without steps the object follows the sweep; without "turn object" it does not turn.
    const TMoveResult free = MoveBounds(DiscDrag(title, grip, OnCircle(400, 0), Circumference()));
    EXPECT_EQ(free.bounds, BoxAround(OnCircle(400, 0)));
    EXPECT_FALSE(free.turn.has_value());
}

TEST(MoveModes, ChordAgainstRadiusChangeDecidesBetweenTurnAndRadialMove)
{
    const TRect box = BoxAround(OnCircle(300, 0));
    const QPoint grip = OnCircle(300, 0);
    // 5 degrees at radius 310: chord 27 > 10, so the object turns about the centre.
    const TMoveResult turned = MoveBounds(DiscDrag(box, grip, OnCircle(310, 5), Circumference(false, true)));
    EXPECT_EQ(turned.bounds, BoxAround(OnCircle(300, 5)));
    EXPECT_EQ(turned.turn, 5);
    // 5 degrees at radius 340: chord 29.7 < 40, so it moves out along its ray and does not turn.
    const TMoveResult radial = MoveBounds(DiscDrag(box, grip, OnCircle(340, 5), Circumference(false, true)));
    EXPECT_EQ(radial.bounds, box.Translated(40, 0));
    EXPECT_FALSE(radial.turn.has_value());
    // The ray runs through the object's centre, not through the pointer; the change of radius
    // (100.125 here) is truncated.
    const TMoveResult out = MoveBounds(DiscDrag(box, grip, grip + QPoint(100, 10), Circumference()));
    EXPECT_EQ(out.bounds, box.Translated(100, 0));
}

TEST(MoveModes, RadialMoveOfAnObjectOnTheDiscCentreFollowsThePointer)
{
    const TRect centred = BoxAround(kCentre);
    const TMoveResult moved = MoveBounds(DiscDrag(centred, kCentre + QPoint(0, 20), kCentre + QPoint(0, 100), Circumference()));
    EXPECT_EQ(moved.bounds, centred.Translated(0, 80));
    // Grabbed on the centre itself: there is no angle to sweep either.
    const TMoveResult fromCentre = MoveBounds(DiscDrag(centred, kCentre, kCentre + QPoint(30, 40), Circumference()));
    EXPECT_EQ(fromCentre.bounds, centred.Translated(30, 40));
}

TEST(MoveModes, PureTurnAboutTheCentreKeepsTheBoundsAndTurnsTheObject)
{
    const TRect centred = BoxAround(kCentre);
    const TMoveResult turned =
        MoveBounds(DiscDrag(centred, kCentre + QPoint(200, 0), kCentre + QPoint(-200, 0), Circumference(false, true)));
    EXPECT_EQ(turned.bounds, centred);
    EXPECT_EQ(turned.turn, 180);
}

TEST(MoveModes, SweepAcrossTheSeamIsTheShortWayRound)
{
    const TRect box = BoxAround(OnCircle(400, 170));
    const TMoveResult moved = MoveBounds(DiscDrag(box, OnCircle(400, 170), OnCircle(400, -170), Circumference(false, true)));
    EXPECT_EQ(moved.turn, 20);
    const QPoint landed = RoundedPoint(CentreOf(moved.bounds)) - OnCircle(400, 190);
    EXPECT_LE(landed.manhattanLength(), 2);
}

TEST(MoveModes, AxisLockKeepsTheAxisThePointerMovedLessAlong)
{
    TMoveSettings locked;
    locked.axisLock = true;
    const TRect box{100, 100, 200, 200};
    EXPECT_EQ(MoveBounds(DiscDrag(box, {150, 150}, {180, 160}, locked)).bounds, box.Translated(30, 0));
    EXPECT_EQ(MoveBounds(DiscDrag(box, {150, 150}, {160, 180}, locked)).bounds, box.Translated(0, 30));
    EXPECT_EQ(MoveBounds(DiscDrag(box, {150, 150}, {170, 170}, locked)).bounds, box.Translated(0, 20));
}

TEST(MoveModes, TurnWhileMovingTurnsByTheAngleAboutTheCentre)
{
    TMoveSettings modes;
    modes.turnWhileMoving = true;
    const TRect right = BoxAround({900, 600});
    const TMoveResult moved = MoveBounds(DiscDrag(right, {900, 600}, {600, 900}, modes));
    EXPECT_EQ(moved.bounds, BoxAround({600, 900}));
    EXPECT_EQ(moved.turn, 90);
    // Onto the centre itself there is no direction, so no turn.
    EXPECT_FALSE(MoveBounds(DiscDrag(right, {900, 600}, kCentre, modes)).turn.has_value());
}

TEST(MoveModes, BoundsStayInsideTheLimit)
{
    EXPECT_EQ(KeepInside({1150, -20, 1250, 80}, kFace), TRect(1100, 0, 1200, 100));
    EXPECT_EQ(KeepInside({-10, 500, 90, 600}, kFace), TRect(0, 500, 100, 600));
    // Larger than the limit: aligned to its left and top.
    EXPECT_EQ(KeepInside({300, 200, 1700, 1500}, kFace), TRect(0, 0, 1400, 1300));
    EXPECT_EQ(KeepInside({-300, -200, 1100, 1100}, kFace), TRect(0, 0, 1400, 1300));
}

TEST(MoveModes, ModifiersChangeTheModesAsTheTableSays)
{
    TMoveSettings stored;
    stored.circumference = true;
    stored.turnObject = true;
    stored.stepMove = true;
    EXPECT_EQ(EffectiveModes(stored, ssAlt), TMoveSettings{});
    EXPECT_FALSE(EffectiveModes(stored, ssShift).stepMove);
    EXPECT_FALSE(EffectiveModes(stored, ssShift | ssAlt).circumference);
    EXPECT_EQ(EffectiveModes(stored, ssCtrl), stored);
    const TMoveSettings free;
    EXPECT_TRUE(EffectiveModes(free, ssShift).axisLock);
    EXPECT_TRUE(EffectiveModes(free, ssShift | ssAlt).circumference);
}

TEST(MoveModes, TheModeChoiceSwitchesTheGridAndTheStepComboSetsTheAngle)
{
    TMoveSettings settings;
    TGrid grid;
    ChooseMoveMode(settings, grid, TMoveModeChoice::mmGrid);
    EXPECT_TRUE(grid.Enabled() && grid.Visible());
    EXPECT_FALSE(settings.circumference);
    EXPECT_EQ(MoveModeChoiceOf(settings, grid), TMoveModeChoice::mmGrid);
    ChooseMoveMode(settings, grid, TMoveModeChoice::mmCircumference);
    EXPECT_FALSE(grid.Enabled() || grid.Visible());
    EXPECT_TRUE(settings.circumference);
    ChooseMoveMode(settings, grid, TMoveModeChoice::mmFree);
    EXPECT_EQ(MoveModeChoiceOf(settings, grid), TMoveModeChoice::mmFree);

    ChooseStep(settings, 3);
    EXPECT_TRUE(settings.stepMove);
    EXPECT_EQ(settings.stepAngle, 45);
    EXPECT_EQ(StepIndexOf(settings), 3);
    ChooseStep(settings, 0);
    EXPECT_FALSE(settings.stepMove);
    EXPECT_EQ(StepIndexOf(settings), 0);
    ChooseStep(settings, 9);  // beyond the combo: no steps
    EXPECT_FALSE(settings.stepMove);
}

TEST(ResizeRect, EachHandleMovesItsOwnEdges)
{
    const TRect r{100, 100, 300, 200};
    const QPoint d(10, 20);
    const TRect expected[] = {
        {110, 120, 300, 200}, {110, 100, 300, 200}, {110, 100, 300, 220}, {100, 120, 300, 200},
        {100, 100, 300, 220}, {100, 120, 310, 200}, {100, 100, 310, 200}, {100, 100, 310, 220},
    };
    for (int handle = 0; handle < 8; ++handle)
        EXPECT_EQ(ResizeRect({r, handle, d}), expected[handle]) << handle;
}

TEST(ResizeRect, ProportionalSideHandleGrowsTheOtherSideEvenly)
{
    const TRect picture{0, 0, 200, 100};
    EXPECT_EQ(ResizeRect({picture, 1, {-100, 0}, true}), TRect(-100, -25, 200, 125));
    EXPECT_EQ(ResizeRect({picture, 1, {-100, 0}, false}), TRect(-100, 0, 200, 100));
    EXPECT_EQ(ResizeRect({picture, 4, {0, 50}, true}), TRect(-50, 0, 250, 150));
    // A corner keeps the proportion through its vertical edge.
    EXPECT_EQ(ResizeRect({picture, 7, {100, 0}, true}), TRect(0, 0, 300, 150));
    EXPECT_EQ(ResizeRect({picture, 0, {-100, 7}, true}), TRect(-100, -50, 200, 100));
    // Without extent there is no proportion to keep.
    EXPECT_EQ(ResizeRect({{0, 0, 0, 100}, 6, {50, 0}, true}), TRect(0, 0, 50, 100));
}

TEST(ResizeRect, MinimumSizeStopsTheDraggedEdgeOrKeepsTheMiddle)
{
    const TRect r{100, 100, 300, 200};
    EXPECT_EQ(ResizeRect({r, 1, {250, 0}, false, 10}), TRect(290, 100, 300, 200));
    EXPECT_EQ(ResizeRect({r, 6, {-250, 0}, false, 10}), TRect(100, 100, 110, 200));
    // Middle-top, proportional, shrunk to almost nothing: the width centres on the old middle.
    EXPECT_EQ(ResizeRect({r, 3, {0, 98}, true, 10}), TRect(195, 190, 205, 200));
}

}  // namespace
}  // namespace kestrel
