// Geometry of lines, curves, rectangles and ellipses: angles, turning, resizing, outlines.

#include <gtest/gtest.h>

#include "objects/LOLine.h"
#include "objects/LORect.h"
#include "document/stream/ObjectStream.h"
#include "platform/BoundedReader.h"
#include "platform/Canvas.h"

namespace kestrel {
namespace {

std::unique_ptr<TLOLine> Line(QPoint start, QPoint end, int width = 10)
{
    auto line = std::make_unique<TLOLine>();
    line->SetStartPoint(start);
    line->SetEndPoint(end);
    line->SetLineWidth(width);
    return line;
}

// The points DrawOutline records in a path bracket.
TPathPoints OutlinePoints(IOutlineShape& shape)
{
    QImage image(10, 10, QImage::Format_RGB32);
    TCanvas canvas(image);
    canvas.BeginPath();
    shape.DrawOutline(canvas);
    canvas.EndPath();
    return canvas.PathPoints();
}

TEST(LineGeometry, AngleFollowsTheEndPoints)
{
    EXPECT_EQ(Line({0, 0}, {100, 0})->Angle(), 0);
    EXPECT_EQ(Line({0, 0}, {0, 100})->Angle(), 90);
    EXPECT_EQ(Line({100, 0}, {0, 0})->Angle(), 180);
    EXPECT_EQ(Line({0, 0}, {100, -100})->Angle(), -45);
}

TEST(LineGeometry, SetAngleTurnsAboutTheMidpoint)
{
    auto line = Line({0, 0}, {100, 0});
    line->SetAngle(90);
    EXPECT_EQ(line->StartPoint(), QPoint(50, -50));
    EXPECT_EQ(line->EndPoint(), QPoint(50, 50));
    EXPECT_EQ(line->Angle(), 90);
}

TEST(LineGeometry, SetSizeKeepsTheSmallerEndOnEachAxis)
{
    auto line = Line({100, 100}, {50, 400});
    line->SetSize(300, 200);
    EXPECT_EQ(line->StartPoint(), QPoint(340, 100));
    EXPECT_EQ(line->EndPoint(), QPoint(50, 290));
    EXPECT_EQ(line->SourceRect(), (TRect{50, 100, 340, 290}));
}

TEST(LineGeometry, BoundsHoldTheRoundEnds)
{
    auto line = Line({0, 0}, {100, 0}, 10);
    EXPECT_EQ(line->GetBounds(), (TRect{-5, -5, 105, 5}));
    EXPECT_EQ(line->HitTest({103, 0}), 1);
    EXPECT_EQ(line->HitTest({50, 8}), 0);
    // Off a site the grip is 3 units: half of it on each side.
    EXPECT_EQ(line->HitTest({50, 6}), 1);
}

TEST(LineGeometry, ASingleChangeRaisesOneModified)
{
    auto line = Line({0, 0}, {100, 0});
    int modified = 0;
    line->SetOnModify([&](TDrawObject&) { ++modified; });
    line->SetAngle(30);
    line->SetAngle(30);
    line->LineColor().SetColor(0x0000FF);
    TLOLine copy;
    copy.SetOnModify([&](TDrawObject&) { ++modified; });
    copy.Assign(*line);
    EXPECT_EQ(modified, 3);
    EXPECT_EQ(copy.StartPoint(), line->StartPoint());
    EXPECT_EQ(copy.LineColor().Color(), 0x0000FFu);
}

TEST(CurveGeometry, SmallBulgesAreDrawnFlatLargeOnesAsArcs)
{
    TLOCurve curve;
    curve.SetEndPoint({100, 0});
    curve.SetBulge(10);
    EXPECT_EQ(OutlinePoints(curve).size(), 9u) << "a move and 8 segments";
    EXPECT_EQ(curve.ViaPoint(), QPoint(50, -10)) << "a positive bulge lies above a left-to-right chord";
    curve.SetBulge(30);
    const TPathPoints arc = OutlinePoints(curve);
    EXPECT_GT(arc.size(), 9u);
    for (const TPathPoint& p : arc) {
        // Every point lies on the circle through the ends and the via point (radius 56.67,
        // centre (50, 26.67)).
        EXPECT_NEAR(std::hypot(p.point.x() - 50.0, p.point.y() - 26.67), 56.67, 1.0);
    }
}

TEST(CurveGeometry, SetBulgeFromPointAndSetSize)
{
    TLOCurve curve;
    curve.SetStartPoint({0, 100});
    curve.SetEndPoint({200, 100});
    curve.SetBulgeFromPoint({100, 40});
    EXPECT_EQ(curve.Bulge(), 60);
    const TRect bounds = curve.GetBounds();
    curve.SetSize(bounds.Width() * 2, bounds.Height());
    EXPECT_EQ(curve.StartPoint(), QPoint(0, 100));
    EXPECT_EQ(curve.EndPoint(), QPoint(400, 100));
}

TEST(RectGeometry, RoundedCornersAreAThirdOfTheShorterSide)
{
    TLORect rect;
    rect.SetBounds({0, 0, 300, 120});
    rect.SetRoundRect(true);
    const QPainterPath& outline = rect.Outline();
    // The corner circles have diameter 40: the right edge starts 20 below the top, the top edge
    // 20 left of the right.
    EXPECT_EQ(QPointF(outline.elementAt(0)), QPointF(300, 20));
    EXPECT_EQ(QPointF(outline.elementAt(3)), QPointF(280, 0));
}

TEST(RectGeometry, TurnedOutlineAndBoundsIncludeTheFrame)
{
    TLORect rect;
    rect.SetBounds({0, 0, 200, 100});
    rect.SetFrameWidth(10);
    EXPECT_EQ(rect.GetBounds(), (TRect{-5, -5, 205, 105}));
    rect.SetAngle(90);
    EXPECT_EQ(rect.GetBounds(), (TRect{45, -55, 155, 155}));
    EXPECT_EQ(rect.HitTest({100, -52}), 1);
    EXPECT_EQ(rect.HitTest({100, 50}), 0) << "no fill: the inside is not hit";
}

TEST(RectGeometry, SetSizeOnATurnedRectangleScalesThroughTheBounds)
{
    TLORect rect;
    rect.SetFrameWidth(0);
    rect.SetBounds({0, 0, 200, 100});
    rect.SetAngle(90);
    rect.SetSize(200, 400);  // bounds are 100 x 200
    EXPECT_EQ(rect.Width(), 400);
    EXPECT_EQ(rect.Height(), 200);

    TLORect plain;
    plain.SetBounds({10, 20, 110, 70});
    plain.SetSize(300, 200);
    EXPECT_EQ(plain.Rect(), (TRect{10, 20, 300, 210})) << "the frame straddles the edges";
}

TEST(RectGeometry, SetSizeOnATurnedShapeWithoutExtentSizesItDirectly)
{
    TLORect rect;
    rect.SetFrameWidth(0);
    rect.SetAngle(30);
    ASSERT_EQ(rect.GetBounds().Width(), 0);
    rect.SetSize(200, 100);
    EXPECT_EQ(rect.Width(), 200);
    EXPECT_EQ(rect.Height(), 100);
    EXPECT_EQ(ScaleRotatedSide(50, 80, 0), 80);
    EXPECT_EQ(ScaleRotatedSide(50, 300, 100), 150);
}

TEST(RectGeometry, FillAndHitRules)
{
    TLORect rect;
    rect.SetBounds({0, 0, 100, 50});
    rect.SetFrameWidth(0);
    EXPECT_EQ(rect.HitTest({50, 25}), 1) << "an invisible rectangle is still hit inside";
    EXPECT_EQ(rect.HitTest({150, 25}), 0);

    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        TCanvas canvas(image);
        rect.Paint(canvas);
        // A frame as wide as the rectangle leaves no room for the fill; a clear frame shows that.
        rect.SetFillInside(true);
        rect.SetFrameWidth(100);
        rect.FillColor().SetColor(0x0000FF);
        rect.FrameColor().SetStyle(TBrushStyle::bsClear);
        rect.Paint(canvas);
    }
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(image.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
}

TEST(RectGeometry, AFrameAsWideAsTheRectangleCoversItWhole)
{
    TLORect rect;
    rect.SetBounds({20, 20, 120, 70});
    rect.SetFrameWidth(60);
    rect.FrameColor().SetColor(0x0000FF);
    QImage image(200, 150, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        TCanvas canvas(image);
        rect.Paint(canvas);
    }
    EXPECT_EQ(image.pixel(70, 45), qRgb(255, 0, 0)) << "no hole where the inner edges cross";
    EXPECT_EQ(image.pixel(149, 45), qRgb(255, 0, 0)) << "the band reaches 30 beyond the right edge";
    EXPECT_EQ(image.pixel(151, 45), qRgb(255, 255, 255));
}

// A gradation runs over the line's bounds, whatever part of it is being repainted.
TEST(LineGeometry, AGradationDoesNotShiftWhenOnlyPartIsRepainted)
{
    auto line = Line({20, 50}, {380, 50}, 30);
    TColorSpec& colour = line->LineColor();
    colour.SetKind(cskGradation);
    colour.GradColors().SetStop(0, 0x0000FF);
    colour.GradColors().SetStop(1, 0xFF0000);
    QImage whole(400, 100, QImage::Format_RGB32), part(400, 100, QImage::Format_RGB32);
    whole.fill(Qt::white);
    part.fill(Qt::white);
    {
        TCanvas canvas(whole);
        line->Paint(canvas);
    }
    {
        TCanvas canvas(part);
        canvas.IntersectClipRect({250, 0, 300, 100});
        line->Paint(canvas);
    }
    EXPECT_EQ(part.pixel(275, 50), whole.pixel(275, 50));
    EXPECT_EQ(part.pixel(200, 50), qRgb(255, 255, 255));
}

TEST(RectGeometry, AnOldRoundEntryOpensAsRoundRect)
{
    TLORect rect;
    rect.SetBounds({0, 0, 100, 100});
    QByteArray bytes;
    WriteObject(bytes, rect);
    const QByteArray written = QByteArray("\x09RoundRect\x08", 11);  // False
    ASSERT_TRUE(bytes.contains(written));
    bytes.replace(written, QByteArray("\x05Round\x09", 7));  // True, under the old name
    TBoundedReader in(bytes);
    const std::unique_ptr<TComponent> read = ReadObject(in);
    auto* old = dynamic_cast<TLORect*>(read.get());
    ASSERT_NE(old, nullptr);
    EXPECT_TRUE(old->RoundRect());
    QByteArray again;
    WriteObject(again, *old);
    EXPECT_FALSE(again.contains("\x05Round\x09")) << "the old name is never written";
}

TEST(CircleGeometry, TheEllipseIsInscribedAndIgnoresRoundCorners)
{
    TLOCircle circle;
    circle.SetBounds({0, 0, 100, 50});
    circle.SetRoundRect(true);
    EXPECT_EQ(QPointF(circle.Outline().elementAt(0)), QPointF(100, 25));
    circle.SetFillInside(true);
    EXPECT_EQ(circle.HitTest({50, 25}), 1);
    EXPECT_EQ(circle.HitTest({2, 2}), 0) << "the corner lies outside the ellipse";
}

TEST(ShapeCapabilities, EachKindOffersWhatOthersAskFor)
{
    TLOCurve curve;
    TLOCircle circle;
    EXPECT_NE(dynamic_cast<IDOLine*>(static_cast<TDrawObject*>(&curve)), nullptr);
    EXPECT_NE(dynamic_cast<IDOCurve*>(static_cast<TDrawObject*>(&curve)), nullptr);
    EXPECT_NE(dynamic_cast<IDOTextColor*>(static_cast<TDrawObject*>(&curve)), nullptr);
    EXPECT_EQ(dynamic_cast<IFillColor*>(static_cast<TDrawObject*>(&curve)), nullptr);
    auto* fill = dynamic_cast<IFillColor*>(static_cast<TDrawObject*>(&circle));
    ASSERT_NE(fill, nullptr);
    EXPECT_TRUE(fill->NoFill());
    fill->SetNoFill(false);
    EXPECT_TRUE(circle.FillInside());
    EXPECT_NE(dynamic_cast<IBlendable*>(static_cast<TDrawObject*>(&circle)), nullptr);
    EXPECT_NE(dynamic_cast<IRectShape*>(static_cast<TDrawObject*>(&circle)), nullptr);
    EXPECT_EQ(dynamic_cast<IRectShape*>(static_cast<TDrawObject*>(&curve)), nullptr);
}

}  // namespace
}  // namespace kestrel
