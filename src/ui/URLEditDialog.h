#pragma once

#include <QDialog>

class QLineEdit;

namespace kestrel {

// "用紙情報アップデートファイルのURLの変更": the address of the version-up file, filled with the one in
// use; OK writes it to "PPRUpdaterURL" of the installation key (the user's own entry).
class TfrmURLEdit : public QDialog {
public:
    explicit TfrmURLEdit(QWidget* parent = nullptr);

    QLineEdit& URL() const { return *url_; }
    void accept() override;

private:
    QLineEdit* url_;
};

}  // namespace kestrel
