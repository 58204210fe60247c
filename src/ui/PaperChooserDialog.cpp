#include "ui/PaperChooserDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "paper/Papers.h"

namespace kestrel {

TPaperChooserDialog::TPaperChooserDialog(const TPapers& catalogue, QWidget* parent)
    : QDialog(parent), catalogue_(catalogue), list_(new QTreeWidget(this))
{
    setObjectName("dlgPaperChooser");
    setWindowTitle("用紙の選択");
    list_->setHeaderLabels({"用紙名", "グループ"});
    list_->setRootIsDecorated(false);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int i = 0; i < catalogue_.Count(); ++i) {
        const TPaperInfo& paper = catalogue_.Paper(i);
        list_->addTopLevelItem(new QTreeWidgetItem({paper.PaperName(), paper.GroupName()}));
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText("キャンセル");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(list_, &QTreeWidget::currentItemChanged, this, [buttons](QTreeWidgetItem* current) {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(current != nullptr);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(520, 420);
    SelectPaper(0);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(SelectedPaper() != nullptr);
}

const TPaperInfo* TPaperChooserDialog::SelectedPaper() const
{
    const int index = list_->indexOfTopLevelItem(list_->currentItem());
    return index >= 0 && index < catalogue_.Count() ? &catalogue_.Paper(index) : nullptr;
}

void TPaperChooserDialog::SelectPaper(int index)
{
    list_->setCurrentItem(list_->topLevelItem(index));
}

const TPaperInfo* TPaperChooserDialog::Choose(const TPapers& catalogue, QWidget* parent)
{
    TPaperChooserDialog dialog(catalogue, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.SelectedPaper() : nullptr;
}

}  // namespace kestrel
