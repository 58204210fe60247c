#include "text/CoonsDistortion.h"

#include <gtest/gtest.h>

#include "platform/BoundedReader.h"
#include "platform/Error.h"
#include "render/Stroke.h"

namespace kestrel {
namespace {

// An arch: the top side bulges up through a smooth middle point, the bottom side is straight.
TCoonsDistortion Arch()
{
    TCoonsDistortion d = TCoonsDistortion::Identity();
    d.SetPointCount(cdsTop, 3);
    d.SetPoint(cdsTop, 1, {0.5L, -0.4L});
    d.SetSmooth(cdsTop, 1, true);
    return d;
}

QByteArray DataOf(const TCoonsDistortion& d)
{
    return d.WriteData();
}

TCoonsDistortion FromData(const QByteArray& bytes)
{
    TCoonsDistortion d;
    TBoundedReader in(bytes);
    d.ReadData(in);
    return d;
}

TEST(CoonsDistortion, IdentityAndRatioZeroScaleTheSourceOntoTheTarget)
{
    TCoonsDistortion arch = Arch();
    arch.SetRatio(0);
    for (TCoonsDistortion* d : {&arch}) {
        d->SetSourceRect({0, 0, 1000, 500});
        d->SetTargetRect({100, 200, 300, 300});
        EXPECT_EQ(d->TransformPoint({0, 0}), QPoint(100, 200));
        EXPECT_EQ(d->TransformPoint({500, 250}), QPoint(200, 250));
        EXPECT_EQ(d->TransformPoint({1000, 500}), QPoint(300, 300));
        EXPECT_EQ(d->TransformPoint({250, 100}), QPoint(150, 220));
    }
}

TEST(CoonsDistortion, TheArchLiftsTheMiddleOfTheTopAndKeepsTheBottom)
{
    TCoonsDistortion d = Arch();
    d.SetSourceRect({0, 0, 1000, 1000});
    d.SetTargetRect({0, 0, 1000, 1000});
    // Near the smooth point the side is the quadratic from the midpoints of its segments (at
    // -0.2) over the point (-0.4): -0.3 at its middle; results are cut toward zero.
    EXPECT_EQ(d.TransformPoint({500, 0}), QPoint(500, -299));
    EXPECT_EQ(d.TransformPoint({500, 1000}), QPoint(500, 1000));
    EXPECT_EQ(d.TransformPoint({0, 0}), QPoint(0, 0));
    d.SetRatio(50);
    EXPECT_EQ(d.TransformPoint({500, 0}), QPoint(500, -149));
}

TEST(CoonsDistortion, CornersAreSharedAndIndicesContinueOnTheNeighbours)
{
    TCoonsDistortion d = TCoonsDistortion::Identity();
    d.SetPointCount(cdsTop, 4);
    d.SetPoint(cdsTop, 3, {1.25L, 0.1L});
    EXPECT_EQ(d.GetPoint(cdsRight, 0), (TCoonsPoint{1.25L, 0.1L}));
    d.SetPoint(cdsLeft, 1, {0.0L, 0.9L});
    EXPECT_EQ(d.GetPoint(cdsBottom, 0), (TCoonsPoint{0.0L, 0.9L}));
    EXPECT_EQ(d.GetPoint(cdsTop, -1), d.GetPoint(cdsLeft, 1));
    EXPECT_EQ(d.GetPoint(cdsTop, 4), d.GetPoint(cdsRight, 1));
    // Writing outside the side does nothing.
    const QByteArray before = DataOf(d);
    d.SetPoint(cdsTop, 4, {9, 9});
    d.SetPoint(cdsTop, -1, {9, 9});
    EXPECT_EQ(DataOf(d), before);
}

TEST(CoonsDistortion, NewPointsStartStraightAndShortSidesRunStraightBetweenTheirCorners)
{
    TCoonsDistortion d;
    EXPECT_TRUE(d.IsEmpty());
    d.SetPointCount(cdsBottom, 3);
    EXPECT_EQ(d.GetPoint(cdsBottom, 1), (TCoonsPoint{0.5L, 1.0L}));
    EXPECT_FALSE(d.IsEmpty());
    d.SetSourceRect({0, 0, 10, 10});
    d.SetTargetRect({0, 0, 20, 20});
    EXPECT_EQ(d.TransformPoint({3, 4}), QPoint(6, 8)) << "the other sides are the square's";
    // A sagging bottom between empty sides: the sides take the bottom's corners.
    d.SetPoint(cdsBottom, 1, {0.5L, 1.5L});
    d.SetPoint(cdsBottom, 2, {1.0L, 1.25L});
    d.SetSourceRect({0, 0, 100, 100});
    d.SetTargetRect({0, 0, 100, 100});
    EXPECT_EQ(d.TransformPoint({50, 100}), QPoint(50, 150));
    EXPECT_EQ(d.TransformPoint({0, 0}), QPoint(0, 0));
    EXPECT_EQ(d.TransformPoint({100, 100}), QPoint(100, 125));
    EXPECT_EQ(d.TransformPoint({100, 0}), QPoint(100, 0));
    // One point is no segment either.
    d.SetPointCount(cdsTop, 1);
    EXPECT_EQ(d.TransformPoint({50, 0}), QPoint(50, 0));
}

TEST(CoonsDistortionData, ExtendedValuesSurviveByteForByte)
{
    TCoonsDistortion d = Arch();
    QByteArray data = DataOf(d);
    ASSERT_EQ(data.size(), 16 + 16 + 20 * 9 + 9);
    // A value that no double holds exactly (and an unusual encoding: an unnormal) stays as stored.
    const int firstPoint = 32;
    data[firstPoint + 0] = char(0x01);
    data[firstPoint + 7] = char(0x00);  // integer bit cleared
    data[firstPoint + 8] = char(0x05);
    const TCoonsDistortion read = FromData(data);
    EXPECT_EQ(DataOf(read), data);
    EXPECT_EQ(read.Guid(), d.Guid());
    EXPECT_TRUE(read.Smooth(cdsTop, 1));
}

TEST(CoonsDistortionData, CountsBeyondTheBytesPresentAreRefusedBeforeAllocating)
{
    TCoonsDistortion d = Arch();
    const QByteArray good = DataOf(d);
    QByteArray huge = good;
    const int32_t count = 0x10000000;
    std::memcpy(huge.data() + 16, &count, 4);
    TBoundedReader in(huge);
    EXPECT_THROW(d.ReadData(in), EReadError);
    EXPECT_EQ(DataOf(d), good);  // unchanged
    QByteArray negative = good;
    const int32_t minus = -1;
    std::memcpy(negative.data() + 20, &minus, 4);
    TBoundedReader in2(negative);
    EXPECT_THROW(d.ReadData(in2), EReadError);
    TBoundedReader in3(good.left(good.size() - 1));
    EXPECT_THROW(d.ReadData(in3), EReadError);
}

TEST(CoonsDistortion, StrokesMapEveryPointKeepingTypes)
{
    TCoonsDistortion d = Arch();
    d.SetSourceRect({0, 0, 100, 100});
    d.SetTargetRect({0, 0, 100, 100});
    TStroke s;
    s.AddPoint(0, 0, ptMoveTo);
    s.AddPoint(50, 0, ptBezierTo);
    s.AddPoint(50, 100, ptBezierTo);
    s.AddPoint(100, 100, ptBezierTo | ptCloseFigure);
    d.TransformStroke(s);
    EXPECT_EQ(s.Point(1), QPoint(50, -29));
    EXPECT_EQ(s.Type(3), ptBezierTo | ptCloseFigure);
    EXPECT_EQ(s.Point(3), QPoint(100, 100));
}

}  // namespace
}  // namespace kestrel
