#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <numeric>
#include <set>

#include "imaging/AALine.h"

namespace kestrel {
namespace {

QImage EmptyMap(int w, int h)
{
    QImage map(w, h, QImage::Format_Grayscale8);
    map.fill(0);
    return map;
}

int At(const QImage& map, int x, int y)
{
    return map.constScanLine(y)[x];
}

// Keeps every plotted value in chosen columns (or rows) of an unbounded plane.
struct TRecorder {
    bool byColumn = true;
    std::set<int> lanes;
    std::map<std::pair<int, int>, int> values;
    int plots = 0;

    static void Plot(void* context, int x, int y, int value)
    {
        auto& self = *static_cast<TRecorder*>(context);
        ++self.plots;
        if (self.lanes.count(self.byColumn ? x : y)) self.values[{x, y}] = value;
    }
    int At(int x, int y) const
    {
        const auto it = values.find({x, y});
        return it == values.end() ? 0 : it->second;
    }
};

TEST(AALineProfile, DefaultsGiveTheDiscFilterTableAndASinglePixelDot)
{
    TAALineRec line;
    const std::vector<int>& profile = line.Profile();
    ASSERT_EQ(profile.size(), 66u);
    for (int k = 0; k <= 13; ++k) EXPECT_EQ(profile[k], 255) << k;
    EXPECT_EQ(std::vector<int>(profile.begin() + 14, profile.begin() + 19),
              (std::vector<int>{253, 251, 248, 245, 241}));
    EXPECT_EQ(std::vector<int>(profile.begin() + 61, profile.end()), (std::vector<int>{6, 3, 1, 0, 0}));
    EXPECT_TRUE(std::is_sorted(profile.rbegin(), profile.rend()));  // coverage never grows with distance
    EXPECT_EQ(line.Reach(), 65536);
    EXPECT_EQ(line.Shift(), 10);
    EXPECT_EQ(line.KernelRadius(), 1);
}

TEST(AALineProfile, SlopeTableHoldsTheCosineOfEachSlope)
{
    const auto& table = AASlopeTable();
    EXPECT_EQ(table[0], 65536);
    EXPECT_EQ(table[1024], 46341);
    EXPECT_EQ(table[512], std::lround(65536 / std::sqrt(1.25)));
    EXPECT_TRUE(std::is_sorted(table.rbegin(), table.rend()));
}

TEST(AALineProfile, IntensityScalesAndChangesRebuildTheTable)
{
    TAALineRec line;
    const int before = line.Profile()[20];
    line.SetIntensity(0.5);
    EXPECT_EQ(line.Profile()[0], 128);  // 127.5 rounds away from zero
    EXPECT_EQ(line.Profile()[20], std::lround(before * 0.5));
    line.SetIntensity(3);
    EXPECT_EQ(line.Profile()[40], 255);  // clamped
}

TEST(AALineProfile, WideLinesGetARoundDotKernel)
{
    TAALineRec line;
    line.SetHalfWidth(2.0);  // q = 2.4: shift 11, reach 155648, 76 steps
    EXPECT_EQ(line.Shift(), 11);
    EXPECT_EQ(line.Reach(), 155648);
    ASSERT_EQ(line.KernelRadius(), 3);
    const std::vector<int> profile = line.Profile();
    EXPECT_EQ(profile.size(), 78u);
    EXPECT_EQ(line.KernelAt(0, 0), profile[0]);
    EXPECT_EQ(line.KernelAt(1, 0), profile[32]);
    EXPECT_EQ(line.KernelAt(0, -2), profile[64]);
    EXPECT_EQ(line.KernelAt(-1, 1), profile[92681 >> 11]);  // sqrt 2 * (131072 - 1) / 2
    EXPECT_EQ(line.KernelAt(1, 2), 0);                      // beyond radius n - 1
    EXPECT_EQ(line.KernelAt(3, 0), 0);

    QImage map = EmptyMap(20, 20);
    TAALineAlphaMap dots;
    dots.SetHalfWidth(2.0);
    dots.Attach(map);
    dots.Dot(10, 10);
    EXPECT_EQ(At(map, 10, 10), profile[0]);
    EXPECT_EQ(At(map, 11, 11), profile[45]);
    EXPECT_EQ(At(map, 8, 10), profile[64]);
}

TEST(AALineProfile, ExtremeSettingsStayInsideTheTable)
{
    TAALineRec line;
    TRecorder recorder;
    recorder.lanes = {0, 1, 2, 3};
    line.SetPlotHandler(&TRecorder::Plot, &recorder);
    // A tiny line leaves offsets far beyond its reach; a huge one would need a huge table.
    for (double halfWidth : {0.01, 0.0, 1e9, std::nan("")}) {
        line.SetHalfWidth(halfWidth);
        line.SetFilterRadius(halfWidth);
        line.MoveTo(0, 0);
        line.LineTo(300, 7);
        line.Dot(1, 1);
        EXPECT_LE(line.Profile().size(), 130u);
        EXPECT_EQ(line.Profile().back(), 0);
    }
    EXPECT_EQ(line.HalfWidth(), 0.0);  // not a number counts as nothing
}

TEST(AALineWalk, HorizontalLineFillsItsRowOnlyAndStopsAtItsEnds)
{
    QImage map = EmptyMap(16, 10);
    TAALineAlphaMap line;
    ASSERT_TRUE(line.Attach(map));
    line.MoveTo(0, 5);
    line.LineTo(10, 5);
    for (int x = 0; x <= 10; ++x) {
        EXPECT_EQ(At(map, x, 5), 255) << x;
        EXPECT_EQ(At(map, x, 4), 0) << x;
        EXPECT_EQ(At(map, x, 6), 0) << x;
    }
    EXPECT_EQ(At(map, 11, 5), 0);
    EXPECT_EQ(line.Position(), QPoint(10, 5));
}

TEST(AALineWalk, DiagonalNeighboursGetTheProfileAtTheCosine)
{
    QImage map = EmptyMap(30, 30);
    TAALineAlphaMap line;
    line.Attach(map);
    line.MoveTo(2, 2);
    line.LineTo(22, 22);
    const int beside = line.Profile()[46341 >> 10];
    EXPECT_EQ(At(map, 10, 10), 255);
    EXPECT_EQ(At(map, 10, 11), beside);
    EXPECT_EQ(At(map, 11, 10), beside);
    EXPECT_EQ(At(map, 10, 12), 0);
}

TEST(AALineWalk, DirectionRepeatsAndBoundsDoNotChangeTheResult)
{
    QImage forward = EmptyMap(40, 40);
    QImage backward = EmptyMap(40, 40);
    TAALineAlphaMap line;
    line.Attach(forward);
    line.MoveTo(3, 30);
    line.LineTo(35, 7);
    line.MoveTo(5, 2);
    line.LineTo(12, 38);
    const QImage once = forward.copy();
    line.MoveTo(3, 30);
    line.LineTo(35, 7);  // maximum rule: a second pass changes nothing
    EXPECT_EQ(forward, once);

    line.Attach(backward);
    line.MoveTo(35, 7);
    line.LineTo(3, 30);
    line.MoveTo(12, 38);
    line.LineTo(5, 2);
    EXPECT_EQ(backward, forward);

    QImage small = EmptyMap(5, 5);
    line.Attach(small);
    line.MoveTo(-100, -50);
    line.LineTo(400, 300);  // mostly outside: skipped without harm
    EXPECT_EQ(At(small, 0, 0), 0);

    QImage single = EmptyMap(5, 5);
    line.Attach(single);
    line.MoveTo(2, 3);
    line.LineTo(2, 3);
    EXPECT_EQ(At(single, 2, 3), 255);
    EXPECT_EQ(At(single, 2, 2), 0);
}

TEST(AALineWalk, NothingIsDrawnWithoutAnEightBitMap)
{
    QImage colour(10, 10, QImage::Format_RGB32);
    colour.fill(Qt::white);
    TAALineAlphaMap line;
    EXPECT_FALSE(line.Attach(colour));
    line.MoveTo(0, 5);
    line.LineTo(9, 5);
    EXPECT_EQ(colour.pixel(4, 5), qRgb(255, 255, 255));
}

// Every pixel the walk plots lies at a(cross) b(along) from the start and gets
// profile[|a * w - b * u| >> shift], with u and w from the slope: checked far down long lines of
// every octant, where 32-bit products of slope and cosine would have overflowed.
struct TLongLine {
    int dx, dy;
};

class AALineLong : public ::testing::TestWithParam<TLongLine> {};

TEST_P(AALineLong, FarPixelsMatchTheClosedForm)
{
    const auto [dx, dy] = GetParam();
    const bool steep = std::abs(dy) > dx;
    const int64_t major = std::max(dx, std::abs(dy));
    const int64_t minor = std::min(dx, std::abs(dy));
    const int64_t v = minor * 65536 / major;
    const int64_t u = AASlopeTable()[v >> 6];
    const int64_t w = (v * u + 32768) >> 16;
    const int signY = dy < 0 ? -1 : 1;

    TAALineRec line;
    TRecorder recorder;
    recorder.byColumn = !steep;
    const std::vector<int64_t> probes = {1, major / 3, major - 7, major};
    for (int64_t along : probes) recorder.lanes.insert(int(steep ? signY * along : along));
    line.SetPlotHandler(&TRecorder::Plot, &recorder);
    line.MoveTo(0, 0);
    line.LineTo(dx, dy);

    const std::vector<int>& profile = line.Profile();
    for (int64_t along : probes) {
        const int64_t nearest = (along * minor + major / 2) / major;
        int covered = 0;
        for (int64_t across = nearest - 3; across <= nearest + 3; ++across) {
            const int64_t distance = std::abs(along * w - across * u);
            const int expected = distance < line.Reach() ? profile[distance >> line.Shift()] : 0;
            const int x = int(steep ? across : along);
            const int y = int(steep ? signY * along : signY * across);
            EXPECT_EQ(recorder.At(x, y), expected) << "along " << along << " across " << across;
            covered += recorder.At(x, y);
        }
        EXPECT_GT(covered, 255) << along;  // the line is there, about one pixel wide
    }
    // One centre pixel and at most two beside it per step.
    EXPECT_LE(recorder.plots, 3 * (major + 1));
}

INSTANTIATE_TEST_SUITE_P(Octants, AALineLong,
                         ::testing::Values(TLongLine{40000, 39999}, TLongLine{39999, 40000},
                                           TLongLine{50000, -49998}, TLongLine{45001, -45000},
                                           TLongLine{60000, 1234}, TLongLine{777, 60000}));

// Draws lines that start far outside the map once through the whole walk (keeping the maximum
// per pixel inside the map) and once into the map, whose walk starts at the first visible step.
// The lines have slopes whose per-step offset change is exact, so both walks agree to the pixel.
TEST(AALineWalk, SkippingToTheVisibleStepsChangesNoPixel)
{
    const std::vector<std::pair<QPoint, QPoint>> lines = {
        {{-5000, -4987}, {5000, 5013}}, {{-3000, 20}, {3000, 20}},      {{13, -7000}, {13, 7000}},
        {{9000, -8990}, {-9000, 9010}}, {{-4000, 4030}, {4030, -4000}}, {{-50, 10}, {10, 10}},
    };
    QImage skipped = EmptyMap(40, 40);
    TAALineAlphaMap map;
    map.Attach(skipped);
    struct TWhole {
        QImage image = EmptyMap(40, 40);
        static void Plot(void* context, int x, int y, int value)
        {
            QImage& image = static_cast<TWhole*>(context)->image;
            if (image.rect().contains(x, y))
                image.scanLine(y)[x] = std::max<int>(image.scanLine(y)[x], value);
        }
    } whole;
    TAALineRec walk;
    walk.SetPlotHandler(&TWhole::Plot, &whole);
    for (const auto& [from, to] : lines) {
        map.MoveTo(from.x(), from.y());
        map.LineTo(to.x(), to.y());
        walk.MoveTo(from.x(), from.y());
        walk.LineTo(to.x(), to.y());
    }
    EXPECT_EQ(skipped, whole.image);
    EXPECT_GT(std::accumulate(skipped.constBits(), skipped.constBits() + skipped.sizeInBytes(), 0),
              255 * 40 * 4);
}

// Lines from one end of the coordinate range to the other cost no more than the map's size and
// still lie where they should: about one pixel wide around the true line.
TEST(AALineWalk, LinesAcrossTheWholeCoordinateRangeStayThin)
{
    struct TFarLine {
        QPoint from, to;
        double slope, yAtZero;
    };
    const int low = std::numeric_limits<int>::min(), high = std::numeric_limits<int>::max();
    for (const TFarLine& line : {TFarLine{{-300000000, -100000000}, {300000000, 100000000}, 1 / 3.0, 0},
                                 TFarLine{{-2000000000, 2000000005}, {2000000000, -2000000000}, -1.0, 2.5},
                                 TFarLine{{low, 0}, {high, 10}, 0, 5}}) {
        QImage far = EmptyMap(40, 40);
        TAALineAlphaMap map;
        map.Attach(far);
        map.MoveTo(line.from.x(), line.from.y());
        map.LineTo(line.to.x(), line.to.y());
        for (int x = 0; x < 40; ++x) {
            const double trueY = line.yAtZero + line.slope * x;
            if (trueY < 1 || trueY > 38) continue;
            int covered = 0, strongest = 0;
            for (int y = 0; y < 40; ++y) {
                const int value = At(far, x, y);
                if (value) {
                    EXPECT_LE(std::abs(y - trueY), 1.5) << x << "," << y;
                }
                covered += value > 0;
                strongest = std::max(strongest, value);
            }
            EXPECT_LE(covered, 3) << x;
            EXPECT_GE(strongest, 128) << x;
        }
    }
}

QPoint TenthToPixel(QPoint logical)
{
    return logical / 10;
}

TEST(AALinePath, ClosedFiguresReturnToTheirStartAndCornersGetDots)
{
    QImage map = EmptyMap(40, 40);
    TAALineAlphaMap line;
    line.Attach(map);
    const std::vector<QPoint> rect = {{50, 50}, {300, 50}, {300, 300}, {50, 300}};
    const std::vector<uint8_t> types = {ptMoveTo, ptLineTo, ptLineTo, ptLineTo | ptCloseFigure};
    TraceAntialiased(line, rect, types, TenthToPixel);
    EXPECT_EQ(At(map, 17, 5), 255);
    EXPECT_EQ(At(map, 30, 17), 255);
    EXPECT_EQ(At(map, 17, 30), 255);
    EXPECT_EQ(At(map, 5, 17), 255);  // the closing edge
    EXPECT_EQ(At(map, 17, 17), 0);
    EXPECT_EQ(At(map, 4, 4), 0);  // one-pixel dots add nothing at the corners

    QImage wide = EmptyMap(40, 40);
    line.Attach(wide);
    line.SetHalfWidth(2.0);
    const std::vector<QPoint> corner = {{50, 200}, {200, 200}, {200, 50}};
    TraceAntialiased(line, corner, std::vector<uint8_t>{ptMoveTo, ptLineTo, ptLineTo}, TenthToPixel);
    // Beyond both line ends, only the dot stamped at the corner reaches (21, 21).
    EXPECT_EQ(At(wide, 21, 21), line.Profile()[45]);
    EXPECT_EQ(At(wide, 22, 22), 0);
}

TEST(AALinePath, CurvesFollowTheirBezierPoints)
{
    QImage map = EmptyMap(60, 60);
    TAALineAlphaMap line;
    line.Attach(map);
    const std::vector<QPoint> points = {{50, 50}, {50, 400}, {200, 550}, {550, 550}};
    TraceAntialiased(line, points, std::vector<uint8_t>{ptMoveTo, ptBezierTo, ptBezierTo, ptBezierTo},
                     TenthToPixel);
    for (double t : {0.25, 0.5, 0.8}) {
        const double s = 1 - t;
        const double x = (s * s * s * 50 + 3 * s * s * t * 50 + 3 * s * t * t * 200 + t * t * t * 550) / 10;
        const double y = (s * s * s * 50 + 3 * s * s * t * 400 + 3 * s * t * t * 550 + t * t * t * 550) / 10;
        int strongest = 0;  // device points are truncated: the stroke is within a pixel
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                strongest = std::max(strongest, At(map, int(x) + dx, int(y) + dy));
        EXPECT_EQ(strongest, 255) << t;
        EXPECT_EQ(At(map, int(x) + 4, int(y) - 4), 0) << t;  // well off the curve, on its inner side
    }
    EXPECT_EQ(line.Position(), QPoint(55, 55));
}

TEST(AALinePath, BrokenPathsStopWhereTheyStopMakingSense)
{
    QImage map = EmptyMap(40, 40);
    TAALineAlphaMap line;
    line.Attach(map);
    const std::vector<QPoint> points = {{0, 100}, {300, 100}, {300, 300}, {0, 300}};
    TraceAntialiased(line, points, std::vector<uint8_t>{ptMoveTo, ptLineTo, 0x10, ptLineTo}, TenthToPixel);
    EXPECT_EQ(At(map, 15, 10), 255);
    EXPECT_EQ(At(map, 15, 30), 0);  // after the unknown type

    QImage curve = EmptyMap(40, 40);
    line.Attach(curve);
    // An unfinished curve, and fewer types than points: nothing read past either list.
    TraceAntialiased(line, points, std::vector<uint8_t>{ptMoveTo, ptBezierTo, ptBezierTo}, TenthToPixel);
    TraceAntialiased(line, points, std::vector<uint8_t>{ptMoveTo}, TenthToPixel);
    EXPECT_EQ(std::accumulate(curve.constBits(), curve.constBits() + curve.sizeInBytes(), 0), 0);
}

TEST(AALineColour, CoverageBlendsThePenColourIntoColourBitmaps)
{
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGB888, QImage::Format_BGR888}) {
        QImage image(20, 20, format);
        image.fill(Qt::white);
        TAALineBitmap line;
        ASSERT_TRUE(line.Attach(image, RGBColor(200, 0, 40)));
        line.MoveTo(2, 2);
        line.LineTo(17, 17);
        const int beside = line.Profile()[45];
        EXPECT_EQ(image.pixelColor(9, 9), QColor(200, 0, 40)) << format;
        // white moved towards the colour by the coverage: 255 + trunc(k * (c - 255) / 255)
        auto mixed = [&](int c) { return 255 + beside * (c - 255) / 255; };
        EXPECT_EQ(image.pixelColor(9, 10), QColor(mixed(200), mixed(0), mixed(40))) << format;
        EXPECT_EQ(image.pixelColor(9, 12), QColor(Qt::white)) << format;
    }
    QImage indexed(4, 4, QImage::Format_Indexed8);
    TAALineBitmap line;
    EXPECT_FALSE(line.Attach(indexed, clBlack));
}

}  // namespace
}  // namespace kestrel
