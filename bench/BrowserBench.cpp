// A picture browser opening a folder of 500 camera-size photos: the folder listed, the first
// preview and the first screenful of 20 ready, with an empty user cache and again with the
// cache the first opening filled (wall-clock time, decoding on the loader's worker threads);
// and the processor time one preview of such a photo takes.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <unistd.h>

#include "imaging/ImagePack.h"
#include "imaging/PreviewLoader.h"
#include "platform/PictureCodecs.h"
#include "support/BenchSupport.h"

namespace {

using namespace kestrel;

constexpr int FileCount = 500;
constexpr int ScreenCount = 20;

// 500 names of one photo (hard links, so the folder costs the disk one photo).
struct TFolder {
    QTemporaryDir dir;
    TFolder()
    {
        const QString first = dir.filePath("IMG_0000.JPG");
        QFile file(first);
        const QByteArray jpeg = bench::CameraJpeg(4000, 3000);
        if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size()) std::abort();
        file.close();
        for (int i = 1; i < FileCount; ++i) {
            const QString name = dir.filePath(QStringLiteral("IMG_%1.JPG").arg(i, 4, 10, QLatin1Char('0')));
            if (::link(QFile::encodeName(first).constData(), QFile::encodeName(name).constData()) != 0) std::abort();
        }
    }
};

TFolder& Folder()
{
    static TFolder folder;
    return folder;
}

struct TOpening {
    double listed = 0, first = 0, screen = 0;
};

// One opening of the folder with the cache file given; times in milliseconds.
TOpening Open(const QString& cacheFile)
{
    const QString folder = Folder().dir.path();
    TImageCacheStorage cache;
    cache.Open(cacheFile, false);
    QElapsedTimer clock;
    clock.start();
    TFolderImagePack pack;
    pack.SetCacheLimit(64);
    pack.SetFileMask(folder + "/*");
    pack.FilterByExtensions(DefaultImageFileExtensions());
    TOpening opening;
    opening.listed = clock.nsecsElapsed() / 1e6;
    int ready = 0;
    TPreviewLoader loader(pack, &cache);
    loader.OnReady = [&](int) {
        if (++ready == 1) opening.first = clock.nsecsElapsed() / 1e6;
    };
    QList<int> screen;
    for (int i = 0; i < ScreenCount; ++i) screen << i;
    loader.Want(screen);
    // Previews found in the cache are ready at once.
    ready += loader.Counts().fromCache;
    if (ready > 0 && opening.first == 0) opening.first = clock.nsecsElapsed() / 1e6;
    while (ready < ScreenCount) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    opening.screen = clock.nsecsElapsed() / 1e6;
    return opening;
}

void Report(benchmark::State& state, const std::vector<TOpening>& openings)
{
    TOpening sum;
    for (const TOpening& o : openings) sum.listed += o.listed, sum.first += o.first, sum.screen += o.screen;
    const double n = double(openings.size());
    state.counters["listed_ms"] = sum.listed / n;
    state.counters["first_ms"] = sum.first / n;
    state.counters["screen20_ms"] = sum.screen / n;
}

void BM_FirstOpening(benchmark::State& state)
{
    std::vector<TOpening> openings;
    for (auto _ : state) {
        QTemporaryDir user;
        openings.push_back(Open(user.filePath("ImageCache.ic")));
    }
    Report(state, openings);
}
BENCHMARK(BM_FirstOpening)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_SecondOpening(benchmark::State& state)
{
    QTemporaryDir user;
    const QString cacheFile = user.filePath("ImageCache.ic");
    Open(cacheFile);
    std::vector<TOpening> openings;
    for (auto _ : state) openings.push_back(Open(cacheFile));
    Report(state, openings);
}
BENCHMARK(BM_SecondOpening)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_OnePreview(benchmark::State& state)
{
    const QString photo = Folder().dir.filePath("IMG_0000.JPG");
    for (auto _ : state) benchmark::DoNotOptimize(MakePreviewItem(photo));
}
BENCHMARK(BM_OnePreview)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
