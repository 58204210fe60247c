// Writing and reading 10,000 rectangle objects as one object list (the clipboard format).

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "document/LabelObject.h"
#include "document/stream/ClassRegistry.h"
#include "document/stream/ObjectStream.h"
#include "platform/BoundedReader.h"

namespace kestrel {
namespace {

constexpr int ObjectCount = 10000;

// The smallest concrete rectangle-based label object: it streams exactly the base properties.
class TBenchRect : public TLORectBase {
    KESTREL_PERSISTENT()
public:
    void SetSize(int width, int height) override { SetBounds({Left(), Top(), Left() + width, Top() + height}); }
    void DrawOutline(TCanvas&) override {}
};

const TClassInfo& TBenchRect::StaticClass()
{
    static const TClassInfo info("TBenchRect", &TLORectBase::StaticClass(), FactoryOf<TBenchRect>(), {});
    return info;
}

std::vector<std::unique_ptr<TBenchRect>> MakeObjects()
{
    std::vector<std::unique_ptr<TBenchRect>> objects;
    for (int i = 0; i < ObjectCount; ++i) {
        auto rect = std::make_unique<TBenchRect>();
        const int left = i % 1200;
        const int top = i % 900;
        rect->SetBounds({left, top, left + 100 + i % 300, top + 50 + i % 200});
        rect->SetLayerGroup(i % 3);
        rect->SetBlendRatio(i % 2 ? 100 : 50);
        if (i % 4 == 0) rect->SetAppendix({QStringLiteral("メモ"), QStringLiteral("line %1").arg(i)});
        objects.push_back(std::move(rect));
    }
    return objects;
}

QByteArray WriteList(const std::vector<std::unique_ptr<TBenchRect>>& objects)
{
    std::vector<const TComponent*> pointers;
    for (const auto& o : objects) pointers.push_back(o.get());
    QByteArray out;
    WriteObjectList(out, pointers);
    return out;
}

void BM_WriteObjectList(benchmark::State& state)
{
    const auto objects = MakeObjects();
    for (auto _ : state) benchmark::DoNotOptimize(WriteList(objects));
    state.SetItemsProcessed(state.iterations() * ObjectCount);
}
BENCHMARK(BM_WriteObjectList)->Unit(benchmark::kMillisecond);

void BM_ReadObjectList(benchmark::State& state)
{
    const QByteArray bytes = WriteList(MakeObjects());
    TClassRegistry registry;
    registry.Register(TBenchRect::StaticClass());
    TReadOptions options;
    options.registry = &registry;
    for (auto _ : state) {
        TBoundedReader in(bytes);
        auto objects = ReadObjectList(in, TBenchRect::StaticClass(), options);
        if (objects.size() != ObjectCount) state.SkipWithError("lost objects");
        benchmark::DoNotOptimize(objects.data());
    }
    state.SetItemsProcessed(state.iterations() * ObjectCount);
    state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_ReadObjectList)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestrel
