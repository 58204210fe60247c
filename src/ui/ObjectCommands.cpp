#include "ui/ObjectCommands.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include "app/AppFrame.h"
#include "app/ExceptionReport.h"
#include "document/DOActions.h"
#include "document/DODesigner.h"
#include "document/DOList.h"
#include "document/DrawObject.h"
#include "document/EditSession.h"
#include "document/ObjectKinds.h"
#include "document/stream/Persistent.h"
#include "platform/Error.h"
#include "render/DrawSite.h"

namespace kestrel {

namespace {
// Edits a copy so that a cancelled dialog leaves the object untouched; the accepted state is
// assigned back inside one change record.
class TDialogDesigner : public TDODesigner {
public:
    explicit TDialogDesigner(QWidget* parent) : parent_(parent) {}

    std::optional<bool> EditObject(TDrawObject& object) override
    {
        const TPropertiesEditor* edit = FindPropertiesEditor(object);
        if (!edit) return std::nullopt;
        std::unique_ptr<TDrawObject> copy = CloneObject(object);
        if (!(*edit)(parent_.data(), *copy)) return false;
        auto record = std::make_unique<TDOChangeAction>(object, QStringLiteral("設定変更"));
        object.Assign(*copy);
        TDOChangeAction::Commit(std::move(record));
        return true;
    }

private:
    // The designer outlives the window it was installed for; dialogs then open on their own.
    QPointer<QWidget> parent_;
};
}  // namespace

const TPropertiesEditor* FindPropertiesEditor(const TDrawObject& object)
{
    for (const TClassInfo* info = &object.ClassInfo(); info; info = info->Parent()) {
        for (const TPropertiesEditorEntry& entry : PropertiesEditors())
            if (entry.className == info->Name()) return &entry.edit;
    }
    return nullptr;
}

void InstallPropertiesDialogs(TEditSession& session, QWidget* parent)
{
    session.Designers().Register(std::make_unique<TDialogDesigner>(parent));
}

TObjectCommands::TObjectCommands(QWidget* parent) : QObject(parent)
{
    for (const TObjectKind* kind : TObjectKinds::Global().Insertable()) {
        auto* action = new QAction(kind->caption, this);
        action->setStatusTip(kind->hint);
        connect(action, &QAction::triggered, this, [this, name = kind->name] { Insert(name); });
        actions_.push_back(action);
    }
    Update();
}

void TObjectCommands::SetSite(TDrawSite* site)
{
    site_ = site;
    Update();
}

void TObjectCommands::AddTo(QMenu& menu) const
{
    for (QAction* action : actions_) menu.addAction(action);
}

void TObjectCommands::Update()
{
    for (QAction* action : actions_) action->setEnabled(site_ != nullptr);
}

void TObjectCommands::Insert(const QByteArray& kind)
{
    if (!site_ || !site_->Session()) return;
    try {
        site_->Session()->Designers().CreateOnSite(*site_, kind);
    } catch (const EKestrel& e) {
        TAppFrame::ShowOkMessage("%s", {e.Message()});
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);
    }
}

}  // namespace kestrel
