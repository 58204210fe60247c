#include "ui/InformationDialogs.h"

#include <QCheckBox>
#include <algorithm>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/AppFrame.h"
#include "edit/FormatActions.h"
#include "label/InformationFields.h"
#include "label/LabelData.h"
#include "paper/ProductDB.h"
#include "ui/DialogButtons.h"

namespace kestrel {

namespace {

constexpr int ValueLines = 2;

QPlainTextEdit* ValueBox(QWidget* parent)
{
    auto* box = new QPlainTextEdit(parent);
    box->setTabChangesFocus(true);
    const int line = box->fontMetrics().lineSpacing();
    box->setFixedHeight(line * ValueLines + 2 * (box->frameWidth() + int(box->document()->documentMargin())));
    box->setMinimumWidth(320);
    return box;
}

// What a stored product is listed as: its title, or a placeholder for one without.
QString StoredName(const TProductInfo& record)
{
    const QString title = record.Items().Count() > 0 ? record.Items().Item(0).Info().join(u' ') : QString();
    return title.trimmed().isEmpty() ? QStringLiteral("(タイトルなし)") : title;
}

// Changes the document's record of a set; an edit that cannot be stored leaves everything as it was.
bool TakeEdited(TLabelData& document, const QList<std::pair<TFieldType, const TInformationEditor*>>& edits)
{
    return TAppFrame::ShowingErrors([&] {
        QList<std::pair<TFieldType, TProductInfo>> records;
        for (const auto& [set, editor] : edits) records.append({set, editor->Edited()});
        for (const auto& [set, record] : records) ChangeInformation(document, set, record);
    });
}

// The items scroll, so that a long record keeps the buttons on the screen.
QScrollArea* Scrolling(TInformationEditor* editor, QWidget* parent)
{
    auto* area = new QScrollArea(parent);
    area->setWidget(editor);
    area->setWidgetResizable(true);
    area->setMinimumHeight(360);
    return area;
}

}  // namespace

TInformationEditor::TInformationEditor(QWidget* parent) : QWidget(parent)
{
    new QFormLayout(this);
}

void TInformationEditor::Show(const TProductInfo& record)
{
    record_ = record;
    auto* form = static_cast<QFormLayout*>(layout());
    while (form->rowCount() > 0) form->removeRow(0);
    values_.clear();
    const TProductItemCollection& items = record.Items();
    for (int i = 0; i < items.Count(); ++i) {
        QPlainTextEdit* value = ValueBox(this);
        value->setPlainText(items.Item(i).Info().join(u'\n'));
        form->addRow(items.Item(i).FieldName() + u':', value);
        values_ << value;
    }
}

TProductInfo TInformationEditor::Edited() const
{
    TProductInfo edited = record_;
    for (int i = 0; i < values_.size(); ++i) {
        const QString value = values_[i]->toPlainText();
        CheckLabelText(edited.Items().Item(i).FieldName(), value);
        edited.Items().Item(i).SetInfo(value.isEmpty() ? QStringList() : value.split(u'\n'));
    }
    return edited;
}

TfrmProductInfo::TfrmProductInfo(TLabelData& document, TProductDB* productDB, QWidget* parent)
    : QDialog(parent), document_(document), productDB_(productDB), editor_(new TInformationEditor),
      stored_(new QComboBox(this)), delete_(CommandButton(QStringLiteral("削除(&D)"), this))
{
    setObjectName("frmProductInfo");
    setWindowTitle(QStringLiteral("プロダクト情報の編集"));
    QPushButton* store = CommandButton(QStringLiteral("登録(&R)"), this);
    store->setToolTip(QStringLiteral("表示しているプロダクト情報を登録し、ほかのラベルでも使えるようにします"));
    delete_->setToolTip(QStringLiteral("選んだ登録済みのプロダクト情報を削除します"));
    auto* storedRow = new QHBoxLayout;
    storedRow->addWidget(BuddyLabel(QStringLiteral("登録済み(&S):"), stored_, this));
    storedRow->addWidget(stored_, 1);
    storedRow->addWidget(store);
    storedRow->addWidget(delete_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(storedRow);
    layout->addWidget(Scrolling(editor_, this), 1);
    layout->addWidget(OkCancelButtons(this));
    for (QWidget* w : {static_cast<QWidget*>(stored_), static_cast<QWidget*>(store)}) w->setEnabled(productDB_);
    connect(stored_, &QComboBox::activated, this, [this](int index) { ShowChosen(index); });
    connect(store, &QPushButton::clicked, this, [this] { StoreShown(); });
    connect(delete_, &QPushButton::clicked, this, [this] { DeleteChosen(); });
    editor_->Show(document.ProductInfo());
    FillStored(0);
}

// Entry 0 is the label's own record; the stored products follow in their order.
void TfrmProductInfo::FillStored(int select)
{
    stored_->clear();
    stored_->addItem(QStringLiteral("(このラベルのプロダクト情報)"));
    for (int i = 0; productDB_ && i < productDB_->ProductCount(); ++i) {
        TProductInfo record;
        productDB_->ReadProduct(i, record);
        stored_->addItem(StoredName(record));
    }
    stored_->setCurrentIndex(std::clamp(select, 0, stored_->count() - 1));
    delete_->setEnabled(stored_->currentIndex() > 0);
}

void TfrmProductInfo::ShowChosen(int index)
{
    TProductInfo record = document_.ProductInfo();
    if (index > 0) TAppFrame::ShowingErrors([&] { productDB_->ReadProduct(index - 1, record); });
    editor_->Show(record);
    delete_->setEnabled(index > 0);
}

void TfrmProductInfo::StoreShown()
{
    TAppFrame::ShowingErrors([this] {
        const TProductInfo record = editor_->Edited();
        productDB_->Store(record);
        editor_->Show(record);
        FillStored(productDB_->ProductIndexOf(record) + 1);
    });
}

void TfrmProductInfo::DeleteChosen()
{
    const int index = stored_->currentIndex();
    if (index <= 0) return;
    TAppFrame::ShowingErrors([&] {
        TProductInfo record;
        productDB_->ReadProduct(index - 1, record);
        productDB_->Delete(record);
        FillStored(0);
        editor_->Show(document_.ProductInfo());
    });
}

void TfrmProductInfo::accept()
{
    if (TakeEdited(document_, {{ftProduct, editor_}})) QDialog::accept();
}

TfrmCreatorInfo::TfrmCreatorInfo(TLabelData& document, TProductDB* productDB, QWidget* parent)
    : QDialog(parent), document_(document), productDB_(productDB), japanese_(new TInformationEditor),
      english_(new TInformationEditor),
      forNewLabels_(new QCheckBox(QStringLiteral("新しいラベルにもこの情報を使う(&U)"), this))
{
    setObjectName("frmCreatorInfo");
    setWindowTitle(QStringLiteral("クリエーター情報の編集"));
    japanese_->Show(document.CreatorInfoJ());
    english_->Show(document.CreatorInfoE());
    auto* tabs = new QTabWidget(this);
    tabs->addTab(Scrolling(japanese_, tabs), QStringLiteral("日本語"));
    tabs->addTab(Scrolling(english_, tabs), QStringLiteral("英語"));
    forNewLabels_->setEnabled(productDB_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs, 1);
    layout->addWidget(forNewLabels_);
    layout->addWidget(OkCancelButtons(this));
}

void TfrmCreatorInfo::accept()
{
    if (!TakeEdited(document_, {{ftCreatorJapanese, japanese_}, {ftCreatorEnglish, english_}})) return;
    if (forNewLabels_->isChecked() && productDB_ &&
        !TAppFrame::ShowingErrors([this] { StoreNewLabelCreators(*productDB_, japanese_->Edited(), english_->Edited()); }))
        return;
    QDialog::accept();
}

}  // namespace kestrel
