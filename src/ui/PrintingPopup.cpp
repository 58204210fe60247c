#include "ui/PrintingPopup.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/PrintJob.h"

namespace kestrel {

TfrmPrinting::TfrmPrinting(IPrintDevice& printer, QWidget* parent)
    : QDialog(parent), printer_(printer), bar_(new QProgressBar(this)), previousActive_(QApplication::activeWindow())
{
    setObjectName("frmPrinting");
    setWindowTitle("印刷中です。少しお待ちください．．．");
    bar_->setRange(0, 100);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* abort = buttons->addButton("中止", QDialogButtonBox::RejectRole);
    connect(abort, &QPushButton::clicked, this, &TfrmPrinting::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar_);
    layout->addWidget(buttons);
    setWindowModality(Qt::ApplicationModal);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    show();
}

TfrmPrinting::~TfrmPrinting()
{
    QApplication::restoreOverrideCursor();
    if (previousActive_) previousActive_->activateWindow();
}

void TfrmPrinting::SetPercent(int percent)
{
    bar_->setValue(percent);
}

void TfrmPrinting::closeEvent(QCloseEvent* event)
{
    printer_.Abort();
    event->accept();
}

void TfrmPrinting::reject()
{
    printer_.Abort();
    QDialog::reject();
}

}  // namespace kestrel
