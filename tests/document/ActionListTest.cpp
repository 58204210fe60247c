#include <gtest/gtest.h>

#include "document/ActionList.h"
#include "platform/Error.h"

namespace kestrel::test {
namespace {

// Appends "<op><id>" to a shared log.
class TLoggedAction : public TActionBase {
public:
    TLoggedAction(QStringList& log, QString id, unsigned flags = afUndoable | afRedoable)
        : TActionBase(flags, QStringLiteral("cap") + id), log_(log), id_(std::move(id))
    {
    }
    void Repeat() override { log_ << "repeat" + id_; }
    void Redo() override { log_ << "redo" + id_; }
    void Undo() override { log_ << "undo" + id_; }

private:
    QStringList& log_;
    QString id_;
};

class ActionListTest : public ::testing::Test {
protected:
    std::unique_ptr<TActionBase> Make(const QString& id,
                                      unsigned flags = TActionBase::afUndoable | TActionBase::afRedoable)
    {
        return std::make_unique<TLoggedAction>(log, id, flags);
    }
    QStringList log;
    TActionList history;
};

TEST_F(ActionListTest, EmptyHistoryHasNoCurrentRecordAndNothingToUndoOrRedo)
{
    EXPECT_EQ(history.Current(), -1);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
    history.Undo();
    history.Redo();
    EXPECT_TRUE(history.UndoCaption().isEmpty());
    EXPECT_TRUE(history.RedoCaption().isEmpty());
    history.Add(Make("1"));
    history.Clear();
    EXPECT_EQ(history.Current(), -1);
    EXPECT_FALSE(history.CanUndo());
}

TEST_F(ActionListTest, LimitKeepsTheNewestRecords)
{
    for (int i = 1; i <= 11; ++i) history.Add(Make(QString::number(i)));
    EXPECT_EQ(history.Count(), 10);
    EXPECT_EQ(history.Record(0).Caption(), "cap2");
    int undone = 0;
    while (history.CanUndo()) history.Undo(), ++undone;
    EXPECT_EQ(undone, 10);
    EXPECT_EQ(log.first(), "undo11");
    EXPECT_EQ(log.last(), "undo2");

    history.SetLimit(3);
    EXPECT_EQ(history.Count(), 3);
    EXPECT_EQ(history.Record(0).Caption(), "cap9");
    EXPECT_EQ(history.Current(), -1);
}

TEST_F(ActionListTest, NewRecordAfterUndoDropsTheRedoBranch)
{
    history.Add(Make("1"));
    history.Add(Make("2"));
    history.Undo();
    EXPECT_TRUE(history.CanRedo());
    EXPECT_EQ(history.RedoCaption(), "cap2");
    history.Add(Make("3"));
    EXPECT_EQ(history.Count(), 2);
    EXPECT_EQ(history.UndoCaption(), "cap3");
    EXPECT_FALSE(history.CanRedo());
}

TEST_F(ActionListTest, RepeatOnlyAtTheEndForRepeatableRecordsWhenAllowed)
{
    history.Add(Make("1"));
    EXPECT_FALSE(history.CanRedo()) << "undo/redo records do not repeat";
    history.Add(Make("2", TActionBase::afUndoable | TActionBase::afRepeatable));
    EXPECT_TRUE(history.CanRedo());
    EXPECT_EQ(history.RedoCaption(), "cap2");
    history.Redo();
    EXPECT_EQ(log, QStringList{"repeat2"});
    EXPECT_EQ(history.Current(), 1);
    history.SetRepeatAllowed(false);
    EXPECT_FALSE(history.CanRedo());
    EXPECT_TRUE(history.RedoCaption().isEmpty());
    // Undone, the next record is redone, not repeated, and only when its redo bit is set.
    history.SetRepeatAllowed(true);
    history.Undo();
    EXPECT_FALSE(history.CanRedo());
    history.Undo();
    history.Redo();
    EXPECT_EQ(log.last(), "redo1");
}

TEST_F(ActionListTest, DisabledHistoryDropsRecords)
{
    history.SetEnabled(false);
    history.Add(Make("1"));
    EXPECT_EQ(history.Count(), 0);
}

TEST_F(ActionListTest, GroupsNestUndoLastToFirstAndRedoFirstToLast)
{
    history.BeginGroup("outer");
    history.Add(Make("1"));
    history.BeginGroup({});
    history.Add(Make("2"));
    history.Add(Make("3", TActionBase::afUndoable));
    history.EndGroup();
    history.EndGroup();
    ASSERT_EQ(history.Count(), 1);
    EXPECT_EQ(history.UndoCaption(), "outer");
    auto& outer = static_cast<TActionGroup&>(history.Record(0));
    EXPECT_EQ(outer.Member(1).Caption(), "cap2") << "an unnamed group takes its first member's caption";
    EXPECT_EQ(outer.Flags(), unsigned(TActionBase::afUndoable)) << "the AND of the members' flags";
    history.Undo();
    EXPECT_EQ(log, (QStringList{"undo3", "undo2", "undo1"}));
    EXPECT_FALSE(history.CanRedo()) << "one member cannot be redone";
}

TEST_F(ActionListTest, EmptyGroupAddsNothingAndUnbalancedEndFails)
{
    history.Add(Make("1"));
    history.BeginGroup("empty");
    history.EndGroup();
    EXPECT_EQ(history.Count(), 1);
    EXPECT_EQ(history.UndoCaption(), "cap1");
    try {
        history.EndGroup();
        FAIL();
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "group level is invalid") << "a broken invariant, never a user message";
    }
}

}  // namespace
}  // namespace kestrel::test
