#include "platform/KeyColor.h"

namespace kestrel {

std::vector<bool> KeyColorMask(const QImage& image, TColor key)
{
    const QRgb rgb = ToQColor(key).rgb() & 0xFFFFFF;
    const QImage pixels = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    std::vector<bool> mask(size_t(pixels.width()) * pixels.height());
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) mask[size_t(y) * pixels.width() + x] = (row[x] & 0xFFFFFF) == rgb;
    }
    return mask;
}

void ApplyTransparencyMask(QImage& image, const std::vector<bool>& mask)
{
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (mask[size_t(y) * image.width() + x]) row[x] &= 0x00FFFFFF;
    }
}

QImage WithKeyColorTransparent(const QImage& image, TColor key)
{
    QImage keyed = image;
    ApplyTransparencyMask(keyed, KeyColorMask(image, key));
    return keyed;
}

}  // namespace kestrel
