#include "edit/LayoutActions.h"

#include <map>

#include "document/Capabilities.h"
#include "document/DOActions.h"
#include "document/DOGroup.h"
#include "document/DrawObject.h"
#include "document/EditSession.h"
#include "document/ObjectSite.h"
#include "text/LOText.h"

namespace kestrel {

namespace {

// The group takes copies of the targets in painting order (back to front) and goes on the site;
// the originals are then deleted, each into its own record of the same undo step.
void SetUpGrouping(TDrawSiteAction& group)
{
    group.SetUndoType(TDSAUndoType::atDelete);
    group.SetOnMakeList([](TDrawSiteAction& action, TObjectSite&) {
        if (action.Targets().Count() < 2) action.Targets().Clear();
    });
    group.SetOnExecuteFirst([](TDrawSiteAction& action, TObjectSite& site) {
        TDOList backToFront;
        for (TDrawObject* object : action.Targets().Items()) backToFront.Add(*object);
        backToFront.Reverse();
        auto made = std::make_unique<TDOGroup>();
        made->SetMembers(backToFront);
        site.SelectAll(false);
        TDrawObject& added = site.AddObject(std::move(made));
        added.SetSelected(true);
        Record(site, std::make_unique<TDOAddAction>(added));
    });
    group.SetOnEachObject([](TObjectSite&, TDrawObject& object) { object.Changed(); });
}

// Each group is deleted and its members go back onto the site in its place.
void SetUpUngrouping(TDrawSiteAction& ungroup)
{
    ungroup.SetUndoType(TDSAUndoType::atDelete);
    ungroup.SetTargetClassName(QStringLiteral("TDOGroup"));
    ungroup.SetOnMakeList([](TDrawSiteAction& action, TObjectSite&) {
        TDOList groups;
        for (TDrawObject* object : action.Targets().Items())
            if (dynamic_cast<TDOGroup*>(object)) groups.Add(*object);
        action.Targets() = std::move(groups);
    });
    ungroup.SetOnExecuteFirst([](TDrawSiteAction&, TObjectSite& site) { site.SelectAll(false); });
    ungroup.SetOnEachObject([](TObjectSite&, TDrawObject& object) {
        object.Changed();
        static_cast<TDOGroup&>(object).Ungroup();
    });
}
// A text of several lines becomes one text per line, each where its line was; the text itself
// is deleted. Texts of one line are left alone.
void SetUpTextSplitting(TDrawSiteAction& split)
{
    split.SetUndoType(TDSAUndoType::atDelete);
    split.SetTargetClassName(QStringLiteral("TLOText"));
    split.SetOnMakeList([](TDrawSiteAction& action, TObjectSite&) {
        TDOList splittable;
        for (TDrawObject* object : action.Targets().Items())
            if (auto* text = dynamic_cast<TLOText*>(object); text && text->Text().size() > 1) splittable.Add(*object);
        action.Targets() = std::move(splittable);
    });
    split.SetOnExecuteFirst([](TDrawSiteAction&, TObjectSite& site) { site.SelectAll(false); });
    split.SetOnEachObject([](TObjectSite& site, TDrawObject& object) {
        auto& text = static_cast<TLOText&>(object);
        const QStringList lines = text.Text();
        const int pitch = text.Layout().LinePitch();
        for (int i = 0; i < lines.size(); ++i) {
            std::unique_ptr<TDrawObject> copy = CloneObject(text);
            auto& line = static_cast<TLOText&>(*copy);
            line.SetText({lines[i]});
            line.MoveBy(text.Vertical() ? -i * pitch : 0, text.Vertical() ? 0 : i * pitch);
            TDrawObject& added = site.AddObject(std::move(copy));
            added.SetSelected(true);
            Record(site, std::make_unique<TDOAddAction>(added));
        }
        object.Changed();
    });
}
}  // namespace

TLayoutActions::TLayoutActions(TActionList& history) : undo(history), redo(history)
{
    const QString settings = QStringLiteral("設定変更");
    cut.SetActionString(QStringLiteral("切り取り"));
    paste.SetActionString(QStringLiteral("貼り付け"));
    clear.SetActionString(QStringLiteral("クリア"));
    bringToFront.SetActionString(QStringLiteral("最前面"));
    sendToBack.SetActionString(QStringLiteral("最背面"));
    lock.SetActionString(QStringLiteral("オブジェクト固定"));
    unlock.SetActionString(QStringLiteral("オブジェクト固定解除"));
    splitText.SetActionString(QStringLiteral("文字列の分割"));
    for (TDrawSiteActionBase* changing :
         std::initializer_list<TDrawSiteActionBase*>{&group, &ungroup, &doPrint, &dontPrint, &properties, &vertText,
                                                      &horzText, &rotateRight, &rotate180, &rotateLeft})
        changing->SetActionString(settings);
    SetUpGrouping(group);
    SetUpUngrouping(ungroup);
    SetUpTextSplitting(splitText);
}

bool MoveSelected(TObjectSite& site, const QString& caption,
                  const std::function<std::vector<QPoint>(const std::vector<TPlaced>&)>& plan)
{
    std::map<TDrawObject*, QPoint> shifts;
    TDrawSiteAction move;
    move.SetUndoType(TDSAUndoType::atChange);
    move.SetActionString(caption);
    move.SetOnMakeList([](TDrawSiteAction& action, TObjectSite&) {
        TDOList movable;
        for (TDrawObject* object : action.Targets().Items())
            if (object->Movable() && dynamic_cast<IDOEncloseBounds*>(object)) movable.Add(*object);
        action.Targets() = std::move(movable);
    });
    move.SetOnExecuteFirst([&](TDrawSiteAction& action, TObjectSite&) {
        std::vector<TPlaced> placed;
        for (TDrawObject* object : action.Targets().Items())
            placed.push_back({object, dynamic_cast<IDOEncloseBounds&>(*object).GetBounds()});
        const std::vector<QPoint> planned = plan(placed);
        for (size_t i = 0; i < placed.size() && i < planned.size(); ++i) shifts[placed[i].object] = planned[i];
    });
    move.SetOnEachObject([&shifts](TObjectSite&, TDrawObject& object) {
        const QPoint shift = shifts[&object];
        if (!shift.isNull()) dynamic_cast<IDOEncloseBounds&>(object).MoveBy(shift.x(), shift.y());
    });
    if (!move.IsTargetValid(site)) return false;
    move.Execute(site);
    return true;
}

void NudgeSelection(TObjectSite& site, int dx, int dy)
{
    MoveSelected(site, QStringLiteral("移動"), [dx, dy](const std::vector<TPlaced>& placed) {
        return std::vector<QPoint>(placed.size(), QPoint(dx, dy));
    });
}

}  // namespace kestrel
