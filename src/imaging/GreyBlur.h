#pragma once

#include <QImage>

namespace kestrel {

// Softens an 8-bit grey picture (Format_Grayscale8 or Format_Indexed8 with a grey ramp) in
// place: three box passes per axis whose combined reach is radiusX across and radiusY down, so
// an edge becomes a smooth ramp about twice the radius wide. Pixels beyond the border repeat the
// border. Other formats and radii of 0 or less leave the picture as it is.
void BlurGrey8(QImage& picture, int radiusX, int radiusY);

}  // namespace kestrel
