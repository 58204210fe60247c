// Properties that must hold for any shape: a full turn in steps comes back, and a click hits
// exactly what was painted.

#include <gtest/gtest.h>

#include <random>

#include "ShapeFixtures.h"
#include "objects/LOLine.h"
#include "objects/LORect.h"

namespace kestrel {
namespace {

class TShapeRandom {
public:
    explicit TShapeRandom(unsigned seed) : engine_(seed) {}

    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine_); }
    bool Chance() { return Between(0, 1) == 1; }
    QPoint PointIn(int low, int high) { return {Between(low, high), Between(low, high)}; }
    TColor DarkColor() { return TColor(Between(0, 0xC0) | Between(0, 0xC0) << 8 | Between(0, 0xC0) << 16); }

    // Random angle steps that add up to one full turn.
    std::vector<int> TurnSteps()
    {
        std::vector<int> steps;
        for (int done = 0; done < 360;) {
            const int step = std::min(Between(1, 100), 360 - done);
            steps.push_back(step);
            done += step;
        }
        return steps;
    }

    std::unique_ptr<TLOLine> AnyLine(int low, int high)
    {
        std::unique_ptr<TLOLine> line;
        if (Chance()) {
            auto curve = std::make_unique<TLOCurve>();
            curve->SetBulge(Between(-150, 150));
            line = std::move(curve);
        } else {
            line = std::make_unique<TLOLine>();
        }
        line->SetStartPoint(PointIn(low, high));
        line->SetEndPoint(PointIn(low, high));
        line->SetLineWidth(Between(4, 40));
        line->LineColor().SetColor(DarkColor());
        return line;
    }

    // Some paint: a frame, a fill or both.
    std::unique_ptr<TLORect> AnyRect(int low, int high)
    {
        auto rect = Chance() ? std::make_unique<TLORect>() : std::make_unique<TLOCircle>();
        const QPoint a = PointIn(low, high), b = PointIn(low, high);
        rect->SetBounds(TRect{a.x(), a.y(), b.x(), b.y()}.Normalized().Inflated(20));
        rect->SetRoundRect(Chance());
        rect->SetAngle(Between(-180, 180));
        rect->SetFrameWidth(Between(0, 40));
        rect->SetFillInside(rect->FrameWidth() == 0 || Chance());
        rect->FrameColor().SetColor(DarkColor());
        rect->FillColor().SetColor(DarkColor());
        return rect;
    }

private:
    std::mt19937 engine_;
};

TEST(ShapeProperties, AFullTurnInStepsComesBackWithinOneUnit)
{
    TShapeRandom random(12);
    for (int round = 0; round < 200; ++round) {
        auto line = random.AnyLine(-500, 500);
        const QPoint start = line->StartPoint(), end = line->EndPoint();
        int angle = line->Angle();
        for (int step : random.TurnSteps()) line->SetAngle(angle += step);
        EXPECT_LE((line->StartPoint() - start).manhattanLength(), 1) << "round " << round;
        EXPECT_LE((line->EndPoint() - end).manhattanLength(), 1) << "round " << round;

        auto rect = random.AnyRect(-500, 500);
        const QPainterPath outline = rect->Outline();
        const TRect bounds = rect->GetBounds();
        angle = rect->Angle();
        for (int step : random.TurnSteps()) rect->SetAngle(angle += step);
        EXPECT_EQ(rect->GetBounds(), bounds);
        EXPECT_EQ(rect->Outline(), outline);
    }
}

// The hit test adds a grip of one device pixel round what is painted; at 1016 dpi that is a
// quarter of a unit.
TEST(ShapeProperties, HitTestAgreesWithThePaintedPixels)
{
    constexpr int Size = 400, Dpi = 1016, PointsPerShape = 300;
    TShapeRandom random(7);
    int agree = 0, total = 0;
    for (int round = 0; round < 40; ++round) {
        test::TShapeSite site(Size, Size, Dpi);
        TDrawObject& shape = round % 2 ? static_cast<TDrawObject&>(site.Add(random.AnyLine(60, 340)))
                                       : static_cast<TDrawObject&>(site.Add(random.AnyRect(60, 300)));
        const QImage image = site.Render();
        const TRect area = shape.GetBounds().Inflated(10).Intersected({0, 0, Size, Size});
        for (int i = 0; i < PointsPerShape; ++i) {
            const QPoint p(random.Between(area.left, area.right - 1),
                           random.Between(area.top, area.bottom - 1));
            const bool painted = test::TShapeSite::At(image, site.Site(), p) != 0xFFFFFF;
            agree += (shape.HitTest(p) == 1) == painted;
            ++total;
        }
    }
    EXPECT_GE(agree, total * 995 / 1000) << agree << " of " << total;
}

}  // namespace
}  // namespace kestrel
