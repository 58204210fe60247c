#include "print/PaperPrintSetting.h"

#include <algorithm>

#include "paper/PaperInfo.h"
#include "paper/PapersUI.h"
#include "paper/PapersV2.h"
#include "platform/PrinterConfiguration.h"
#include "print/DirectPrint.h"
#include "print/VendorExtensions.h"

namespace kestrel {

namespace {

const QString SettingBlock = QStringLiteral("PrinterSetting");
constexpr int MaxMediaChoices = 10;

QString StandardPaperName(int width, int height)
{
    static const std::map<QString, QString> names{
        {"2970x4200", "A3"}, {"2100x2970", "A4"}, {"1480x2100", "A5"}, {"1050x1480", "A6"},
        {"2570x3640", "B4"}, {"1820x2570", "B5"}, {"1280x1820", "B6"}};
    const auto found = names.find(QStringLiteral("%1x%2").arg(width).arg(height));
    return found == names.end() ? QString() : found->second;
}

bool Offers(const std::vector<int>& offered, int value)
{
    return std::find(offered.begin(), offered.end(), value) != offered.end();
}

// Sets a Canon item only to a value of its list; answers whether the driver took it.
bool CheckedSet(ICanonExtDDI& canon, int item, int value)
{
    return Offers(canon.Values(item), value) && canon.SetValue(item, value);
}

int FindPaperId(IPrinterConfiguration& printer, int width, int height)
{
    const IPrinterForm& forms = printer.GetForms();
    const int index = forms.FindNearSize(QSize(width, height));
    return index >= 0 ? forms.GetForm(index).GetID() : -1;
}

void PaperSizeStep(IPrinterConfiguration& printer, const TPrintSettingData& data)
{
    TDeviceMode mode = printer.GetDeviceMode();
    mode.fields = TDeviceMode::dmOrientation;
    mode.orientation = data.Landscape ? TDeviceMode::Landscape : TDeviceMode::Portrait;
    int id = FindPaperId(printer, data.Width, data.Height);
    if (id == -1) {
        id = FindPaperId(printer, data.Height, data.Width);
        if (id != -1) mode.orientation = TDeviceMode::Portrait + TDeviceMode::Landscape - mode.orientation;
    }
    if (id == -1 && printer.AddForm(CustomFormName(data.Width, data.Height), QSize(data.Width, data.Height)))
        id = FindPaperId(printer, data.Width, data.Height);
    mode.fields |= TDeviceMode::dmDefaultSource;
    if (id != -1 && id != UserPaperId) {
        mode.paperSize = id;
        mode.fields |= TDeviceMode::dmPaperSize;
    } else if (printer.GetForms().FindByID(UserPaperId) >= 0) {
        mode.paperSize = UserPaperId;
        mode.paperWidth = data.Width;
        mode.paperLength = data.Height;
        mode.fields |= TDeviceMode::dmPaperSize | TDeviceMode::dmPaperLength | TDeviceMode::dmPaperWidth;
    } else {
        return;  // a driver without the size keeps its paper and orientation
    }
    printer.GetDeviceMode() = mode;
    printer.MergeDeviceMode();
}

void CanonMediaAndQualityStep(const TPaperPrintSetting& setting, IPrinterConfiguration& printer,
                              ICanonExtDDI& canon, const TPrintSettingData& data)
{
    setting.LookUpMedia(QStringLiteral("Canon"), printer.GetDriverName(), data, canon.Values(ciMediaType),
                        [&canon](int id) { CheckedSet(canon, ciMediaType, id); });
    for (int quality = 1; quality <= 3; ++quality)
        if (CheckedSet(canon, ciQuality, quality)) break;
    if (canon.Capability(ciBorderless) == 2) CheckedSet(canon, ciBorderless, 0);
}

void EpsonMediaStep(const TPaperPrintSetting& setting, IPrinterConfiguration& printer, IEpsonEPDI& epson,
                    const TPrintSettingData& data)
{
    if (epson.CommandLevel(eiQuality) < 1) return;
    const std::vector<int> offered = epson.Range(eiMedia);
    const auto set = [&epson](int id) {
        epson.SetQuality({1, 1, id});
        epson.Commit();
    };
    if (!setting.LookUpMedia(QStringLiteral("Epson"), printer.GetDriverName(), data, offered, set) &&
        !offered.empty())
        set(offered.front());
}

// A disc is fed as Epson's printers are told to feed one: the manual source, then that source's
// disc-tray twin, which is what selects the tray.
void EpsonPaperSourceStep(IPrinterConfiguration& printer, IEpsonEPDI& epson, const TPrintSettingData& data)
{
    if (epson.CommandLevel(eiPaperSource) < 1) return;
    const int source = data.DirectPrint                                      ? EpsonManualSource
                       : Offers(epson.Range(eiPaperSource), EpsonAutoSource) ? EpsonAutoSource
                                                                             : 0;
    if (!source) return;
    TDeviceMode& mode = printer.GetDeviceMode();
    mode.defaultSource = source;
    mode.fields = TDeviceMode::dmDefaultSource;
    printer.MergeDeviceMode();
    if (printer.GetDeviceMode().defaultSource != source) {
        epson.SetPaperSource(source);
        epson.Commit();
    }
    if (data.DirectPrint) SwitchEpsonPaperSource(epson, true);
}

}  // namespace

void FillSettingData(TPrintSettingData& data, const TPaperInfo& paper)
{
    data.Width = paper.PortraitWidth();
    data.Height = paper.PortraitHeight();
    data.Landscape = paper.Landscape();
    data.PaperName = paper.PaperName();
    data.Kind.clear();
    data.DirectPrint = false;
}

QString Millimetres(int tenths)
{
    return QString::number(tenths / 10.0, 'g', 6);
}

QString MillimetreSizeName(int width, int height)
{
    return QStringLiteral("%1 x %2mm").arg(Millimetres(width), Millimetres(height));
}

QString CustomFormName(int width, int height)
{
    const QString size = MillimetreSizeName(width, height);
    const QString standard = StandardPaperName(width, height);
    return standard.isEmpty() ? size : standard + u'(' + size + u')';
}

TPaperPrintSetting::TPaperPrintSetting(const TPapersV2* catalogue, unsigned flags)
    : catalogue_(catalogue), flags_(flags)
{
    QStringList lines;
    if (catalogue_) catalogue_->ReadGlobalInfo(SettingBlock, lines);
    table_ = TIniTable(lines);
}

TPrintSettingData TPaperPrintSetting::FillSettingDataForPrinter(IPrinterConfiguration& printer,
                                                                const TPaperInfo& paper) const
{
    TPrintSettingData data;
    if (!catalogue_ || !IsDirectPrintPaper(*catalogue_, paper)) {
        FillSettingData(data, paper);
        return data;
    }
    FillSettingData(data, *PaperOnTray(printer, paper, catalogue_));
    data.DirectPrint = true;
    data.Kind = DirectPrintKind;
    return data;
}

void TPaperPrintSetting::ApplyPaper(IPrinterConfiguration& printer, const TPaperInfo& paper,
                                    const QString& kind) const
{
    TPrintSettingData data;
    FillSettingData(data, paper);
    data.Kind = kind;
    Apply(printer, data);
}

void TPaperPrintSetting::Apply(IPrinterConfiguration& printer, const TPrintSettingData& data) const
{
    if (!(flags_ & psNoCanon)) {
        TCanonExtDDI canon(printer);
        if (canon.Available()) {
            // The cartridge stays as it was while the driver takes the rest.
            CheckedSet(canon, ciCartridge, canon.Value(ciCartridge));
            PaperSizeStep(printer, data);
            CanonMediaAndQualityStep(*this, printer, canon, data);
            return;
        }
    }
    TEPDI epson(printer);
    const bool epsonSteps = !(flags_ & psNoEpson);
    if (epsonSteps) EpsonPaperSourceStep(printer, epson, data);
    PaperSizeStep(printer, data);
    if (epsonSteps) EpsonMediaStep(*this, printer, epson, data);
}

void TPaperPrintSetting::ApplyForPrinter(IPrinterConfiguration& printer, const TPaperInfo& paper) const
{
    Apply(printer, FillSettingDataForPrinter(printer, paper));
}

bool TPaperPrintSetting::LookUpMedia(const QString& vendor, const QString& driverName,
                                     const TPrintSettingData& data, const std::vector<int>& offered,
                                     const std::function<void(int)>& set) const
{
    const QString group = table_.Value(vendor + QStringLiteral(".PrinterGroup"), driverName);
    const QString idSection = vendor + QStringLiteral(".Paper.ID");
    const std::pair<QString, QString> lookups[] = {
        {vendor + u'.' + driverName + QStringLiteral(".Paper."), data.PaperName},
        {vendor + u'.' + group + QStringLiteral(".Paper."), data.PaperName},
        {vendor + QStringLiteral(".Paper."), data.PaperName},
        {vendor + QStringLiteral(".Paper."), QStringLiteral("@@") + data.Kind + QStringLiteral("default")},
        {vendor + QStringLiteral(".Paper."), QStringLiteral("@@default")},
    };
    for (const auto& [prefix, key] : lookups) {
        for (int n = 0; n < MaxMediaChoices; ++n) {
            const QString name = table_.Value(prefix + QString::number(n), key);
            if (name.isEmpty()) break;
            const int id = table_.IntValue(idSection, name);
            if (id != -1 && Offers(offered, id)) {
                set(id);
                return true;
            }
        }
    }
    return false;
}

}  // namespace kestrel
