#pragma once

#include <QImage>
#include <QPoint>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "platform/Color.h"
#include "platform/PathData.h"

namespace kestrel {

// cos of a line's angle for slope i / 1024 (16.16), i = 0..1024; index with slope16.16 >> 6.
const std::array<int32_t, 1025>& AASlopeTable();

// Anti-aliased lines: a Bresenham walk along the major axis that also visits the pixels across
// the line, each given the coverage of a small disc filter by a line of width 2 * HalfWidth.
// Every visited pixel goes to the plot handler with its coverage 0..255.
class TAALineRec {
public:
    using TPlotHandler = void (*)(void* context, int x, int y, int value);

    virtual ~TAALineRec() = default;

    double HalfWidth() const { return halfWidth_; }
    // Pixels, kept within 0..256 so that the profile stays small.
    void SetHalfWidth(double pixels);
    void SetFilterRadius(double pixels);
    void SetIntensity(double scale);

    void SetPlotHandler(TPlotHandler handler, void* context);
    // Device pixels that can be plotted at all: the walk skips the steps of a line that cannot
    // reach them, so even lines of billions of pixels cost no more than the area's size.
    void SetPlotArea(std::optional<QRect> area) { plotArea_ = area; }

    QPoint Position() const { return position_; }
    void MoveTo(int x, int y) { position_ = {x, y}; }
    // Draws from the current position and moves there.
    void LineTo(int x, int y);
    // Stamps the round dot kernel (nothing while it is a single pixel).
    void Dot(int x, int y);

    // Coverage by perpendicular distance (16.16 >> Shift()); the last entry is always 0.
    const std::vector<int>& Profile();
    // 16.16 distance at and beyond which nothing is plotted.
    int Reach();
    int Shift();
    // The dot kernel is (2n + 1) squared pixels.
    int KernelRadius();
    int KernelAt(int dx, int dy);

private:
    void Prepare();
    // First and last steps (0..major) whose major coordinate lies in the plot area.
    std::pair<int64_t, int64_t> VisibleSteps(int64_t x0, int64_t y0, int64_t major, bool alongY,
                                             int direction) const;
    void BuildProfile();
    void BuildKernel();
    // Never past the table: distances beyond it read the final 0.
    int ProfileAt(int64_t distance) const;
    void Plot(int64_t x, int64_t y, int value) const
    {
        handler_(context_, static_cast<int>(x), static_cast<int>(y), value);
    }

    double halfWidth_ = 0.6;
    double filterRadius_ = 0.4;
    double intensity_ = 1.0;
    std::vector<int> profile_;
    int reach_ = 0;
    int shift_ = 0;
    int kernelRadius_ = 0;
    std::vector<uint8_t> kernel_;
    bool dirty_ = true;
    std::optional<QRect> plotArea_;
    TPlotHandler handler_ = nullptr;
    void* context_ = nullptr;
    QPoint position_;
};

// Traces a path (logical points with their types; Béziers in threes) with the rasteriser: every
// line end and curve step gets a LineTo and a Dot. Curves are followed in 63 parameter steps,
// skipping steps that stay on the same device pixel. An unknown type or an unfinished Bézier
// ends the tracing.
void TraceAntialiased(TAALineRec& line, std::span<const QPoint> points, std::span<const uint8_t> types,
                      const std::function<QPoint(QPoint)>& toDevice);

// Writes coverage into an 8-bit map (grey, alpha or palette indices), keeping the larger of the
// old and new value so that overlapping strokes never weaken each other.
class TAALineAlphaMap : public TAALineRec {
public:
    // The bitmap's rows are used until the next Attach; the bitmap must stay alive and unshared
    // meanwhile. A bitmap of another depth draws nothing.
    bool Attach(QImage& bitmap);

private:
    static void PlotMax(void* context, int x, int y, int value);

    uint8_t* bits_ = nullptr;
    qsizetype bytesPerLine_ = 0;
    int width_ = 0;
    int height_ = 0;
};

// Paints a colour onto a 24- or 32-bit bitmap, the coverage acting as opacity.
class TAALineBitmap : public TAALineRec {
public:
    // As TAALineAlphaMap::Attach; formats without plain colour bytes draw nothing.
    bool Attach(QImage& bitmap, TColor color);

private:
    static void PlotColour(void* context, int x, int y, int value);

    uint8_t* bits_ = nullptr;
    qsizetype bytesPerLine_ = 0;
    int bytesPerPixel_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::array<uint8_t, 3> colour_{};
};

}  // namespace kestrel
