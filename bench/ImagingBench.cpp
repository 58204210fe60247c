// The anti-aliased line rasteriser against QPainter's anti-aliased lines (same 10,000 lines, same
// bitmap), and the alpha-map blender on a page-sized bitmap.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cstdio>
#include <map>
#include <random>

#include "imaging/AALine.h"
#include "imaging/BlendedPainting.h"
#include "support/BenchSupport.h"

namespace {

using namespace kestrel;

constexpr int Side = 1024;
constexpr int LineCount = 10000;

struct TLine {
    QPoint from, to;
};

// Mixed directions and lengths up to about 400 pixels, reaching past the edges now and then.
const std::vector<TLine>& Lines()
{
    static const std::vector<TLine> lines = [] {
        std::mt19937 random(2024);
        std::uniform_int_distribution<int> position(-20, Side + 20);
        std::uniform_int_distribution<int> reach(-200, 200);
        std::vector<TLine> result;
        for (int i = 0; i < LineCount; ++i) {
            const QPoint from(position(random), position(random));
            result.push_back({from, from + QPoint(reach(random), reach(random))});
        }
        return result;
    }();
    return lines;
}

QImage WhiteBitmap(QImage::Format format)
{
    QImage image(Side, Side, format);
    image.fill(Qt::white);
    return image;
}

void BM_RasteriserOnColourBitmap(benchmark::State& state)
{
    QImage image = WhiteBitmap(QImage::Format_RGB32);
    TAALineBitmap rasteriser;
    rasteriser.Attach(image, RGBColor(10, 20, 30));
    for (auto _ : state) {
        for (const TLine& line : Lines()) {
            rasteriser.MoveTo(line.from.x(), line.from.y());
            rasteriser.LineTo(line.to.x(), line.to.y());
        }
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * LineCount);
}
BENCHMARK(BM_RasteriserOnColourBitmap)->Unit(benchmark::kMillisecond);

void BM_RasteriserOnAlphaMap(benchmark::State& state)
{
    QImage map = WhiteBitmap(QImage::Format_Grayscale8);
    map.fill(0);
    TAALineAlphaMap rasteriser;
    rasteriser.Attach(map);
    for (auto _ : state) {
        for (const TLine& line : Lines()) {
            rasteriser.MoveTo(line.from.x(), line.from.y());
            rasteriser.LineTo(line.to.x(), line.to.y());
        }
        benchmark::DoNotOptimize(map.constBits());
    }
    state.SetItemsProcessed(state.iterations() * LineCount);
}
BENCHMARK(BM_RasteriserOnAlphaMap)->Unit(benchmark::kMillisecond);

void BM_QPainterAntialiasedLines(benchmark::State& state)
{
    QImage image = WhiteBitmap(QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor(10, 20, 30), 1.2));  // the rasteriser's default line width
    for (auto _ : state) {
        for (const TLine& line : Lines())
            painter.drawLine(QPointF(line.from) + QPointF(0.5, 0.5), QPointF(line.to) + QPointF(0.5, 0.5));
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * LineCount);
}
BENCHMARK(BM_QPainterAntialiasedLines)->Unit(benchmark::kMillisecond);

void BM_BlendThroughMask(benchmark::State& state)
{
    QImage target = WhiteBitmap(QImage::Format_RGB32);
    QImage source = WhiteBitmap(QImage::Format_RGB32);
    source.fill(QColor(200, 30, 90));
    QImage mask(Side, Side, QImage::Format_Grayscale8);
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) mask.scanLine(y)[x] = uchar((x + y) & 0xFF);
    for (auto _ : state) {
        BlendThroughMask(target, source, mask, 60);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetItemsProcessed(state.iterations() * Side * Side);
}
BENCHMARK(BM_BlendThroughMask)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    // How the rasteriser compares with QPainter, in CPU time as the machine may be shared.
    kestrel::bench::TSummaryReporter reporter(true, [](const kestrel::bench::TSummaryReporter::TTimeOf& time) {
        const double painter = time("BM_QPainterAntialiasedLines");
        if (painter <= 0) return;
        for (const char* name : {"BM_RasteriserOnColourBitmap", "BM_RasteriserOnAlphaMap"})
            if (time(name) > 0)
                std::printf("%s: %.2fx the CPU time of QPainter (%.2f times as fast)\n", name, time(name) / painter,
                            painter / time(name));
    });
    return kestrel::bench::RunBenchmarks(argc, argv, &reporter);
}
