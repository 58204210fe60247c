#include "imaging/AALine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "imaging/MixTable.h"
#include "imaging/PixelFormat.h"
#include "platform/Rounding.h"

namespace kestrel {

namespace {

// The profile is computed in extended precision.
using TReal = long double;

constexpr int64_t One = 65536;  // 1.0 in 16.16
constexpr double MaxPixels = 256;

struct TOctantSteps {
    int straightX, straightY;
    int diagonalX, diagonalY;
    int acrossX, acrossY;
};

// Indexed by 2 * (dy < 0) + (|dy| > dx); the walk always runs left to right.
constexpr std::array<TOctantSteps, 4> OctantSteps = {{
    {1, 0, 1, 1, 0, 1},
    {0, 1, 1, 1, 1, 0},
    {1, 0, 1, -1, 0, -1},
    {0, -1, 1, -1, 1, 0},
}};

// Fraction of a disc of radius r lying beyond a chord at distance x from its centre; 0 where the
// formula has no value.
TReal DiscBeyondChord(TReal x, TReal r)
{
    const TReal pi = std::numbers::pi_v<TReal>;
    const TReal s = TReal(0.5) - std::asin(x / r) / pi - x * std::sqrt(r * r - x * x) / (pi * r * r);
    return std::isfinite(s) ? s : 0;
}

int Level(TReal coverage)
{
    return static_cast<int>(std::trunc(coverage * 255 + TReal(0.5)));
}

}  // namespace

const std::array<int32_t, 1025>& AASlopeTable()
{
    static const std::array<int32_t, 1025> table = [] {
        std::array<int32_t, 1025> t{};
        for (int i = 0; i < 1024; ++i) {
            const double slope = i / 1024.0;
            t[i] = static_cast<int32_t>(RoundHalfAway(65536.0 / std::sqrt(1 + slope * slope)));
        }
        t[1024] = static_cast<int32_t>(RoundHalfAway(65536.0 * std::numbers::sqrt2 / 2));
        return t;
    }();
    return table;
}

void TAALineRec::SetHalfWidth(double pixels)
{
    halfWidth_ = std::clamp(std::isfinite(pixels) ? pixels : 0.0, 0.0, MaxPixels);
    dirty_ = true;
}

void TAALineRec::SetFilterRadius(double pixels)
{
    filterRadius_ = std::clamp(std::isfinite(pixels) ? pixels : 0.0, 0.0, MaxPixels);
    dirty_ = true;
}

void TAALineRec::SetIntensity(double scale)
{
    intensity_ = std::isfinite(scale) ? std::max(0.0, scale) : 0.0;
    dirty_ = true;
}

void TAALineRec::SetPlotHandler(TPlotHandler handler, void* context)
{
    handler_ = handler;
    context_ = context;
}

const std::vector<int>& TAALineRec::Profile()
{
    Prepare();
    return profile_;
}

int TAALineRec::Reach()
{
    Prepare();
    return reach_;
}

int TAALineRec::Shift()
{
    Prepare();
    return shift_;
}

int TAALineRec::KernelRadius()
{
    Prepare();
    return kernelRadius_;
}

int TAALineRec::KernelAt(int dx, int dy)
{
    Prepare();
    const int n = kernelRadius_;
    if (std::abs(dx) > n || std::abs(dy) > n) return 0;
    return kernel_[(dy + n) * (2 * n + 1) + dx + n];
}

void TAALineRec::Prepare()
{
    if (!dirty_) return;
    BuildProfile();
    BuildKernel();
    dirty_ = false;
}

void TAALineRec::BuildProfile()
{
    const TReal w = halfWidth_;
    const TReal r = filterRadius_;
    const TReal q = w + r;
    profile_.assign(2, 0);
    reach_ = 0;
    shift_ = 0;
    if (q <= 0) return;
    // Index bits chosen so that the table has between 64 and 128 entries up to the reach.
    shift_ = std::clamp(static_cast<int>(std::trunc(std::log2(q))) - 7 + 17, 0, 30);
    int64_t reach = static_cast<int64_t>(std::trunc(q * One + TReal(0.5)));
    reach -= reach % (int64_t(1) << shift_);
    const int64_t entries = reach >> shift_;
    if (entries == 0) return;
    reach_ = static_cast<int>(reach);
    profile_.assign(entries + 2, 0);

    const TReal step = q / entries;
    TReal d = 0;
    size_t k = 0;
    const size_t last = profile_.size() - 1;  // stays 0
    auto run = [&](TReal limit, auto coverage) {
        for (; k < last && d < limit; ++k, d += step) profile_[k] = Level(coverage(d));
    };
    if (r <= w) {
        run(w - r, [](TReal) { return TReal(1); });
    } else {
        run(r - w, [&](TReal x) { return 1 - DiscBeyondChord(w - x, r) - DiscBeyondChord(w + x, r); });
    }
    run(w, [&](TReal x) { return 1 - DiscBeyondChord(w - x, r); });
    run(w + r, [&](TReal x) { return DiscBeyondChord(x - w, r); });

    for (int& entry : profile_)
        entry = static_cast<int>(std::clamp<int64_t>(RoundHalfAway(entry * intensity_), 0, 255));
}

void TAALineRec::BuildKernel()
{
    const int n = 1 + (reach_ > 0 ? static_cast<int>((reach_ - 1) / One) : 0);
    const int size = 2 * n + 1;
    kernelRadius_ = n;
    kernel_.assign(size * size, 0);
    auto set = [&](int dx, int dy, int value) {
        kernel_[(dy + n) * size + dx + n] = static_cast<uint8_t>(value);
    };
    set(0, 0, profile_[0]);
    for (int k = 1; k < n; ++k) {
        const int value = ProfileAt(k * One);
        set(k, 0, value), set(-k, 0, value), set(0, k, value), set(0, -k, value);
    }
    for (int k = 1; k < n; ++k) {
        for (int l = k; l < n; ++l) {
            const double e = std::sqrt(double(k * k + l * l));
            const int value =
                e <= n - 1
                    ? ProfileAt(static_cast<int64_t>(std::trunc(e * (double(One) * (n - 1) - 1) / (n - 1))))
                    : 0;
            for (int sx : {-1, 1}) {
                for (int sy : {-1, 1}) {
                    set(sx * k, sy * l, value);
                    set(sx * l, sy * k, value);
                }
            }
        }
    }
}

int TAALineRec::ProfileAt(int64_t distance) const
{
    const int64_t index = std::max<int64_t>(0, distance) >> shift_;
    return profile_[static_cast<size_t>(std::min<int64_t>(index, static_cast<int64_t>(profile_.size()) - 1))];
}

void TAALineRec::LineTo(int x, int y)
{
    Prepare();
    int64_t x0 = position_.x(), y0 = position_.y(), x1 = x, y1 = y;
    position_ = {x, y};
    if (!handler_) return;
    if (x0 > x1) std::swap(x0, x1), std::swap(y0, y1);
    const int64_t dx = x1 - x0;
    const int64_t dy = y1 - y0;
    const int64_t major = std::max(dx, std::abs(dy));
    const int64_t minor = std::min(dx, std::abs(dy));
    if (major < 1) return Plot(x0, y0, profile_[0]);

    const TOctantSteps& steps = OctantSteps[2 * (dy < 0) + (std::abs(dy) > dx)];
    // 64-bit throughout: minor * 65536 and v * u both pass 2^31 (long lines, slopes near 45°).
    const int64_t v = (minor * One) / major;
    const int64_t u = AASlopeTable()[v >> 6];
    const int64_t w = (v * u + 32768) >> 16;
    const bool alongY = steps.straightY != 0;
    const auto [first, last] = VisibleSteps(x0, y0, major, alongY, alongY ? steps.straightY : 1);
    // The walk's state after `first` steps, in closed form: Bresenham takes
    // floor((2 * minor * i + major) / (2 * major)) diagonal steps in the first i. The offset is
    // taken from the exact slope there, not summed up: the rounded per-step change can drift by
    // a pixel in some fifty thousand steps.
    const auto diagonals = static_cast<int64_t>((__int128(2 * minor) * first + major) / (2 * major));
    int64_t px = x0 + first * steps.straightX + diagonals * (steps.diagonalX - steps.straightX);
    int64_t py = y0 + first * steps.straightY + diagonals * (steps.diagonalY - steps.straightY);
    auto offset = static_cast<int64_t>((__int128(first) * minor - __int128(diagonals) * major) * u / major);
    auto error = static_cast<int64_t>(2 * minor - major + __int128(2 * minor) * first -
                                      __int128(2 * major) * diagonals);
    for (int64_t i = first; i <= last; ++i) {
        Plot(px, py, ProfileAt(std::abs(offset)));
        int64_t ax = px + steps.acrossX, ay = py + steps.acrossY;
        for (int64_t c = u - offset; c < reach_; c += u, ax += steps.acrossX, ay += steps.acrossY)
            Plot(ax, ay, ProfileAt(c));
        ax = px - steps.acrossX, ay = py - steps.acrossY;
        for (int64_t c = u + offset; c < reach_; c += u, ax -= steps.acrossX, ay -= steps.acrossY)
            Plot(ax, ay, ProfileAt(c));
        if (error < 0) {
            error += 2 * minor;
            px += steps.straightX, py += steps.straightY;
            offset += w;
        } else {
            error += 2 * (minor - major);
            px += steps.diagonalX, py += steps.diagonalY;
            offset += w - u;
        }
    }
}

std::pair<int64_t, int64_t> TAALineRec::VisibleSteps(int64_t x0, int64_t y0, int64_t major, bool alongY,
                                                     int direction) const
{
    if (!plotArea_) return {0, major};
    const int64_t start = alongY ? y0 : x0;
    const int64_t low = alongY ? plotArea_->top() : plotArea_->left();
    const int64_t high = alongY ? plotArea_->bottom() : plotArea_->right();
    if (direction > 0) return {std::max<int64_t>(0, low - start), std::min(major, high - start)};
    return {std::max<int64_t>(0, start - high), std::min(major, start - low)};
}

void TAALineRec::Dot(int x, int y)
{
    Prepare();
    const int n = kernelRadius_;
    if (!handler_ || n <= 1) return;
    for (int i = -n; i < n; ++i)
        for (int j = -n; j < n; ++j)
            Plot(int64_t(x) + i, int64_t(y) + j, kernel_[(j + n) * (2 * n + 1) + i + n]);
}

namespace {

// Walks one path for TraceAntialiased: the device position of the last point drawn and the
// figure's start.
class TPathTracer {
public:
    TPathTracer(TAALineRec& line, const std::function<QPoint(QPoint)>& toDevice)
        : line_(line), toDevice_(toDevice)
    {
    }

    void Move(QPoint logical)
    {
        start_ = last_ = toDevice_(logical);
        line_.MoveTo(start_.x(), start_.y());
    }
    void Line(QPoint logical) { Draw(toDevice_(logical)); }
    void Bezier(QPoint p0, QPoint p1, QPoint p2, QPoint p3)
    {
        line_.Dot(last_.x(), last_.y());
        for (int j = 1; j < 63; ++j) {
            const QPoint device = toDevice_(BezierPoint(p0, p1, p2, p3, j / 63.0));
            if (device != last_) Draw(device);
        }
        const QPoint end = toDevice_(p3);
        if (end != last_) Draw(end);
    }
    void Close() { Draw(start_); }

private:
    void Draw(QPoint device)
    {
        line_.LineTo(device.x(), device.y());
        line_.Dot(device.x(), device.y());
        last_ = device;
    }
    static QPoint BezierPoint(QPoint p0, QPoint p1, QPoint p2, QPoint p3, double t)
    {
        const double s = 1 - t;
        auto at = [&](double a, double b, double c, double d) {
            return int(RoundHalfAway(s * s * s * a + 3 * s * s * t * b + 3 * s * t * t * c + t * t * t * d));
        };
        return {at(p0.x(), p1.x(), p2.x(), p3.x()), at(p0.y(), p1.y(), p2.y(), p3.y())};
    }

    TAALineRec& line_;
    const std::function<QPoint(QPoint)>& toDevice_;
    QPoint start_;
    QPoint last_;
};

}  // namespace

void TraceAntialiased(TAALineRec& line, std::span<const QPoint> points, std::span<const uint8_t> types,
                      const std::function<QPoint(QPoint)>& toDevice)
{
    TPathTracer tracer(line, toDevice);
    const size_t count = std::min(points.size(), types.size());
    QPoint previous;  // logical start of a curve
    for (size_t i = 0; i < count; ++i) {
        const uint8_t kind = types[i] & ~ptCloseFigure;
        size_t closing = i;
        if (kind == ptMoveTo) {
            tracer.Move(points[i]);
        } else if (kind == ptLineTo) {
            tracer.Line(points[i]);
        } else if (kind == ptBezierTo && i + 2 < count) {
            tracer.Bezier(previous, points[i], points[i + 1], points[i + 2]);
            closing = i += 2;
        } else {
            return;
        }
        previous = points[i];
        if (kind != ptMoveTo && (types[closing] & ptCloseFigure)) tracer.Close();
    }
}

bool TAALineAlphaMap::Attach(QImage& bitmap)
{
    const bool usable = IsEightBitMap(bitmap) && !bitmap.isNull();
    bits_ = usable ? bitmap.bits() : nullptr;
    bytesPerLine_ = bitmap.bytesPerLine();
    width_ = usable ? bitmap.width() : 0;
    height_ = usable ? bitmap.height() : 0;
    SetPlotArea(bitmap.rect());
    SetPlotHandler(&TAALineAlphaMap::PlotMax, this);
    return usable;
}

void TAALineAlphaMap::PlotMax(void* context, int x, int y, int value)
{
    auto& self = *static_cast<TAALineAlphaMap*>(context);
    if (unsigned(x) >= unsigned(self.width_) || unsigned(y) >= unsigned(self.height_)) return;
    uint8_t& pixel = self.bits_[y * self.bytesPerLine_ + x];
    if (value > pixel) pixel = static_cast<uint8_t>(value);
}

bool TAALineBitmap::Attach(QImage& bitmap, TColor color)
{
    bytesPerPixel_ = bitmap.isNull() ? 0 : ColourBytesPerPixel(bitmap.format());
    const bool usable = bytesPerPixel_ != 0;
    bits_ = usable ? bitmap.bits() : nullptr;
    bytesPerLine_ = bitmap.bytesPerLine();
    width_ = usable ? bitmap.width() : 0;
    height_ = usable ? bitmap.height() : 0;
    if (usable) {
        // The colour's bytes in the bitmap's own channel order.
        QImage probe(1, 1, bitmap.format());
        probe.setPixelColor(0, 0, ToQColor(color));
        std::copy_n(probe.constBits(), 3, colour_.begin());
    }
    SetPlotArea(bitmap.rect());
    SetPlotHandler(&TAALineBitmap::PlotColour, this);
    return usable;
}

void TAALineBitmap::PlotColour(void* context, int x, int y, int value)
{
    auto& self = *static_cast<TAALineBitmap*>(context);
    if (unsigned(x) >= unsigned(self.width_) || unsigned(y) >= unsigned(self.height_) || value <= 0) return;
    uint8_t* pixel = self.bits_ + y * self.bytesPerLine_ + x * self.bytesPerPixel_;
    if (value >= 255) {
        std::copy(self.colour_.begin(), self.colour_.end(), pixel);  // no need to wait for the old value
        return;
    }
    for (int c = 0; c < 3; ++c) pixel[c] = MixToward(pixel[c], self.colour_[c], value);
}

}  // namespace kestrel
