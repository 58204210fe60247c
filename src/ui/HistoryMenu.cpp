#include "ui/HistoryMenu.h"

#include <QMenu>

namespace kestrel {

THistoryMenu::THistoryMenu(QMenu& menu, QAction& anchor) : menu_(&menu), anchor_(&anchor) {}

THistoryMenu::~THistoryMenu()
{
    ClearHistoryItems();
}

void THistoryMenu::ClearHistoryItems()
{
    // An item may be removed from inside its own triggered signal, so it goes later.
    for (const QPointer<QAction>& action : std::as_const(added_)) {
        if (!action) continue;
        if (menu_) menu_->removeAction(action);
        action->deleteLater();
    }
    added_.clear();
    if (anchor_) anchor_->setVisible(false);
}

bool THistoryMenu::AnchorIsFirst() const
{
    return menu_ && anchor_ && menu_->actions().value(0) == anchor_;
}

QAction* THistoryMenu::InsertAfterLast(QAction* action)
{
    QAction* last = added_.isEmpty() ? anchor_.data() : added_.last().data();
    const QList<QAction*> actions = menu_->actions();
    const int position = actions.indexOf(last);
    menu_->insertAction(actions.value(position + 1), action);  // null appends
    added_.append(action);
    return action;
}

void THistoryMenu::AddSeparator()
{
    if (!menu_) return;
    auto* separator = new QAction(menu_);
    separator->setSeparator(true);
    InsertAfterLast(separator);
}

void THistoryMenu::AddItem(const QString& caption, std::function<void()> chosen)
{
    if (!menu_) return;
    auto* action = new QAction(caption, menu_);
    QObject::connect(action, &QAction::triggered, action, [chosen = std::move(chosen)] { chosen(); });
    InsertAfterLast(action);
}

void THistoryMenu::Rebuilt(int entries)
{
    if (menu_ && AnchorIsFirst() && menu_->actions().size() == added_.size() + 1)
        menu_->menuAction()->setEnabled(entries > 0);
}

}  // namespace kestrel
