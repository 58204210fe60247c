#include "print/VendorExtensions.h"

#include <algorithm>
#include <cmath>

#include "app/AppFrame.h"
#include "paper/FaceGeometry.h"
#include "platform/PrinterConfiguration.h"
#include "platform/PrinterDriver.h"
#include "platform/Rounding.h"
#include "print/VendorNames.h"

namespace kestrel {

namespace {

constexpr double PointsPerInch = 72;
constexpr double TenthsPerInch = 254;
// Ids of media and sources the makers' tables do not know start here.
constexpr int FirstOwnId = 0x1000;
// The printer interface reports the disc in dots of this resolution.
constexpr int PicDotsPerInch = 720;
const QString OuterDiameterOption = QStringLiteral("StpCDOuterDiameter");
const QString InnerDiameterOption = QStringLiteral("StpCDInnerDiameter");
const QString XAdjustmentOption = QStringLiteral("StpCDXAdjustment");
const QString YAdjustmentOption = QStringLiteral("StpCDYAdjustment");
const QString ManualControl = QStringLiteral("None");

double ToPoints(int tenths)
{
    return tenths * PointsPerInch / TenthsPerInch;
}

int ToTenths(double points)
{
    return int(std::lround(points * TenthsPerInch / PointsPerInch));
}

bool IsMaker(const TPrinterDriver* driver, const char* maker)
{
    return driver && driver->Manufacturer().compare(QLatin1String(maker), Qt::CaseInsensitive) == 0;
}

// The choice the working device mode holds for the option, else the driver's default.
QString ChosenIn(const std::map<QString, QString>& options, const TPrinterDriver& driver,
                 const QString& option)
{
    const auto set = options.find(option);
    if (set != options.end()) return set->second;
    const TDriverOption* known = driver.Option(option);
    return known ? known->defaultChoice : QString();
}

// Media ids by the maker's table, others numbered after it.
std::vector<std::pair<int, QString>> MediaChoices(const TPrinterDriver& driver, TVendor vendor)
{
    std::vector<std::pair<int, QString>> media;
    const TDriverOption* option = driver.Option(MediaTypeOption);
    if (!option) return media;
    for (size_t i = 0; i < option->choices.size(); ++i) {
        const int id = MediaIdOf(vendor, option->choices[i].keyword);
        media.emplace_back(id >= 0 ? id : FirstOwnId + int(i), option->choices[i].keyword);
    }
    return media;
}

// The quality choices that name a grade, best first.
std::vector<QString> Graded(const TPrinterDriver& driver)
{
    std::vector<QString> graded;
    if (const TDriverOption* option = driver.Option(QualityOption))
        for (const TDriverChoice& choice : option->choices)
            if (QualityRank(choice.keyword) > 0) graded.push_back(choice.keyword);
    std::sort(graded.begin(), graded.end(),
              [](const QString& a, const QString& b) { return QualityRank(a) < QualityRank(b); });
    return graded;
}

int KeyOf(const std::vector<std::pair<int, QString>>& choices, const QString& keyword)
{
    for (const auto& [value, name] : choices)
        if (name == keyword) return value;
    return -1;
}

QString KeywordOf(const std::vector<std::pair<int, QString>>& choices, int value)
{
    for (const auto& [key, keyword] : choices)
        if (key == value) return keyword;
    return {};
}

std::vector<int> ValuesOf(const std::vector<std::pair<int, QString>>& choices)
{
    std::vector<int> values;
    for (const auto& choice : choices) values.push_back(choice.first);
    return values;
}

// The number of a feed (not the disc tray), or -1.
int EpsonSourceOf(const QString& slot)
{
    static const QStringList automatic{"Standard", "Auto", "AutoSwitch", "SelectKey"};
    static const QStringList manual{"Manual", "ManualNP", "Matte", "Velvet"};
    if (automatic.contains(slot)) return EpsonAutoSource;
    if (manual.contains(slot)) return EpsonManualSource;
    if (slot.startsWith(QLatin1String("Roll"))) return 256;
    return -1;
}

// The driver option's choice for a length in points, rounded the way that keeps the printed
// face whole, within the option's range.
QString LengthChoice(const TDriverOption& option, double points, bool roundUp)
{
    double value = roundUp ? std::ceil(points - 1e-6) : std::floor(points + 1e-6);
    if (option.range) value = std::clamp(value, option.range->lower, option.range->upper);
    const QString keyword = QString::number(int(value));
    return option.HasChoice(keyword) || !option.custom ? keyword
                                                       : QStringLiteral("Custom.%1").arg(int(value));
}

// Moves the print by offset (0.1 mm) through a fine adjustment option; answers what is left.
int Adjust(const TPrinterDriver& driver, const QString& optionName, int offset,
           std::map<QString, QString>& options)
{
    const TDriverOption* option = driver.Option(optionName);
    if (!option || !option->range) return offset;
    const double points =
        std::clamp(double(std::lround(ToPoints(offset))), option->range->lower, option->range->upper);
    options[optionName] = QString::number(int(points));
    return offset - ToTenths(points);
}

}  // namespace

bool HasDiscTray(const TPrinterDriver* driver)
{
    const TDriverOption* slot = driver ? driver->Option(InputSlotOption) : nullptr;
    return slot && slot->HasChoice(DiscSlot) && driver->PageSize(DiscPageSize);
}

QSize DiscPageSize01mm(const TPrinterDriver& driver)
{
    const TDriverPageSize* page = driver.PageSize(DiscPageSize);
    return page ? QSize(ToTenths(page->points.width()), ToTenths(page->points.height())) : QSize();
}

// --- Canon --------------------------------------------------------------------------------------

TCanonExtDDI::TCanonExtDDI(IPrinterConfiguration& printer) : printer_(printer), driver_(printer.GetDriver())
{
    const bool enabled = TAppFrame::ReadBool(QStringLiteral("EnableExtDDI"), true);
    if (!enabled || !IsMaker(driver_, "Canon") || !driver_->Option(MediaTypeOption)) driver_ = nullptr;
}

QString TCanonExtDDI::OptionOf(int item) const
{
    switch (item) {
        case ciCartridge:
            return QStringLiteral("StpInkType");
        case ciMediaType:
            return MediaTypeOption;
        case ciQuality:
            return QualityOption;
        case ciBorderless:
            return QStringLiteral("StpFullBleed");
        default:
            return {};
    }
}

std::vector<std::pair<int, QString>> TCanonExtDDI::Choices(int item) const
{
    std::vector<std::pair<int, QString>> choices;
    const TDriverOption* option = driver_ ? driver_->Option(OptionOf(item)) : nullptr;
    if (!option) return choices;
    if (item == ciMediaType) return MediaChoices(*driver_, TVendor::Canon);
    if (item == ciQuality) {
        const std::vector<QString> graded = Graded(*driver_);
        for (size_t i = 0; i < graded.size(); ++i) choices.emplace_back(int(i) + 1, graded[i]);
        return choices;
    }
    const int first = item == ciBorderless ? 0 : 1;  // borderless: 0 off ("False"), 1 on
    for (size_t i = 0; i < option->choices.size(); ++i)
        choices.emplace_back(first + int(i), option->choices[i].keyword);
    return choices;
}

std::vector<int> TCanonExtDDI::Values(int item) const
{
    return ValuesOf(Choices(item));
}

QStringList TCanonExtDDI::Names(int item) const
{
    QStringList names;
    const TDriverOption* option = driver_ ? driver_->Option(OptionOf(item)) : nullptr;
    for (const auto& [value, keyword] : Choices(item)) {
        const QString text = option->Choice(keyword)->text;
        names << (item == ciMediaType ? MediaNameOf(TVendor::Canon, value, text)
                                      : ChoiceName(OptionOf(item), keyword, text));
    }
    return names;
}

int TCanonExtDDI::Value(int item) const
{
    if (!driver_) return -1;
    return KeyOf(Choices(item), ChosenIn(printer_.GetDeviceMode().driverOptions, *driver_, OptionOf(item)));
}

bool TCanonExtDDI::SetValue(int item, int value)
{
    const QString keyword = KeywordOf(Choices(item), value);
    if (keyword.isEmpty()) return false;
    std::map<QString, QString>& options = printer_.GetDeviceMode().driverOptions;
    options[OptionOf(item)] = keyword;
    if (item == ciMediaType && HasDiscTray(driver_)) {
        // The media decides the feed: a printable disc lies in the disc tray.
        if (value == CanonDiscMedia || value == CanonOtherDiscMedia)
            options[InputSlotOption] = DiscSlot;
        else if (ChosenIn(options, *driver_, InputSlotOption) == DiscSlot)
            options.erase(InputSlotOption);
    }
    return true;
}

std::optional<TCanonDiscRecord> TCanonExtDDI::DiscRecord()
{
    if (!HasDiscTray(driver_)) return std::nullopt;
    const int form = printer_.GetForms().FindByKey(DiscPageSize);
    if (form < 0) return std::nullopt;
    const QSize page = DiscPageSize01mm(*driver_);
    // Hundredths of a millimetre: the middle of the disc page.
    return TCanonDiscRecord{printer_.GetForms().GetForm(form).GetID(), page.width() * 10 / 2,
                            page.height() * 10 / 2};
}

// --- Epson setting library ----------------------------------------------------------------------

bool IsEpsonDiscSource(int source)
{
    return std::any_of(std::begin(EpsonSourcePairs), std::end(EpsonSourcePairs),
                       [source](const auto& pair) { return pair.second == source; });
}

TEPDI::TEPDI(IPrinterConfiguration& printer) : printer_(printer), driver_(printer.GetDriver())
{
    if (!IsMaker(driver_, "Epson")) driver_ = nullptr;
}

bool TEPDI::Available() const
{
    return CommandLevel(eiQuality) > 0;
}

int TEPDI::CommandLevel(int item) const
{
    if (!driver_) return 0;
    switch (item) {
        case eiMedia:
            return driver_->Option(MediaTypeOption) ? 1 : 0;
        case eiQuality:
            return driver_->Option(MediaTypeOption) && !Graded(*driver_).empty() ? 1 : 0;
        case eiPaperSource:
            return driver_->Option(InputSlotOption) ? 1 : 0;
        default:
            return 0;
    }
}

QString TEPDI::Current(const QString& option) const
{
    const auto pending = pending_.find(option);
    if (pending != pending_.end()) return pending->second;
    return ChosenIn(printer_.GetDeviceMode().driverOptions, *driver_, option);
}

std::vector<QString> TEPDI::GradedQualities() const
{
    return driver_ ? Graded(*driver_) : std::vector<QString>();
}

std::vector<std::pair<int, QString>> TEPDI::Media() const
{
    return driver_ ? MediaChoices(*driver_, TVendor::Epson) : std::vector<std::pair<int, QString>>();
}

// Each feed by its number, then the disc tray as the twin of every feed it pairs with.
std::vector<std::pair<int, QString>> TEPDI::Sources() const
{
    std::vector<std::pair<int, QString>> sources;
    const TDriverOption* slot = driver_ ? driver_->Option(InputSlotOption) : nullptr;
    if (!slot) return sources;
    for (size_t i = 0; i < slot->choices.size(); ++i) {
        const QString& keyword = slot->choices[i].keyword;
        if (keyword == DiscSlot) continue;
        const int feed = EpsonSourceOf(keyword);
        const int id = feed >= 0 ? feed : FirstOwnId + int(i);
        if (KeywordOf(sources, id).isEmpty()) sources.emplace_back(id, keyword);
    }
    if (!slot->HasChoice(DiscSlot)) return sources;
    for (const auto& [feed, disc] : EpsonSourcePairs)
        if (!KeywordOf(sources, feed).isEmpty()) sources.emplace_back(disc, DiscSlot);
    return sources;
}

std::vector<int> TEPDI::Range(int item) const
{
    if (item == eiMedia) return ValuesOf(Media());
    if (item == eiPaperSource) return ValuesOf(Sources());
    return {};
}

QString TEPDI::MediaName(int id) const
{
    return MediaNameOf(TVendor::Epson, id, QString());
}

TEpsonQualitySetting TEPDI::Quality() const
{
    if (!Available()) return {};
    const std::vector<QString> graded = GradedQualities();
    const auto level = std::find(graded.begin(), graded.end(), Current(QualityOption));
    const bool recommended = level != graded.end();
    return {recommended ? 1 : 0, recommended ? int(level - graded.begin()) + 1 : 0,
            KeyOf(Media(), Current(MediaTypeOption))};
}

void TEPDI::SetQuality(const TEpsonQualitySetting& setting)
{
    if (!Available()) return;
    const std::vector<QString> graded = GradedQualities();
    if (setting.mode != 1)
        pending_[QualityOption] = ManualControl;
    else if (setting.level >= 1 && setting.level <= int(graded.size()))
        pending_[QualityOption] = graded[size_t(setting.level) - 1];
    const QString media = KeywordOf(Media(), setting.media);
    if (!media.isEmpty()) pending_[MediaTypeOption] = media;
}

int TEPDI::QualityLevels()
{
    const TEpsonQualitySetting kept = Quality();
    int level = int(GradedQualities().size());
    for (; level > 1; --level) {
        SetQuality({1, level, kept.media});
        if (Quality().level == level) break;
    }
    pending_.erase(QualityOption);
    return std::max(level, 1);
}

int TEPDI::PaperSource() const
{
    return driver_ ? KeyOf(Sources(), Current(InputSlotOption)) : -1;
}

void TEPDI::SetPaperSource(int source)
{
    const QString slot = KeywordOf(Sources(), source);
    if (!slot.isEmpty()) pending_[InputSlotOption] = slot;
}

void TEPDI::Commit()
{
    for (const auto& [option, choice] : pending_) printer_.GetDeviceMode().driverOptions[option] = choice;
    pending_.clear();
}

bool SwitchEpsonPaperSource(IEpsonEPDI& epson, bool toDisc)
{
    const int current = epson.PaperSource();
    for (const auto& [feed, disc] : EpsonSourcePairs) {
        if (current != feed && current != disc) continue;
        const int wanted = toDisc ? disc : feed;
        const std::vector<int> offered = epson.Range(eiPaperSource);
        if (std::find(offered.begin(), offered.end(), wanted) == offered.end()) return false;
        if (wanted != current) {
            epson.SetPaperSource(wanted);
            epson.Commit();
        }
        return true;
    }
    return false;
}

// --- Epson printer interface --------------------------------------------------------------------

EPicError::EPicError(int code) : EKestrel(QStringLiteral("PICERROR : %1").arg(code)), code_(code) {}

TPic::TPic(IPrinterConfiguration& printer) : printer_(printer) {}

int TPic::PrinterSpecifies(const QString& deviceName)
{
    const TPrinterDriver* driver = printer_.GetDriver();
    if (deviceName != printer_.GetDeviceName() || !IsMaker(driver, "Epson") || !HasDiscTray(driver))
        return PicPrinterNotSupported;
    driver_ = driver;
    return 0;
}

void TPic::SelectDiscSettings()
{
    if (!driver_) throw EPicError(PicPrinterNotSupported);
    discSelected_ = true;
}

TPicPrintingInfo TPic::GetPrintingInfo() const
{
    if (!discSelected_) throw EPicError(PicPrinterNotSupported);
    const TDriverPageSize& page = *driver_->PageSize(DiscPageSize);
    const QSize printable(int(std::lround(page.points.width() * PicDotsPerInch / PointsPerInch)),
                          int(std::lround(page.points.height() * PicDotsPerInch / PointsPerInch)));
    return {QPoint(printable.width() / 2, printable.height() / 2), printable,
            QSize(PicDotsPerInch, PicDotsPerInch)};
}

std::optional<TTrayGeometry> CanonTrayGeometry(IPrinterConfiguration& printer)
{
    TCanonExtDDI canon(printer);
    if (!canon.Available()) return std::nullopt;
    const std::optional<TCanonDiscRecord> record = canon.DiscRecord();
    if (!record || !record->paperId || !record->centerX || !record->centerY) return std::nullopt;
    TTrayGeometry tray = CanonDefaultTray;
    tray.CenterX = record->centerX / 10;
    tray.CenterY = record->centerY / 10;
    const int form = printer.GetForms().FindByID(record->paperId);
    if (form >= 0) {
        tray.TrayWidth = printer.GetForms().GetForm(form).GetSize().width();
        tray.TrayHeight = printer.GetForms().GetForm(form).GetSize().height();
    }
    return tray;
}

std::optional<TTrayGeometry> EpsonTrayGeometry(IPrinterConfiguration& printer)
{
    try {
        TPic pic(printer);
        if (pic.PrinterSpecifies(printer.GetDeviceName()) == PicPrinterNotSupported) return std::nullopt;
        pic.SelectDiscSettings();
        const TPicPrintingInfo info = pic.GetPrintingInfo();
        if (info.center.x() <= 0) return std::nullopt;
        const auto tenths = [](int dots, int dpi) { return MulDiv(int(TenthsPerInch), dots, dpi); };
        return TTrayGeometry{tenths(info.center.x(), info.resolution.width()),
                             tenths(info.center.y(), info.resolution.height()),
                             tenths(info.printable.width(), info.resolution.width()),
                             tenths(info.printable.height(), info.resolution.height())};
    } catch (const EPicError&) {
        return std::nullopt;
    }
}

QPoint SetDiscJobOptions(IPrinterConfiguration& printer, const TFaceGeometry& face, QPoint offset)
{
    const TPrinterDriver* driver = printer.GetDriver();
    if (!HasDiscTray(driver)) return offset;
    TDeviceMode& mode = printer.GetDeviceMode();
    mode.driverOptions[InputSlotOption] = DiscSlot;
    const int page = printer.GetForms().FindByKey(DiscPageSize);
    if (page >= 0) {
        mode.paperSize = printer.GetForms().GetForm(page).GetID();
        mode.fields |= TDeviceMode::dmPaperSize;
    }
    if (const TDriverOption* outer = driver->Option(OuterDiameterOption))
        mode.driverOptions[OuterDiameterOption] = LengthChoice(*outer, ToPoints(face.rect.Width()), true);
    if (const TDriverOption* inner = driver->Option(InnerDiameterOption)) {
        const double hole = HasHole(face.shape) ? ToPoints(face.cutCenterWidth) : 0;
        mode.driverOptions[InnerDiameterOption] = LengthChoice(*inner, hole, false);
    }
    return QPoint(Adjust(*driver, XAdjustmentOption, offset.x(), mode.driverOptions),
                  Adjust(*driver, YAdjustmentOption, offset.y(), mode.driverOptions));
}

}  // namespace kestrel
