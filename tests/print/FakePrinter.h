#pragma once

// A printer configuration without a print system: fixed forms, optionally the options of a real
// driver's PPD (Gutenprint's, as Debian generates them), and a record of what was asked of it.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <memory>
#include <vector>

#include "platform/PrinterConfiguration.h"
#include "platform/PrinterDriver.h"
#include "support/TestEnvironment.h"

namespace kestrel::test {

// The PPD Gutenprint's driver generates for a model ("escp2-r300", "bjc-PIXMA-iP4500"), as a
// file; empty when the driver is missing.
inline QString GutenprintPpd(const QString& model)
{
    const QString path = QDir::tempPath() + "/gutenprint-" + model + ".ppd";
    if (QFile::exists(path)) return path;
    QProcess driver;
    driver.setStandardOutputFile(path);
    driver.start("/usr/lib/cups/driver/gutenprint.5.3", {"cat", "gutenprint.5.3://" + model + "/expert"});
    if (!driver.waitForFinished(30000) || driver.exitCode() != 0) {
        QFile::remove(path);
        return {};
    }
    return path;
}

class TFakePrinter : public IPrinterConfiguration {
public:
    explicit TFakePrinter(std::vector<TFormInfo> forms, std::shared_ptr<const TPrinterDriver> driver = {})
        : forms_(std::move(forms)), driver_(std::move(driver))
    {
    }

    // The forms are the PPD's page sizes, numbered from 257, under their keywords.
    static std::unique_ptr<TFakePrinter> FromPpd(const QString& path)
    {
        std::shared_ptr<const TPrinterDriver> driver = TPrinterDriver::FromPpdFile(path);
        std::vector<TFormInfo> forms;
        if (driver) {
            int id = UserPaperId + 1;
            for (const TDriverPageSize& size : driver->PageSizes())
                forms.emplace_back(size.text, id++,
                                   QSize(int(std::lround(size.points.width() * 254 / 72)),
                                         int(std::lround(size.points.height() * 254 / 72))),
                                   size.keyword);
        }
        return std::make_unique<TFakePrinter>(std::move(forms), driver);
    }

    QString name = "fake";
    QString driverName;  // without a driver
    bool takesCustomSizes = false;
    int merges = 0;
    QStringList addedForms;

    QString GetDeviceName() const override { return name; }
    QString GetPort() const override { return "file:/dev/null"; }
    QString GetDriverName() override { return driver_ ? driver_->ModelName() : driverName; }
    const TPrinterDriver* GetDriver() override { return driver_.get(); }
    TDeviceMode& GetDeviceMode() override { return mode_; }
    const IPrinterForm& GetForms() override
    {
        if (!list_) list_ = std::make_unique<TPrinterForm>(forms_);
        return *list_;
    }
    void ResetDeviceMode() override { mode_ = TDeviceMode(); }
    bool ShowProperties(QObject*) override { return false; }
    void MakeCurrent() override {}
    // As a queue: only options its driver knows, and no numbered paper sources.
    void MergeDeviceMode() override
    {
        ++merges;
        mode_.defaultSource = 0;
        std::erase_if(mode_.driverOptions, [this](const auto& option) {
            const TDriverOption* known = driver_ ? driver_->Option(option.first) : nullptr;
            return !known || !known->Accepts(option.second);
        });
    }
    bool AddForm(const QString& formName, QSize size) override
    {
        if (!takesCustomSizes) return false;
        forms_.emplace_back(formName, 0x1000 + int(forms_.size()), size);
        addedForms << formName;
        ClearFormCache();
        return true;
    }
    void ClearFormCache() override { list_.reset(); }

    // The choice the job would carry for a driver option, or empty.
    QString Option(const QString& keyword) const
    {
        const auto found = mode_.driverOptions.find(keyword);
        return found == mode_.driverOptions.end() ? QString() : found->second;
    }

private:
    std::vector<TFormInfo> forms_;
    std::shared_ptr<const TPrinterDriver> driver_;
    std::unique_ptr<TPrinterForm> list_;
    TDeviceMode mode_;
};

}  // namespace kestrel::test
