#include "ui/BulkEditDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/AppFrame.h"
#include "edit/StageActions.h"
#include "music/LabelMusic.h"
#include "ui/DialogButtons.h"

namespace kestrel {

namespace {
QPlainTextEdit* LineBox(const QString& text, QWidget* parent)
{
    auto* box = new QPlainTextEdit(text, parent);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    return box;
}
}  // namespace

TBulkEditDialog::TBulkEditDialog(std::vector<TInputItem> items, QWidget* parent)
    : QDialog(parent), items_(std::move(items))
{
    setWindowTitle(QStringLiteral("一括編集"));
    QStringList captions;
    for (const TInputItem& item : items_) captions << item.name;
    auto* captionBox = LineBox(captions.join(u'\n'), this);
    captionBox->setReadOnly(true);
    captionBox->setFocusPolicy(Qt::NoFocus);
    captionBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    captionBox->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("アーティスト名１０")) + 24);
    lines_ = LineBox(BulkEditLines(items_).join(u'\n'), this);
    // The captions scroll with the lines they name.
    connect(lines_->verticalScrollBar(), &QScrollBar::valueChanged, captionBox->verticalScrollBar(), &QScrollBar::setValue);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(captionBox);
    boxes->addWidget(lines_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("1行に1項目ずつ入力します。複数行の項目は行を「%1」で区切ります").arg(BulkLineJoiner), this));
    layout->addLayout(boxes);
    layout->addWidget(OkCancelButtons(this));
    resize(560, 420);
}

void TBulkEditDialog::accept()
{
    QStringList lines = lines_->toPlainText().split(u'\n');
    // The line break after the last line makes no item of its own.
    while (lines.size() > int(items_.size()) && lines.last().isEmpty()) lines.removeLast();
    if (TAppFrame::ShowingErrors([&] { changes_ = BulkEditChanges(items_, lines); })) QDialog::accept();
}

bool TBulkEditDialog::Run(QWidget* parent, TObjectSite& site, int face)
{
    std::vector<TInputItem> items = SiteInputItems(site, face);
    if (items.empty()) {
        TAppFrame::ShowOkMessage(QStringLiteral("このラベルには入力項目がありません"), {});
        return false;
    }
    TBulkEditDialog dialog(std::move(items), parent);
    if (dialog.exec() != QDialog::Accepted || dialog.Changes().empty()) return false;
    WriteInputItemsInOneStep(site, dialog.Changes(), QStringLiteral("一括編集"));
    return true;
}

}  // namespace kestrel
