#include "imaging/Effects.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/Rounding.h"

namespace kestrel {

namespace {

constexpr int RowsPerStep = 64;
constexpr int BoxSumMax = 9 * 255;

// s / 9 rounded to nearest, halves up, for every sum of a 3 × 3 box.
const std::array<uint8_t, BoxSumMax + 1>& BoxTable()
{
    static const auto table = [] {
        std::array<uint8_t, BoxSumMax + 1> t{};
        for (int s = 0; s <= BoxSumMax; ++s) t[size_t(s)] = uint8_t(std::min(255, (2 * s + 9) / 18));
        return t;
    }();
    return table;
}

// Calls pixel(sourcePixel, destPixel) for every pixel of the rectangle.
template <typename F>
void ForEachPixel(const QImage& source, const TRect& rect, QImage& dest, F pixel)
{
    const int bpp = EffectBytesPerPixel(source.format());
    for (int r = 0; r < rect.Height(); ++r) {
        const uchar* s = source.constScanLine(rect.top + r) + rect.left * bpp;
        uchar* d = dest.scanLine(r);
        for (int c = 0; c < rect.Width(); ++c, s += bpp, d += bpp) {
            if (bpp == 4) d[3] = s[3];
            pixel(s, d);
        }
    }
}

// One box blur pass from the rectangle of in to the whole of out (same size as the rectangle).
void BlurPass(const QImage& in, const TRect& rect, QImage& out, int bpp, const std::function<void(int)>& rowDone)
{
    const int w = rect.Width(), h = rect.Height();
    const auto& table = BoxTable();
    // Horizontal sums of three rows, reused in rotation: row r lives in slot r % 3.
    std::vector<uint32_t> sums(size_t(3) * w * 3);
    auto slot = [&](int row) { return sums.data() + size_t(row % 3) * w * 3; };
    auto sumRow = [&](int row) {
        const uchar* p = in.constScanLine(rect.top + row) + rect.left * bpp;
        uint32_t* h3 = slot(row);
        for (int x = 0; x < w; ++x)
            for (int ch = 0; ch < 3; ++ch) {
                const uint32_t left = p[std::max(x - 1, 0) * bpp + ch], right = p[std::min(x + 1, w - 1) * bpp + ch];
                h3[x * 3 + ch] = left + p[x * bpp + ch] + right;
            }
    };
    sumRow(0);
    if (h > 1) sumRow(1);
    for (int y = 0; y < h; ++y) {
        rowDone(y);
        if (y >= 1 && y + 1 < h) sumRow(y + 1);
        const uint32_t* above = slot(std::max(y - 1, 0));
        const uint32_t* middle = slot(y);
        const uint32_t* below = slot(std::min(y + 1, h - 1));
        const uchar* s = in.constScanLine(rect.top + y) + rect.left * bpp;
        uchar* d = out.scanLine(y);
        for (int x = 0; x < w; ++x) {
            for (int ch = 0; ch < 3; ++ch) {
                const size_t i = size_t(x) * 3 + ch;
                d[x * bpp + ch] = table[above[i] + middle[i] + below[i]];
            }
            if (bpp == 4) d[x * bpp + 3] = s[x * bpp + 3];
        }
    }
}

// Passes alternate between the destination and one scratch bitmap so that the last one writes
// the destination.
void Blur(const QImage& source, const TRect& rect, QImage& dest, int passes,
          const std::function<void(int)>& rowDone)
{
    passes = std::max(passes, 1);
    const int bpp = EffectBytesPerPixel(source.format());
    QImage scratch = passes > 1 ? QImage(dest.size(), dest.format()) : QImage();
    const TRect whole{0, 0, rect.Width(), rect.Height()};
    QImage* target = passes % 2 ? &dest : &scratch;
    BlurPass(source, rect, *target, bpp, rowDone);
    for (int pass = 1; pass < passes; ++pass) {
        QImage* next = target == &dest ? &scratch : &dest;
        BlurPass(*target, whole, *next, bpp, rowDone);
        target = next;
    }
}

double Hue(double x, double m1, double m2)
{
    x = std::fmod(x, 360.0);
    if (x < 0) x += 360;
    if (x < 60) return m1 + (m2 - m1) * x / 60;
    if (x < 180) return m2;
    if (x < 240) return m1 + (m2 - m1) * (240 - x) / 60;
    return m1;
}

}  // namespace

int EffectBytesPerPixel(QImage::Format format)
{
    switch (format) {
    case QImage::Format_BGR888: return 3;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32: return 4;
    default: return 0;
    }
}

void TGREffector::Execute()
{
    if (!Source || !Dest || EffectBytesPerPixel(Source->format()) == 0) return;
    const TRect bitmap{0, 0, Source->width(), Source->height()};
    // A rectangle reaching outside the bitmap would read past its rows.
    const TRect rect = SourceRect.IsEmpty() ? bitmap : SourceRect.Normalized().Intersected(bitmap);
    if (rect.IsEmpty()) return;
    *Dest = QImage(rect.Width(), rect.Height(), Source->format());
    if (Dest->isNull()) return;
    Run(*Source, rect, *Dest);
}

void TGREffector::BeginPhase(int rows, int sweeps, int extraSteps)
{
    if (Progress) Progress->BeginPhase((rows / RowsPerStep + 1) * sweeps + extraSteps);
}

void TGREffector::RowDone(int row)
{
    if (Progress && row % RowsPerStep == 0) Progress->Step();
}

void TGREffector::EndPhase()
{
    if (Progress) Progress->EndPhase();
}

void TGREffectBlur::Run(const QImage& source, const TRect& rect, QImage& dest)
{
    const int passes = std::max(Passes, 1);
    BeginPhase(rect.Height(), passes, 1);
    Blur(source, rect, dest, passes, [this](int row) { RowDone(row); });
    EndPhase();
}

void TGREffectUnsharpMask::Run(const QImage& source, const TRect& rect, QImage& dest)
{
    const int passes = int(std::max<int64_t>(RoundHalfEven(Radius), 1));
    BeginPhase(rect.Height(), passes + 1, 1);
    Blur(source, rect, dest, passes, [this](int row) { RowDone(row); });
    const int bpp = EffectBytesPerPixel(source.format());
    for (int r = 0; r < rect.Height(); ++r) {
        RowDone(r);
        const uchar* s = source.constScanLine(rect.top + r) + rect.left * bpp;
        uchar* d = dest.scanLine(r);
        for (int i = 0; i < rect.Width() * bpp; ++i)
            if (bpp == 3 || i % 4 != 3) d[i] = uchar(std::clamp(2 * s[i] - d[i], 0, 255));
    }
    EndPhase();
}

std::array<uint8_t, 256> TGREffectBrightnessContrast::Table() const
{
    const double b = std::clamp(Brightness / 100.0, -1.0, 1.0);
    const double c = std::clamp(Contrast / 100.0, -1.0, 1.0);
    std::array<uint8_t, 256> table{};
    for (int j = 0; j < 256; ++j) {
        double v = j / 255.0 + b;
        if (c < 0)
            v = (v - 0.5) * (c + 1) + 0.5;
        else if (c < 1)
            v = (v - 0.5) / (1 - c) + 0.5;
        else
            v = v >= 0.5 ? 1 : 0;
        table[size_t(j)] = uint8_t(std::clamp<double>(std::trunc(v * 255 + 0.5), 0, 255));
    }
    return table;
}

void TGREffectBrightnessContrast::Run(const QImage& source, const TRect& rect, QImage& dest)
{
    BeginPhase(rect.Height(), 1, 1);
    const auto table = Table();
    ForEachPixel(source, rect, dest, [&](const uchar* s, uchar* d) {
        for (int ch = 0; ch < 3; ++ch) d[ch] = table[s[ch]];
    });
    EndPhase();
}

std::array<QRgb, 256> TGREffectMonoTone::Table() const
{
    const QColor rgb = ToQColor(RefColor);
    const double r = rgb.red() / 255.0, g = rgb.green() / 255.0, b = rgb.blue() / 255.0;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const double l = (mx + mn) / 2;
    double s = 0, h = 0;
    if (mx != mn) {
        const double delta = mx - mn;
        s = l <= 0.5 ? delta / (mx + mn) : delta / (2 - mx - mn);
        if (r == mx)
            h = 60 * ((g - b) / delta);
        else if (g == mx)
            h = 60 * ((b - r) / delta + 2);
        else
            h = 60 * ((r - g) / delta + 4);
        if (h < 0) h += 360;
        if (h >= 360) h -= 360;
    }
    std::array<QRgb, 256> table{};
    for (int j = 0; j < 256; ++j) {
        const double lj = j / 255.0;
        double red = lj, green = lj, blue = lj;
        if (s != 0) {
            const double m2 = lj <= 0.5 ? lj * (1 + s) : lj + s - lj * s;
            const double m1 = 2 * lj - m2;
            red = Hue(h + 120, m1, m2), green = Hue(h, m1, m2), blue = Hue(h - 120, m1, m2);
        }
        table[size_t(j)] = qRgb(int(std::trunc(red * 255)), int(std::trunc(green * 255)), int(std::trunc(blue * 255)));
    }
    return table;
}

void TGREffectMonoTone::Run(const QImage& source, const TRect& rect, QImage& dest)
{
    BeginPhase(rect.Height(), 1, 1);
    const auto table = Table();
    ForEachPixel(source, rect, dest, [&](const uchar* s, uchar* d) {
        const QRgb c = table[size_t(Luminance(s[2], s[1], s[0]))];
        d[0] = uchar(qBlue(c)), d[1] = uchar(qGreen(c)), d[2] = uchar(qRed(c));
    });
    EndPhase();
}

QImage ChangeIllustrationColour(const QImage& illustration, TColor genreColour, TColor picked)
{
    const QImage source =
        illustration.convertToFormat(illustration.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    QImage changed;
    TGREffectColorChange change;
    change.Source = &source;
    change.Dest = &changed;
    change.FromColor = genreColour;
    change.ToColor = picked;
    change.Execute();
    return changed;
}

void TGREffectColorChange::Run(const QImage& source, const TRect& rect, QImage& dest)
{
    BeginPhase(rect.Height(), 1, 0);
    const QColor from = ToQColor(FromColor), to = ToQColor(ToColor);
    // The fourth byte of 32-bit pixels is opacity here, not part of the colour.
    ForEachPixel(source, rect, dest, [&](const uchar* s, uchar* d) {
        const bool match = s[2] == from.red() && s[1] == from.green() && s[0] == from.blue();
        d[0] = match ? uchar(to.blue()) : s[0];
        d[1] = match ? uchar(to.green()) : s[1];
        d[2] = match ? uchar(to.red()) : s[2];
    });
    EndPhase();
}

}  // namespace kestrel
