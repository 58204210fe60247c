#pragma once

#include <QDialog>

class QLineEdit;
class QSpinBox;

namespace kestrel {

class TPapersV2;

// "用紙の更新情報": the maintainer's stamp of the catalogue's version, its pattern number and the
// date and time of its last update. OK replaces the catalogue's update record; a date and time
// that do not read as one keep the dialog open.
class TfrmPaperUpdateInfo : public QDialog {
public:
    explicit TfrmPaperUpdateInfo(TPapersV2& catalogue, QWidget* parent = nullptr);

    QSpinBox& PatternNumber() const { return *number_; }
    QLineEdit& LastUpdate() const { return *lastUpdate_; }
    void accept() override;

private:
    TPapersV2& catalogue_;
    QSpinBox* number_;
    QLineEdit* lastUpdate_;
};

}  // namespace kestrel
