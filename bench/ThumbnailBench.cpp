// Previews of 500 camera-size JPEGs into a folder's "Preview.ic", against vipsthumbnail making
// 200 x 200 thumbnails of the same files in the same run (wall-clock time: vipsthumbnail runs as
// its own process).

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <map>

#include "imaging/PreviewCache.h"
#include "platform/PictureCodecs.h"
#include "support/BenchSupport.h"

namespace {

using namespace kestrel;

constexpr int FileCount = 500;
constexpr int CameraWidth = 4000, CameraHeight = 3000;

struct TFixture {
    QTemporaryDir folder;
    QTemporaryDir vipsOut;
    QStringList files;
    TFixture()
    {
        const QByteArray jpeg = bench::CameraJpeg(CameraWidth, CameraHeight);
        for (int i = 0; i < FileCount; ++i) {
            const QString path = folder.filePath(QStringLiteral("IMG_%1.JPG").arg(i, 4, 10, QLatin1Char('0')));
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size()) std::abort();
            files << path;
        }
    }
};

TFixture& Fixture()
{
    static TFixture fixture;
    return fixture;
}

void BM_KestrelPreviewIc(benchmark::State& state)
{
    TFixture& fixture = Fixture();
    for (auto _ : state) {
        QFile::remove(QDir(fixture.folder.path()).filePath(FolderPreviewFile));
        const TThumbnailCounts counts = FillFolderPreviews(fixture.folder.path());
        if (counts.decoded != FileCount) state.SkipWithError("not every picture was decoded");
    }
}
BENCHMARK(BM_KestrelPreviewIc)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);

void BM_Vipsthumbnail(benchmark::State& state)
{
    TFixture& fixture = Fixture();
    QStringList arguments{"--size", "200x200", "-o", fixture.vipsOut.path() + "/%s.jpg"};
    arguments << fixture.files;
    for (auto _ : state) {
        QProcess vips;
        vips.start("vipsthumbnail", arguments);
        if (!vips.waitForFinished(-1) || vips.exitCode() != 0) state.SkipWithError("vipsthumbnail failed");
    }
}
BENCHMARK(BM_Vipsthumbnail)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);

}  // namespace

int main(int argc, char** argv)
{
    // Our time as a share of vipsthumbnail's.
    kestrel::bench::TSummaryReporter reporter(false, [](const kestrel::bench::TSummaryReporter::TTimeOf& time) {
        const double ours = time("BM_KestrelPreviewIc"), vips = time("BM_Vipsthumbnail");
        if (ours > 0 && vips > 0)
            std::printf("Preview.ic of %d camera-size JPEGs: %.2fx the wall time of vipsthumbnail\n", FileCount, ours / vips);
    });
    return kestrel::bench::RunBenchmarks(argc, argv, &reporter);
}
