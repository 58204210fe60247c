#include "ui/GridDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFormLayout>
#include <QSpinBox>
#include <algorithm>

#include "render/GridGuide.h"

namespace kestrel {

namespace {
constexpr int kUnitsPerMillimetre = 10;
}  // namespace

TGridDialog::TGridDialog(const TGrid& grid, QWidget* parent)
    : QDialog(parent),
      interval_(new QSpinBox(this)),
      snap_(new QCheckBox(QStringLiteral("吸着する(&F)"), this)),
      visible_(new QCheckBox(QStringLiteral("表示する(&V)"), this)),
      shape_(new QComboBox(this))
{
    setObjectName("GridDialog");
    setWindowTitle(QStringLiteral("グリッド設定"));
    interval_->setObjectName("Interval");
    interval_->setRange(1, 100);
    interval_->setSuffix(QStringLiteral(" mm"));
    interval_->setValue(std::clamp(grid.Size() / kUnitsPerMillimetre, 1, 100));
    snap_->setChecked(grid.Enabled());
    visible_->setChecked(grid.Visible());
    shape_->addItems({QStringLiteral("点"), QStringLiteral("線")});
    shape_->setCurrentIndex(grid.LineShape() ? 1 : 0);
    shape_->setEnabled(grid.Visible());
    connect(visible_, &QCheckBox::toggled, shape_, &QWidget::setEnabled);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("グリッド間隔(&G)"), interval_);
    form->addRow(snap_);
    form->addRow(visible_);
    form->addRow(QStringLiteral("表示方法(&D)"), shape_);
    form->addRow(buttons);
}

void TGridDialog::SaveTo(TGrid& grid) const
{
    grid.SetSize(interval_->value() * kUnitsPerMillimetre);
    grid.SetEnabled(snap_->isChecked());
    grid.SetVisible(visible_->isChecked());
    grid.SetLineShape(shape_->currentIndex() == 1);
}

bool TGridDialog::Edit(TGrid& grid, QWidget* parent)
{
    TGridDialog dialog(grid, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    dialog.SaveTo(grid);
    return true;
}

}  // namespace kestrel
