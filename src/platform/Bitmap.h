#pragma once

// Memory surfaces: a picture in memory with a resolution, drawn on through a TCanvas made on
// Image(), and read or written row by row.

#include <QImage>
#include <cstdint>

#include "platform/Color.h"

namespace kestrel {

// pf8bit: one grey or coverage byte per pixel. pf24bit: bytes R, G, B. pf32bit: one 32-bit
// 0xFFRRGGBB word per pixel (bytes B, G, R, 0xFF).
enum class TPixelFormat { pf8bit, pf24bit, pf32bit };

class TBitmap {
public:
    TBitmap() = default;
    // Filled white (pf8bit: 0).
    TBitmap(int width, int height, TPixelFormat format, int dpi = 96);

    bool IsEmpty() const { return image_.isNull(); }
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    TPixelFormat PixelFormat() const { return format_; }
    int Dpi() const;
    void SetDpi(int dpi);
    // Keeps the format; the content is undefined until filled.
    void SetSize(int width, int height);
    void Fill(TColor color);

    // Row y; fails with a range error outside the bitmap.
    uint8_t* ScanLine(int y);
    const uint8_t* ScanLine(int y) const;

    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }

private:
    void CheckRow(int y) const;

    QImage image_;
    TPixelFormat format_ = TPixelFormat::pf32bit;
};

}  // namespace kestrel
