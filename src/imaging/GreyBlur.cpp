#include "imaging/GreyBlur.h"

#include <algorithm>
#include <array>
#include <cmath>
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

using TPassRadii = std::array<int, Passes>;

void BlurAxis(QImage& picture, const TPassRadii& radii, bool across)
{
    const int lines = across ? picture.height() : picture.width();
    const int length = across ? picture.width() : picture.height();
    const int stride = across ? 1 : int(picture.bytesPerLine());
    std::vector<uint8_t> line;
    for (int l = 0; l < lines; ++l) {
        uint8_t* start = across ? picture.scanLine(l) : picture.bits() + l;
        for (const int radius : radii)
            if (radius > 0) BoxPass(start, length, stride, radius, line);
    }
}

TPassRadii EvenRadii(int radius)
{
    const int passRadius = std::max(1, radius / Passes);
    return {passRadius, passRadius, passRadius};
}

// Box radii whose passes spread an edge as far as n passes of a 3-wide box (variance 2n/3):
// the narrower odd width for the first m passes and the next one for the rest.
TPassRadii RadiiLikeBoxPasses(double n)
{
    const double variance12 = 8 * n;  // 12 × variance
    const double ideal = std::sqrt(variance12 / Passes + 1);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0) --lower;
    lower = std::max(lower, 1);
    const int narrow = int(std::lround((variance12 - Passes * lower * lower - 4.0 * Passes * lower - 3.0 * Passes) /
                                       (-4.0 * lower - 4)));
    TPassRadii radii{};
    for (int pass = 0; pass < Passes; ++pass) radii[pass] = (pass < narrow ? lower : lower + 2) / 2;
    return radii;
}

}  // namespace

void BlurGrey8(QImage& picture, int radiusX, int radiusY)
{
    if (picture.format() != QImage::Format_Grayscale8 && picture.format() != QImage::Format_Indexed8) return;
    if (radiusX > 0) BlurAxis(picture, EvenRadii(radiusX), true);
    if (radiusY > 0) BlurAxis(picture, EvenRadii(radiusY), false);
}

void BlurGrey8LikePasses(QImage& picture, double passes)
{
    if (picture.format() != QImage::Format_Grayscale8 && picture.format() != QImage::Format_Indexed8) return;
    if (passes <= 0) return;
    const TPassRadii radii = RadiiLikeBoxPasses(passes);
    BlurAxis(picture, radii, true);
    BlurAxis(picture, radii, false);
}

}  // namespace kestrel
