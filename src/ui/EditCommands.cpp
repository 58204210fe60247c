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
#include "document/DrawObject.h"
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

}  // namespace

TEditCommands::TEditCommands(TActionList& history, QWidget* parent)
    : QObject(parent), actions_(std::make_unique<TLayoutActions>(history))
{
    TLayoutActions& a = *actions_;
    const auto keys = [](const char* sequence) { return QList<QKeySequence>{QKeySequence(QString::fromLatin1(sequence))}; };
    Bind(a.undo, QStringLiteral("取り消し(&U)"), keys("Ctrl+Z"));
    Bind(a.redo, QStringLiteral("やり直し(&R)"), {QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    Bind(a.cut, QStringLiteral("切り取り(&T)"), keys("Ctrl+X"));
    Bind(a.copy, QStringLiteral("コピー(&C)"), keys("Ctrl+C"));
    Bind(a.paste, QStringLiteral("貼り付け(&P)"), keys("Ctrl+V"));
    Bind(a.clear, QStringLiteral("クリア(&D)"), keys("Del"));
    Bind(a.selectAll, QStringLiteral("すべて選択(&A)"), keys("Ctrl+A"));
    Bind(a.bringToFront, QStringLiteral("前面に移動(&W)"), keys("Ctrl+F"));
    Bind(a.sendToBack, QStringLiteral("背面に移動(&K)"), keys("Ctrl+B"));
    Bind(a.group, QStringLiteral("グループ化(&G)"), keys("Ctrl+G"));
    Bind(a.ungroup, QStringLiteral("グループ化解除(&N)"), keys("Ctrl+U"));
    Bind(a.lock, QStringLiteral("固定する(&O)"), {});
    Bind(a.unlock, QStringLiteral("固定しない(&U)"), {});
    Bind(a.dontPrint, QStringLiteral("印刷禁止にする(&N)"), {});
    Bind(a.doPrint, QStringLiteral("印刷禁止にしない(&I)"), {});
    Bind(a.vertText, QStringLiteral("縦書き(&V)"), {});
    Bind(a.horzText, QStringLiteral("横書き(&H)"), {});
    Bind(a.rotateRight, QStringLiteral("右に90ﾟ(&I)"), {});
    Bind(a.rotate180, QStringLiteral("180ﾟ(&O)"), {});
    Bind(a.rotateLeft, QStringLiteral("左に90ﾟ(&E)"), {});
    Bind(a.properties, QStringLiteral("プロパティ(&O)"), {});
    Bind(a.splitText, QStringLiteral("文字列の分割"), {});
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { Update(); });
    Update();
}

void TEditCommands::Bind(TDrawSiteActionBase& action, const QString& caption, const QList<QKeySequence>& keys)
{
    auto* entry = new QAction(caption, this);
    entry->setShortcuts(keys);
    entry->setShortcutContext(Qt::WindowShortcut);
    connect(entry, &QAction::triggered, this, [this, &action] { Run(action); });
    bindings_.push_back({&action, entry, caption});
    if (auto* window = qobject_cast<QWidget*>(parent())) window->addAction(entry);
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
            if (!EntryFor(*action)->isEnabled()) continue;
            if (!separated) menu.addSeparator();
            separated = true;
            menu.addAction(EntryFor(*action));
        }
    }
}

void TEditCommands::Update()
{
    for (TBinding& binding : bindings_) Show(binding);
}

// On a text field the commands that serve it do what it does, and undo shows its plain caption.
void TEditCommands::Show(const TBinding& binding)
{
    QLineEdit* field = FocusedLineEdit();
    const bool onText = field && binding.action->HandlesTextControls();
    bool enabled = false;
    try {
        if (onText) {
            TLineEditControl control(*field);
            enabled = binding.action->EnabledOnText(control);
        } else {
            enabled = binding.action->EnabledOn(site_);
        }
    } catch (const EKestrel&) {
        enabled = false;  // e.g. no clipboard to ask
    }
    const QString named = enabled && !onText ? binding.action->NamedCaption() : QString();
    binding.entry->setText(named.isEmpty() ? binding.caption : named);
    binding.entry->setEnabled(enabled);
}

// A command that fails (a damaged clipboard, a full disk) says so and leaves the window usable.
void TEditCommands::Run(TDrawSiteActionBase& action)
{
    try {
        QLineEdit* field = FocusedLineEdit();
        if (field && action.HandlesTextControls()) {
            TLineEditControl control(*field);
            action.ExecuteText(control);
        } else {
            action.ExecuteOn(site_);
            if (site_) site_->UpdatePivots();
        }
    } catch (const EKestrel& e) {
        TAppFrame::ShowOkMessage("%s", {e.Message()});
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);
    }
    Update();
}

}  // namespace kestrel
