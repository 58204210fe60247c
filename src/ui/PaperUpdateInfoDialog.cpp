#include "ui/PaperUpdateInfoDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/AppFrame.h"
#include "paper/PapersV2.h"
#include "paper/VersionUpFile.h"
#include "platform/Cp932.h"

namespace kestrel {

TfrmPaperUpdateInfo::TfrmPaperUpdateInfo(TPapersV2& catalogue, QWidget* parent)
    : QDialog(parent), catalogue_(catalogue), number_(new QSpinBox(this)), lastUpdate_(new QLineEdit(this))
{
    setObjectName("frmPaperUpdateInfo");
    setWindowTitle(QStringLiteral("用紙の更新情報"));
    number_->setRange(0, std::numeric_limits<int>::max());
    number_->setValue(catalogue.UpdateInfo().PPRNo());
    lastUpdate_->setText(UpdateDateTimeText(catalogue.UpdateInfo().LastUpdate()));
    lastUpdate_->setPlaceholderText(QStringLiteral("2005/04/01 10:30:00"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("パターン番号(&P)"), number_);
    form->addRow(QStringLiteral("最終更新時間(&T)"), lastUpdate_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void TfrmPaperUpdateInfo::accept()
{
    const double stamp = ReadUpdateDateTime(ToCp932(lastUpdate_->text()));
    bool stored = stamp != 0;
    if (stored) {
        TPaperUpdate update;
        update.SetPPRNo(number_->value());
        update.SetLastUpdate(stamp);
        try {
            catalogue_.SetUpdateInfo(update);
        } catch (const EKestrel&) {
            stored = false;
        }
    }
    if (!stored) return TAppFrame::ShowOkMessage(QStringLiteral("日付・時間の指定が正しくありません"));
    QDialog::accept();
}

}  // namespace kestrel
