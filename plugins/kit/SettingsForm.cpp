#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include "PluginKit.h"

namespace kestrel::plugin {

// The page's window, guarded so that one its host deleted after all is not deleted twice.
class TSettingsForm::TWidgets {
public:
    TWidgets() : window(new QWidget), form(new QFormLayout(window)) {}
    ~TWidgets() { delete window.data(); }
    QPointer<QWidget> window;
    QFormLayout* form;
};

TSettingsForm::TSettingsForm(const QString& registryKey, const QString& plugin)
    : settings_(registryKey, plugin), widgets_(std::make_unique<TWidgets>())
{
    widgets_->form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
}

TSettingsForm::~TSettingsForm() = default;

void TSettingsForm::AddLines(const QString& caption, const QString& name, const QString& hint)
{
    auto* lines = new QPlainTextEdit(widgets_->window);
    lines->setObjectName(name);
    lines->setPlaceholderText(hint);
    auto* label = new QLabel(caption, widgets_->window);
    label->setBuddy(lines);
    widgets_->form->addRow(label, lines);
    fields_.push_back({name, {}, [lines] { return lines->toPlainText(); },
                       [lines](const QString& value) { lines->setPlainText(value); }});
}

void TSettingsForm::AddFolder(const QString& caption, const QString& name, const QString& def)
{
    auto* row = new QWidget(widgets_->window);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* folder = new QLineEdit(row);
    folder->setObjectName(name);
    auto* browse = new QPushButton(QStringLiteral("参照..."), row);
    QObject::connect(browse, &QPushButton::clicked, folder, [folder] {
        const QString chosen = QFileDialog::getExistingDirectory(folder->window(), QString(), folder->text());
        if (!chosen.isEmpty()) folder->setText(chosen);
    });
    layout->addWidget(folder, 1);
    layout->addWidget(browse);
    auto* label = new QLabel(caption, widgets_->window);
    label->setBuddy(folder);
    widgets_->form->addRow(label, row);
    fields_.push_back({name, def, [folder] { return folder->text().trimmed(); },
                       [folder](const QString& value) { folder->setText(value); }});
}

void* TSettingsForm::Window()
{
    // Asked once each time the settings screen opens: what was cancelled there before goes.
    if (widgets_->window)
        for (const TField& field : fields_) field.show(settings_.Read(field.name, field.def));
    return widgets_->window.data();
}

void TSettingsForm::Apply()
{
    if (!widgets_->window) return;
    for (const TField& field : fields_) settings_.Write(field.name, field.value());
}

QSize TSettingsForm::Size() const
{
    return widgets_->window ? widgets_->window->sizeHint() : QSize();
}

}  // namespace kestrel::plugin
