#include "render/Gradation.h"

#include <algorithm>
#include <cmath>
#include <list>
#include <numbers>

#include "platform/Canvas.h"
#include "platform/Rounding.h"

namespace kestrel {

namespace {

constexpr double Center = (GradationTileSize - 1) / 2.0;  // 63.5
// round(4096 x distance) of a corner cell from the centre.
constexpr int64_t CornerDistance = 367831;
// round(4096 x pi) and the full turn.
constexpr int64_t HalfTurn = 12868;
constexpr int64_t FullTurn = 2 * HalfTurn;
constexpr int MaxIndex = GradationRampSize - 1;
// The printer copy of the tile is made at one pixel per logical unit, up to this side.
constexpr int MaxScratchSide = 4096;

bool IsReversed(rgGradationKind kind)
{
    return kind == rgkBoxToRim || kind == rgkCircleToRim || kind == rgkConeClockwise;
}

bool IsCone(rgGradationKind kind)
{
    return kind == rgkConeClockwise || kind == rgkConeCounterClockwise;
}

TRampColor RampColorOf(TColor color)
{
    const QColor c = ToQColor(color);
    return {uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())};
}

uint8_t Channel(double t, int from, int to)
{
    return static_cast<uint8_t>(std::clamp(int(std::trunc(t * (to - from))) + from, 0, 255));
}

int ClampIndex(int64_t index)
{
    return static_cast<int>(std::clamp<int64_t>(index, 0, MaxIndex));
}

double Radians(double degrees) { return degrees * std::numbers::pi / 180; }

// The index map of one kind and angle; what depends only on them is worked out once.
class TIndexMap {
public:
    TIndexMap(rgGradationKind kind, int angle) : kind_(kind)
    {
        const double theta = Radians(360 - angle);
        sin_ = std::sin(theta);
        cos_ = std::cos(theta);
        scale_ = std::max(std::abs(sin_), std::abs(cos_));
        coneStart_ = RoundHalfAway(4096 * Radians(((angle % 360) + 360) % 360));
    }

    int At(int x, int y) const
    {
        switch (kind_) {
        case rgkSimple:
        case rgkBoxToRim:
        case rgkBoxToCenter: return Linear(x, y);
        case rgkCircleToRim:
        case rgkCircleToCenter: return Circle(x, y);
        case rgkConeClockwise:
        case rgkConeCounterClockwise: return Cone(x, y);
        }
        return 0;
    }

private:
    int Linear(int x, int y) const
    {
        const double u = 2.0 * x / (GradationTileSize - 1) - 1, v = 2.0 * y / (GradationTileSize - 1) - 1;
        const double p = scale_ * (u * sin_ + v * cos_);
        if (kind_ == rgkSimple) return ClampIndex(int64_t(std::trunc(512 + 512 * p)));
        const double q = scale_ * (u * cos_ - v * sin_);
        return ClampIndex(int64_t(std::trunc(1024 * std::max(std::abs(p), std::abs(q)))));
    }

    static int Circle(int x, int y)
    {
        const int64_t dist = RoundHalfAway(4096 * std::hypot(x - Center, y - Center));
        return ClampIndex(GradationRampSize * dist / CornerDistance);
    }

    int Cone(int x, int y) const
    {
        int64_t a = RoundHalfAway(4096 * std::atan2(x - Center, y - Center)) + coneStart_;
        while (a > HalfTurn) a -= FullTurn;
        while (a < -HalfTurn) a += FullTurn;
        return ClampIndex(GradationRampSize * (a + HalfTurn) / FullTurn);
    }

    rgGradationKind kind_;
    double sin_, cos_, scale_;
    int64_t coneStart_;
};

// A scratch copy of the tile at one pixel per logical unit of the rectangle, bounded.
QImage PrinterTile(const QImage& tile, const TRect& rect)
{
    const int w = std::clamp(rect.Width(), 1, MaxScratchSide), h = std::clamp(rect.Height(), 1, MaxScratchSide);
    return tile.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

TGradationColorList TGradationColorList::Closed() const
{
    TGradationColorList closed = *this;
    closed.closed_ = !stops_.empty();
    return closed;
}

TGradationRamp BuildGradationRamp(const TGradationColorList& colors, bool reverse)
{
    TGradationRamp ramp{};
    const int64_t count = colors.Count();
    if (count == 0) return ramp;
    if (count == 1) {
        ramp.fill(RampColorOf(colors.At(0)));  // one colour: nothing to blend towards
        return ramp;
    }
    const double segments = double(count - 1);
    for (int i = 0; i < GradationRampSize; ++i) {
        const double p = (reverse ? MaxIndex - i : i) * segments / GradationRampSize;
        const int64_t k = static_cast<int64_t>(p);
        const double t = p - double(k);
        const TRampColor a = RampColorOf(colors.At(k));
        const TRampColor b = RampColorOf(colors.At(k + 1));
        ramp[static_cast<size_t>(i)] = {Channel(t, a.r, b.r), Channel(t, a.g, b.g), Channel(t, a.b, b.b)};
    }
    return ramp;
}

int GradationIndex(rgGradationKind kind, int angle, int x, int y)
{
    return TIndexMap(kind, angle).At(x, y);
}

namespace {
// Tiles computed lately, the most recent first: a face repaints the same few gradations again
// and again. A tile depends only on its ramp, kind and angle, so those are the key, whatever the
// length of the colour list. Single-threaded, as all rendering.
struct TTileKey {
    TGradationRamp ramp;
    rgGradationKind kind;
    int angle;
    friend bool operator==(const TTileKey&, const TTileKey&) = default;
};
constexpr size_t TileCacheSize = 128;
std::list<std::pair<TTileKey, QImage>>& TileCache()
{
    static std::list<std::pair<TTileKey, QImage>> cache;
    return cache;
}

QImage ComputeGradationTile(const TTileKey& key)
{
    const TIndexMap map(key.kind, key.angle);
    QImage tile(GradationTileSize, GradationTileSize, QImage::Format_RGB888);
    for (int y = 0; y < GradationTileSize; ++y) {
        uint8_t* row = tile.scanLine(y);
        for (int x = 0; x < GradationTileSize; ++x) {
            const TRampColor& c = key.ramp[static_cast<size_t>(map.At(x, y))];
            row[3 * x] = c.r;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.b;
        }
    }
    return tile;
}
}  // namespace

QImage GradationTile(const TGradationColorList& colors, rgGradationKind kind, int angle)
{
    auto& cache = TileCache();
    // The cone closes on itself.
    TTileKey key{BuildGradationRamp(IsCone(kind) ? colors.Closed() : colors, IsReversed(kind)), kind, angle};
    const auto hit = std::find_if(cache.begin(), cache.end(), [&](const auto& entry) { return entry.first == key; });
    if (hit != cache.end()) {
        cache.splice(cache.begin(), cache, hit);
        return hit->second;
    }
    QImage tile = ComputeGradationTile(key);
    cache.emplace_front(std::move(key), tile);
    if (cache.size() > TileCacheSize) cache.pop_back();
    return tile;
}


void RenderGradation(TCanvas& canvas, const TRect& rect, const TGradationColorList& colors, bool inverted, int angle,
                     rgGradationKind kind)
{
    if (rect.Normalized().IsEmpty()) return;
    const QImage tile = GradationTile(colors, kind, angle);
    TCanvasStateSaver saver(canvas);
    canvas.SetCopyMode(inverted ? TCopyMode::cmSrcInvert : TCopyMode::cmSrcCopy);
    if (canvas.IsPrinter())
        canvas.StretchDraw(rect, PrinterTile(tile, rect.Normalized()));
    else
        canvas.StretchDraw(rect, tile, TStretchQuality::sqDevice);
}

}  // namespace kestrel
