#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QWidget;

namespace kestrel {

class TDrawSite;

// The edit menu of the face view: undo and redo named after the history's next steps, the
// clipboard, clearing, grouping and ungrouping, each recorded in the undo history. The commands
// act on the site given last; without one they are disabled.
class TEditCommands : public QObject {
public:
    explicit TEditCommands(QWidget* parent);

    void SetSite(TDrawSite* site);
    TDrawSite* Site() const { return site_; }
    void AddTo(QMenu& menu) const;
    // Enabled states and the undo and redo captions; call after anything may have changed the
    // selection, the history or the clipboard.
    void Update();

    QAction* const undo;
    QAction* const redo;
    QAction* const cut;
    QAction* const copy;
    QAction* const paste;
    QAction* const clear;
    QAction* const group;
    QAction* const ungroup;

private:
    QAction* Command(const QString& caption, const QKeySequence& shortcut, void (TEditCommands::*run)());
    void Undo();
    void Redo();
    void Cut();
    void Copy();
    void Paste();
    void Clear();
    void Group();
    void Ungroup();
    void RunGuarded(void (TEditCommands::*run)());

    TDrawSite* site_ = nullptr;
};

// The registered name of the private clipboard format for draw objects.
QString DrawObjectClipboardFormat();

}  // namespace kestrel
