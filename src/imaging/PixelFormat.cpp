#include "imaging/PixelFormat.h"

#include <QtGlobal>

namespace kestrel {

int ColourBytesPerPixel(QImage::Format format)
{
    switch (format) {
        case QImage::Format_RGB888:
        case QImage::Format_BGR888:
            return 3;
        case QImage::Format_RGBX8888:
        case QImage::Format_RGBA8888:
            return 4;
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
            // Stored as 32-bit words: the fourth byte is the last only on little-endian machines.
            return Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 4 : 0;
        default:
            return 0;
    }
}

bool IsEightBitMap(const QImage& image)
{
    const QImage::Format f = image.format();
    return f == QImage::Format_Grayscale8 || f == QImage::Format_Alpha8 || f == QImage::Format_Indexed8;
}

}  // namespace kestrel
