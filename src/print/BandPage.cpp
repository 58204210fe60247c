#include "print/BandPage.h"

#include <algorithm>
#include <cmath>

#include "platform/Rounding.h"

namespace kestrel {

std::vector<TBand> PlanBands(const TRect& target, QSize printerDpi, int bandDpi)
{
    const int width = MulDiv(target.Width(), bandDpi, printerDpi.width());
    const int height = MulDiv(target.Height(), bandDpi, printerDpi.height());
    if (width <= 0 || height <= 0) return {};
    const int rowsPerBand = std::max(1, MaxBandPixels / width);
    const int count = rowsPerBand < height ? (height + rowsPerBand - 1) / rowsPerBand : 1;
    const int64_t h = target.Height();
    std::vector<TBand> bands;
    for (int64_t e = 0; e < count; ++e) {
        const int top = target.top + int(e * h / count);
        const int bottom = target.top + int((e + 1) * h / count);
        const int rows = int((e + 1) * height / count - e * height / count);
        bands.push_back({QSize(width, rows), {target.left, top, target.right, bottom}});
    }
    return bands;
}

void SetPrintOrigin(TCanvas& canvas, QPoint offset)
{
    TMapping mapping;
    mapping.viewportOrg = offset;
    canvas.SetMapping(mapping);
}

void TBandCanvas::Attach(QImage bitmap, QPoint origin)
{
    SetPictureDpi(bitmap, dpi_);
    bitmap_ = std::move(bitmap);
    canvas_ = std::make_unique<TCanvas>(bitmap_);
    canvas_->SetPrintOutput(true);
    SetPrintOrigin(*canvas_, -origin);
}

QImage TBandCanvas::Detach()
{
    canvas_.reset();
    return std::move(bitmap_);
}

TStretchPrintPage::TStretchPrintPage(TCanvas& printer, QSize printerDpi, int bandDpi, bool banding, QPoint offset,
                                     const TRect& target)
    : printer_(printer), saved_(printer), printerDpi_(printerDpi), band_(bandDpi > 0 ? bandDpi : printerDpi.height())
{
    SetPrintOrigin(printer_, offset);
    if (!banding) return;
    bands_ = PlanBands(target, printerDpi_, band_.Dpi());
    bandCount_ = int(bands_.size());
}

TCanvas& TStretchPrintPage::GetCanvas()
{
    return band_.Attached() ? band_.Canvas() : printer_;
}

void TStretchPrintPage::StretchFinishedBand()
{
    QImage bitmap = band_.Detach();
    FinishBand(bitmap);
    TCanvasStateSaver saver(printer_);
    printer_.SetCopyMode(TCopyMode::cmSrcCopy);
    printer_.StretchDraw(bands_[next_ - 1].target, bitmap, TStretchQuality::sqDevice);
}

bool TStretchPrintPage::NextBand()
{
    if (band_.Attached()) StretchFinishedBand();
    const bool pending = next_ < bandCount_;
    if (pending && !bands_.empty()) {
        const TBand& band = bands_[next_];
        QImage bitmap(band.size, QImage::Format_RGB32);
        bitmap.fill(Qt::white);
        band_.Attach(std::move(bitmap), QPoint(MulDiv(band.target.left, band_.Dpi(), printerDpi_.width()),
                                               MulDiv(band.target.top, band_.Dpi(), printerDpi_.height())));
    }
    ++next_;
    return pending;
}

double DensityCorrection(int level)
{
    static constexpr double Corrections[] = {-0.3, -0.2, -0.1, 0, 0.15, 0.3, 0.45};
    return level >= -3 && level <= 3 ? Corrections[level + 3] : 0;
}

std::array<uint8_t, 256> DensityTable(double g)
{
    std::array<uint8_t, 256> table{};
    for (int j = 0; j < 256; ++j)
        table[size_t(j)] = uint8_t(std::clamp<int64_t>(RoundHalfEven((j / 255.0 * (g + 1) - g) * 255), 0, 255));
    return table;
}

TGammaPrintPage::TGammaPrintPage(TCanvas& printer, double g, QSize printerDpi, int bandDpi, bool banding,
                                 QPoint offset, const TRect& target)
    : TStretchPrintPage(printer, printerDpi, !banding && g != 0 ? LogicalUnitsPerInch : bandDpi, banding || g != 0,
                        offset, target),
      g_(g)
{
}

void TGammaPrintPage::FinishBand(QImage& bitmap)
{
    if (g_ == 0) return;
    const std::array<uint8_t, 256> table = DensityTable(g_);
    for (int y = 0; y < bitmap.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x)
            row[x] = qRgb(table[qRed(row[x])], table[qGreen(row[x])], table[qBlue(row[x])]);
    }
}

}  // namespace kestrel
