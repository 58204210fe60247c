#include <gtest/gtest.h>

#include "UndoFixtures.h"
#include "document/DOActions.h"
#include "document/DSOperation.h"
#include "platform/Error.h"

namespace kestrel::test {
namespace {

class DOActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterUndoTestClasses();
        a = &site.Put({0, 0, 100, 100});
        b = &site.Put({100, 0, 200, 100});
        c = &site.Put({200, 0, 300, 100});
    }

    // Back to front.
    std::vector<TDrawObject*> Order() const
    {
        std::vector<TDrawObject*> order;
        for (int i = 0; i < site.ChildCount(); ++i) order.push_back(&site.Child(i));
        return order;
    }

    TEditSite site;
    TFilledRect* a = nullptr;
    TFilledRect* b = nullptr;
    TFilledRect* c = nullptr;
};

TEST_F(DOActionsTest, UndoingAMultiObjectDeleteRestoresTheStacking)
{
    const QByteArray start = site.Stream();
    {
        TActionGroupScope group(site.History(), "削除");
        for (TDrawObject* o : {static_cast<TDrawObject*>(a), static_cast<TDrawObject*>(c)})
            site.History().Add(std::make_unique<TDODelAction>(*o));
    }
    EXPECT_EQ(Order(), std::vector<TDrawObject*>{b});
    site.History().Undo();
    EXPECT_EQ(Order(), (std::vector<TDrawObject*>{a, b, c}));
    EXPECT_EQ(site.Stream(), start);
    EXPECT_TRUE(a->Selected() && c->Selected());
    site.History().Redo();
    EXPECT_EQ(Order(), std::vector<TDrawObject*>{b});
}

TEST_F(DOActionsTest, UndoingAnUngroupRestoresGroupAndStacking)
{
    auto group = std::make_unique<TDOGroup>();
    TDOList members;
    members.Add(*a);
    members.Add(*b);
    group->SetMembers(members);
    TDrawObject& grouped = site.AddObject(std::move(group));
    site.MoveChild(site.IndexOf(grouped), 1);  // between a and b
    const QByteArray start = site.Stream();
    {
        TActionGroupScope scope(site.History(), "グループ解除");
        static_cast<TDOGroup&>(grouped).Ungroup();
        site.History().Add(std::make_unique<TDODelAction>(grouped));
    }
    EXPECT_EQ(site.ChildCount(), 5);
    EXPECT_EQ(site.IndexOf(grouped), -1);
    site.History().Undo();
    EXPECT_EQ(site.IndexOf(grouped), 1);
    EXPECT_EQ(site.Stream(), start);
    site.History().Redo();
    EXPECT_EQ(site.ChildCount(), 5);
    EXPECT_EQ(site.IndexOf(grouped), -1);
}

TEST_F(DOActionsTest, LayerRecordRestoresOrderAndSelection)
{
    auto record = std::make_unique<TDOLayerAction>(site);
    a->SetSelected(true);
    a->BringToFront();
    TDOLayerAction::Commit(std::move(record));
    b->SetSelected(true);
    site.History().Undo();
    EXPECT_EQ(Order(), (std::vector<TDrawObject*>{a, b, c}));
    EXPECT_TRUE(a->Selected());
    EXPECT_FALSE(b->Selected());
    site.History().Redo();
    EXPECT_EQ(Order(), (std::vector<TDrawObject*>{b, c, a}));
}

TEST_F(DOActionsTest, ChangeRecordOnlyForRealChanges)
{
    auto unchanged = std::make_unique<TDOChangeAction>(*a);
    a->SetBounds({0, 0, 100, 100});
    TDOChangeAction::Commit(std::move(unchanged));
    auto changedBack = std::make_unique<TDOChangeAction>(*a);
    a->MoveBy(5, 5);
    a->MoveBy(-5, -5);
    TDOChangeAction::Commit(std::move(changedBack));
    EXPECT_EQ(site.History().Count(), 0);

    auto moved = std::make_unique<TDOChangeAction>(*a, "移動");
    a->MoveBy(7, 0);
    TDOChangeAction::Commit(std::move(moved));
    ASSERT_EQ(site.History().Count(), 1);
    EXPECT_EQ(site.History().UndoCaption(), "移動");
    site.History().Undo();
    EXPECT_EQ(a->Rect(), (TRect{0, 0, 100, 100}));
    site.History().Redo();
    EXPECT_EQ(a->Rect(), (TRect{7, 0, 107, 100}));

    auto offSite = std::make_unique<TDOChangeAction>(*b);
    b->MoveBy(1, 1);
    std::unique_ptr<TDrawObject> taken = site.ExtractChild(*b);
    TDOChangeAction::Commit(std::move(offSite));
    EXPECT_EQ(site.History().Count(), 1) << "an object no longer on a site is not recorded";
}

TEST_F(DOActionsTest, RecordsForgetDestroyedObjectsAndSites)
{
    auto moved = std::make_unique<TDOChangeAction>(*a);
    a->MoveBy(1, 0);
    TDOChangeAction::Commit(std::move(moved));
    site.History().Add(std::make_unique<TDOAddAction>(*b));
    site.ExtractChild(*a).reset();
    site.History().Undo();  // add record: b leaves, owned by the record
    EXPECT_EQ(site.IndexOf(*b), -1);
    site.History().Undo();  // change record: a is gone, nothing happens
    site.History().Redo();
    {
        TEditSite other;
        TFilledRect& d = other.Put({0, 0, 10, 10});
        site.History().Add(std::make_unique<TDODelAction>(d));
    }
    site.History().Undo();  // its site is gone: nothing to insert into
    site.History().Redo();
    site.History().Clear();
}

TEST_F(DOActionsTest, OperationRecordsEachTargetAfterItsHandler)
{
    a->SetSelected(true);
    c->SetSelected(true);
    TDSOperation operation;
    operation.SetActionType(TDSOActionType::atDelete);
    operation.SetActionString("削除");
    std::vector<TDrawObject*> visited;
    operation.SetOnEachObject([&](TDSOperation&, TDrawObject& o) {
        EXPECT_EQ(o.Site(), &site) << "the handler sees the object on its site";
        visited.push_back(&o);
    });
    operation.Execute(site);
    EXPECT_EQ(visited, (std::vector<TDrawObject*>{a, c})) << "back to front";
    EXPECT_EQ(site.ChildCount(), 1);
    ASSERT_EQ(site.History().Count(), 1);
    EXPECT_EQ(site.History().UndoCaption(), "削除");
    site.History().Undo();
    EXPECT_EQ(Order(), (std::vector<TDrawObject*>{a, b, c}));
}

TEST_F(DOActionsTest, FailingHandlerAddsNoRecord)
{
    b->SetSelected(true);
    TDSOperation operation;
    for (TDSOActionType type : {TDSOActionType::atDelete, TDSOActionType::atAdd, TDSOActionType::atChange}) {
        operation.SetActionType(type);
        operation.SetOnEachObject([](TDSOperation&, TDrawObject& o) {
            static_cast<TFilledRect&>(o).MoveBy(3, 0);
            throw EKestrel("失敗");
        });
        EXPECT_THROW(operation.Execute(site), EKestrel);
        EXPECT_EQ(site.History().Count(), 0);
        EXPECT_EQ(site.IndexOf(*b), 1);
    }
}

TEST_F(DOActionsTest, OperationTargetsFollowSelectionAndClass)
{
    TDSOperation operation;
    operation.SetMultiSelect(false);
    a->SetSelected(true);
    b->SetSelected(true);
    EXPECT_FALSE(operation.CanExecute(site));
    int runs = 0;
    operation.SetOnExecute([&](TDSOperation&) { ++runs; });
    operation.Execute(site);
    EXPECT_EQ(runs, 0);
    b->SetSelected(false);
    EXPECT_TRUE(operation.CanExecute(site));

    operation.SetSelectedOnly(false);
    operation.SetTargetClassName("TFilledRect");
    operation.MakeList(site);
    EXPECT_EQ(operation.Targets().Items(), (std::vector<TDrawObject*>{c, b, a})) << "front to back";
    site.AddObject(std::make_unique<TDOGroup>());
    operation.MakeList(site);
    EXPECT_EQ(operation.Targets().Count(), 3);
    operation.SetTargetClassOnly(true);
    operation.MakeList(site);
    EXPECT_EQ(operation.Targets().Count(), 0);
}

}  // namespace
}  // namespace kestrel::test
