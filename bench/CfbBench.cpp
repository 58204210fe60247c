// Writing and reading back a compound file of 200 streams totalling 100 MB, compared with a
// plain copy of a 100 MB file on the same disk (read whole, write whole). Writing a compound file
// goes through a temporary file that is synced before it replaces the target; the plain copy
// is not synced.

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "platform/cfb/CompoundFile.h"

namespace kestrel {
namespace {

constexpr qint64 TotalBytes = 100 * 1024 * 1024;
constexpr int StreamCount = 200;

QTemporaryDir& Folder()
{
    static QTemporaryDir folder;
    return folder;
}

QString PathOf(const char* name)
{
    return Folder().filePath(QString::fromLatin1(name));
}

QByteArray Bytes(qint64 size, char seed)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; i += 4096)
        data[i] = static_cast<char>(seed + i / 4096);
    return data;
}

// 200 streams of uneven sizes (a tenth of them small enough for the mini stream), 100 MB in all.
std::shared_ptr<TCfbStorage> HundredMegabyteTree()
{
    auto root = TCfbStorage::NewRoot();
    auto folder = root->CreateStorage("Streams");
    qint64 left = TotalBytes;
    const qint64 typical = TotalBytes / (StreamCount - StreamCount / 10);
    for (int i = 0; i < StreamCount; ++i) {
        qint64 size = i % 10 == 0 ? 100 + i * 17 : typical + (i % 7 - 3) * 4099;
        if (i == StreamCount - 1)
            size = left;
        left -= size;
        folder->CreateStream(QStringLiteral("Stream%1").arg(i))->SetData(Bytes(size, static_cast<char>(i)));
    }
    return root;
}

qint64 PayloadOf(const TCfbStorage& storage)
{
    qint64 total = 0;
    for (const auto& entry : storage.Children())
        total += entry.second->IsStorage() ? PayloadOf(static_cast<const TCfbStorage&>(*entry.second))
                                           : static_cast<const TCfbStream&>(*entry.second).Size();
    return total;
}

void PlainCopy(const QString& from, const QString& to)
{
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        qFatal("plain copy could not open its files");
    const QByteArray bytes = in.readAll();
    out.write(bytes);
}

void CopySource()
{
    static bool made = false;
    if (made)
        return;
    QFile file(PathOf("plain.bin"));
    file.open(QIODevice::WriteOnly);
    file.write(Bytes(TotalBytes, 1));
    made = true;
}

double SecondsOfPlainCopy()
{
    CopySource();
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        PlainCopy(PathOf("plain.bin"), PathOf("plain-copy.bin"));
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

void BM_PlainCopy100MB(benchmark::State& state)
{
    CopySource();
    for (auto _ : state)
        PlainCopy(PathOf("plain.bin"), PathOf("plain-copy.bin"));
    state.SetBytesProcessed(state.iterations() * TotalBytes);
}

void BM_CfbWrite200Streams100MB(benchmark::State& state)
{
    auto root = HundredMegabyteTree();
    for (auto _ : state)
        WriteCompoundFileTo(*root, PathOf("bench.cfb"));
    state.SetBytesProcessed(state.iterations() * TotalBytes);
}

// The same file built in memory: the cost of the format itself, without the disk and its sync.
void BM_CfbWriteToMemory200Streams100MB(benchmark::State& state)
{
    auto root = HundredMegabyteTree();
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteCompoundFile(*root));
    state.SetBytesProcessed(state.iterations() * TotalBytes);
}

void BM_CfbRead200Streams100MB(benchmark::State& state)
{
    WriteCompoundFileTo(*HundredMegabyteTree(), PathOf("bench.cfb"));
    for (auto _ : state) {
        auto root = ReadCompoundFileFrom(PathOf("bench.cfb"));
        if (PayloadOf(*root) != TotalBytes)
            state.SkipWithError("wrong payload read back");
    }
    state.SetBytesProcessed(state.iterations() * TotalBytes);
}

// The whole round trip against one plain copy (which also reads and writes 100 MB once each).
void BM_CfbWriteAndReadBack100MB(benchmark::State& state)
{
    auto root = HundredMegabyteTree();
    const double copySeconds = SecondsOfPlainCopy();
    double seconds = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        WriteCompoundFileTo(*root, PathOf("bench.cfb"));
        auto back = ReadCompoundFileFrom(PathOf("bench.cfb"));
        seconds += timer.nsecsElapsed() / 1e9;
        benchmark::DoNotOptimize(back);
    }
    state.SetBytesProcessed(state.iterations() * TotalBytes);
    state.counters["plain_copy_MBps"] = TotalBytes / 1048576.0 / copySeconds;
    state.counters["speed_vs_plain_copy"] = copySeconds / (seconds / state.iterations());
}

BENCHMARK(BM_PlainCopy100MB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CfbWrite200Streams100MB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CfbWriteToMemory200Streams100MB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CfbRead200Streams100MB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CfbWriteAndReadBack100MB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kestrel
