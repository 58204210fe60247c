#include "ui/URLEditDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/AppFrame.h"
#include "app/InstallationKey.h"
#include "paper/PPRDownload.h"

namespace kestrel {

TfrmURLEdit::TfrmURLEdit(QWidget* parent) : QDialog(parent), url_(new QLineEdit(UpdaterURLSetting(), this))
{
    setObjectName("frmURLEdit");
    setWindowTitle(QStringLiteral("用紙情報アップデートファイルのURLの変更"));
    url_->setMinimumWidth(420);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("URL:"), url_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void TfrmURLEdit::accept()
{
    const QString url = url_->text().trimmed();
    const QUrl parsed(url, QUrl::StrictMode);
    if (!url.isEmpty() && (!parsed.isValid() || (parsed.scheme() != u"http" && parsed.scheme() != u"https"))) {
        TAppFrame::ShowOkMessage(QStringLiteral("「%s」は HTTP のアドレスではありません"), {url});
        return;
    }
    if (TAppFrame::ShowingErrors([&url] { WriteInstallationValue(QStringLiteral("PPRUpdaterURL"), url); }))
        QDialog::accept();
}

}  // namespace kestrel
