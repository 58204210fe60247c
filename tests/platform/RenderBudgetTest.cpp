#include <gtest/gtest.h>

#include <QImage>
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

QImage Filled(int side, QRgb colour)
{
    QImage picture(side, side, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

TEST(RenderBudget, SharedPicturesAreHeldOnceAndTakeTurnsWithOtherCaches)
{
    TRenderBudget budget(200 * 1024);
    EXPECT_EQ(budget.SharedPicture("a"), nullptr);
    const QImage& red = budget.SharePicture("a", Filled(100, qRgb(255, 0, 0)));  // 40,000 bytes
    ASSERT_NE(budget.SharedPicture("a"), nullptr);
    EXPECT_EQ(budget.SharedPicture("a"), &red);
    EXPECT_EQ(budget.SharedPicture("a")->pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(budget.Held(), 40000);

    budget.SharePicture("b", Filled(100, qRgb(0, 0, 255)));
    TCache cache;
    cache.Hold(budget, 100000);
    budget.SharedPicture("a");  // used: "b" is now the oldest
    EXPECT_EQ(budget.SharedPictureCount(), 2);
    EXPECT_EQ(budget.Held(), 180000);
    EXPECT_TRUE(budget.MakeRoom(30000));
    EXPECT_EQ(budget.SharedPicture("b"), nullptr);
    EXPECT_NE(budget.SharedPicture("a"), nullptr);
    EXPECT_FALSE(cache.dropped);
    EXPECT_EQ(budget.Held(), 140000);
    EXPECT_TRUE(budget.MakeRoom(200000));  // everything goes
    EXPECT_EQ(budget.SharedPictureCount(), 0);
    EXPECT_TRUE(cache.dropped);
    EXPECT_EQ(budget.Held(), 0);
}

TEST(RenderBudget, BudgetsSharingMemoryShareTheirPicturesAndLimitButNotTheirProblems)
{
    TRenderBudget first(100000);
    TCache cache;
    {
        TRenderBudget second;
        second.ShareMemoryOf(first);
        EXPECT_EQ(second.Limit(), 100000);
        second.SharePicture("photo", Filled(100, qRgb(1, 2, 3)));
        ASSERT_NE(first.SharedPicture("photo"), nullptr);
        EXPECT_EQ(first.SharedPicture("photo")->pixel(0, 0), qRgb(1, 2, 3));
        EXPECT_EQ(first.Held(), 40000);
        // Room made by one drops what the other holds.
        cache.Hold(first, 30000);
        EXPECT_TRUE(second.MakeRoom(50000));
        EXPECT_EQ(first.SharedPicture("photo"), nullptr);
        EXPECT_FALSE(cache.dropped);
        EXPECT_FALSE(second.MakeRoom(200000, "big"));
        EXPECT_EQ(second.Problems().size(), 1);
        EXPECT_TRUE(first.Problems().isEmpty());
        second.SharePicture("kept", Filled(10, 0));
    }
    // The memory outlives the budget that shared it.
    EXPECT_NE(first.SharedPicture("kept"), nullptr);
    EXPECT_EQ(first.Held(), 30000 + 400);
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
