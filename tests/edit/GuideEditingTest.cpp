#include <gtest/gtest.h>

#include "edit/GuideEditing.h"
#include "render/GridGuide.h"

namespace kestrel {
namespace {

const TRect kFace{0, 0, 1200, 800};

TEST(GuideEditingTest, CandidatesFallOnWholeMillimetresUnlessExact)
{
    EXPECT_EQ(GuideCandidate({124, 77}, true, false), QPoint(120, 0));
    EXPECT_EQ(GuideCandidate({125, 77}, true, false), QPoint(130, 0));
    EXPECT_EQ(GuideCandidate({125, 77}, false, false), QPoint(0, 80));
    EXPECT_EQ(GuideCandidate({125, 77}, false, true), QPoint(0, 77));
    EXPECT_EQ(GuideCandidate({-7, 0}, true, false), QPoint(0, 0)) << "truncating division";
}

TEST(GuideEditingTest, HintsGiveTheDistancesFromBothEdgesOrTheRemoval)
{
    EXPECT_EQ(GuideHint({305, 0}, true, kFace), "左から30.5mm 右から89.5mm");
    EXPECT_EQ(GuideHint({0, 800}, false, kFace), "上から80.0mm 下から0.0mm");
    EXPECT_EQ(GuideHint({0, 801}, false, kFace), "ｶﾞｲﾄﾞ削除");
    EXPECT_EQ(GuideHint({-3, 0}, true, kFace), "ｶﾞｲﾄﾞ削除");
    EXPECT_EQ(TooManyGuidesMessage(), "ガイドは10本までです");
}

TEST(GuideEditingTest, PlacingOutsideOrOnTheEdgeRemovesAndTheLastSwitchesGuidesOff)
{
    TGuide guide;
    PlaceGuide(guide, 0, {0, 300}, kFace);
    EXPECT_TRUE(guide.Enabled() && guide.Visible());
    PlaceGuide(guide, 1, {500, 0}, kFace);
    EXPECT_EQ(guide.Slot(1), QPoint(500, 0));
    PlaceGuide(guide, 1, {1300, 0}, kFace);
    EXPECT_EQ(guide.Slot(1), QPoint(0, 0));
    EXPECT_TRUE(guide.Enabled());
    PlaceGuide(guide, 0, GuideCandidate({0, 4}, false, false), kFace);  // within 0.5 mm of the top
    EXPECT_TRUE(guide.IsEmpty());
    EXPECT_FALSE(guide.Enabled() || guide.Visible());
}

TEST(GuideEditingTest, SnapSwitchedOnWithoutGuidesStartsWithTwoThroughTheMiddle)
{
    TGuide guide;
    ToggleGuideSnap(guide, kFace);
    EXPECT_TRUE(guide.Enabled() && guide.Visible());
    EXPECT_EQ(guide.Slot(0), QPoint(0, 400));
    EXPECT_EQ(guide.Slot(1), QPoint(600, 0));
    ToggleGuideSnap(guide, kFace);
    EXPECT_FALSE(guide.Enabled() || guide.Visible());
    EXPECT_EQ(guide.Slot(1), QPoint(600, 0)) << "switching off keeps the guides";
}

}  // namespace
}  // namespace kestrel
