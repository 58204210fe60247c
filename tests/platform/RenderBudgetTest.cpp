#include <gtest/gtest.h>

#include <memory>

#include "platform/RenderBudget.h"

namespace kestrel {
namespace {

// A cache that knows whether the budget dropped it.
struct TCache {
    TBudgetCharge charge;
    bool dropped = false;
    void Hold(TRenderBudget& budget, qint64 bytes)
    {
        dropped = false;
        budget.Hold(charge, bytes, [this] { dropped = true; });
    }
};

TEST(RenderBudget, MakingRoomDropsTheCachesUsedLongestAgo)
{
    TRenderBudget budget(100);
    TCache a, b, c;
    a.Hold(budget, 40);
    b.Hold(budget, 40);
    budget.Touch(a.charge);  // b is now the oldest
    EXPECT_TRUE(budget.MakeRoom(30));
    EXPECT_TRUE(b.dropped);
    EXPECT_FALSE(a.dropped);
    EXPECT_EQ(budget.Held(), 40);
    c.Hold(budget, 30);
    EXPECT_TRUE(budget.MakeRoom(80));  // both others go
    EXPECT_TRUE(a.dropped && c.dropped);
    EXPECT_EQ(budget.Held(), 0);
}

TEST(RenderBudget, MoreThanTheWholeBudgetIsRefusedAndNothingDropped)
{
    TRenderBudget budget(100);
    TCache a;
    a.Hold(budget, 60);
    EXPECT_FALSE(budget.MakeRoom(101));
    EXPECT_FALSE(a.dropped);
    EXPECT_EQ(budget.Held(), 60);
}

TEST(RenderBudget, ChargesEndWithTheirCachesAndOutliveTheBudget)
{
    auto budget = std::make_unique<TRenderBudget>(100);
    {
        TCache gone;
        gone.Hold(*budget, 70);
    }
    EXPECT_EQ(budget->Held(), 0);
    TCache kept;
    kept.Hold(*budget, 10);
    kept.Hold(*budget, 30);  // held anew: counted once
    EXPECT_EQ(budget->Held(), 30);
    budget.reset();
    EXPECT_FALSE(kept.charge.Held());
    kept.charge.Release();  // nothing left to tell
}

TEST(RenderBudget, EachProblemIsNotedOnce)
{
    TRenderBudget budget;
    budget.Note("a");
    budget.Note("b");
    budget.Note("a");
    EXPECT_EQ(budget.Problems(), (QStringList{"a", "b"}));
    EXPECT_EQ(PictureDescription("JPEG 画像", 800, 600, "photo.jpg"), QStringLiteral("JPEG 画像（800×600）「photo.jpg」"));
}

}  // namespace
}  // namespace kestrel
