// Metafile playback keeps to a budget of work: a metafile of millions of records, points or
// full-page fills ends there instead of running for minutes.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QtEndian>

#include "platform/MetafilePlayer.h"

namespace kestrel {
namespace {

// Enhanced metafile records, built as the format lays them out.
class TEmfBuilder {
public:
    TEmfBuilder()
    {
        // Header: 100 x 100 device units, 1000 x 1000 pixels per 264 mm.
        Words({1, 88, 0, 0, 99, 99, 0, 0, 2646, 2646, 0x464D4520, 0x10000, 0, 0, 0, 0, 0, 0, 1000, 1000, 264, 264});
    }
    TEmfBuilder& Brush(uint32_t slot, uint32_t colour) { return Words({39, 24, slot, 0, colour, 0}).Words({37, 12, slot}); }
    TEmfBuilder& Rectangle(int left, int top, int right, int bottom)
    {
        return Words({43, 24, uint32_t(left), uint32_t(top), uint32_t(right), uint32_t(bottom)});
    }
    TEmfBuilder& Polygon(int points)
    {
        Words({3, uint32_t(28 + 8 * points), 0, 0, 99, 99, uint32_t(points)});
        for (int i = 0; i < points; ++i) Words({uint32_t((i * 37) % 100), uint32_t((i * 61) % 100)});
        return *this;
    }
    QByteArray Bytes() { return bytes_ + Record({14, 20, 0, 0, 20}); }

private:
    TEmfBuilder& Words(std::initializer_list<uint32_t> words)
    {
        bytes_ += Record(words);
        return *this;
    }
    static QByteArray Record(std::initializer_list<uint32_t> words)
    {
        QByteArray out;
        for (uint32_t w : words) {
            char le[4];
            qToLittleEndian(w, le);
            out.append(le, 4);
        }
        return out;
    }
    QByteArray bytes_;
};

TEST(MetafileBudget, AShortMetafileIsPlayedToTheEnd)
{
    TEmfBuilder emf;
    emf.Brush(1, 0x0000FF);
    for (int i = 0; i < 100; ++i) emf.Rectangle(0, 0, 100, 100);
    emf.Brush(2, 0xFF0000).Rectangle(80, 80, 100, 100);
    const QImage picture = PlayMetafile(emf.Bytes());
    EXPECT_EQ(picture.pixel(5, 5) & 0xFFFFFF, 0xFF0000u);   // red
    EXPECT_EQ(picture.pixel(90, 90) & 0xFFFFFF, 0x0000FFu);  // the last, blue
}

TEST(MetafileBudget, AMetafileOfMillionsOfFillsEndsWithinItsBudget)
{
    TEmfBuilder emf;
    emf.Brush(1, 0x0000FF);
    for (int i = 0; i < 1000000; ++i) emf.Rectangle(0, 0, 100, 100);
    emf.Brush(2, 0xFF0000).Rectangle(80, 80, 100, 100);
    QElapsedTimer timer;
    timer.start();
    const QImage picture = PlayMetafile(emf.Bytes());
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(picture.pixel(5, 5) & 0xFFFFFF, 0xFF0000u);   // what was drawn stays
    EXPECT_EQ(picture.pixel(90, 90) & 0xFFFFFF, 0xFF0000u);  // the budget ended before the last record
}

TEST(MetafileBudget, PointsCountAgainstTheBudget)
{
    TEmfBuilder emf;
    emf.Brush(1, 0x0000FF).Rectangle(0, 0, 100, 100);
    emf.Polygon(20000000 / 8);  // as many points as the budget has room for, and more
    emf.Brush(2, 0xFF0000).Rectangle(80, 80, 100, 100);
    const QImage picture = PlayMetafile(emf.Bytes());
    EXPECT_EQ(picture.pixel(90, 90) & 0xFFFFFF, 0xFF0000u);
}

}  // namespace
}  // namespace kestrel
