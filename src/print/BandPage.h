#pragma once

// A face is painted in horizontal bands into memory bitmaps, each stretched onto the printer
// page when done, so that no face ever needs one huge bitmap.

#include <QImage>
#include <QPoint>
#include <array>
#include <cstdint>
#include <QSize>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Canvas.h"
#include "platform/Geometry.h"

namespace kestrel {

// No band bitmap holds more pixels than this.
inline constexpr int MaxBandPixels = 0x500000;

// One band: its bitmap size in band pixels and where it lands, in printer pixels relative to the
// print origin.
struct TBand {
    QSize size;
    TRect target;
    friend bool operator==(const TBand&, const TBand&) = default;
};

// The bands of a target rectangle (printer pixels) rasterised at bandDpi; none for an empty one.
std::vector<TBand> PlanBands(const TRect& target, QSize printerDpi, int bandDpi);

// Sets the canvas's mapping to device pixels whose origin lies at offset. Setting it, rather than
// moving the origin by it, keeps the offset from being applied twice.
void SetPrintOrigin(TCanvas& canvas, QPoint offset);

// A memory surface over the page's current band bitmap, laid out at the band resolution.
class TBandCanvas {
public:
    explicit TBandCanvas(int dpi) : dpi_(dpi) {}
    int Dpi() const { return dpi_; }
    // The bitmap's pixel (0, 0) stands for band pixel origin of the face.
    void Attach(QImage bitmap, QPoint origin);
    QImage Detach();
    bool Attached() const { return canvas_ != nullptr; }
    TCanvas& Canvas() { return *canvas_; }

private:
    int dpi_;
    QImage bitmap_;
    std::unique_ptr<TCanvas> canvas_;
};

class TPrintPageBase {
public:
    virtual ~TPrintPageBase() = default;
    // Where the current band is painted.
    virtual TCanvas& GetCanvas() = 0;
    // Finishes the current band and prepares the next; false when none was pending.
    virtual bool NextBand() = 0;
};

class TStretchPrintPage : public TPrintPageBase {
public:
    // bandDpi 0 takes the printer's resolution; without banding everything is painted straight on
    // the printer canvas in one pass. offset is the print origin and target the face's area, both
    // in printer pixels.
    TStretchPrintPage(TCanvas& printer, QSize printerDpi, int bandDpi, bool banding, QPoint offset,
                      const TRect& target);

    TCanvas& GetCanvas() override;
    bool NextBand() override;
    int BandCount() const { return bandCount_; }

protected:
    // A finished band before it goes onto the page.
    virtual void FinishBand(QImage& bitmap) {}

private:
    void StretchFinishedBand();

    TCanvas& printer_;
    TCanvasStateSaver saved_;
    QSize printerDpi_;
    TBandCanvas band_;
    std::vector<TBand> bands_;
    int bandCount_ = 1;
    int next_ = 0;
};

// The density correction of a level: -3..3 map to -0.3, -0.2, -0.1, 0, 0.15, 0.3, 0.45; any
// other level corrects nothing.
double DensityCorrection(int level);

// The density table of a correction g: T[j] = (j / 255 * (g + 1) - g) * 255, rounded half to
// even and kept within 0..255. Positive g darkens, negative g lightens; T[255] is always 255.
std::array<uint8_t, 256> DensityTable(double g);

// A band page that corrects the density of every band. A correction needs bands: without
// banding, a non-zero g bands at 254 dots per inch; g = 0 behaves as the plain page.
class TGammaPrintPage : public TStretchPrintPage {
public:
    TGammaPrintPage(TCanvas& printer, double g, QSize printerDpi, int bandDpi, bool banding, QPoint offset,
                    const TRect& target);

protected:
    void FinishBand(QImage& bitmap) override;

private:
    double g_;
};

}  // namespace kestrel
