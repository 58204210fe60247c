#include "render/Scaler.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>

#include "platform/Canvas.h"
#include "platform/Rounding.h"

namespace kestrel {

namespace {
constexpr int FallbackDpi = 96;

// value * num / den rounded to nearest, halves away from zero; den > 0.
int64_t MulDivRound(int64_t value, int64_t num, int64_t den)
{
    const int64_t product = value * num;
    const int64_t half = den / 2;
    return product >= 0 ? (product + half) / den : -((-product + half) / den);
}

int64_t FloorDiv(int64_t a, int64_t b)
{
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int64_t CeilDiv(int64_t a, int64_t b)
{
    return -FloorDiv(-a, b);
}

int ClampToInt(int64_t v)
{
    return int(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

int EffectiveDpi(int dpi)
{
    return dpi > 0 ? dpi : ScreenDpi();
}
}  // namespace

int ScreenDpi()
{
    const QScreen* screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr;
    const int dpi = screen ? int(RoundHalfAway(screen->logicalDotsPerInchY())) : 0;
    return dpi > 0 ? dpi : FallbackDpi;
}

const TClassInfo& TScaler::StaticClass()
{
    static const TClassInfo info("TScaler", &TPersistent::StaticClass(), FactoryOf<TScaler>(), [] {
        return TPropsOf<TScaler>()
            .Int("Scale", &TScaler::Scale, &TScaler::SetStoredScale, DefaultScale)
            .Int("UnitDPI", &TScaler::UnitDPI, &TScaler::SetStoredUnitDPI, NoDefault)
            .Done();
    });
    return info;
}

TScaler::TScaler() : unitDpi_(ScreenDpi()) {}

void TScaler::SetScale(int percent)
{
    if (percent <= 0 || percent == scale_) return;
    scale_ = percent;
    Change();
}

void TScaler::SetUnitDPI(int unitsPerInch)
{
    if (unitsPerInch <= 0 || unitsPerInch == unitDpi_) return;
    unitDpi_ = unitsPerInch;
    Change();
}

void TScaler::SetStoredScale(int percent)
{
    SetScale(percent > 0 ? percent : DefaultScale);
}

void TScaler::SetStoredUnitDPI(int unitsPerInch)
{
    SetUnitDPI(unitsPerInch > 0 ? unitsPerInch : ScreenDpi());
}

void TScaler::Change()
{
    if (onChange_) onChange_();
}

void TScaler::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TScaler*>(&source);
    if (!other) return TPersistent::Assign(source);
    scale_ = other->scale_;
    unitDpi_ = other->unitDpi_;
    Change();
}

int64_t TScaler::Numerator(int dpi) const
{
    return int64_t(EffectiveDpi(dpi)) * scale_;
}

int TScaler::LogToDev(int logical, int dpi) const
{
    return ClampToInt(MulDivRound(logical, Numerator(dpi), Denominator()));
}

int TScaler::DevToLog(int device, int dpi) const
{
    return ClampToInt(MulDivRound(device, Denominator(), Numerator(dpi)));
}

QPoint TScaler::LogToDev(QPoint logical, int dpi) const
{
    return {LogToDev(logical.x(), dpi), LogToDev(logical.y(), dpi)};
}

QPoint TScaler::DevToLog(QPoint device, int dpi) const
{
    return {DevToLog(device.x(), dpi), DevToLog(device.y(), dpi)};
}

TRect TScaler::LogToDevRect(const TRect& logical, int dpi) const
{
    const int64_t k = Numerator(dpi);
    const int64_t d = Denominator();
    return {ClampToInt(FloorDiv(k * logical.left, d)), ClampToInt(FloorDiv(k * logical.top, d)),
            ClampToInt(CeilDiv(k * logical.right, d)), ClampToInt(CeilDiv(k * logical.bottom, d))};
}

void TScaler::ApplyMapping(TCanvas& canvas, int dpi) const
{
    int64_t windowExt = Denominator();
    int64_t viewportExt = Numerator(dpi > 0 ? dpi : canvas.DeviceDpi());
    const int64_t g = std::gcd(windowExt, viewportExt);
    windowExt /= g;
    viewportExt /= g;
    while (windowExt > INT_MAX || viewportExt > INT_MAX) {  // only absurd zooms get here
        windowExt = std::max<int64_t>(1, windowExt / 2);
        viewportExt = std::max<int64_t>(1, viewportExt / 2);
    }
    TMapping mapping = canvas.Mapping();
    mapping.viewportOrg = canvas.LogToDev(QPoint(0, 0)) - canvas.DeviceOffset();
    mapping.windowOrg = {};
    mapping.windowExt = QSize(int(windowExt), int(windowExt));
    mapping.viewportExt = QSize(int(viewportExt), int(viewportExt));
    canvas.SetMapping(mapping);
    canvas.SetFontResolution(unitDpi_);
}

int TScaler::FitScale(QSize logicalSize, QSize area, bool fitWidth, bool fitHeight, int dpi) const
{
    TScaler full;
    full.unitDpi_ = unitDpi_;
    const TRect device = full.LogToDevRect({0, 0, logicalSize.width(), logicalSize.height()}, dpi);
    if (device.Width() <= 0 || device.Height() <= 0) return DefaultScale;
    const int64_t byWidth = MulDivRound(100, area.width(), device.Width());
    const int64_t byHeight = MulDivRound(100, area.height(), device.Height());
    int64_t fitted = DefaultScale;
    if (fitWidth && fitHeight)
        fitted = std::min(byWidth, byHeight);
    else if (fitWidth)
        fitted = byWidth;
    else if (fitHeight)
        fitted = byHeight;
    return ClampToInt(std::max<int64_t>(1, fitted));
}

}  // namespace kestrel
