#include "platform/PrinterConfiguration.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>
#include <map>

#include "platform/Error.h"
#include "platform/PrinterDriver.h"

namespace kestrel {

namespace {

constexpr int DefaultResolution = 600;
// Ids of the forms we add ourselves start above every id a driver uses.
constexpr int FirstAddedFormId = 0x1000;

struct TCurrentPrinter {
    QString name;
    std::optional<TDeviceMode> mode;
};

TCurrentPrinter& CurrentPrinter()
{
    static TCurrentPrinter current;
    return current;
}

// Forms added per printer while the program runs.
std::map<QString, std::vector<TFormInfo>>& AddedForms()
{
    static std::map<QString, std::vector<TFormInfo>> forms;
    return forms;
}

TPrinterPropertiesDialog& PropertiesDialog()
{
    static TPrinterPropertiesDialog dialog;
    return dialog;
}

QSize TenthsOfMillimetre(const QPageSize& size)
{
    const QSizeF mm = size.size(QPageSize::Millimeter);
    return QSize(int(std::lround(mm.width() * 10)), int(std::lround(mm.height() * 10)));
}

// Drivers name their sizes with Windows paper ids where one exists; the others get ids of their
// own after the driver's range.
TFormInfo FormOf(const QPageSize& size, int fallbackId)
{
    const int windowsId = size.windowsId();
    const int id = windowsId > 0 && windowsId != UserPaperId ? windowsId : fallbackId;
    return TFormInfo(size.name(), id, TenthsOfMillimetre(size), size.key());
}

// What a PDF file offers: the sizes people print labels on in Japan.
QList<QPageSize> PdfPageSizes()
{
    QList<QPageSize> sizes;
    for (QPageSize::PageSizeId id :
         {QPageSize::A3, QPageSize::A4, QPageSize::A5, QPageSize::A6, QPageSize::JisB4, QPageSize::JisB5,
          QPageSize::JisB6, QPageSize::Letter, QPageSize::Legal, QPageSize::Postcard})
        sizes << QPageSize(id);
    return sizes;
}

QPrinterInfo QueueInfo(const QString& name)
{
    return QPrinterInfo::printerInfo(name);
}

}  // namespace

QString PdfPrinterName()
{
    return QStringLiteral("PDFファイル");
}

QStringList InstalledPrinterNames()
{
    QStringList names = QPrinterInfo::availablePrinterNames();
    std::sort(names.begin(), names.end());
    names << PdfPrinterName();
    return names;
}

QString DefaultPrinterName()
{
    const QString system = QPrinterInfo::defaultPrinterName();
    if (!system.isEmpty()) return system;
    return InstalledPrinterNames().constFirst();
}

QString CurrentPrinterName()
{
    TCurrentPrinter& current = CurrentPrinter();
    if (current.name.isEmpty()) current.name = DefaultPrinterName();
    return current.name;
}

void SetPrinterPropertiesDialog(TPrinterPropertiesDialog dialog)
{
    PropertiesDialog() = std::move(dialog);
}

TPrinterConfiguration::TPrinterConfiguration(QString name, const TDeviceMode* working) : name_(std::move(name))
{
    defaultMode_ = ReadDefaultMode();
    mode_ = working ? *working : defaultMode_;
}

std::unique_ptr<TPrinterConfiguration> TPrinterConfiguration::Current()
{
    TCurrentPrinter& current = CurrentPrinter();
    if (current.name.isEmpty() || !InstalledPrinterNames().contains(current.name)) {
        current.name = DefaultPrinterName();
        current.mode.reset();
    }
    return std::unique_ptr<TPrinterConfiguration>(
        new TPrinterConfiguration(current.name, current.mode ? &*current.mode : nullptr));
}

std::unique_ptr<TPrinterConfiguration> TPrinterConfiguration::Named(const QString& name)
{
    if (!InstalledPrinterNames().contains(name))
        throw EKestrel(QStringLiteral("プリンタ「%1」が見つかりません").arg(name));
    return std::unique_ptr<TPrinterConfiguration>(new TPrinterConfiguration(name, nullptr));
}

QString TPrinterConfiguration::GetPort() const
{
    if (IsPdf()) return {};
    const QPrinterInfo info = QueueInfo(name_);
    return info.location().isEmpty() ? info.makeAndModel() : info.location();
}

QString TPrinterConfiguration::GetDriverName()
{
    if (IsPdf()) return {};
    if (const TPrinterDriver* driver = GetDriver()) return driver->ModelName();
    return QueueDriverName(name_);
}

const TPrinterDriver* TPrinterConfiguration::GetDriver()
{
    if (!driver_) driver_ = IsPdf() ? nullptr : TPrinterDriver::ForQueue(name_);
    return driver_->get();
}

bool TPrinterConfiguration::SupportsCustomSizes() const
{
    return IsPdf() || QueueInfo(name_).supportsCustomPageSizes();
}

std::vector<TFormInfo> TPrinterConfiguration::ReadForms() const
{
    const QList<QPageSize> sizes = IsPdf() ? PdfPageSizes() : QueueInfo(name_).supportedPageSizes();
    std::vector<TFormInfo> forms;
    int nextOwnId = UserPaperId + 1;
    for (const QPageSize& size : sizes) forms.push_back(FormOf(size, nextOwnId++));
    for (const TFormInfo& added : AddedForms()[name_]) forms.push_back(added);
    if (SupportsCustomSizes()) forms.emplace_back(QStringLiteral("ユーザー定義サイズ"), UserPaperId, QSize());
    return forms;
}

const IPrinterForm& TPrinterConfiguration::GetForms()
{
    if (!forms_) forms_ = std::make_unique<TPrinterForm>(ReadForms());
    return *forms_;
}

TDeviceMode TPrinterConfiguration::ReadDefaultMode()
{
    TDeviceMode mode;
    const QPageSize page = IsPdf() ? QPageSize(QPageSize::A4) : QueueInfo(name_).defaultPageSize();
    const IPrinterForm& forms = GetForms();
    const int index = forms.FindBySize(TenthsOfMillimetre(page));
    if (index >= 0) mode.paperSize = forms.GetForm(index).GetID();
    if (!IsPdf()) {
        const QPrinter printer(QueueInfo(name_), QPrinter::HighResolution);
        mode.resolution = printer.resolution() > 0 ? printer.resolution() : DefaultResolution;
    }
    return mode;
}

QList<int> TPrinterConfiguration::Resolutions() const
{
    QList<int> resolutions = IsPdf() ? QList<int>{300, 600, 1200} : QueueInfo(name_).supportedResolutions();
    if (resolutions.isEmpty()) resolutions << mode_.resolution;
    return resolutions;
}

std::optional<QPageSize> TPrinterConfiguration::SelectedPageSize()
{
    QSize size;
    if (mode_.paperSize == UserPaperId) {
        size = QSize(mode_.paperWidth, mode_.paperLength);
    } else {
        const int index = GetForms().FindByID(mode_.paperSize);
        if (index < 0) return std::nullopt;
        size = GetForms().GetForm(index).GetSize();
    }
    if (size.width() <= 0 || size.height() <= 0) return std::nullopt;
    return QPageSize(QSizeF(size.width() / 10.0, size.height() / 10.0), QPageSize::Millimeter, QString(),
                     QPageSize::FuzzyMatch);
}

bool TPrinterConfiguration::ShowProperties(QObject* parent)
{
    return PropertiesDialog() && PropertiesDialog()(parent, *this);
}

void TPrinterConfiguration::MakeCurrent()
{
    CurrentPrinter() = {name_, mode_};
}

void TPrinterConfiguration::MergeDeviceMode()
{
    TDeviceMode merged = mode_;
    merged.fields = (defaultMode_.fields | TDeviceMode::dmPaperLength | TDeviceMode::dmPaperWidth) & mode_.fields;
    ClearFormCache();
    // What the printer cannot take falls back to its default.
    if (!(merged.fields & TDeviceMode::dmOrientation) ||
        (merged.orientation != TDeviceMode::Portrait && merged.orientation != TDeviceMode::Landscape))
        merged.orientation = defaultMode_.orientation;
    const bool userSize = merged.paperSize == UserPaperId && SupportsCustomSizes() && merged.paperWidth > 0 &&
                          merged.paperLength > 0;
    if (!(merged.fields & TDeviceMode::dmPaperSize) || (!userSize && GetForms().FindByID(merged.paperSize) < 0) ||
        (merged.paperSize == UserPaperId && !userSize))
        merged.paperSize = defaultMode_.paperSize;
    if (merged.resolution <= 0) merged.resolution = defaultMode_.resolution;
    // A queue has no numbered paper sources; its driver's options name them.
    merged.defaultSource = defaultMode_.defaultSource;
    const TPrinterDriver* driver = GetDriver();
    std::erase_if(merged.driverOptions, [driver](const auto& option) {
        const TDriverOption* known = driver ? driver->Option(option.first) : nullptr;
        return !known || !known->Accepts(option.second);
    });
    mode_ = merged;
}

QMap<QString, QString> TPrinterConfiguration::JobOptions()
{
    QMap<QString, QString> options{{QStringLiteral("print-scaling"), QStringLiteral("none")}};
    const int index = GetForms().FindByID(mode_.paperSize);
    const QString key = index >= 0 ? GetForms().GetForm(index).GetKey() : QString();
    if (!key.isEmpty()) {
        options.insert(QStringLiteral("media"), key);
        const TDriverOption* pageSize = GetDriver() ? GetDriver()->Option(QStringLiteral("PageSize")) : nullptr;
        if (pageSize && pageSize->HasChoice(key)) options.insert(QStringLiteral("PageSize"), key);
    } else {
        options.insert(QStringLiteral("media"), SelectedPageSize().value_or(QPageSize(QPageSize::A4)).key());
    }
    for (const auto& [keyword, choice] : mode_.driverOptions) options.insert(keyword, choice);
    return options;
}

bool TPrinterConfiguration::AddForm(const QString& name, QSize size)
{
    if (!SupportsCustomSizes() || size.width() <= 0 || size.height() <= 0) return false;
    std::vector<TFormInfo>& added = AddedForms()[name_];
    added.emplace_back(name, FirstAddedFormId + int(added.size()), size);
    ClearFormCache();
    return true;
}

}  // namespace kestrel
