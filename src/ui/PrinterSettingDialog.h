#pragma once

// "プリンタの設定": the printer, its paper and orientation, and the maker's media and quality
// settings, set up for the document's paper whenever another printer is chosen.

#include <QDialog>
#include <QWidget>
#include <memory>
#include <vector>

#include "print/VendorExtensions.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QRadioButton;
class QSlider;
class QStackedWidget;

namespace kestrel {

class IPrinterConfiguration;
class TPaperInfo;
class TPaperPrintSetting;
class TPrinterConfiguration;

// The Epson printer's media and quality ("きれい" to "はやい").
class TframeEpsonPrinterSetting : public QWidget {
public:
    explicit TframeEpsonPrinterSetting(QWidget* parent);
    ~TframeEpsonPrinterSetting() override;

    // Null unbinds.
    void Bind(IPrinterConfiguration* printer);
    bool Available() const { return epson_ && epson_->Available(); }
    void Refresh();
    // Writes the chosen media and level again (after the printer's paper changed).
    void WriteChoices();

    QComboBox& MediaBox() const { return *media_; }
    QSlider& QualityBar() const { return *quality_; }
    QLabel& Detail() const { return *detail_; }

private:
    std::unique_ptr<TEPDI> epson_;
    std::vector<int> mediaIds_;
    QComboBox* media_;
    QSlider* quality_;
    QWidget* qualityRow_;
    QLabel* detail_;
    bool refreshing_ = false;
};

// The Canon printer's cartridge, media and quality.
class TframeCanonPrinterSetting : public QWidget {
public:
    explicit TframeCanonPrinterSetting(QWidget* parent);
    ~TframeCanonPrinterSetting() override;

    void Bind(IPrinterConfiguration* printer);
    bool Available() const { return canon_ && canon_->Available(); }
    void Refresh();
    void WriteChoices();

    QComboBox& Box(TCanonItem item) const;

private:
    std::unique_ptr<TCanonExtDDI> canon_;
    QComboBox* cartridge_;
    QComboBox* media_;
    QComboBox* quality_;
    bool refreshing_ = false;
};

class TfrmPrinterSetting : public QDialog {
public:
    TfrmPrinterSetting(const TPaperPrintSetting& settings, const TPaperInfo& paper,
                       QWidget* parent = nullptr);
    ~TfrmPrinterSetting() override;

    TPrinterConfiguration& Printer() const { return *printer_; }
    QComboBox& PrinterBox() const { return *printers_; }
    QComboBox& PaperBox() const { return *papers_; }
    QStackedWidget& VendorPages() const { return *vendorPages_; }
    TframeEpsonPrinterSetting& EpsonPanel() const { return *epson_; }
    TframeCanonPrinterSetting& CanonPanel() const { return *canon_; }

private:
    void ChoosePrinter(const QString& name);
    void Bind();
    void Refresh();
    void PaperOrOrientationChosen();
    void ShowProperties();

    const TPaperPrintSetting& settings_;
    const TPaperInfo& paper_;
    std::unique_ptr<TPrinterConfiguration> printer_;
    QComboBox* printers_;
    QLabel* port_;
    QComboBox* papers_;
    QRadioButton* portrait_;
    QRadioButton* landscape_;
    QStackedWidget* vendorPages_;
    TframeCanonPrinterSetting* canon_;
    TframeEpsonPrinterSetting* epson_;
    QLabel* noVendor_;
    bool refreshing_ = false;
};

}  // namespace kestrel
