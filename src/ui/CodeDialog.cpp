#include "ui/CodeDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppFrame.h"
#include "document/DOList.h"
#include "document/DrawObject.h"
#include "ui/ObjectPreview.h"

namespace kestrel {

TCodeDialog::TCodeDialog(QWidget* parent, const QString& title, TDrawObject& object)
    : QDialog(parent), object_(object), working_(CloneObject(object))
{
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    layout->addLayout(columns);
    auto* entries = new QVBoxLayout;
    columns->addLayout(entries, 1);
    form_ = new QFormLayout;
    form_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    entries->addLayout(form_);
    hint_ = new QLabel(this);
    hint_->setWordWrap(true);
    hint_->hide();
    entries->addWidget(hint_);
    entries->addStretch();
    auto* previewColumn = new QVBoxLayout;
    columns->addLayout(previewColumn);
    preview_ = new TObjectPreview(this);
    preview_->SetObject(working_.get());
    previewColumn->addWidget(preview_);
    problem_ = new QLabel(this);
    problem_->setWordWrap(true);
    problem_->setMaximumWidth(240);
    previewColumn->addWidget(problem_);
    previewColumn->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

TCodeDialog::~TCodeDialog() = default;

bool TCodeDialog::Run()
{
    Refresh();
    if (exec() != QDialog::Accepted) return false;
    object_.Assign(*working_);
    return true;
}

void TCodeDialog::Refresh()
{
    preview_->SetObjectVisible(PreviewVisible());
    problem_->setText(Problem());
}

void TCodeDialog::MakeWide(QWidget& entry)
{
    constexpr int kCharacters = 36;
    entry.setMinimumWidth(entry.fontMetrics().averageCharWidth() * kCharacters);
}

void TCodeDialog::SetHint(const QString& text)
{
    hint_->setText(text);
    hint_->setVisible(!text.isEmpty());
}

void TCodeDialog::accept()
{
    const QString refusal = Refusal();
    if (!refusal.isEmpty()) {
        TAppFrame::ShowOkMessage("%s", {refusal});
        return;
    }
    QDialog::accept();
}

}  // namespace kestrel
