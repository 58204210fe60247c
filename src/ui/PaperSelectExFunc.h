#pragma once

#include <QWidget>

class QPushButton;

namespace kestrel {

class TPapersV2;

// The extended paper-selection functions, shown in the paper chooser while "用紙選択機能の拡張"
// is on: "更新情報(&U)..." stamps the catalogue's version (TfrmPaperUpdateInfo).
class TframePaperSelectExFunc : public QWidget {
public:
    TframePaperSelectExFunc(TPapersV2& catalogue, QWidget* parent = nullptr);

    QPushButton& UpdateInfoButton() const { return *updateInfo_; }

private:
    TPapersV2& catalogue_;
    QPushButton* updateInfo_;
};

}  // namespace kestrel
