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
#include <functional>
#include <optional>

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
        for (int i = 0; i < CoverBytes; ++i) cover[i] = char((uint32_t(i) * 7919u) >> 3);
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

// What one reader gives for one file: title, artist and seconds; nothing when it cannot read it.
struct TFields {
    QString title;
    QString artist;
    int seconds = 0;
};
using TReader = std::function<std::optional<TFields>(const QString& file)>;

// Every file read; the times must add up to those the files were made with.
void ReadEveryFile(benchmark::State& state, const TReader& read)
{
    TFixture& fixture = Fixture();
    for (auto _ : state) {
        qint64 seconds = 0;
        qsizetype characters = 0;
        for (const QString& file : fixture.files) {
            const std::optional<TFields> fields = read(file);
            if (!fields) return state.SkipWithError("a file was not read");
            seconds += fields->seconds;
            characters += fields->title.size() + fields->artist.size();
        }
        if (seconds != fixture.expectedSeconds) state.SkipWithError("other playing times than the files have");
        benchmark::DoNotOptimize(characters);
    }
    state.SetItemsProcessed(state.iterations() * FileCount);
}

void BM_KestrelTags(benchmark::State& state)
{
    ReadEveryFile(state, [](const QString& file) -> std::optional<TFields> {
        TMP3FileInfo info;
        info.SetFileName(file);
        if (!info.Read()) return std::nullopt;
        return TFields{info.Title(), info.Artist(), info.Seconds()};
    });
}
BENCHMARK(BM_KestrelTags)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TagLib(benchmark::State& state)
{
    ReadEveryFile(state, [](const QString& file) -> std::optional<TFields> {
        const TagLib::FileRef ref(QFile::encodeName(file).constData(), true, TagLib::AudioProperties::Average);
        if (ref.isNull() || !ref.tag() || !ref.audioProperties()) return std::nullopt;
        return TFields{QString::fromStdWString(ref.tag()->title().toWString()),
                       QString::fromStdWString(ref.tag()->artist().toWString()), ref.audioProperties()->lengthInSeconds()};
    });
}
BENCHMARK(BM_TagLib)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kestrel

int main(int argc, char** argv)
{
    // Both figures and our time as a share of TagLib's.
    kestrel::bench::TSummaryReporter reporter(false, [](const kestrel::bench::TSummaryReporter::TTimeOf& time) {
        const double ours = time("BM_KestrelTags"), taglib = time("BM_TagLib");
        if (ours > 0 && taglib > 0)
            std::printf("Tags of %d MP3s with %d KB covers: %.1f ms ours, %.1f ms TagLib (%.2fx)\n", kestrel::FileCount,
                        kestrel::CoverBytes / 1024, ours, taglib, ours / taglib);
    });
    return kestrel::bench::RunBenchmarks(argc, argv, &reporter);
}
