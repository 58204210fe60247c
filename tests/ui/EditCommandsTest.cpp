#include <gtest/gtest.h>

#include <QAction>
#include <QWidget>

#include "document/ActionList.h"
#include "document/DOGroup.h"
#include "document/stream/ClassRegistry.h"
#include "render/DrawSiteFixtures.h"
#include "ui/EditCommands.h"

namespace kestrel {
namespace {

class EditCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TClassRegistry::Global().Register(test::TFilledRect::StaticClass());
        ActionList().Clear();
        test::SetUpDocumentSite(site, 1000, 1000);
        back = &test::AddRect(site, {100, 100, 300, 300});
        front = &test::AddRect(site, {200, 200, 400, 400});
        commands.SetSite(&site);
    }
    void TearDown() override { ActionList().Clear(); }

    void SelectBoth()
    {
        back->SetSelected(true);
        front->SetSelected(true);
        commands.Update();
    }
    // From the front to the back.
    std::vector<TDrawObject*> Objects() const
    {
        std::vector<TDrawObject*> objects;
        site.Objects(objects, false);
        return objects;
    }

    QWidget window;
    TEditCommands commands{&window};
    TDrawSite site;
    test::TFilledRect* back = nullptr;
    test::TFilledRect* front = nullptr;
};

TEST_F(EditCommandsTest, CommandsNeedASiteAndASelection)
{
    commands.Update();
    EXPECT_FALSE(commands.cut->isEnabled());
    EXPECT_FALSE(commands.clear->isEnabled());
    EXPECT_FALSE(commands.undo->isEnabled());
    front->SetSelected(true);
    commands.Update();
    EXPECT_TRUE(commands.cut->isEnabled());
    EXPECT_FALSE(commands.group->isEnabled());  // one object makes no group
    commands.SetSite(nullptr);
    EXPECT_FALSE(commands.cut->isEnabled());
}

TEST_F(EditCommandsTest, CutIsOneUndoStepAndPasteRestoresTheStackingInsideTheFace)
{
    SelectBoth();
    commands.cut->trigger();
    EXPECT_TRUE(Objects().empty());
    EXPECT_TRUE(site.Modified());
    EXPECT_EQ(commands.undo->text(), "切り取りの取り消し(&U)");
    ASSERT_TRUE(commands.paste->isEnabled());

    commands.undo->trigger();
    EXPECT_EQ(Objects(), (std::vector<TDrawObject*>{front, back}));
    EXPECT_EQ(commands.redo->text(), "切り取りのやり直し(&R)");

    commands.paste->trigger();
    const std::vector<TDrawObject*> after = Objects();
    ASSERT_EQ(after.size(), 4u);
    EXPECT_EQ(after[0]->GetBounds(), front->GetBounds());  // the pasted front stays in front
    EXPECT_EQ(after[1]->GetBounds(), back->GetBounds());
    EXPECT_TRUE(after[0]->Selected() && after[1]->Selected() && !front->Selected());
    EXPECT_EQ(commands.undo->text(), "貼り付けの取り消し(&U)");
    commands.undo->trigger();
    EXPECT_EQ(Objects().size(), 2u);
}

TEST_F(EditCommandsTest, PastedObjectsAreMovedIntoASmallerFace)
{
    SelectBoth();
    commands.copy->trigger();
    TDrawSite small;
    test::SetUpDocumentSite(small, 250, 250);
    commands.SetSite(&small);
    commands.paste->trigger();
    ASSERT_EQ(small.ChildCount(), 2);
    EXPECT_EQ(small.Child(0).GetBounds(), (TRect{50, 50, 250, 250}));  // 300 -> 250 on both axes
    EXPECT_EQ(small.Child(1).GetBounds(), (TRect{50, 50, 250, 250}));  // 400 -> 250
}

TEST_F(EditCommandsTest, GroupAndUngroupAreUndoable)
{
    SelectBoth();
    ASSERT_TRUE(commands.group->isEnabled());
    commands.group->trigger();
    ASSERT_EQ(site.ChildCount(), 1);
    auto* group = dynamic_cast<TDOGroup*>(&site.Child(0));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->MemberCount(), 2);
    EXPECT_EQ(group->Member(0).GetBounds(), (TRect{100, 100, 300, 300}));  // back member first
    EXPECT_TRUE(commands.ungroup->isEnabled());

    commands.ungroup->trigger();
    ASSERT_EQ(site.ChildCount(), 2);
    EXPECT_EQ(dynamic_cast<TDOGroup*>(&site.Child(0)), nullptr);
    commands.undo->trigger();
    ASSERT_EQ(site.ChildCount(), 1);
    EXPECT_NE(dynamic_cast<TDOGroup*>(&site.Child(0)), nullptr);
    commands.undo->trigger();
    EXPECT_EQ(Objects(), (std::vector<TDrawObject*>{front, back}));
}

}  // namespace
}  // namespace kestrel
