#pragma once

#include <QWidget>

#include "app/InternetEnvironment.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace kestrel {

// "インターネット設定": the proxy settings of the paper update and the music importers, loaded when
// made and stored by Save.
class TfrmInternetEnvironment : public QWidget {
public:
    explicit TfrmInternetEnvironment(QWidget* parent = nullptr);

    void Save();

    QRadioButton& NoProxy() const { return *noProxy_; }
    QRadioButton& UseProxy() const { return *useProxy_; }
    QLineEdit& Address() const { return *address_; }
    QLineEdit& Port() const { return *port_; }
    QCheckBox& UseAccount() const { return *useAccount_; }
    QLineEdit& Account() const { return *account_; }
    QLineEdit& Password() const { return *password_; }

private:
    void ReadControls();
    void UpdateEnabled();

    TInternetEnvironment model_;
    QRadioButton* noProxy_;
    QRadioButton* useProxy_;
    QLineEdit* address_;
    QLineEdit* port_;
    QCheckBox* useAccount_;
    QLineEdit* account_;
    QLineEdit* password_;
};

}  // namespace kestrel
