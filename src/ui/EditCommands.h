#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QToolBar;
class QWidget;

namespace kestrel {

class TActionList;
class TDrawSite;
class TDrawSiteActionBase;
struct TLayoutActions;

// Binds the layout screen's commands to menu entries, tool bar buttons and shortcuts, which carry
// their captions and hints. They act on the text field that has the focus when they serve text
// fields, otherwise on the site given last; without one only undo and redo, which step through
// the session's history, may run.
class TEditCommands : public QObject {
public:
    // The shortcuts work anywhere in the parent's window.
    TEditCommands(TActionList& history, QWidget* parent);
    ~TEditCommands() override;

    void SetSite(TDrawSite* site);
    TDrawSite* Site() const { return site_; }
    TLayoutActions& Actions() const { return *actions_; }
    // The entry bound to one of Actions().
    QAction* EntryFor(const TDrawSiteActionBase& action) const;

    void AddTo(QMenu& menu) const;
    void AddTo(QToolBar& bar) const;
    // The commands that apply to the current selection (the object under the pointer, once the
    // view selected it), for a context menu.
    void AddApplicableTo(QMenu& menu);
    // Enabled states and captions; call after anything may have changed the selection, the
    // history, the focus or the clipboard.
    void Update();

private:
    struct TBinding {
        TDrawSiteActionBase* action;
        QAction* entry;
        QString caption;
    };
    void Bind(TDrawSiteActionBase& action, const QString& caption, const QList<QKeySequence>& keys);
    void Run(TDrawSiteActionBase& action);
    void Show(const TBinding& binding);

    std::unique_ptr<TLayoutActions> actions_;
    std::vector<TBinding> bindings_;
    TDrawSite* site_ = nullptr;
};

}  // namespace kestrel
