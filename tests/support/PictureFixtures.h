#pragma once

// Small pictures made in memory for the picture, cache and object tests.

#include <QImage>

#include "platform/Graphic.h"
#include "platform/PictureCodecs.h"

namespace kestrel::test {

inline QImage Solid(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// The picture as a BMP file held by a graphic, as a document stores it.
inline TGraphic Bitmap(const QImage& image) { return TGraphic(TGraphicClass::gcBitmap, EncodeBmp24(image)); }

}  // namespace kestrel::test
