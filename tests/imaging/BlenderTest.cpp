#include <gtest/gtest.h>

#include <random>

#include "imaging/BlendedPainting.h"
#include "imaging/Blender.h"
#include "imaging/MixTable.h"

namespace kestrel {
namespace {

QImage Noise(int w, int h, QImage::Format format, unsigned seed)
{
    QImage image(w, h, format);
    std::mt19937 random(seed);
    for (int y = 0; y < h; ++y) {
        uchar* row = image.scanLine(y);
        for (qsizetype i = 0; i < image.bytesPerLine(); ++i) row[i] = uchar(random());
    }
    return image;
}

// The blend written out per pixel: a' = min(255, a * r / 100 rounded half away), then every
// colour byte t + trunc(a' * (s - t) / 255).
int ExpectedChannel(int t, int s, int a, int ratio)
{
    const int r = std::clamp(ratio, 0, 100);
    const int opacity = std::min(255, int(std::lround(a * r / 100.0)));
    return t + opacity * (s - t) / 255;
}

TEST(MixTable, TruncatesTowardZeroAndStaysBetweenBothValues)
{
    const TMixTable& m = MixTable();
    for (int d = -255; d <= 255; ++d)
        EXPECT_EQ(MixChannel(m[255], 100, uint8_t(100 + d / 3)), uint8_t(100 + d / 3));
    EXPECT_EQ(MixChannel(m[128], 0, 255), 128);
    EXPECT_EQ(MixChannel(m[128], 255, 0), 127);
    EXPECT_EQ(MixChannel(m[0], 17, 230), 17);
    for (int k = 0; k < 256; k += 5)
        for (int t = 0; t < 256; t += 3)
            for (int s = 0; s < 256; s += 7)
                ASSERT_EQ(MixToward(uint8_t(t), uint8_t(s), k), MixChannel(m[k], uint8_t(t), uint8_t(s)));
}

class BlendRatio : public ::testing::TestWithParam<std::tuple<QImage::Format, int>> {};

TEST_P(BlendRatio, EveryPixelMatchesTheArithmetic)
{
    const auto [format, ratio] = GetParam();
    const int bytes = QImage(1, 1, format).depth() / 8;
    const QImage before = Noise(37, 23, format, 1);
    const QImage source = Noise(37, 23, format, 2);
    QImage alpha = Noise(37, 23, QImage::Format_Grayscale8, 3);
    alpha.scanLine(0)[0] = 255;
    alpha.scanLine(0)[1] = 0;

    QImage target = before.copy();
    ASSERT_TRUE(BlendThroughMask(target, source, alpha, ratio));
    for (int y = 0; y < target.height(); ++y) {
        for (int x = 0; x < target.width(); ++x) {
            const int a = alpha.constScanLine(y)[x];
            for (int c = 0; c < bytes; ++c) {
                const int t = before.constScanLine(y)[x * bytes + c];
                const int s = source.constScanLine(y)[x * bytes + c];
                const int expected = c == 3 ? t : ExpectedChannel(t, s, a, ratio);  // fourth byte untouched
                ASSERT_EQ(target.constScanLine(y)[x * bytes + c], expected)
                    << x << "," << y << " channel " << c;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(FormatsAndRatios, BlendRatio,
                         ::testing::Combine(::testing::Values(QImage::Format_RGB888, QImage::Format_ARGB32),
                                            ::testing::Values(0, 50, 100, 150, -20, 33)));

TEST(Blender, PlainAlphaMapUsesTheOpacityAsIs)
{
    QImage target(4, 1, QImage::Format_RGB888);
    target.fill(QColor(0, 255, 10));
    QImage source(4, 1, QImage::Format_RGB888);
    source.fill(QColor(255, 0, 10));
    QImage alpha(4, 1, QImage::Format_Grayscale8);
    const uchar levels[] = {0, 128, 200, 255};
    std::copy(levels, levels + 4, alpha.scanLine(0));

    TGRBlendAlphaMap blender;
    blender.SetDestination(&target, {0, 0, 4, 1});
    blender.SetSource(&source, {0, 0, 4, 1});
    blender.SetAlphaMap(&alpha, {0, 0, 4, 1});
    blender.Blend();
    EXPECT_EQ(target.pixelColor(0, 0), QColor(0, 255, 10));
    EXPECT_EQ(target.pixelColor(1, 0), QColor(128, 127, 10));
    EXPECT_EQ(target.pixelColor(2, 0), QColor(200, 55, 10));
    EXPECT_EQ(target.pixelColor(3, 0), QColor(255, 0, 10));
}

struct TBlendCase {
    QImage target = Noise(10, 10, QImage::Format_RGB888, 4);
    const QImage before = target.copy();
    QImage source = Noise(10, 10, QImage::Format_RGB888, 5);
    QImage alpha = Noise(10, 10, QImage::Format_Grayscale8, 6);

    // Runs a full-strength blend of the given rectangles.
    void Blend(const TRect& destination, const TRect& sourceRect, const TRect& alphaRect)
    {
        TGRBlendAlphaMap blender;
        blender.SetDestination(&target, destination);
        blender.SetSource(&source, sourceRect);
        blender.SetAlphaMap(&alpha, alphaRect);
        blender.Blend();
    }
    // The destination pixel mixed from the given source and alpha pixels, or untouched.
    void Expect(QPoint at, std::optional<QPoint> from, std::optional<QPoint> opacityAt) const
    {
        for (int c = 0; c < 3; ++c) {
            const int t = before.constScanLine(at.y())[at.x() * 3 + c];
            const int expected =
                from ? ExpectedChannel(t, source.constScanLine(from->y())[from->x() * 3 + c],
                                       alpha.constScanLine(opacityAt->y())[opacityAt->x()], 100)
                     : t;
            EXPECT_EQ(target.constScanLine(at.y())[at.x() * 3 + c], expected) << at.x() << "," << at.y();
        }
    }
};

TEST(Blender, DestinationPartlyOutsideBlendsTheOverlapFromMatchingPixels)
{
    TBlendCase b;
    b.Blend({-3, -2, 7, 8}, {0, 0, 10, 10}, {0, 0, 10, 10});
    b.Expect({0, 0}, QPoint(3, 2), QPoint(3, 2));
    b.Expect({6, 7}, QPoint(9, 9), QPoint(9, 9));
    b.Expect({7, 7}, {}, {});
    b.Expect({6, 8}, {}, {});
}

TEST(Blender, SourceClippedByItsBitmapKeepsTheAlphaMapAligned)
{
    // The source rectangle starts outside its bitmap while the alpha map is whole: destination
    // (2, 2) takes source (0, 0) and opacity (2, 2).
    TBlendCase b;
    b.Blend({0, 0, 8, 8}, {-2, -2, 6, 6}, {0, 0, 8, 8});
    b.Expect({1, 1}, {}, {});
    b.Expect({2, 2}, QPoint(0, 0), QPoint(2, 2));
    b.Expect({7, 5}, QPoint(5, 3), QPoint(7, 5));
    b.Expect({8, 8}, {}, {});

    TBlendCase c;  // clipped at the far side: rows and columns past the source stay untouched
    c.Blend({1, 1, 9, 9}, {4, 4, 12, 12}, {1, 1, 9, 9});
    c.Expect({6, 6}, QPoint(9, 9), QPoint(6, 6));
    c.Expect({7, 7}, {}, {});
}

TEST(Blender, RefusesWhatItCannotBlendExactly)
{
    auto unchanged = [](auto setUp) {
        TBlendCase b;
        setUp(b);
        return b.target == b.before;
    };
    EXPECT_FALSE(unchanged([](TBlendCase& b) { b.Blend({0, 0, 10, 10}, {0, 0, 10, 10}, {0, 0, 10, 10}); }));
    EXPECT_TRUE(unchanged([](TBlendCase& b) {
        b.Blend({0, 0, 10, 10}, {0, 0, 9, 10}, {0, 0, 10, 10});
    }));  // scaling
    EXPECT_TRUE(unchanged([](TBlendCase& b) {
        b.Blend({0, 0, 10, 10}, {0, 0, 10, 10}, {1, 0, 11, 10});
    }));  // alpha outside
    EXPECT_TRUE(unchanged([](TBlendCase& b) {
        b.Blend({20, 0, 30, 10}, {0, 0, 10, 10}, {0, 0, 10, 10});
    }));  // off target
    EXPECT_TRUE(unchanged([](TBlendCase& b) {
        b.source = b.source.convertToFormat(QImage::Format_RGB32);  // formats differ
        b.Blend({0, 0, 10, 10}, {0, 0, 10, 10}, {0, 0, 10, 10});
    }));
    EXPECT_TRUE(unchanged([](TBlendCase& b) {
        b.alpha = b.alpha.convertToFormat(QImage::Format_RGB888);  // not an 8-bit map
        b.Blend({0, 0, 10, 10}, {0, 0, 10, 10}, {0, 0, 10, 10});
    }));

    QImage palette(4, 4, QImage::Format_Indexed8);
    QImage mask(4, 4, QImage::Format_Grayscale8);
    EXPECT_FALSE(BlendThroughMask(palette, palette, mask, 50));
    QImage target(4, 4, QImage::Format_RGB32);
    EXPECT_FALSE(BlendThroughMask(target, target.copy(0, 0, 3, 4), mask, 50));
}

class TCountingProgress : public TPhasedProgressBase {
public:
    std::vector<int> phases;
    int steps = 0;
    int ended = 0;
    void BeginPhase(int count) override { phases.push_back(count); }
    void Step() override { ++steps; }
    void EndPhase() override { ++ended; }
};

TEST(Blender, ReportsOneStepPerSixtyFourRows)
{
    QImage target = Noise(3, 130, QImage::Format_RGB888, 7);
    const QImage source = Noise(3, 130, QImage::Format_RGB888, 8);
    const QImage alpha = Noise(3, 130, QImage::Format_Grayscale8, 9);
    TCountingProgress progress;
    TGRBlendAlphaMapRatio blender;
    blender.SetDestination(&target, {0, 0, 3, 130});
    blender.SetSource(&source, {0, 0, 3, 130});
    blender.SetAlphaMap(&alpha, {0, 0, 3, 130});
    blender.SetProgress(&progress);
    blender.Blend();
    EXPECT_EQ(progress.phases, std::vector<int>{3});
    EXPECT_EQ(progress.steps, 3);  // rows 0, 64, 128
    EXPECT_EQ(progress.ended, 1);
}

}  // namespace
}  // namespace kestrel
