#pragma once

#include <QPoint>
#include <QSize>
#include <cstdint>
#include <functional>

#include "document/stream/Persistent.h"
#include "platform/Geometry.h"

namespace kestrel {

class TCanvas;

// Pixels per inch of the screen (96 when there is none, e.g. headless runs).
int ScreenDpi();

// Maps logical units (UnitDPI per inch) to device pixels (dpi per inch) at a zoom of Scale percent:
// device = logical * dpi * Scale / (UnitDPI * 100). Intermediates are 64-bit, so large logical
// sizes at high zoom and printer resolutions cannot overflow.
class TScaler : public TPersistent {
    KESTREL_PERSISTENT()
public:
    static constexpr int DefaultScale = 100;

    TScaler();

    int Scale() const { return scale_; }
    // A zoom of 0 or less is refused (the scaler keeps its zoom).
    void SetScale(int percent);
    int UnitDPI() const { return unitDpi_; }
    // 0 or less is refused.
    void SetUnitDPI(int unitsPerInch);
    // Raised after Scale or UnitDPI changed and after Assign.
    void SetOnChange(std::function<void()> handler) { onChange_ = std::move(handler); }

    // Rounded to nearest, halves away from zero. A dpi of 0 or less means the screen's.
    int LogToDev(int logical, int dpi) const;
    int DevToLog(int device, int dpi) const;
    QPoint LogToDev(QPoint logical, int dpi) const;
    QPoint DevToLog(QPoint device, int dpi) const;
    // Covers every pixel the logical rectangle touches: left/top floor, right/bottom ceiling (also
    // for negative coordinates, as in bleed areas).
    TRect LogToDevRect(const TRect& logical, int dpi) const;
    // Puts the canvas into a mapping where one logical unit is Scale/100 * dpi/UnitDPI pixels;
    // logical (0, 0) stays at the device position it had. dpi 0 means the canvas's own. The
    // canvas's font resolution becomes UnitDPI so point sizes come out right in logical units.
    void ApplyMapping(TCanvas& canvas, int dpi = 0) const;
    // The zoom that fits a logical size into a device area (per the flags; both: the smaller);
    // 100 when nothing is to be fitted or the logical size is empty; never below 1.
    int FitScale(QSize logicalSize, QSize area, bool fitWidth, bool fitHeight, int dpi) const;

    void Assign(const TPersistent& source) override;

private:
    // Stored values of 0 or less (damaged files) are replaced by the defaults.
    void SetStoredScale(int percent);
    void SetStoredUnitDPI(int unitsPerInch);
    void Change();
    int64_t Numerator(int dpi) const;
    int64_t Denominator() const { return int64_t(unitDpi_) * 100; }

    int scale_ = DefaultScale;
    int unitDpi_;
    std::function<void()> onChange_;
};

}  // namespace kestrel
