#pragma once

#include <QImage>

namespace kestrel {

// Softens an 8-bit grey picture (Format_Grayscale8 or Format_Indexed8 with a grey ramp) in
// place: three box passes per axis whose combined reach is radiusX across and radiusY down, so
// an edge becomes a smooth ramp about twice the radius wide. Pixels beyond the border repeat the
// border. Other formats and radii of 0 or less leave the picture as it is.
void BlurGrey8(QImage& picture, int radiusX, int radiusY);

// The 3 × 3 blur of the image effects rounds every pass to whole levels, so a black to white
// edge stops spreading after this many passes (its ramp then 18 pixels wide); more change nothing.
inline constexpr int ImageBlurSpreadingPasses = 76;

// Softens an 8-bit grey picture in place as `passes` passes of the 3 × 3 box blur of the image
// effects spread an edge (passes may be fractional, for a picture shrunk before blurring), in
// time that does not grow with the passes: three box passes per axis of the same spread. Up to
// three passes are exactly those passes; more give the same edge ramp within a pixel or two.
// Pixels beyond the border repeat the border; formats as above.
void BlurGrey8LikePasses(QImage& picture, double passes);

}  // namespace kestrel
