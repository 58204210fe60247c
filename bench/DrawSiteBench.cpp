// Repainting a face-sized draw site with 200 rectangle objects at 100 % zoom.

#include <benchmark/benchmark.h>

#include <QImage>

#include "platform/Canvas.h"
#include "render/DrawSite.h"
#include "support/BenchSupport.h"

namespace kestrel::bench {
namespace {

// Argument 1 paints through the off-screen buffer.
void BM_RepaintSite(benchmark::State& state)
{
    TDrawSite site;
    SetUpFaceSite(site);
    site.SetDoubleBuffered(state.range(0) != 0);
    for (int i = 0; i < 200; ++i) {
        auto rect = std::make_unique<TBenchRect>();
        const int x = (i % 20) * 155, y = (i / 20) * 310;
        rect->SetBounds({x, y, x + 400, y + 500});  // overlapping, as real layouts do
        rect->fill = RGBColor(i % 256, (i * 7) % 256, 200);
        site.AddObject(std::move(rect));
    }
    QImage image(site.ElementSize(), QImage::Format_RGB32);
    const TRect all{0, 0, image.width(), image.height()};
    for (auto _ : state) {
        TCanvas canvas(image);
        site.Paint(canvas, all);
        benchmark::ClobberMemory();
    }
    if (image.pixelColor(600, 600) == Qt::white) state.SkipWithError("the objects were not painted");
    state.counters["pixels"] = double(image.width()) * image.height();
}
BENCHMARK(BM_RepaintSite)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace kestrel::bench
