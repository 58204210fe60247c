#pragma once

// The pixel engine behind picture processing: each effector reads a source bitmap and writes a
// destination bitmap of the same pixel format, row by row, through integer tables built from its
// parameters. Bitmaps are 24-bit (QImage::Format_BGR888: bytes blue, green, red) or 32-bit
// (Format_RGB32 / Format_ARGB32: bytes blue, green, red and a fourth byte that effects copy but
// never compute). Other formats are left alone, and the destination is not touched.

#include <QImage>
#include <array>

#include "imaging/Progress.h"
#include "platform/Color.h"
#include "platform/Geometry.h"

namespace kestrel {

class TGREffector {
public:
    virtual ~TGREffector() = default;

    const QImage* Source = nullptr;
    QImage* Dest = nullptr;
    // In source pixels; clipped to the source. Empty means the whole source.
    TRect SourceRect;
    TPhasedProgressBase* Progress = nullptr;

    // Sizes the destination to the source rectangle (in the source's format) and computes
    // destination pixel (c, r) from source pixel (Left + c, Top + r).
    void Execute();

protected:
    // The rectangle is clipped and non-empty; dest has its size and format.
    virtual void Run(const QImage& source, const TRect& rect, QImage& dest) = 0;
    // Progress over sweeps of the destination rows, one step per 64 rows.
    void BeginPhase(int rows, int sweeps, int extraSteps);
    void RowDone(int row);
    void EndPhase();
};

class TGREffectBlur : public TGREffector {
public:
    // 3 × 3 box blur passes; 1 or less gives one pass.
    int Passes = 1;

protected:
    void Run(const QImage& source, const TRect& rect, QImage& dest) override;
};

class TGREffectUnsharpMask : public TGREffector {
public:
    // Blur passes, rounded half to even.
    double Radius = 1;

protected:
    void Run(const QImage& source, const TRect& rect, QImage& dest) override;
};

class TGREffectBrightnessContrast : public TGREffector {
public:
    int Brightness = 0;  // percent, clamped to ±100
    int Contrast = 0;

    std::array<uint8_t, 256> Table() const;

protected:
    void Run(const QImage& source, const TRect& rect, QImage& dest) override;
};

class TGREffectMonoTone : public TGREffector {
public:
    TColor RefColor = clWhite;

    // Entry j: the colour of RefColor's hue and saturation at lightness j / 255, as 0xRRGGBB.
    std::array<QRgb, 256> Table() const;

protected:
    void Run(const QImage& source, const TRect& rect, QImage& dest) override;
};

class TGREffectColorChange : public TGREffector {
public:
    TColor FromColor = clBlack;
    TColor ToColor = clBlack;

protected:
    void Run(const QImage& source, const TRect& rect, QImage& dest) override;
};

// An illustration of a genre drawn in the genre's colour, shown and inserted in the colour the
// user picked instead ("色の変更"): a copy in which exactly the pixels of the genre's colour take
// the picked one. The copy is 24-bit, or 32-bit keeping the opacity of a picture that has one.
QImage ChangeIllustrationColour(const QImage& illustration, TColor genreColour, TColor picked);

// 3 or 4 for the formats effects work on, 0 for every other.
int EffectBytesPerPixel(QImage::Format format);
// Luminance of a pixel: (29 × blue + 150 × green + 77 × red) >> 8.
inline int Luminance(int red, int green, int blue) { return (29 * blue + 150 * green + 77 * red) >> 8; }

}  // namespace kestrel
