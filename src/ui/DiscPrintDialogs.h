#pragma once

// The dialogs of printing straight onto discs: the warning when the printer cannot print discs,
// and the adjustment of the printed ring's size.

#include <QDialog>
#include <QDoubleSpinBox>
#include <functional>

#include "print/DirectPrint.h"

class QGroupBox;
class QLabel;

namespace kestrel {

class TLabelData;
class TPapersV2;

// "このデータはダイレクト印刷用に…" with its three buttons.
class TfrmConfirmPrinter : public QDialog {
public:
    enum TChoice { cpChangePrinter, cpPrintAnyway, cpCancel };

    explicit TfrmConfirmPrinter(QWidget* parent = nullptr);
    TChoice Choice() const { return choice_; }

private:
    TChoice choice_ = cpCancel;
};

// A millimetre box that shows its sign ("+2.0").
class TSignedMillimetreBox : public QDoubleSpinBox {
public:
    explicit TSignedMillimetreBox(QWidget* parent);
    QString textFromValue(double value) const override;
    // The value in 0.1 mm.
    int Tenths() const;
    void SetTenthsRange(int minimum, int maximum);
};

// "外円・内円のサイズ調整": every change is written at once (the document lays its paper out
// again); closing without OK puts back what was there.
class TfrmAdjustDiscSize : public QDialog {
public:
    TfrmAdjustDiscSize(TLabelData& document, const TPapersV2* catalogue, QWidget* parent = nullptr);
    ~TfrmAdjustDiscSize() override;

    TSignedMillimetreBox& OuterBox() const { return *outer_; }
    TSignedMillimetreBox& InnerBox() const { return *inner_; }

private:
    void Write();
    void Refresh();

    TLabelData& document_;
    TRingAdjustment kept_;
    TRingBoxes boxes_;
    bool limited_ = false;
    bool accepted_ = false;
    QGroupBox* outerGroup_;
    QGroupBox* innerGroup_;
    TSignedMillimetreBox* outer_;
    TSignedMillimetreBox* inner_;
    QLabel* outerSizes_;
    QLabel* innerSizes_;
    QWidget* preview_;
};

}  // namespace kestrel
