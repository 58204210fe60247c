#include "ui/PaperSelectExFunc.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "ui/PaperUpdateInfoDialog.h"

namespace kestrel {

TframePaperSelectExFunc::TframePaperSelectExFunc(TPapersV2& catalogue, QWidget* parent)
    : QWidget(parent), catalogue_(catalogue), updateInfo_(new QPushButton(QStringLiteral("更新情報(&U)..."), this))
{
    setObjectName("framePaperSelectExFunc");
    updateInfo_->setAutoDefault(false);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(updateInfo_);
    layout->addStretch();
    connect(updateInfo_, &QPushButton::clicked, this, [this] {
        TfrmPaperUpdateInfo dialog(catalogue_, this);
        dialog.exec();
    });
}

}  // namespace kestrel
