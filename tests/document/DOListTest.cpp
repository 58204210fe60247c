#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "UndoFixtures.h"
#include "document/DODesigner.h"
#include "platform/BoundedReader.h"
#include "platform/Clipboard.h"
#include "platform/Error.h"

namespace kestrel::test {
namespace {

const QString Format = QStringLiteral("Kestrel.SheetLabel");

class DOListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PrepareUndoTest();
        InstallObjectDesigners();
    }
    TEditSite site;
};

TEST_F(DOListTest, ScalingMapsBoundsProportionallyAndLeavesAFlatAxisUnscaled)
{
    TFilledRect& r = site.Put({100, 50, 300, 250});
    TDOList list;
    list.Add(r);
    ScaleObjects(list, {0, 0, 1000, 500}, {0, 0, 500, 250});
    EXPECT_EQ(r.Rect(), (TRect{50, 25, 150, 125}));
    ScaleObjects(list, {0, 0, 1000, 500}, {10, 20, 1010, 520});
    EXPECT_EQ(r.Rect(), (TRect{60, 45, 160, 145}));
    ScaleObjects(list, {60, 45, 60, 245}, {0, 0, 400, 400});  // no width to scale from
    EXPECT_EQ(r.Rect(), (TRect{0, 0, 100, 200}));
}

TEST_F(DOListTest, GroupScalesMembersAndAFlatGroupKeepsThatAxis)
{
    TDOList members;
    members.Add(site.Put({0, 0, 100, 100}));
    members.Add(site.Put({100, 100, 200, 200}));
    auto& group = static_cast<TDOGroup&>(site.AddObject(std::make_unique<TDOGroup>()));
    group.SetMembers(members);
    EXPECT_EQ(group.GetBounds(), (TRect{0, 0, 200, 200}));
    group.SetSize(100, 400);
    EXPECT_EQ(group.Member(1).GetBounds(), (TRect{50, 200, 100, 400}));
    group.SetLeft(10);
    EXPECT_EQ(group.Member(0).GetBounds(), (TRect{10, 0, 60, 200}));
    EXPECT_EQ(group.HitTest({70, 250}), 1);
    EXPECT_EQ(group.HitTest({20, 250}), 0);

    TDOList line;
    line.Add(site.Put({0, 0, 100, 0}));
    line.Add(site.Put({200, 0, 300, 0}));
    auto& flat = static_cast<TDOGroup&>(site.AddObject(std::make_unique<TDOGroup>()));
    flat.SetMembers(line);
    flat.SetSize(600, 50);
    EXPECT_EQ(flat.Member(1).GetBounds(), (TRect{400, 0, 600, 0}));
}

TEST_F(DOListTest, GroupStreamsMembersAsChildrenAndClonesDeeply)
{
    TDOList members;
    members.Add(site.Put({0, 0, 10, 10}));
    members.Add(site.Put({20, 20, 40, 40}, 1));
    TDOGroup group;
    group.SetMembers(members);
    group.SetBlendRatio(40);
    QByteArray bytes;
    WriteObject(bytes, group);
    TBoundedReader in(bytes);
    std::unique_ptr<TComponent> read = ReadObject(in);
    auto* copy = dynamic_cast<TDOGroup*>(read.get());
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->MemberCount(), 2);
    EXPECT_EQ(copy->Member(1).GetBounds(), (TRect{20, 20, 40, 40}));
    EXPECT_EQ(copy->Member(1).LayerGroup(), 1);
    std::unique_ptr<TDrawObject> clone = CloneObject(*copy);
    QByteArray again;
    WriteObject(again, *clone);
    EXPECT_EQ(again, bytes);
    EXPECT_NE(&static_cast<TDOGroup&>(*clone).Member(0), &copy->Member(0));
}

TEST_F(DOListTest, PlacementHelpers)
{
    EXPECT_EQ(DefaultPictureSize({300, 200}), QSize(423, 282));
    EXPECT_EQ(DefaultPictureSize({10, 0}), QSize(30, 30));

    TFilledRect& edge = site.Put({-100, 995, -90, 1100});
    TFilledRect& inside = site.Put({100, 100, 200, 200});
    TDOList list;
    list.Add(edge);
    list.Add(inside);
    KeepCentresInside(list, {0, 0, 1000, 1000});
    EXPECT_EQ(edge.Rect(), (TRect{5, 938, 15, 1043}));
    EXPECT_EQ(inside.Rect(), (TRect{100, 100, 200, 200}));
    // An odd width far outside: once moved in, a second pass (the next reading) leaves it.
    TFilledRect& odd = site.Put({-101, 500, -90, 510});
    TDOList oddList;
    oddList.Add(odd);
    KeepCentresInside(oddList, {0, 0, 1000, 1000});
    const TRect placed = odd.Rect();
    KeepCentresInside(oddList, {0, 0, 1000, 1000});
    EXPECT_EQ(odd.Rect(), placed);

    site.area = {0, 0, 400, 300};
    site.visible = {100, 0, 300, 200};
    TFilledRect& big = site.Put({0, 0, 900, 100});
    PlaceNewObject(big, site);
    EXPECT_EQ(big.Rect(), (TRect{0, 50, 400, 150})) << "cut to the site, centred on the visible part";
    site.visible = {0, 250, 100, 300};
    TFilledRect& low = site.Put({0, 0, 200, 100});
    PlaceNewObject(low, site);
    EXPECT_EQ(low.Rect(), (TRect{0, 200, 200, 300})) << "centred near a corner, kept inside the site";
}

TEST_F(DOListTest, CopyFromALargerFacePasteIntoASmallerOne)
{
    site.Put({100, 100, 300, 200});
    site.Put({500, 400, 900, 600}).SetHint("右下");
    TDOList selection;
    for (int i = 0; i < site.ChildCount(); ++i) selection.Add(site.Child(i));
    selection.ClipboardCopy(Format);

    TEditSite small;
    small.area = {0, 0, 500, 300};
    TDOList pasted;
    ASSERT_TRUE(pasted.ClipboardPaste(Format));
    ASSERT_EQ(pasted.Count(), 2);
    EXPECT_EQ(static_cast<TFilledRect&>(pasted.Item(1)).Hint(), "右下");
    ScaleObjects(pasted, {0, 0, 1000, 600}, small.area);
    KeepCentresInside(pasted, small.area);
    for (auto& object : pasted.ReleaseAll()) small.AddObject(std::move(object));
    ASSERT_EQ(small.ChildCount(), 2);
    EXPECT_EQ(small.Child(0).GetBounds(), (TRect{50, 50, 150, 100}));
    EXPECT_EQ(small.Child(1).GetBounds(), (TRect{250, 200, 450, 300}));
}

TEST_F(DOListTest, ClipboardWithoutOurFormatPastesNothing)
{
    SetClipboardData("Other.Format", "x");
    TDOList list;
    EXPECT_FALSE(list.ClipboardPaste(Format));
    EXPECT_TRUE(ClipboardHasFormat("Other.Format"));
    EXPECT_EQ(ClipboardData("Other.Format").value(), "x");
}

TEST_F(DOListTest, HostileClipboardBytesFailCleanly)
{
    TDOList source;
    TDOGroup group;
    TDOList members;
    members.Add(site.Put({0, 0, 10, 10}));
    group.SetMembers(members);
    source.Add(group);
    source.Add(site.Put({5, 5, 50, 50}));
    QByteArray good;
    source.SaveToStream(good);

    auto pasteFails = [](const QByteArray& bytes) {
        SetClipboardData(Format, bytes);
        TDOList list;
        try {
            list.ClipboardPaste(Format);
        } catch (const EKestrel&) {
            return list.IsEmpty();
        }
        return true;  // damage that still reads is fine, as long as nothing crashed
    };
    for (int cut = 0; cut < good.size(); ++cut) EXPECT_TRUE(pasteFails(good.left(cut))) << cut;
    QByteArray hugeCount = good;
    hugeCount[0] = '\xff', hugeCount[3] = '\x7f';
    EXPECT_TRUE(pasteFails(hugeCount));
    QRandomGenerator random(20261209);
    for (int round = 0; round < 500; ++round) {
        QByteArray damaged = good;
        for (int k = 0; k < 4; ++k) damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
        EXPECT_TRUE(pasteFails(damaged));
    }
    QByteArray deep = QByteArray::fromHex("01000000") + "TPF0";
    for (int i = 0; i < 5000; ++i) deep += QByteArray("\x08TDOGroup\x00\x00", 11);
    EXPECT_TRUE(pasteFails(deep));
}

}  // namespace
}  // namespace kestrel::test
