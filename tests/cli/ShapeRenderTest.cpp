// Shapes as `kestrel-cli render` paints them: pixel probes at chosen logical points of a face
// rendered at one pixel per unit.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTextStream>

#include "cli/DocumentCommands.h"
#include "document/DOList.h"
#include "label/LabelDocumentFixtures.h"
#include "objects/LOAlphaMask.h"
#include "objects/LODecoLine.h"
#include "objects/LOLine.h"
#include "objects/LORect.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

// The one 600 x 600 face of a document holding the shapes (given back to front), rendered.
QImage RenderShapes(std::vector<std::unique_ptr<TDrawObject>> shapes)
{
    const QString file = test::TestFolder() + "/shapes.mld", png = test::TestFolder() + "/shapes.png";
    {
        TLabelData document;
        document.SetPaper(*test::SquarePaper(1));
        TDOList list;
        for (auto it = shapes.rbegin(); it != shapes.rend(); ++it) list.Add(**it);
        document.SaveFaceObjects(0, list);
        document.SaveToFile(file);
    }
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    EXPECT_EQ(RunRenderCommand({file, "--face", "1", "--dpi", "254", "--out", png}, out, err), 0)
        << errText.toStdString();
    return QImage(png);
}

// Each channel within tolerance.
::testing::AssertionResult Near(QRgb actual, QRgb expected, int tolerance)
{
    if (std::abs(qRed(actual) - qRed(expected)) <= tolerance &&
        std::abs(qGreen(actual) - qGreen(expected)) <= tolerance &&
        std::abs(qBlue(actual) - qBlue(expected)) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << QString::number(actual & 0xFFFFFF, 16).toStdString() << " is not near "
           << QString::number(expected & 0xFFFFFF, 16).toStdString();
}

constexpr QRgb White = 0xFFFFFFFF;

std::unique_ptr<TLORect> GradationFrame(bool rounded)
{
    auto rect = std::make_unique<TLORect>();
    rect->SetBounds({100, 100, 500, 400});
    rect->SetFrameWidth(40);
    rect->SetRoundRect(rounded);
    TColorSpec& frame = rect->FrameColor();
    frame.SetKind(cskGradation);
    frame.GradColors().SetStop(0, 0x0000FF);  // red, left
    frame.GradColors().SetStop(1, 0xFF0000);  // blue, right
    return rect;
}

// The simple gradation runs left to right over the bounds (80..520).
QRgb GradationAt(int x)
{
    const double t = (x + 0.5 - 80) / 440;
    return qRgb(int(255 * (1 - t)), 0, int(255 * t));
}

TEST(ShapeRender, AGradationFrameBandShowsTheGradationAtBothEdgesAndNothingInside)
{
    for (bool rounded : {false, true}) {
        std::vector<std::unique_ptr<TDrawObject>> shapes;
        shapes.push_back(GradationFrame(rounded));
        const QImage face = RenderShapes(std::move(shapes));
        ASSERT_EQ(face.size(), QSize(600, 600));
        // Left and right bands at mid height, top band at mid width: outer and inner edges.
        for (QPoint p : {QPoint(81, 250), QPoint(118, 250), QPoint(482, 250), QPoint(518, 250),
                         QPoint(300, 81), QPoint(300, 118)})
            EXPECT_TRUE(Near(face.pixel(p), GradationAt(p.x()), 10))
                << p.x() << "," << p.y() << " rounded " << rounded;
        EXPECT_EQ(face.pixel(300, 250), White) << "FillInside is off";
        EXPECT_EQ(face.pixel(122, 250), White);
        EXPECT_EQ(face.pixel(77, 250), White);
    }
}

TEST(ShapeRender, BlendRatio50MixesHalfOfTheShapeIntoWhatLiesBelow)
{
    std::vector<std::unique_ptr<TDrawObject>> shapes;
    for (auto [rect, colour, ratio] : {std::tuple(TRect{50, 50, 300, 300}, TColor(0x0000FF), 100),
                                       std::tuple(TRect{150, 150, 450, 450}, TColor(0xFF0000), 50)}) {
        auto shape = std::make_unique<TLORect>();
        shape->SetBounds(rect);
        shape->SetFrameWidth(0);
        shape->SetFillInside(true);
        shape->FillColor().SetColor(colour);
        shape->SetBlendRatio(ratio);
        shapes.push_back(std::move(shape));
    }
    const QImage face = RenderShapes(std::move(shapes));
    EXPECT_TRUE(Near(face.pixel(100, 100), qRgb(255, 0, 0), 0));
    EXPECT_TRUE(Near(face.pixel(200, 200), qRgb(128, 0, 128), 2)) << "half blue over red";
    EXPECT_TRUE(Near(face.pixel(400, 400), qRgb(128, 128, 255), 2)) << "half blue over white";
    EXPECT_EQ(face.pixel(500, 500), White);
}

TEST(ShapeRender, LinesCurvesAndEllipsesPaintWhereTheyLie)
{
    std::vector<std::unique_ptr<TDrawObject>> shapes;
    auto line = std::make_unique<TLOLine>();
    line->SetStartPoint({50, 500});
    line->SetEndPoint({550, 500});
    line->SetLineWidth(20);
    line->LineColor().SetColor(0x00FF00);
    shapes.push_back(std::move(line));
    auto curve = std::make_unique<TLOCurve>();
    curve->SetStartPoint({100, 300});
    curve->SetEndPoint({500, 300});
    curve->SetBulge(100);
    shapes.push_back(std::move(curve));
    auto circle = std::make_unique<TLOCircle>();
    circle->SetBounds({200, 20, 400, 120});
    circle->SetFrameWidth(0);
    circle->SetFillInside(true);
    circle->FillColor().SetColor(0xFF0000);
    shapes.push_back(std::move(circle));

    const QImage face = RenderShapes(std::move(shapes));
    EXPECT_EQ(face.pixel(300, 505), qRgb(0, 255, 0));
    EXPECT_EQ(face.pixel(300, 512), White);
    EXPECT_EQ(face.pixel(300, 201), qRgb(0, 0, 0)) << "the arc passes its via point";
    EXPECT_EQ(face.pixel(300, 300), White) << "the chord is not drawn";
    EXPECT_EQ(face.pixel(300, 70), qRgb(0, 0, 255));
    EXPECT_EQ(face.pixel(205, 25), White) << "outside the ellipse, inside its rectangle";
}

TEST(ShapeRender, ADecoratedLineRepeatsItsPatternFromTheStoredPicture)
{
    QImage pattern(40, 20, QImage::Format_RGB32);
    pattern.fill(Qt::blue);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) pattern.setPixel(x, y, qRgb(255, 0, 0));
    auto line = std::make_unique<TLODecoLine>();
    line->SetStartPoint({0, 300});
    line->SetEndPoint({600, 300});
    line->SetLineWidth(50);
    line->SetImage(pattern);
    std::vector<std::unique_ptr<TDrawObject>> shapes;
    shapes.push_back(std::move(line));
    const QImage face = RenderShapes(std::move(shapes));
    // Six repetitions of 100 units, each red then blue.
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(Near(face.pixel(10 + 100 * i, 300), qRgb(255, 0, 0), 8)) << i;
        EXPECT_TRUE(Near(face.pixel(90 + 100 * i, 300), qRgb(0, 0, 255), 8)) << i;
    }
    EXPECT_EQ(face.pixel(300, 340), White);
}

// White lets the fill through, black keeps what lies below; the blur makes a ramp between.
TEST(ShapeRender, AShadeShapeIsDarkestWhereItsPictureIsLightAndFadesAtItsBlurredEdge)
{
    QImage picture(100, 100, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter(&picture).fillRect(25, 25, 50, 50, Qt::white);
    auto shade = std::make_unique<TLOAlphaMask>();
    shade->Picture().SetImage(picture);
    shade->SetBounds({100, 100, 500, 500});
    shade->SetShadeSize(10);  // a 120 x 120 mask over 400 units: the light square spans 217..383
    std::vector<std::unique_ptr<TDrawObject>> shapes;
    shapes.push_back(std::move(shade));
    const QImage face = RenderShapes(std::move(shapes));
    EXPECT_EQ(face.pixel(300, 300), qRgb(0, 0, 0)) << "black fill, fully through the light square";
    EXPECT_EQ(face.pixel(150, 300), White) << "the picture's black keeps the face";
    EXPECT_EQ(face.pixel(50, 50), White) << "outside the shape";
    const int edge = qRed(face.pixel(217, 300));
    EXPECT_GT(edge, 60);
    EXPECT_LT(edge, 200) << "half way down the blurred edge";
    for (int x = 160; x < 280; x += 8)
        EXPECT_GE(qRed(face.pixel(x, 300)), qRed(face.pixel(x + 8, 300))) << "darker towards the middle at " << x;
}

}  // namespace
}  // namespace kestrel
