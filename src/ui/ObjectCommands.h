#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace kestrel {

class TDrawObject;
class TDrawSite;
class TEditSession;

// A class's properties dialog. It edits the object it is given (a copy of the one on the face)
// and answers false when the user cancelled.
using TPropertiesEditor = std::function<bool(QWidget* parent, TDrawObject& object)>;

struct TPropertiesEditorEntry {
    QByteArray className;
    TPropertiesEditor edit;
};

// The properties dialog of each object class that has one (ObjectKindTable.cpp): the one line an
// object kind adds to the user interface.
const std::vector<TPropertiesEditorEntry>& PropertiesEditors();

// The editor registered for the object's class or its nearest ancestor; null when none.
const TPropertiesEditor* FindPropertiesEditor(const TDrawObject& object);

// Registers the designer that answers the session's property edits with the dialogs of the
// table; the dialogs open over the parent. An accepted edit of an object on a face is one undo
// step.
void InstallPropertiesDialogs(TEditSession& session, QWidget* parent);

// The insert menu of the face view, one command per kind the program offers for inserting: each
// puts a new object of its kind on the site given last, as one undo step; without a site they
// are disabled.
class TObjectCommands : public QObject {
public:
    explicit TObjectCommands(QWidget* parent);

    void SetSite(TDrawSite* site);
    void AddTo(QMenu& menu) const;
    void Update();
    const std::vector<QAction*>& Actions() const { return actions_; }
    // Puts a new object of the kind on the site, as its menu command does.
    void Insert(const QByteArray& kind);

private:
    TDrawSite* site_ = nullptr;
    std::vector<QAction*> actions_;
};

}  // namespace kestrel
