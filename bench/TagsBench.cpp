// Titles, artists and playing times of 2000 MP3 files, each with a 300 KB cover picture before its
// texts: our tag reader against TagLib reading the same three fields of the same files in the
// same run (the files are read once before either is timed, so both find them in the page cache).

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>

#include "music/Mp3FileInfo.h"
#include "support/BenchSupport.h"
#include "support/SyntheticAudio.h"

namespace kestrel {
namespace {

constexpr int FileCount = 2000;
constexpr int CoverBytes = 300 * 1024;

struct TFixture {
    QTemporaryDir folder;
    QStringList files;
    qint64 expectedSeconds = 0;

    TFixture()
    {
        QByteArray cover(CoverBytes, '\0');
        for (int i = 0; i < CoverBytes; ++i) cover[i] = char((i * 7919) >> 3);
        for (int i = 0; i < FileCount; ++i) {
            const QString file = folder.filePath(QStringLiteral("%1.mp3").arg(i, 4, 10, QLatin1Char('0')));
            test::TSyntheticTrack track{QStringLiteral("曲 %1").arg(i), QStringLiteral("Artist %1").arg(i % 50),
                                        QStringLiteral("Album"), 2 + i % 5, cover};
            QFile out(file);
            if (!out.open(QIODevice::WriteOnly) || out.write(test::SyntheticMp3(track)) < 0) qFatal("cannot write %s", qPrintable(file));
            files << file;
            expectedSeconds += track.seconds;
        }
        for (const QString& file : files) {
            QFile in(file);
            if (in.open(QIODevice::ReadOnly)) (void)in.readAll();
        }
    }
};

TFixture& Fixture()
{
    static TFixture fixture;
    return fixture;
}

void BM_KestrelTags(benchmark::State& state)
{
    TFixture& fixture = Fixture();
    for (auto _ : state) {
        qint64 seconds = 0;
        qsizetype characters = 0;
        for (const QString& file : fixture.files) {
            TMP3FileInfo info;
            info.SetFileName(file);
            if (!info.Read()) state.SkipWithError("a file was not read");
            seconds += info.Seconds();
            characters += info.Title().size() + info.Artist().size();
        }
        if (seconds != fixture.expectedSeconds) state.SkipWithError("wrong playing times");
        benchmark::DoNotOptimize(characters);
    }
    state.SetItemsProcessed(state.iterations() * FileCount);
}
BENCHMARK(BM_KestrelTags)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TagLib(benchmark::State& state)
{
    TFixture& fixture = Fixture();
    for (auto _ : state) {
        qint64 seconds = 0;
        qsizetype characters = 0;
        for (const QString& file : fixture.files) {
            const TagLib::FileRef ref(QFile::encodeName(file).constData(), true, TagLib::AudioProperties::Average);
            if (ref.isNull() || !ref.tag() || !ref.audioProperties()) state.SkipWithError("TagLib did not read a file");
            seconds += ref.audioProperties()->lengthInSeconds();
            characters += QString::fromStdWString(ref.tag()->title().toWString()).size() +
                          QString::fromStdWString(ref.tag()->artist().toWString()).size();
        }
        if (seconds != fixture.expectedSeconds) state.SkipWithError("TagLib gave other playing times");
        benchmark::DoNotOptimize(characters);
    }
    state.SetItemsProcessed(state.iterations() * FileCount);
}
BENCHMARK(BM_TagLib)->Unit(benchmark::kMillisecond)->UseRealTime();

// Prints our time as a share of TagLib's.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) times_[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const double ours = times_["BM_KestrelTags"], taglib = times_["BM_TagLib"];
        if (ours > 0 && taglib > 0)
            std::printf("Tags of %d MP3s with %d KB covers: %.1f ms ours, %.1f ms TagLib (%.2fx)\n", FileCount,
                        CoverBytes / 1024, ours, taglib, ours / taglib);
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace
}  // namespace kestrel

int main(int argc, char** argv)
{
    kestrel::TRatioReporter reporter;
    return kestrel::bench::RunBenchmarks(argc, argv, &reporter);
}
