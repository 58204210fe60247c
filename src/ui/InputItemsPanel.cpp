#include "ui/InputItemsPanel.h"

#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>

#include "app/AppFrame.h"
#include "edit/FormatActions.h"
#include "music/LabelMusic.h"
#include "platform/Error.h"

namespace kestrel {

namespace {
constexpr int SingleLineRows = 1;
constexpr int ListRows = 5;
}  // namespace

TInputItemsPanel::TInputItemsPanel(std::function<TObjectSite*()> site, int face, QWidget* parent)
    : QWidget(parent), site_(std::move(site)), face_(face), form_(new QFormLayout(this))
{
    setObjectName("InputItems");
    form_->setContentsMargins(0, 0, 0, 0);
    Reload();
}

void TInputItemsPanel::Reload()
{
    while (form_->rowCount() > 0) form_->removeRow(0);
    fields_.clear();
    TObjectSite* site = site_();
    items_ = site ? SiteInputItems(*site, face_) : std::vector<TInputItem>();
    if (items_.empty()) {
        form_->addRow(new QLabel(QStringLiteral("このラベルには入力項目がありません"), this));
        return;
    }
    for (const TInputItem& item : items_) {
        auto* field = new QPlainTextEdit(item.text.join(u'\n'), this);
        const int rows = item.singleLine ? SingleLineRows : ListRows;
        field->setFixedHeight(field->fontMetrics().lineSpacing() * rows + 2 * field->frameWidth() + 8);
        field->setTabChangesFocus(true);
        field->installEventFilter(this);
        form_->addRow(item.name, field);
        fields_.push_back(field);
    }
}

QPlainTextEdit* TInputItemsPanel::Field(const QString& caption) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].name == caption) return fields_[i];
    return nullptr;
}

bool TInputItemsPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut)
        for (size_t i = 0; i < fields_.size(); ++i)
            if (fields_[i] == watched) Write(i);
    return QWidget::eventFilter(watched, event);
}

// Text the labels cannot hold is refused here, so what is saved is what is shown. A screen being
// left writes nothing: its face may be gone.
void TInputItemsPanel::Write(size_t item)
{
    const QStringList lines = fields_[item]->toPlainText().split(u'\n');
    TObjectSite* site = site_();
    if (lines == items_[item].text || !site || !isVisibleTo(window())) return;
    TAppFrame::ShowingErrors([&] {
        CheckLabelText(items_[item].name, lines.join(u'\n'));
        for (TInputItem& current : SiteInputItems(*site, face_))
            if (current.name == items_[item].name) {
                current.text = lines;
                WriteSiteInputItems({current});
            }
        items_[item].text = lines;
    });
}

}  // namespace kestrel
