// Gradation fills: the tile is computed once per fill whatever the target size, so a fill
// should cost about the same on a swatch and on a page-sized rectangle.

#include <QImage>
#include <benchmark/benchmark.h>

#include "platform/Canvas.h"
#include "render/Gradation.h"

namespace kestrel {
namespace {

const std::vector<TColor> Stops{0x0000FF, 0x00FF00, 0xFF0000};

void BM_GradationTile(benchmark::State& state)
{
    const auto kind = static_cast<rgGradationKind>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(GradationTile(Stops, kind, 30));
}
BENCHMARK(BM_GradationTile)->DenseRange(rgkSimple, rgkConeCounterClockwise);

void BM_GradationFill(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    QImage image(side, side, QImage::Format_RGB32);
    TCanvas canvas(image);
    for (auto _ : state) RenderGradation(canvas, {0, 0, side, side}, Stops, false, 0, rgkCircleToCenter);
}
BENCHMARK(BM_GradationFill)->Arg(48)->Arg(1000);

}  // namespace
}  // namespace kestrel
