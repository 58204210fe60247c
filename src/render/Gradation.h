#pragma once

// The gradation engine: a colour list becomes a 1024-step ramp, every cell of a 128 x 128 tile
// gets a ramp index by the gradation's kind, and the tile is stretched onto the target.

#include <QImage>
#include <array>
#include <initializer_list>
#include <vector>

#include "platform/Color.h"
#include "platform/Geometry.h"

namespace kestrel {

class TCanvas;

enum rgGradationKind {
    rgkSimple,
    rgkBoxToRim,
    rgkBoxToCenter,
    rgkCircleToRim,
    rgkCircleToCenter,
    rgkConeClockwise,
    rgkConeCounterClockwise
};

inline constexpr int GradationTileSize = 128;
inline constexpr int GradationRampSize = 1024;

struct TRampColor {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const TRampColor&, const TRampColor&) = default;
};
using TGradationRamp = std::array<TRampColor, GradationRampSize>;

// The colour list a gradation blends through: its stops repeated, read entry by entry (entry j
// is stop j mod the stop count). It is never spelled out, so a long list repeated many times
// costs no more memory than its stops; the ramp samples it at its 1024 steps.
class TGradationColorList {
public:
    TGradationColorList() = default;
    TGradationColorList(std::initializer_list<TColor> stops) : stops_(stops) {}
    TGradationColorList(std::vector<TColor> stops, int repeat) : stops_(std::move(stops)), repeat_(repeat) {}

    int64_t Count() const { return int64_t(stops_.size()) * repeat_ + (closed_ ? 1 : 0); }
    TColor At(int64_t j) const { return stops_[size_t(j % int64_t(stops_.size()))]; }
    // The list with its first stop once more at the end, as a cone closes on itself.
    TGradationColorList Closed() const;

private:
    std::vector<TColor> stops_;
    int repeat_ = 1;
    bool closed_ = false;
};

// Black without colours; one colour gives a constant ramp.
TGradationRamp BuildGradationRamp(const TGradationColorList& colors, bool reverse);
// Ramp index (0..1023) of cell (x, y) of the tile.
int GradationIndex(rgGradationKind kind, int angle, int x, int y);
// The 128 x 128 tile of the colours for the kind and angle.
QImage GradationTile(const TGradationColorList& colors, rgGradationKind kind, int angle);

// Paints the gradation over the logical rectangle; inverted combines it with the pixels by
// exclusive or. On printers the tile is resampled smoothly first.
void RenderGradation(TCanvas& canvas, const TRect& rect, const TGradationColorList& colors, bool inverted, int angle,
                     rgGradationKind kind);

}  // namespace kestrel
