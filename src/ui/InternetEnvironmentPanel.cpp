#include "ui/InternetEnvironmentPanel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kestrel {

namespace {
constexpr int MaxPort = 65535;
}  // namespace

TfrmInternetEnvironment::TfrmInternetEnvironment(QWidget* parent)
    : QWidget(parent),
      noProxy_(new QRadioButton(QStringLiteral("プロキシ サーバーを使用しない(&P)"), this)),
      useProxy_(new QRadioButton(QStringLiteral("プロキシ サーバーを使用する(&X)"), this)),
      address_(new QLineEdit(this)),
      port_(new QLineEdit(this)),
      useAccount_(new QCheckBox(QStringLiteral("アカウント名とパスワードを使用する(&U)"), this)),
      account_(new QLineEdit(this)),
      password_(new QLineEdit(this))
{
    setObjectName("frmInternetEnvironment");
    setWindowTitle(QStringLiteral("インターネット設定"));
    port_->setValidator(new QIntValidator(0, MaxPort, port_));
    password_->setEchoMode(QLineEdit::Password);
    auto* choice = new QButtonGroup(this);
    choice->addButton(noProxy_);
    choice->addButton(useProxy_);

    auto* proxyForm = new QFormLayout;
    proxyForm->addRow(QStringLiteral("プロキシのアドレス(&A)"), address_);
    proxyForm->addRow(QStringLiteral("ポート(&O)"), port_);
    auto* accountForm = new QFormLayout;
    accountForm->addRow(QStringLiteral("アカウント名(&C)"), account_);
    accountForm->addRow(QStringLiteral("パスワード(&S)"), password_);
    auto* box = new QGroupBox(QStringLiteral("インターネット設定"), this);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(noProxy_);
    layout->addWidget(useProxy_);
    layout->addLayout(proxyForm);
    layout->addWidget(useAccount_);
    layout->addLayout(accountForm);
    layout->addStretch();
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(box);

    model_.Load();
    const TProxySettings& settings = model_.Settings();
    (settings.noProxy ? noProxy_ : useProxy_)->setChecked(true);
    address_->setText(settings.address);
    port_->setText(settings.port);
    useAccount_->setChecked(settings.useAccount);
    account_->setText(settings.account);
    password_->setText(settings.password);
    connect(useProxy_, &QRadioButton::toggled, this, [this] { UpdateEnabled(); });
    connect(useAccount_, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
    UpdateEnabled();
}

void TfrmInternetEnvironment::ReadControls()
{
    TProxySettings& settings = model_.Settings();
    settings.noProxy = noProxy_->isChecked();
    settings.address = address_->text().trimmed();
    settings.port = port_->text().trimmed();
    settings.useAccount = useAccount_->isChecked();
    settings.account = account_->text();
    settings.password = password_->text();
}

void TfrmInternetEnvironment::UpdateEnabled()
{
    ReadControls();
    for (QWidget* control : {static_cast<QWidget*>(address_), static_cast<QWidget*>(port_),
                             static_cast<QWidget*>(useAccount_)})
        control->setEnabled(model_.ProxyControlsEnabled());
    account_->setEnabled(model_.AccountControlsEnabled());
    password_->setEnabled(model_.AccountControlsEnabled());
}

void TfrmInternetEnvironment::Save()
{
    ReadControls();
    model_.Save();
}

}  // namespace kestrel
