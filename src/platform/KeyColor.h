#pragma once

// Keyed transparency, as bitmaps have it: every pixel of the key colour is see-through.

#include <QImage>
#include <vector>

#include "platform/Color.h"

namespace kestrel {

// Which pixels equal the key colour (alpha ignored), row by row.
std::vector<bool> KeyColorMask(const QImage& image, TColor key);
// The picture as Format_ARGB32 with the masked pixels fully transparent.
void ApplyTransparencyMask(QImage& image, const std::vector<bool>& mask);
QImage WithKeyColorTransparent(const QImage& image, TColor key);

}  // namespace kestrel
