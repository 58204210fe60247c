#pragma once

// The gradation engine: a colour list becomes a 1024-step ramp, every cell of a 128 x 128 tile
// gets a ramp index by the gradation's kind, and the tile is stretched onto the target.

#include <QImage>
#include <array>
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

// Black without colours; one colour gives a constant ramp.
TGradationRamp BuildGradationRamp(const std::vector<TColor>& colors, bool reverse);
// Ramp index (0..1023) of cell (x, y) of the tile.
int GradationIndex(rgGradationKind kind, int angle, int x, int y);
// The 128 x 128 tile of the colours for the kind and angle.
QImage GradationTile(const std::vector<TColor>& colors, rgGradationKind kind, int angle);

// Paints the gradation over the logical rectangle; inverted combines it with the pixels by
// exclusive or. On printers the tile is resampled smoothly first.
void RenderGradation(TCanvas& canvas, const TRect& rect, const std::vector<TColor>& colors, bool inverted, int angle,
                     rgGradationKind kind);

}  // namespace kestrel
