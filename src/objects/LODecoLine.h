#pragma once

// A straight band along a line, LineWidth wide, filled with a picture pattern repeated along its
// length.

#include <QImage>
#include <array>
#include <optional>

#include "document/Notify.h"
#include "objects/LOLine.h"
#include "render/PictureEx.h"

namespace kestrel {

class TLODecoLine : public TLOLine {
    KESTREL_PERSISTENT()
public:
    // Patterns are drawn for this resolution: a line is six repetitions long at it.
    static constexpr int PatternDpi = 180;
    static constexpr int DefaultRepetitions = 6;

    TLODecoLine();

    const QImage& Image() const { return image_.Image(); }
    void SetImage(const QImage& pattern) { image_.SetImage(pattern); }
    // Widths of 0 or less become 1.
    void SetLineWidth(int width) override;
    // For a new line after its pattern is chosen: six repetitions at the pattern resolution.
    void ApplyPatternDefaults();

    // The band's corners: start side above the line (p0 = the band's top-left), end side above,
    // end side below, start side below.
    std::array<QPointF, 4> BandCorners() const;
    // How many times the pattern repeats along the band (0 when there is no band).
    int Repetitions() const;

    // Nothing without a pattern or without length.
    void Paint(TCanvas& canvas) override;
    void DrawOutline(TCanvas& canvas) override;

private:
    // What the band is made from; another source makes another band.
    struct TBandSource {
        QPoint start;
        QPoint end;
        int width;
        qint64 pattern;
        friend bool operator==(const TBandSource&, const TBandSource&) = default;
    };
    // The band warped onto its corners at one pixel per unit, uncovered pixels transparent; a
    // band too large for that is made coarser, no more pixels than MaxBandPixels.
    struct TBand {
        TBandSource source;
        QImage picture;
        TRect logical;
    };
    static constexpr qint64 MaxBandPixels = 4 << 20;
    int BandLength() const;
    // The pattern repeated along the unturned band, at scale pixels per unit.
    QImage StraightBand(double scale) const;
    // Null when there is nothing to draw.
    const TBand* Band() const;
    TPictureEx* ImageHolder() { return &image_; }

    TPictureEx image_;
    TListener imageListener_;
    mutable std::optional<TBand> band_;
};

}  // namespace kestrel
