#pragma once

#include <QImage>

namespace kestrel {

// Bytes per pixel of a format whose first three bytes are the colour channels (24 or 32 bits);
// 0 for every other format (palettes, packed or 16-bit formats, premultiplied alpha).
int ColourBytesPerPixel(QImage::Format format);

// One byte of opacity (or coverage) per pixel.
bool IsEightBitMap(const QImage& image);

}  // namespace kestrel
