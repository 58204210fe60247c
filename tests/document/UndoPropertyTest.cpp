#include <gtest/gtest.h>

#include <random>

#include "UndoFixtures.h"
#include "document/DOActions.h"

namespace kestrel::test {
namespace {

// Random editing of a site, each edit leaving exactly one record in the history.
class TRandomEditor {
public:
    TRandomEditor(TEditSite& site, unsigned seed) : site_(site), random_(seed) {}

    void Edit()
    {
        switch (Pick(7)) {
            case 0:
                return Add();
            case 1:
                return Delete();
            case 2:
                return Move();
            case 3:
                return Resize();
            case 4:
                return Group();
            case 5:
                return Ungroup();
            default:
                return Layer();
        }
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    int NonZero(int range) { return (Pick(range) + 1) * (Pick(2) ? 1 : -1); }
    TDrawObject& AnyObject() { return site_.Child(Pick(site_.ChildCount())); }

    // Up to max distinct objects, back to front.
    std::vector<TDrawObject*> SomeObjects(int max)
    {
        std::vector<TDrawObject*> all;
        for (int i = 0; i < site_.ChildCount(); ++i) all.push_back(&site_.Child(i));
        std::shuffle(all.begin(), all.end(), random_);
        all.resize(std::min<size_t>(all.size(), 1 + Pick(max)));
        std::sort(all.begin(), all.end(),
                  [this](auto* a, auto* b) { return site_.IndexOf(*a) < site_.IndexOf(*b); });
        return all;
    }

    void Add()
    {
        const int x = Pick(900), y = Pick(900);
        TFilledRect& added = site_.Put({x, y, x + 10 + Pick(90), y + 10 + Pick(90)}, Pick(2));
        site_.History().Add(std::make_unique<TDOAddAction>(added));
    }

    void Delete()
    {
        if (site_.ChildCount() < 2) return Add();
        TActionGroupScope group(site_.History(), "削除");
        for (TDrawObject* object : SomeObjects(3)) site_.History().Add(std::make_unique<TDODelAction>(*object));
    }

    void Move()
    {
        if (site_.ChildCount() == 0) return Add();
        TDrawObject& object = AnyObject();
        auto record = std::make_unique<TDOChangeAction>(object);
        dynamic_cast<IDOEncloseBounds&>(object).MoveBy(NonZero(50), NonZero(50));
        TDOChangeAction::Commit(std::move(record));
    }

    void Resize()
    {
        if (site_.ChildCount() == 0) return Add();
        TDrawObject& object = AnyObject();
        auto& enclose = dynamic_cast<IDOEncloseBounds&>(object);
        const TRect b = enclose.GetBounds();
        auto record = std::make_unique<TDOChangeAction>(object);
        enclose.SetSize(b.Width() + NonZero(40) + 40, b.Height() + 30);
        TDOChangeAction::Commit(std::move(record));
    }

    void Group()
    {
        if (site_.ChildCount() < 2) return Add();
        std::vector<TDrawObject*> chosen = SomeObjects(3);
        if (chosen.size() < 2) chosen = {&site_.Child(0), &site_.Child(1)};
        TActionGroupScope scope(site_.History(), "グループ化");
        TDOList members;
        for (TDrawObject* object : chosen) members.Add(*object);
        auto group = std::make_unique<TDOGroup>();
        group->SetMembers(members);
        site_.History().Add(std::make_unique<TDOAddAction>(site_.AddObject(std::move(group))));
        for (TDrawObject* object : chosen) site_.History().Add(std::make_unique<TDODelAction>(*object));
    }

    void Ungroup()
    {
        for (int i = 0; i < site_.ChildCount(); ++i) {
            auto* group = dynamic_cast<TDOGroup*>(&site_.Child(i));
            if (!group) continue;
            TActionGroupScope scope(site_.History(), "グループ解除");
            group->Ungroup();
            site_.History().Add(std::make_unique<TDODelAction>(*group));
            return;
        }
        Group();
    }

    void Layer()
    {
        if (site_.ChildCount() == 0) return Add();
        auto record = std::make_unique<TDOLayerAction>(site_);
        TDrawObject& object = AnyObject();
        Pick(2) ? object.BringToFront() : object.SendToBack();
        TDOLayerAction::Commit(std::move(record));
    }

    TEditSite& site_;
    std::mt19937 random_;
};

TEST(UndoProperty, UndoingEverythingRestoresTheStreamAndRedoingRebuildsIt)
{
    RegisterUndoTestClasses();
    for (unsigned seed = 1; seed <= 200; ++seed) {
        TEditSite site;
        TActionList& history = site.History();
        const int limit = history.Limit();
        for (int i = 0; i < 6; ++i) site.Put({i * 100, i * 50, i * 100 + 80, i * 50 + 60}, i % 2);
        TRandomEditor editor(site, seed);
        const QByteArray start = site.Stream();
        for (int step = 0; step < limit; ++step) {
            const int before = history.Current();
            editor.Edit();
            ASSERT_EQ(history.Current(), std::min(before + 1, limit - 1))
                << "seed " << seed << " step " << step;
        }
        const QByteArray end = site.Stream();
        while (history.CanUndo()) history.Undo();
        ASSERT_EQ(history.Current(), -1);
        ASSERT_EQ(site.Stream(), start) << "seed " << seed;
        while (history.CanRedo()) history.Redo();
        ASSERT_EQ(site.Stream(), end) << "seed " << seed;
    }
}

}  // namespace
}  // namespace kestrel::test
