#pragma once

// The printers the program can print on: every CUPS queue (through Qt's print support) and the
// PDF file, which needs no print system. A configuration holds one printer with a working copy
// of its settings, which the print job takes over when it becomes the current printer.

#include <QMap>
#include <QObject>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "platform/PrinterForms.h"

namespace kestrel {

class TPrinterDriver;

// What the driver keeps for a job (the platform's device mode).
struct TDeviceMode {
    // Field mask bits: which fields the printer is asked to take.
    enum : unsigned {
        dmOrientation = 0x1,
        dmPaperSize = 0x2,
        dmPaperLength = 0x4,
        dmPaperWidth = 0x8,
        dmDefaultSource = 0x200,
        dmPrintQuality = 0x400,
    };
    static constexpr int Portrait = 1;
    static constexpr int Landscape = 2;

    unsigned fields = dmOrientation | dmPaperSize | dmPrintQuality;
    int orientation = Portrait;
    int paperSize = 0;  // a form id; UserPaperId takes paperWidth and paperLength
    int paperWidth = 0;
    int paperLength = 0;  // 0.1 mm
    int defaultSource = 0;
    int resolution = 600;  // dots per inch
    // The driver's own settings, option keyword to choice, as the job hands them to the queue.
    std::map<QString, QString> driverOptions;

    friend bool operator==(const TDeviceMode&, const TDeviceMode&) = default;
};

// The name under which the PDF file is listed among the printers.
QString PdfPrinterName();
// The CUPS queues, sorted by name, then the PDF file.
QStringList InstalledPrinterNames();
// The system's default queue, else the first queue, else the PDF file.
QString DefaultPrinterName();
// The name of the program's current printer (the default printer until one is made current).
QString CurrentPrinterName();

class IPrinterConfiguration {
public:
    virtual ~IPrinterConfiguration() = default;
    virtual QString GetDeviceName() const = 0;
    // Where the queue sends its jobs (its device address); empty for the PDF file.
    virtual QString GetPort() const = 0;
    // The model the queue's driver is for; empty for the PDF file.
    virtual QString GetDriverName() = 0;
    // The options of the queue's driver; null for the PDF file and driverless queues.
    virtual const TPrinterDriver* GetDriver() = 0;
    virtual TDeviceMode& GetDeviceMode() = 0;
    virtual const IPrinterForm& GetForms() = 0;
    virtual void ResetDeviceMode() = 0;
    // The printer's own settings dialog on the working copy; true when the user confirmed.
    virtual bool ShowProperties(QObject* parent) = 0;
    // This printer with the working copy becomes the program's current printer.
    virtual void MakeCurrent() = 0;
    // Keeps only what the printer takes from the working copy (driver options included), and drops
    // the cached forms.
    virtual void MergeDeviceMode() = 0;
    // CUPS has no server-side forms: the size is remembered for this printer as a custom page
    // size while the program runs. False when the printer takes no custom sizes.
    virtual bool AddForm(const QString& name, QSize size) = 0;
    virtual void ClearFormCache() = 0;
};

class TPrinterConfiguration : public IPrinterConfiguration {
public:
    // The program's current printer with its working settings.
    static std::unique_ptr<TPrinterConfiguration> Current();
    // A printer by name with its default settings; fails with a Japanese message when there is
    // no such printer.
    static std::unique_ptr<TPrinterConfiguration> Named(const QString& name);

    QString GetDeviceName() const override { return name_; }
    QString GetPort() const override;
    QString GetDriverName() override;
    const TPrinterDriver* GetDriver() override;
    TDeviceMode& GetDeviceMode() override { return mode_; }
    const IPrinterForm& GetForms() override;
    void ResetDeviceMode() override { mode_ = defaultMode_; }
    bool ShowProperties(QObject* parent) override;
    void MakeCurrent() override;
    void MergeDeviceMode() override;
    bool AddForm(const QString& name, QSize size) override;
    void ClearFormCache() override { forms_.reset(); }

    bool IsPdf() const { return name_ == PdfPrinterName(); }
    bool SupportsCustomSizes() const;
    // The page the working copy selects, in the orientation it names; nothing when its paper is
    // not among the forms.
    std::optional<QPageSize> SelectedPageSize();
    // The resolutions the printer offers, in dots per inch.
    QList<int> Resolutions() const;
    // What a job asks of the queue: the selected form, the page as drawn, the driver's options.
    QMap<QString, QString> JobOptions();

private:
    TPrinterConfiguration(QString name, const TDeviceMode* working);
    std::vector<TFormInfo> ReadForms() const;
    TDeviceMode ReadDefaultMode();

    QString name_;
    TDeviceMode defaultMode_;
    TDeviceMode mode_;
    std::unique_ptr<TPrinterForm> forms_;
    std::optional<std::shared_ptr<const TPrinterDriver>> driver_;
};

// The printer's settings dialog; the user interface installs it (none: nothing to show).
using TPrinterPropertiesDialog = std::function<bool(QObject* parent, TPrinterConfiguration& printer)>;
void SetPrinterPropertiesDialog(TPrinterPropertiesDialog dialog);

}  // namespace kestrel
