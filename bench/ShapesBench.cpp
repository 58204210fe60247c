// Repainting a face-sized draw site with 200 mixed shapes at 100 % zoom: lines, curves,
// rectangles with gradation frames, ellipses and 20 decorated lines.

#include <benchmark/benchmark.h>

#include <QImage>
#include <memory>

#include "objects/LODecoLine.h"
#include "objects/LOLine.h"
#include "objects/LORect.h"
#include "platform/Canvas.h"
#include "render/DrawSite.h"
#include "support/BenchSupport.h"

namespace kestrel {
namespace {

// Red and blue halves, 40 x 20 like the shipped patterns.
QImage Pattern()
{
    QImage pattern(40, 20, QImage::Format_RGB32);
    pattern.fill(Qt::blue);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) pattern.setPixel(x, y, qRgb(255, 0, 0));
    return pattern;
}

std::unique_ptr<TDrawObject> Shape(int i)
{
    const int x = (i % 20) * 155, y = (i / 20) * 310;
    const TColor colour = RGBColor(i % 256, (i * 7) % 256, 200);
    if (i % 10 == 9) {
        auto deco = std::make_unique<TLODecoLine>();
        deco->SetImage(Pattern());
        deco->ApplyPatternDefaults();
        deco->MoveBy(x, y + 100);
        deco->SetAngle(i % 20 == 9 ? 0 : 20);
        return deco;
    }
    switch (i % 4) {
    case 0: {
        auto line = std::make_unique<TLOLine>();
        line->SetStartPoint({x, y});
        line->SetEndPoint({x + 400, y + 250});
        line->SetLineWidth(10 + i % 30);
        line->LineColor().SetColor(colour);
        return line;
    }
    case 1: {
        auto curve = std::make_unique<TLOCurve>();
        curve->SetStartPoint({x, y + 300});
        curve->SetEndPoint({x + 400, y + 200});
        curve->SetBulge(40 + i % 120);
        curve->SetLineWidth(8);
        curve->LineColor().SetColor(colour);
        return curve;
    }
    default: {
        auto rect = i % 4 == 2 ? std::make_unique<TLORect>() : std::make_unique<TLOCircle>();
        rect->SetBounds({x, y, x + 400, y + 500});  // overlapping, as real layouts do
        rect->SetFrameWidth(30);
        rect->SetRoundRect(i % 8 == 2);
        rect->SetAngle(i % 3 == 0 ? 0 : 15);
        rect->SetFillInside(true);
        rect->FillColor().SetColor(colour);
        rect->FrameColor().SetKind(cskGradation);
        rect->FrameColor().GradColors().SetStop(0, colour);
        return rect;
    }
    }
}

std::unique_ptr<TDrawSite> ShapesSite()
{
    auto site = std::make_unique<TDrawSite>();
    bench::SetUpFaceSite(*site);
    for (int i = 0; i < 200; ++i) site->AddObject(Shape(i));
    return site;
}

void Paint(TDrawSite& site, QImage& image)
{
    TCanvas canvas(image);
    site.Paint(canvas, {0, 0, image.width(), image.height()});
    benchmark::ClobberMemory();
}

void CheckPainted(benchmark::State& state, const QImage& image)
{
    if (image.pixelColor(600, 600) == Qt::white) state.SkipWithError("the shapes were not painted");
}

// The face shown again, as scrolling, selecting and moving other objects do.
void BM_RepaintShapes(benchmark::State& state)
{
    const std::unique_ptr<TDrawSite> site = ShapesSite();
    QImage image(site->ElementSize(), QImage::Format_RGB32);
    for (auto _ : state) Paint(*site, image);
    CheckPainted(state, image);
}
BENCHMARK(BM_RepaintShapes)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The first painting of freshly loaded shapes: nothing is kept yet.
void BM_FirstPaintShapes(benchmark::State& state)
{
    QImage image(QSize(1200, 1200), QImage::Format_RGB32);
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<TDrawSite> site = ShapesSite();
        state.ResumeTiming();
        Paint(*site, image);
        state.PauseTiming();
        site.reset();
        state.ResumeTiming();
    }
    CheckPainted(state, image);
}
BENCHMARK(BM_FirstPaintShapes)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace kestrel
