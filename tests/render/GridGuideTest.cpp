#include "render/GridGuide.h"

#include <gtest/gtest.h>

#include <QImage>
#include <functional>

#include "document/stream/ObjectStream.h"
#include "document/stream/ValueCodec.h"
#include "platform/BoundedReader.h"
#include "platform/Canvas.h"
#include "platform/Error.h"

namespace kestrel {
namespace {

// The grid and guide as a sheet's settings hold them: nested published objects of a component.
class TSheetSettings : public TComponent {
    KESTREL_PERSISTENT()
public:
    TGrid grid;
    TGuide guide;
    TGrid* GridPtr() { return &grid; }
    TGuide* GuidePtr() { return &guide; }
};

const TClassInfo& TSheetSettings::StaticClass()
{
    static const TClassInfo info("TSheetSettings", &TComponent::StaticClass(), FactoryOf<TSheetSettings>(), [] {
        return TPropsOf<TSheetSettings>()
            .Nested("Grid", &TSheetSettings::GridPtr)
            .Nested("Guide", &TSheetSettings::GuidePtr)
            .Done();
    });
    return info;
}

// A stream of a TSheetSettings whose only property is written by write.
QByteArray StreamWith(const QByteArray& path, const std::function<void(TWriter&)>& write)
{
    QByteArray out("TPF0");
    TWriter writer(out);
    writer.WriteShortString("TSheetSettings");
    writer.WriteShortString("");
    writer.WriteShortString(path);
    write(writer);
    writer.WriteListEnd();
    writer.WriteListEnd();
    return out;
}

QByteArray PosData(int count, int pairs, int firstValue)
{
    QByteArray data;
    TWriter writer(data);
    writer.WriteInt32(count);
    for (int i = 0; i < pairs; ++i) {
        writer.WriteInt32(0);
        writer.WriteInt32(firstValue + i);
    }
    return data;
}

void ReadInto(const QByteArray& stream, TSheetSettings& settings)
{
    TBoundedReader in(stream);
    ReadObjectInto(in, settings);
}

TGuide GuideWith(std::initializer_list<std::pair<int, QPoint>> slots)
{
    TGuide guide;
    guide.SetEnabled(true);
    for (auto [i, pos] : slots) guide.SetSlot(i, pos);
    return guide;
}

TEST(Grid, SnapRoundsHalvesUpAndNegativesTowardZero)
{
    TGrid grid;
    EXPECT_EQ(grid.SnapOffset({124, 125}), QPoint(NoSnap, NoSnap));
    grid.SetEnabled(true);
    EXPECT_EQ(grid.SnapOffset({124, 125}), QPoint(-24, 25));
    EXPECT_EQ(grid.SnapOffset({-26, -76}), QPoint(26, 26));
    EXPECT_EQ(grid.SnapOffset({2147483640, -2147483640}), QPoint(10, 40));
}

TEST(Guide, MatchingToleranceAndLowerSlotWins)
{
    TGuide guide = GuideWith({{2, {100, 0}}, {3, {0, 200}}, {4, {90, 0}}, {5, {110, 0}}});
    // One vertical and one horizontal guide adjust the same point; the nearest vertical wins.
    EXPECT_EQ(guide.SnapOffset({104, 195}, 10), QPoint(-4, 5));
    EXPECT_EQ(guide.SnapOffset({100, 300}, 0), QPoint(0, NoSnap));
    // Without slot 2, the point is exactly 10 from 90 (slot 4) and from 110 (slot 5).
    guide.SetSlot(2, {});
    EXPECT_EQ(guide.SnapOffset({100, 300}, 10), QPoint(-10, NoSnap));
    EXPECT_EQ(guide.SnapOffset({100, 300}, 9), QPoint(NoSnap, NoSnap));
    EXPECT_EQ(guide.GuideAt({100, 300}, 10), 4);
    EXPECT_EQ(guide.GuideAt({0, 190}, 10), 3);
    EXPECT_EQ(guide.GuideAt({0, 189}, 10), -1);
    guide.SetEnabled(false);
    EXPECT_EQ(guide.SnapOffset({100, 200}, 10), QPoint(NoSnap, NoSnap));
    EXPECT_EQ(guide.GuideAt({100, 200}, 10), -1);
}

TEST(Guide, FreeSlotsAndBounds)
{
    TGuide guide;
    EXPECT_TRUE(guide.IsEmpty());
    EXPECT_EQ(guide.FirstFreeSlot(), 0);
    for (int i = 0; i < guide.Count(); ++i) guide.SetSlot(i, {0, i + 1});
    EXPECT_EQ(guide.FirstFreeSlot(), -1);
    guide.SetSlot(6, {});
    EXPECT_EQ(guide.FirstFreeSlot(), 6);
    EXPECT_THROW(guide.SetSlot(10, {1, 0}), EKestrel);
    EXPECT_THROW(guide.Slot(-1), EKestrel);
}

TEST(Guide, ClipToKeepsEdgesAndSwitchesOffWhenEmpty)
{
    TGuide guide = GuideWith({{0, {0, 100}}, {1, {0, 101}}, {2, {50, 0}}, {3, {-1, 0}}, {4, {10, 5}}});
    guide.SetVisible(true);
    guide.ClipTo({0, 0, 60, 100});
    EXPECT_EQ(guide.Slot(0), QPoint(0, 100));
    EXPECT_EQ(guide.Slot(1), QPoint());
    EXPECT_EQ(guide.Slot(2), QPoint(50, 0));
    EXPECT_EQ(guide.Slot(3), QPoint());
    EXPECT_EQ(guide.Slot(4), QPoint());  // vertical with a Y: not a guide that lies anywhere
    EXPECT_TRUE(guide.Enabled());
    guide.ClipTo({0, 0, 10, 10});
    EXPECT_TRUE(guide.IsEmpty());
    EXPECT_FALSE(guide.Enabled());
    EXPECT_TRUE(guide.Visible());
}

TEST(GridGuideStream, RoundTripNestedInAComponent)
{
    TSheetSettings source;
    source.grid.SetLineShape(true);
    source.grid.SetSize(120);
    source.guide.SetVisible(true);
    source.guide.SetSlot(0, {0, -7});
    source.guide.SetSlot(9, {450, 0});
    QByteArray stream;
    WriteObject(stream, source);
    EXPECT_TRUE(stream.contains("Grid.Enabled"));  // defaults are written too
    EXPECT_TRUE(stream.contains("Guide.Pos"));
    EXPECT_FALSE(stream.contains("Count"));

    TSheetSettings copy;
    copy.guide.SetSlot(5, {3, 0});
    ReadInto(stream, copy);
    EXPECT_TRUE(copy.grid.LineShape());
    EXPECT_EQ(copy.grid.Size(), 120);
    EXPECT_FALSE(copy.grid.Visible());
    EXPECT_TRUE(copy.guide.Visible());
    for (int i = 0; i < TGuide::SlotCount; ++i) EXPECT_EQ(copy.guide.Slot(i), source.guide.Slot(i)) << i;
}

TEST(GridGuideStream, PosReadsAtMostTenPairsAndRefusesShortData)
{
    TSheetSettings settings;
    ReadInto(StreamWith("Guide.Pos", [](TWriter& w) { w.WriteBinary(PosData(12, 12, 1)); }), settings);
    EXPECT_EQ(settings.guide.Slot(9), QPoint(0, 10));

    ReadInto(StreamWith("Guide.Pos", [](TWriter& w) { w.WriteBinary(PosData(3, 3, 100)); }), settings);
    EXPECT_EQ(settings.guide.Slot(2), QPoint(0, 102));
    EXPECT_EQ(settings.guide.Slot(3), QPoint(0, 4));  // kept from before

    const QByteArray truncated = PosData(10, 4, 500);
    EXPECT_THROW(ReadInto(StreamWith("Guide.Pos", [&](TWriter& w) { w.WriteBinary(truncated); }), settings),
                 EReadError);
    EXPECT_THROW(ReadInto(StreamWith("Guide.Pos", [](TWriter& w) { w.WriteBinary(PosData(-1, 0, 0)); }), settings),
                 EReadError);
    EXPECT_EQ(settings.guide.Slot(0), QPoint(0, 100));
}

TEST(GridGuideStream, StoredSizeBelowOneBecomesTheDefault)
{
    TSheetSettings settings;
    settings.grid.SetSize(80);
    ReadInto(StreamWith("Grid.Size", [](TWriter& w) { w.WriteInteger(0); }), settings);
    EXPECT_EQ(settings.grid.Size(), TGrid::DefaultSize);
    settings.grid.SetEnabled(true);
    EXPECT_EQ(settings.grid.SnapOffset({30, 20}), QPoint(20, -20));
}

TEST(GridGuide, AssignCopiesEverythingAndRefusesOtherClasses)
{
    TGuide guide = GuideWith({{7, {0, 33}}});
    TGuide copy;
    copy.Assign(guide);
    EXPECT_EQ(copy.Slot(7), QPoint(0, 33));
    EXPECT_TRUE(copy.Enabled());
    TGrid grid;
    EXPECT_THROW(grid.Assign(guide), EKestrel);
}

struct TWhiteImage {
    QImage image{80, 80, QImage::Format_RGB32};
    TWhiteImage() { image.fill(Qt::white); }
};

TEST(GridGuideDrawing, DotsAndLinesStopBeforeRightAndBottom)
{
    TGrid grid;
    grid.SetVisible(true);
    grid.SetSize(20);
    TGuide guide;
    {
        TWhiteImage dots;
        TCanvas canvas(dots.image);
        DrawLayoutOverlay(canvas, grid, guide, {10, 10, 50, 50});
        EXPECT_EQ(canvas.Pixel({30, 30}), clBlue);
        EXPECT_EQ(canvas.Pixel({10, 10}), clBlue);
        EXPECT_EQ(canvas.Pixel({31, 30}), clWhite);
        EXPECT_EQ(canvas.Pixel({50, 50}), clWhite);
        EXPECT_EQ(canvas.Pixel({50, 30}), clWhite);
    }
    grid.SetLineShape(true);
    TWhiteImage lines;
    TCanvas canvas(lines.image);
    canvas.SetPen({clBlack, 1, TPenStyle::psSolid});
    grid.Draw(canvas, {10, 10, 50, 50});
    EXPECT_EQ(canvas.Pixel({10, 25}), clBlack);
    EXPECT_EQ(canvas.Pixel({30, 45}), clBlack);
    EXPECT_EQ(canvas.Pixel({25, 10}), clBlack);
    EXPECT_EQ(canvas.Pixel({50, 25}), clWhite);
    EXPECT_EQ(canvas.Pixel({25, 50}), clWhite);
    EXPECT_EQ(canvas.Pixel({20, 20}), clWhite);
}

TEST(GridGuideDrawing, GuidesAreDottedBlueAcrossTheArea)
{
    TGrid hidden;
    TGuide guide = GuideWith({{0, {0, 40}}});
    TWhiteImage white;
    TCanvas canvas(white.image);
    DrawLayoutOverlay(canvas, hidden, guide, {0, 0, 80, 80});
    EXPECT_EQ(white.image.pixel(10, 40), QColor(Qt::white).rgb());  // not visible yet
    guide.SetVisible(true);
    DrawLayoutOverlay(canvas, hidden, guide, {0, 0, 80, 80});
    int blue = 0;
    for (int x = 0; x < 80; ++x) blue += canvas.Pixel({x, 40}) == clBlue;
    EXPECT_GT(blue, 20);
    EXPECT_LT(blue, 80);  // dotted
    EXPECT_EQ(canvas.Pixel({10, 39}), clWhite);
    EXPECT_EQ(canvas.Brush().style, TBrushStyle::bsSolid);  // state handed back
}

}  // namespace
}  // namespace kestrel
