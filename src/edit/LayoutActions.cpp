#include "edit/LayoutActions.h"

#include "document/ActionList.h"
#include "document/Capabilities.h"
#include "document/DOActions.h"
#include "document/DOGroup.h"
#include "document/DrawObject.h"
#include "document/ObjectSite.h"
#include "text/LOText.h"

namespace kestrel {

namespace {
void Describe(TDrawSiteActionBase& action, const QString& caption, const QString& shortCut,
              const QString& undoName)
{
    action.SetCaption(caption);
    action.SetShortCut(shortCut);
    action.SetActionString(undoName);
}

void TurnBy(TDSAOffsetAngle& action, int degrees, const QString& caption)
{
    Describe(action, caption, {}, QStringLiteral("設定変更"));
    action.SetOffsetAngle(degrees);
}

// The group takes copies of the targets in painting order (back to front) and goes on the site;
// the originals are then deleted, each into its own record of the same undo step.
void SetUpGrouping(TDrawSiteAction& group)
{
    group.SetActionType(TDSAUndoType::atDelete);
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
        ActionList().Add(std::make_unique<TDOAddAction>(added));
    });
    group.SetOnEachObject([](TObjectSite&, TDrawObject& object) { object.Changed(); });
}

// Each group is deleted and its members go back onto the site in its place.
void SetUpUngrouping(TDrawSiteAction& ungroup)
{
    ungroup.SetActionType(TDSAUndoType::atDelete);
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
    split.SetActionType(TDSAUndoType::atDelete);
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
            ActionList().Add(std::make_unique<TDOAddAction>(added));
        }
        object.Changed();
    });
}
}  // namespace

TLayoutActions::TLayoutActions()
{
    const QString settings = QStringLiteral("設定変更");
    Describe(undo, QStringLiteral("取り消し(&U)"), QStringLiteral("Ctrl+Z"), {});
    Describe(redo, QStringLiteral("やり直し(&R)"), QStringLiteral("Ctrl+Shift+Z"), {});
    Describe(cut, QStringLiteral("切り取り(&T)"), QStringLiteral("Ctrl+X"), QStringLiteral("切り取り"));
    Describe(copy, QStringLiteral("コピー(&C)"), QStringLiteral("Ctrl+C"), {});
    Describe(paste, QStringLiteral("貼り付け(&P)"), QStringLiteral("Ctrl+V"), QStringLiteral("貼り付け"));
    Describe(clear, QStringLiteral("クリア(&D)"), QStringLiteral("Del"), QStringLiteral("クリア"));
    Describe(selectAll, QStringLiteral("すべて選択(&A)"), QStringLiteral("Ctrl+A"), {});
    Describe(bringToFront, QStringLiteral("前面に移動(&W)"), QStringLiteral("Ctrl+F"), QStringLiteral("最前面"));
    Describe(sendToBack, QStringLiteral("背面に移動(&K)"), QStringLiteral("Ctrl+B"), QStringLiteral("最背面"));
    Describe(group, QStringLiteral("グループ化(&G)"), QStringLiteral("Ctrl+G"), settings);
    Describe(ungroup, QStringLiteral("グループ化解除(&N)"), QStringLiteral("Ctrl+U"), settings);
    Describe(lock, QStringLiteral("固定する(&O)"), {}, QStringLiteral("オブジェクト固定"));
    Describe(unlock, QStringLiteral("固定しない(&U)"), {}, QStringLiteral("オブジェクト固定解除"));
    Describe(doPrint, QStringLiteral("印刷禁止にしない(&I)"), {}, settings);
    Describe(dontPrint, QStringLiteral("印刷禁止にする(&N)"), {}, settings);
    Describe(properties, QStringLiteral("プロパティ(&O)"), {}, settings);
    Describe(vertText, QStringLiteral("縦書き(&V)"), {}, settings);
    Describe(horzText, QStringLiteral("横書き(&H)"), {}, settings);
    TurnBy(rotateRight, 90, QStringLiteral("右に90ﾟ(&I)"));
    TurnBy(rotate180, 180, QStringLiteral("180ﾟ(&O)"));
    TurnBy(rotateLeft, 270, QStringLiteral("左に90ﾟ(&E)"));
    SetUpGrouping(group);
    SetUpUngrouping(ungroup);
    Describe(splitText, QStringLiteral("文字列の分割"), {}, QStringLiteral("文字列の分割"));
    SetUpTextSplitting(splitText);
}

std::vector<TDrawSiteActionBase*> TLayoutActions::All()
{
    return {&undo,  &redo,      &cut,      &copy,    &paste,       &clear,     &selectAll,
            &bringToFront, &sendToBack, &group, &ungroup, &lock, &unlock, &dontPrint,
            &doPrint, &vertText, &horzText, &rotateRight, &rotate180, &rotateLeft, &properties, &splitText};
}

void NudgeSelection(TObjectSite& site, int dx, int dy)
{
    TDrawSiteAction nudge;
    nudge.SetActionType(TDSAUndoType::atChange);
    nudge.SetActionString(QStringLiteral("移動"));
    nudge.SetOnMakeList([](TDrawSiteAction& action, TObjectSite&) {
        TDOList movable;
        for (TDrawObject* object : action.Targets().Items())
            if (object->Movable() && dynamic_cast<IDOEncloseBounds*>(object)) movable.Add(*object);
        action.Targets() = std::move(movable);
    });
    nudge.SetOnEachObject([dx, dy](TObjectSite&, TDrawObject& object) {
        dynamic_cast<IDOEncloseBounds&>(object).MoveBy(dx, dy);
    });
    nudge.ExecuteTarget(site);
}

}  // namespace kestrel
