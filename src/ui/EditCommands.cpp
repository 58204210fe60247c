#include "ui/EditCommands.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QWidget>

#include "app/AppFrame.h"
#include "document/ActionList.h"
#include "document/Capabilities.h"
#include "document/DOActions.h"
#include "document/DOGroup.h"
#include "document/DSOperation.h"
#include "document/DrawObject.h"
#include "platform/Clipboard.h"
#include "render/DrawSite.h"

namespace kestrel {

QString DrawObjectClipboardFormat()
{
    return ExpandMacro("$(AppName)");
}

namespace {

std::vector<TDrawObject*> SelectedObjects(const TDrawSite& site)
{
    std::vector<TDrawObject*> selected;
    site.Objects(selected, true);
    return selected;
}

// Removing records the object on the history; the change notice marks the site modified first.
void DeleteEach(TDSOperation& op, TDSOActionType type, const QString& caption)
{
    op.SetActionType(type);
    op.SetActionString(caption);
    op.SetOnEachObject([](TDSOperation&, TDrawObject& object) { object.Changed(); });
}

void CopyTargets(TDSOperation& op)
{
    op.Targets().ClipboardCopy(DrawObjectClipboardFormat());
}

// Moves each object (only when needed) so that its bounds lie inside the area; an object larger
// than the area keeps its left or top edge on the area's.
void ShiftInside(const TDOList& list, const TRect& area)
{
    auto shift = [](int low, int high, int areaLow, int areaHigh) {
        int d = high > areaHigh ? areaHigh - high : 0;
        if (low + d < areaLow) d = areaLow - low;
        return d;
    };
    for (TDrawObject* object : list.Items()) {
        auto* bounded = dynamic_cast<IDOEncloseBounds*>(object);
        if (!bounded) continue;
        const TRect b = bounded->GetBounds();
        const int dx = shift(b.left, b.right, area.left, area.right);
        const int dy = shift(b.top, b.bottom, area.top, area.bottom);
        if (dx || dy) bounded->MoveBy(dx, dy);
    }
}

}  // namespace

TEditCommands::TEditCommands(QWidget* parent)
    : QObject(parent),
      undo(Command("取り消し(&U)", QKeySequence("Ctrl+Z"), &TEditCommands::Undo)),
      redo(Command("やり直し(&R)", QKeySequence("Ctrl+Shift+Z"), &TEditCommands::Redo)),
      cut(Command("切り取り(&T)", QKeySequence("Ctrl+X"), &TEditCommands::Cut)),
      copy(Command("コピー(&C)", QKeySequence("Ctrl+C"), &TEditCommands::Copy)),
      paste(Command("貼り付け(&P)", QKeySequence("Ctrl+V"), &TEditCommands::Paste)),
      clear(Command("クリア(&D)", QKeySequence(Qt::Key_Delete), &TEditCommands::Clear)),
      group(Command("グループ化(&G)", QKeySequence("Ctrl+G"), &TEditCommands::Group)),
      ungroup(Command("グループ化解除(&N)", QKeySequence("Ctrl+U"), &TEditCommands::Ungroup))
{
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { Update(); });
    Update();
}

QAction* TEditCommands::Command(const QString& caption, const QKeySequence& shortcut,
                                void (TEditCommands::*run)())
{
    auto* action = new QAction(caption, this);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, run] { RunGuarded(run); });
    return action;
}

void TEditCommands::SetSite(TDrawSite* site)
{
    site_ = site;
    Update();
}

void TEditCommands::AddTo(QMenu& menu) const
{
    menu.addActions({undo, redo});
    menu.addSeparator();
    menu.addActions({cut, copy, paste, clear});
    menu.addSeparator();
    menu.addActions({group, ungroup});
}

void TEditCommands::Update()
{
    const TActionList& history = ActionList();
    const bool canUndo = site_ && history.CanUndo();
    const bool canRedo = site_ && history.CanRedo();
    undo->setEnabled(canUndo);
    undo->setText(canUndo ? QString("%1の取り消し(&U)").arg(history.UndoCaption()) : "取り消し(&U)");
    redo->setEnabled(canRedo);
    redo->setText(canRedo ? QString("%1のやり直し(&R)").arg(history.RedoCaption()) : "やり直し(&R)");

    const std::vector<TDrawObject*> selected = site_ ? SelectedObjects(*site_) : std::vector<TDrawObject*>();
    cut->setEnabled(!selected.empty());
    copy->setEnabled(!selected.empty());
    clear->setEnabled(!selected.empty());
    paste->setEnabled(site_ && ClipboardHasFormat(DrawObjectClipboardFormat()));
    group->setEnabled(selected.size() >= 2);
    ungroup->setEnabled(std::any_of(selected.begin(), selected.end(),
                                    [](TDrawObject* o) { return dynamic_cast<TDOGroup*>(o) != nullptr; }));
}

// A command that fails (a damaged clipboard, a full disk) says so and leaves the window usable.
void TEditCommands::RunGuarded(void (TEditCommands::*run)())
{
    if (!site_) return;
    try {
        (this->*run)();
    } catch (const EKestrel& e) {
        TAppFrame::ShowOkMessage(e.Message());
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);
    }
    Update();
}

void TEditCommands::Undo()
{
    site_->SelectAll(false);
    ActionList().Undo();
}

void TEditCommands::Redo()
{
    site_->SelectAll(false);
    ActionList().Redo();
}

void TEditCommands::Cut()
{
    TDSOperation op;
    DeleteEach(op, TDSOActionType::atDelete, "切り取り");
    op.SetOnExecute(CopyTargets);
    op.Execute(*site_);
}

void TEditCommands::Copy()
{
    TDSOperation op;
    op.SetOnExecute(CopyTargets);
    op.Execute(*site_);
}

void TEditCommands::Clear()
{
    TDSOperation op;
    DeleteEach(op, TDSOActionType::atDelete, "クリア");
    op.Execute(*site_);
}

// The clipboard lists the objects from the front to the back; each added object goes to the
// front, so the back-most is added first.
void TEditCommands::Paste()
{
    TDOList pasted;
    if (!pasted.ClipboardPaste(DrawObjectClipboardFormat())) return;
    ShiftInside(pasted, site_->LogicalArea());
    std::vector<std::unique_ptr<TDrawObject>> objects = pasted.ReleaseAll();
    if (objects.empty()) return;
    TActionGroupScope record(ActionList(), "貼り付け");
    site_->SelectAll(false);
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        TDrawObject& added = site_->AddObject(std::move(*it));
        added.SetSelected(true);
        ActionList().Add(std::make_unique<TDOAddAction>(added));
    }
}

// The group takes copies of the selected objects in painting order (back to front), goes on the
// site, and the originals are deleted; all of it is one step in the history.
void TEditCommands::Group()
{
    TDSOperation op;
    DeleteEach(op, TDSOActionType::atDelete, "設定変更");
    op.SetOnMakeList([](TDSOperation& o) {
        if (o.Targets().Count() < 2) o.Targets().Clear();
    });
    op.SetOnExecute([this](TDSOperation& o) {
        TDOList backToFront;
        for (TDrawObject* object : o.Targets().Items()) backToFront.Add(*object);
        backToFront.Reverse();
        auto made = std::make_unique<TDOGroup>();
        made->SetMembers(backToFront);
        site_->SelectAll(false);
        TDrawObject& added = site_->AddObject(std::move(made));
        added.SetSelected(true);
        ActionList().Add(std::make_unique<TDOAddAction>(added));
    });
    op.Execute(*site_);
}

void TEditCommands::Ungroup()
{
    TDSOperation op;
    op.SetActionType(TDSOActionType::atDelete);
    op.SetActionString("設定変更");
    op.SetOnMakeList([](TDSOperation& o) {
        TDOList groups;
        for (TDrawObject* object : o.Targets().Items())
            if (dynamic_cast<TDOGroup*>(object)) groups.Add(*object);
        o.Targets() = std::move(groups);
    });
    op.SetOnExecute([this](TDSOperation&) { site_->SelectAll(false); });
    op.SetOnEachObject([](TDSOperation&, TDrawObject& object) {
        object.Changed();
        static_cast<TDOGroup&>(object).Ungroup();
    });
    op.Execute(*site_);
}

}  // namespace kestrel
