#include "imaging/GreyBlur.h"

#include <algorithm>
#include <vector>

namespace kestrel {

namespace {

constexpr int Passes = 3;

// One moving-average pass over n samples spaced by stride, the window clamped to the ends.
void BoxPass(uint8_t* data, int n, int stride, int radius, std::vector<uint8_t>& line)
{
    line.resize(n);
    for (int i = 0; i < n; ++i) line[i] = data[i * stride];
    const int window = 2 * radius + 1;
    auto at = [&](int i) { return int(line[std::clamp(i, 0, n - 1)]); };
    int sum = 0;
    for (int i = -radius; i <= radius; ++i) sum += at(i);
    for (int i = 0; i < n; ++i) {
        data[i * stride] = uint8_t((sum + window / 2) / window);
        sum += at(i + radius + 1) - at(i - radius);
    }
}

void BlurAxis(QImage& picture, int radius, bool across)
{
    const int passRadius = std::max(1, radius / Passes);
    const int lines = across ? picture.height() : picture.width();
    const int length = across ? picture.width() : picture.height();
    const int stride = across ? 1 : int(picture.bytesPerLine());
    std::vector<uint8_t> line;
    for (int l = 0; l < lines; ++l) {
        uint8_t* start = across ? picture.scanLine(l) : picture.bits() + l;
        for (int pass = 0; pass < Passes; ++pass) BoxPass(start, length, stride, passRadius, line);
    }
}

}  // namespace

void BlurGrey8(QImage& picture, int radiusX, int radiusY)
{
    if (picture.format() != QImage::Format_Grayscale8 && picture.format() != QImage::Format_Indexed8) return;
    if (radiusX > 0) BlurAxis(picture, radiusX, true);
    if (radiusY > 0) BlurAxis(picture, radiusY, false);
}

}  // namespace kestrel
