#pragma once

#include <QList>
#include <QPointer>

#include "app/HistoryManager.h"

class QAction;
class QMenu;

namespace kestrel {

// A history's items in a menu, after an anchor action of that menu. When the anchor is the
// menu's only item (a submenu of its own), the submenu is disabled while the history is empty.
class THistoryMenu : public IHistoryMenu {
public:
    THistoryMenu(QMenu& menu, QAction& anchor);
    ~THistoryMenu() override;

    void ClearHistoryItems() override;
    bool AnchorIsFirst() const override;
    void AddSeparator() override;
    void AddItem(const QString& caption, std::function<void()> chosen) override;
    void Rebuilt(int entries) override;

    const QList<QPointer<QAction>>& Items() const { return added_; }

private:
    QAction* InsertAfterLast(QAction* action);

    QPointer<QMenu> menu_;
    QPointer<QAction> anchor_;
    QList<QPointer<QAction>> added_;
};

}  // namespace kestrel
