#include "ui/InputReplaceDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "music/AlbumEditor.h"
#include "ui/DialogButtons.h"

namespace kestrel {

TfrmInputReplace::TfrmInputReplace(const QStringList& table, TAlbumDialogMemory& memory, QWidget* parent)
    : QDialog(parent),
      original_(table),
      table_(table),
      memory_(memory),
      search_(new QLineEdit(memory.replaceSearch, this)),
      replacement_(new QLineEdit(memory.replaceWith, this)),
      strict_(new QCheckBox(QStringLiteral("厳密に比較する"), this)),
      replace_(CommandButton(QStringLiteral("置換実行"), this)),
      restore_(CommandButton(QStringLiteral("やり直し"), this)),
      list_(new QTableWidget(this))
{
    setWindowTitle(QStringLiteral("入力項目の置換"));
    strict_->setChecked(memory.replaceStrict);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("検索する文字列(&S)"), search_);
    form->addRow(QStringLiteral("置換後の文字列(&R)"), replacement_);
    form->addRow(QString(), strict_);

    auto* commands = new QHBoxLayout;
    commands->addWidget(replace_);
    const std::pair<const char16_t*, TLineConversion> conversions[] = {
        {u"すべて全角に", TLineConversion::FullWidth},
        {u"すべて半角に", TLineConversion::HalfWidth},
        {u"すべて大文字", TLineConversion::UpperCase},
        {u"すべて小文字", TLineConversion::LowerCase},
    };
    for (const auto& [caption, conversion] : conversions) {
        auto* button = CommandButton(QString::fromUtf16(caption), this);
        connect(button, &QPushButton::clicked, this, [this, conversion] { Convert(conversion); });
        commands->addWidget(button);
    }
    commands->addWidget(restore_);
    connect(replace_, &QPushButton::clicked, this, [this] { Replace(); });
    connect(restore_, &QPushButton::clicked, this, [this] { Restore(); });
    connect(search_, &QLineEdit::textChanged, this, [this] { UpdateCommands(); });

    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->horizontalHeader()->hide();
    auto* buttons = OkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(commands);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    ShowTable();
    resize(640, 420);
}

void TfrmInputReplace::accept()
{
    memory_.replaceSearch = search_->text();
    memory_.replaceWith = replacement_->text();
    memory_.replaceStrict = strict_->isChecked();
    QDialog::accept();
}

void TfrmInputReplace::Replace()
{
    table_ = ReplaceAll(table_, search_->text(), replacement_->text(), strict_->isChecked());
    ShowTable();
}

void TfrmInputReplace::Convert(TLineConversion conversion)
{
    table_ = ConvertLines(table_, conversion);
    ShowTable();
}

void TfrmInputReplace::Restore()
{
    table_ = original_;
    ShowTable();
}

// Each column as wide as its widest text and "WWW" more.
void TfrmInputReplace::ShowTable()
{
    list_->clear();
    list_->setRowCount(int(table_.size()));
    int columns = 0;
    for (int row = 0; row < table_.size(); ++row) {
        const QStringList fields = table_[row].split(u'\t');
        columns = std::max(columns, int(fields.size()));
        list_->setColumnCount(columns);
        for (int column = 0; column < fields.size(); ++column)
            list_->setItem(row, column, new QTableWidgetItem(fields[column]));
    }
    const QFontMetrics metrics(list_->font());
    for (int column = 0; column < columns; ++column) {
        int widest = 0;
        for (int row = 0; row < list_->rowCount(); ++row)
            if (const QTableWidgetItem* item = list_->item(row, column))
                widest = std::max(widest, metrics.horizontalAdvance(item->text()));
        list_->setColumnWidth(column, widest + metrics.horizontalAdvance(QStringLiteral("WWW")));
    }
    UpdateCommands();
}

void TfrmInputReplace::UpdateCommands()
{
    replace_->setEnabled(!search_->text().isEmpty());
    restore_->setEnabled(table_ != original_);
}

}  // namespace kestrel
