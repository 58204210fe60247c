#include "ui/EditCommands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QWidget>

#include "app/AppFrame.h"
#include "app/ExceptionReport.h"
#include "edit/LayoutActions.h"
#include "platform/Error.h"
#include "render/DrawSite.h"

namespace kestrel {

namespace {
// A line edit (alone or inside an editable combo box) as a text field for the commands.
class TLineEditControl : public ITextControl {
public:
    explicit TLineEditControl(QLineEdit& edit) : edit_(edit) {}
    bool HasSelection() const override { return edit_.hasSelectedText(); }
    bool CanUndo() const override { return edit_.isUndoAvailable(); }
    void Copy() override { edit_.copy(); }
    void Cut() override { edit_.cut(); }
    void Paste() override { edit_.paste(); }
    void Clear() override { edit_.del(); }
    void Undo() override { edit_.undo(); }

private:
    QLineEdit& edit_;
};

QLineEdit* FocusedLineEdit()
{
    QWidget* focus = QApplication::focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(focus)) return combo->isEditable() ? combo->lineEdit() : nullptr;
    auto* edit = qobject_cast<QLineEdit*>(focus);
    return edit && !edit->isReadOnly() ? edit : nullptr;
}

QList<QKeySequence> ShortcutsOf(const TDrawSiteActionBase& action, const TLayoutActions& actions)
{
    QList<QKeySequence> keys;
    if (!action.ShortCut().isEmpty()) keys << QKeySequence(action.ShortCut());
    if (&action == &actions.redo) keys << QKeySequence(QStringLiteral("Ctrl+Y"));
    return keys;
}
}  // namespace

TEditCommands::TEditCommands(QWidget* parent) : QObject(parent), actions_(std::make_unique<TLayoutActions>())
{
    for (TDrawSiteActionBase* action : actions_->All()) {
        auto* entry = new QAction(action->Caption(), this);
        entry->setShortcuts(ShortcutsOf(*action, *actions_));
        entry->setShortcutContext(Qt::WindowShortcut);
        connect(entry, &QAction::triggered, this, [this, action] { Run(*action); });
        bindings_.push_back({action, entry});
        if (parent) parent->addAction(entry);
    }
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { Update(); });
    Update();
}

TEditCommands::~TEditCommands() = default;

QAction* TEditCommands::EntryFor(const TDrawSiteActionBase& action) const
{
    for (const TBinding& binding : bindings_)
        if (binding.action == &action) return binding.entry;
    return nullptr;
}

void TEditCommands::SetSite(TDrawSite* site)
{
    site_ = site;
    Update();
}

void TEditCommands::AddTo(QMenu& menu) const
{
    TLayoutActions& a = *actions_;
    const std::vector<std::vector<TDrawSiteActionBase*>> sections = {
        {&a.undo, &a.redo},
        {&a.cut, &a.copy, &a.paste, &a.clear, &a.selectAll},
        {&a.bringToFront, &a.sendToBack, &a.group, &a.ungroup},
        {&a.lock, &a.unlock, &a.dontPrint, &a.doPrint},
        {&a.vertText, &a.horzText, &a.splitText, &a.rotateRight, &a.rotate180, &a.rotateLeft},
        {&a.properties},
    };
    for (const auto& section : sections) {
        if (!menu.isEmpty()) menu.addSeparator();
        for (TDrawSiteActionBase* action : section) menu.addAction(EntryFor(*action));
    }
}

void TEditCommands::AddTo(QToolBar& bar) const
{
    TLayoutActions& a = *actions_;
    const std::vector<std::vector<TDrawSiteActionBase*>> groups = {
        {&a.undo, &a.redo}, {&a.cut, &a.copy, &a.paste, &a.clear}, {&a.bringToFront, &a.sendToBack}};
    for (const auto& group : groups) {
        if (!bar.actions().isEmpty()) bar.addSeparator();
        for (TDrawSiteActionBase* action : group) bar.addAction(EntryFor(*action));
    }
}

void TEditCommands::AddApplicableTo(QMenu& menu)
{
    Update();
    TLayoutActions& a = *actions_;
    const std::vector<std::vector<TDrawSiteActionBase*>> sections = {
        {&a.cut, &a.copy, &a.paste, &a.clear},
        {&a.bringToFront, &a.sendToBack, &a.group, &a.ungroup},
        {&a.lock, &a.unlock, &a.dontPrint, &a.doPrint},
        {&a.vertText, &a.horzText, &a.splitText, &a.rotateRight, &a.rotate180, &a.rotateLeft},
        {&a.properties, &a.selectAll},
    };
    for (const auto& section : sections) {
        bool separated = menu.isEmpty();
        for (TDrawSiteActionBase* action : section) {
            if (!action->Enabled()) continue;
            if (!separated) menu.addSeparator();
            separated = true;
            menu.addAction(EntryFor(*action));
        }
    }
}

void TEditCommands::Update()
{
    QLineEdit* field = FocusedLineEdit();
    for (const TBinding& binding : bindings_) {
        try {
            if (field && binding.action->HandlesTextControls()) {
                TLineEditControl control(*field);
                binding.action->UpdateText(control);
            } else {
                binding.action->UpdateTarget(site_);
            }
        } catch (const EKestrel&) {
            binding.action->SetEnabled(false);  // e.g. no clipboard to ask
        }
        Show(binding);
    }
}

void TEditCommands::Show(const TBinding& binding) const
{
    binding.entry->setText(binding.action->Caption());
    binding.entry->setEnabled(binding.action->Enabled());
    binding.entry->setStatusTip(binding.action->Hint());
}

// A command that fails (a damaged clipboard, a full disk) says so and leaves the window usable.
void TEditCommands::Run(TDrawSiteActionBase& action)
{
    try {
        QLineEdit* field = FocusedLineEdit();
        if (field && action.HandlesTextControls()) {
            TLineEditControl control(*field);
            action.ExecuteText(control);
        } else if (site_) {
            action.ExecuteTarget(*site_);
            site_->UpdatePivots();
        }
    } catch (const EKestrel& e) {
        TAppFrame::ShowOkMessage("%s", {e.Message()});
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);
    }
    Update();
}

}  // namespace kestrel
