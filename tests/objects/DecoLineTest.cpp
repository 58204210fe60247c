// Decorated lines: how the pattern is repeated, placed and painted.

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "ShapeFixtures.h"
#include "document/stream/ObjectStream.h"
#include "objects/LODecoLine.h"
#include "platform/BoundedReader.h"
#include "platform/Canvas.h"

namespace kestrel {
namespace {

// Left half red, right half blue: where each repetition starts shows.
QImage HalfAndHalf(int width, int height)
{
    QImage pattern(width, height, QImage::Format_RGB32);
    pattern.fill(Qt::blue);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 2; ++x) pattern.setPixel(x, y, qRgb(255, 0, 0));
    return pattern;
}

std::unique_ptr<TLODecoLine> DecoLine(QPoint start, QPoint end, int width, const QImage& pattern)
{
    auto line = std::make_unique<TLODecoLine>();
    line->SetStartPoint(start);
    line->SetEndPoint(end);
    line->SetLineWidth(width);
    line->SetImage(pattern);
    return line;
}

TEST(DecoLine, RepetitionsKeepThePatternsAspectAsWholeRepetitionsAllow)
{
    auto line = DecoLine({0, 0}, {600, 0}, 50, HalfAndHalf(40, 20));
    EXPECT_EQ(line->Repetitions(), 6) << "600 x 20 / (40 x 50)";
    line->SetLineWidth(1000);
    EXPECT_EQ(line->Repetitions(), 1) << "at least one";

    test::TShapeSite site(700, 200, 254);
    site.Add(DecoLine({50, 100}, {650, 100}, 50, HalfAndHalf(40, 20)));
    const QImage image = site.Render();
    const auto at = [&](int x, int y) { return test::TShapeSite::At(image, site.Site(), {x, y}); };
    // Six repetitions of 100 units: red from 50 + 100 i, blue from 100 + 100 i.
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(at(60 + 100 * i, 100), 0xFF0000u) << i;
        EXPECT_EQ(at(140 + 100 * i, 100), 0x0000FFu) << i;
    }
    EXPECT_EQ(at(350, 60), 0xFFFFFFu) << "the band is about 50 wide";
    EXPECT_EQ(at(30, 100), 0xFFFFFFu);
}

TEST(DecoLine, TheBandTurnsWithTheLineItsTopLeftAtTheStart)
{
    auto line = DecoLine({100, 50}, {100, 450}, 40, HalfAndHalf(40, 20));
    const std::array<QPointF, 4> corners = line->BandCorners();
    // Downwards the band's top side lies on the right (x grows to the right, y down).
    EXPECT_EQ(corners[0], QPointF(122, 50));
    EXPECT_EQ(corners[1], QPointF(122, 450));
    EXPECT_EQ(corners[2], QPointF(78, 450));
    test::TShapeSite site(300, 500, 254);
    site.Add(std::move(line));
    const QImage image = site.Render();
    EXPECT_EQ(test::TShapeSite::At(image, site.Site(), {100, 60}), 0xFF0000u) << "each repetition starts red";
    EXPECT_EQ(test::TShapeSite::At(image, site.Site(), {100, 440}), 0x0000FFu);
    EXPECT_EQ(test::TShapeSite::At(image, site.Site(), {150, 250}), 0xFFFFFFu);
}

TEST(DecoLine, NothingIsDrawnWithoutAPatternOrALength)
{
    test::TShapeSite site(300, 300, 254);
    site.Add(DecoLine({50, 50}, {250, 50}, 40, QImage()));
    site.Add(DecoLine({100, 100}, {100, 100}, 40, HalfAndHalf(40, 20)));
    const QImage image = site.Render();
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            ASSERT_EQ(image.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu) << x << "," << y;
}

// A band far larger than any label (here kilometres) is drawn from a coarser picture instead of
// one of terabytes.
TEST(DecoLine, ABandFarLargerThanALabelIsDrawnFromACoarserPicture)
{
    auto huge = DecoLine({0, 0}, {2000000, 0}, 2000000, HalfAndHalf(4, 4000));
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(image);
    QElapsedTimer timer;
    timer.start();
    huge->Paint(canvas);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_NE(image.pixel(50, 50), qRgb(255, 255, 255));  // drawn
}

TEST(DecoLine, WidthsOfZeroOrLessBecomeOneAlsoFromAStream)
{
    TLODecoLine line;
    line.SetLineWidth(0);
    EXPECT_EQ(line.LineWidth(), 1);
    line.SetLineWidth(-20);
    EXPECT_EQ(line.LineWidth(), 1);

    auto stored = DecoLine({0, 0}, {100, 0}, 30, HalfAndHalf(8, 4));
    QByteArray bytes;
    WriteObject(bytes, *stored);
    bytes.replace(QByteArray("\x09LineWidth\x02\x1e", 12), QByteArray("\x09LineWidth\x02\xf6", 12));  // -10
    TBoundedReader in(bytes);
    const std::unique_ptr<TComponent> read = ReadObject(in);
    auto& back = dynamic_cast<TLODecoLine&>(*read);
    EXPECT_EQ(back.LineWidth(), 1);
    EXPECT_EQ(back.Image().size(), QSize(8, 4)) << "the pattern travels in the stream";
    TLODecoLine copy;
    copy.Assign(back);
    EXPECT_EQ(copy.Image().size(), QSize(8, 4));
}

TEST(DecoLine, ANewLineIsSixRepetitionsAtThePatternResolution)
{
    TLODecoLine line;
    line.SetImage(HalfAndHalf(90, 45));
    line.ApplyPatternDefaults();
    EXPECT_EQ(line.StartPoint(), QPoint(0, 0));
    EXPECT_EQ(line.EndPoint(), QPoint(6 * 127, 0)) << "90 pixels at 180 dpi are 127 units";
    EXPECT_EQ(line.LineWidth(), 64) << "45 x 254 / 180 = 63.5, rounded";
    EXPECT_EQ(line.Repetitions(), 6);
}

}  // namespace
}  // namespace kestrel
