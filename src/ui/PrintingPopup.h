#pragma once

#include <QDialog>

class QProgressBar;

namespace kestrel {

class IPrintDevice;

// The progress window of a print run ("印刷中です。少しお待ちください．．．"): while it is up the
// other windows take no input and the cursor is the hourglass; closing it aborts the job.
class TfrmPrinting : public QDialog {
public:
    TfrmPrinting(IPrintDevice& printer, QWidget* parent = nullptr);
    ~TfrmPrinting() override;

    void SetPercent(int percent);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    IPrintDevice& printer_;
    QProgressBar* bar_;
    QWidget* previousActive_;
};

}  // namespace kestrel
