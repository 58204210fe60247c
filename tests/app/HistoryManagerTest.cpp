#include <gtest/gtest.h>

#include "app/AppFrame.h"
#include "app/HistoryManager.h"
#include "app/ProgramMacros.h"
#include "platform/SettingsStore.h"

namespace kestrel {
namespace {

// A menu that records what the history puts into it.
class TRecordedMenu : public IHistoryMenu {
public:
    void ClearHistoryItems() override
    {
        captions.clear();
        actions.clear();
        anchorHidden = true;
    }
    bool AnchorIsFirst() const override { return anchorFirst; }
    void AddSeparator() override
    {
        captions << "-";
        actions.push_back({});
    }
    void AddItem(const QString& caption, std::function<void()> chosen) override
    {
        captions << caption;
        actions.push_back(std::move(chosen));
    }
    void Rebuilt(int entries) override { shownEntries = entries; }

    // A copy runs: choosing rebuilds the menu, which drops the item.
    void Choose(const QString& caption)
    {
        const auto action = actions.at(captions.indexOf(caption));
        action();
    }

    QStringList captions;
    std::vector<std::function<void()>> actions;
    bool anchorFirst = false;
    bool anchorHidden = false;
    int shownEntries = -1;
};

class HistoryManagerTest : public ::testing::Test {
protected:
    HistoryManagerTest()
    {
        frame_.Macro().SetLines(ProgramMacroTable());
        frame_.Loaded();
    }

    static QStringList Numbered(int count)
    {
        QStringList items;
        for (int i = 0; i < count; ++i) items << QStringLiteral("file%1.mld").arg(i);
        return items;
    }

    TAppFrame frame_;
};

TEST_F(HistoryManagerTest, AddingMovesAnEqualEntryToTheTopAndTheLimitDropsTheOldest)
{
    THistoryManager history("$(OpenFileHistory)", 3);
    for (const QString& name : {"a.mld", "b.mld", "c.mld"}) history.Add(name);
    EXPECT_EQ(history.Items(), (QStringList{"c.mld", "b.mld", "a.mld"}));

    history.Add("A.MLD");  // the third entry, in other letters: moved, not doubled
    EXPECT_EQ(history.Items(), (QStringList{"A.MLD", "c.mld", "b.mld"}));
    history.Add("d.mld");
    EXPECT_EQ(history.Items(), (QStringList{"d.mld", "A.MLD", "c.mld"}));
    history.Remove("C.mld");
    EXPECT_EQ(history.Items(), (QStringList{"d.mld", "A.MLD"}));

    // Stored as Item0 (most recent), Item1, ... under the sub-key, where another manager, or the
    // next run of the program, finds them.
    const TSettingsKey key(frame_.Expand("$(OpenFileHistory)"));
    EXPECT_EQ(key.ReadString("Item0", {}), "d.mld");
    EXPECT_FALSE(key.ValueExists("Item2"));
    EXPECT_EQ(THistoryManager("$(OpenFileHistory)").Items(), (QStringList{"d.mld", "A.MLD"}));
    history.Clear();
    EXPECT_TRUE(THistoryManager("$(OpenFileHistory)").Items().isEmpty());
}

TEST_F(HistoryManagerTest, ReloadOrdersEntriesByNumberAndReadsNoMoreThanTheLimit)
{
    TSettingsKey key(frame_.Expand("$(UsedPaperHistory)"));
    const QStringList stored = Numbered(15);
    for (int i = 14; i >= 0; --i) key.WriteString(QStringLiteral("Item%1").arg(i), stored[i]);
    key.WriteString("Other", "not an entry");
    EXPECT_EQ(THistoryManager("$(UsedPaperHistory)", 20).Items(), stored);  // Item10 after Item9
    EXPECT_EQ(THistoryManager("$(UsedPaperHistory)", 4).Items(), stored.mid(0, 4));
}

TEST_F(HistoryManagerTest, AKeyWithoutASettingsKeyPartIsRefused)
{
    for (const QString& key : {QString(), QStringLiteral("History"), QStringLiteral("Settings\\")}) {
        THistoryManager history(key);
        try {
            history.Add("x");
            ADD_FAILURE() << key.toStdString();
        } catch (const EHistoryError& e) {
            EXPECT_EQ(e.Message(), "History用のキーがセットされていません");
        }
    }
}

TEST_F(HistoryManagerTest, TheMenuShowsEntriesWithAcceleratorsAndAClearItem)
{
    TRecordedMenu menu;
    THistoryManagerEx history("$(OpenFileHistory)", 12);
    int changes = 0;
    history.OnChangeItem = [&](THistoryManagerEx&) { ++changes; };
    QStringList clicked;
    history.OnMenuClick = [&](THistoryManager&, const QString& text) { clicked << text; };
    history.SetClearHistoryCaption(ClearHistoryMenuCaption);
    history.SetMenuItem(&menu);
    EXPECT_TRUE(menu.anchorHidden);
    EXPECT_TRUE(menu.captions.isEmpty());  // no items, no separator, no clear item
    EXPECT_EQ(menu.shownEntries, 0);

    for (const QString& name : Numbered(12)) history.Add(name);
    EXPECT_EQ(changes, 12);
    ASSERT_EQ(menu.captions.size(), 1 + 12 + 2);
    EXPECT_EQ(menu.captions[0], "-");  // the anchor is not the menu's first item
    EXPECT_EQ(menu.captions[1], "&0 file11.mld");
    EXPECT_EQ(menu.captions[10], "&9 file2.mld");
    EXPECT_EQ(menu.captions[11], "&A file1.mld");
    EXPECT_EQ(menu.captions[12], "&B file0.mld");
    EXPECT_EQ(menu.captions.mid(13), (QStringList{"-", "履歴の消去"}));

    menu.Choose("&9 file2.mld");
    EXPECT_EQ(clicked, QStringList{"file2.mld"});
    EXPECT_EQ(menu.captions[1], "&0 file2.mld");  // chosen entries move to the top

    menu.Choose("履歴の消去");
    EXPECT_TRUE(history.Items().isEmpty());
    EXPECT_TRUE(menu.captions.isEmpty());
    EXPECT_EQ(menu.shownEntries, 0);
}

TEST_F(HistoryManagerTest, CaptionsKeepAmpersandsAndGoWithoutAcceleratorsWhenAsked)
{
    TRecordedMenu menu;
    menu.anchorFirst = true;
    THistoryManager history("$(FindPaperHistory)");
    history.SetUseAccelerator(false);
    history.Add("R&B");
    history.SetMenuItem(&menu);
    EXPECT_EQ(menu.captions, QStringList{"R&&B"});
}

}  // namespace
}  // namespace kestrel
