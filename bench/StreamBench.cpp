// Writing and reading 10,000 rectangle-like objects as one object list (the clipboard format).

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "document/stream/ClassRegistry.h"
#include "document/stream/ObjectStream.h"
#include "document/stream/Persistent.h"
#include "platform/BoundedReader.h"

namespace kestrel {
namespace {

constexpr int ObjectCount = 10000;

// Shaped like a label rectangle: nodefault geometry, a cursor, a colour, a free-text list.
class TBenchRect : public TComponent {
    KESTREL_PERSISTENT()
public:
    int Left() const { return left_; }
    void SetLeft(int v) { left_ = v; }
    int Top() const { return top_; }
    void SetTop(int v) { top_ = v; }
    int Width() const { return width_; }
    void SetWidth(int v) { width_ = v; }
    int Height() const { return height_; }
    void SetHeight(int v) { height_ = v; }
    int Cursor() const { return cursor_; }
    void SetCursor(int v) { cursor_ = v; }
    bool Border() const { return border_; }
    void SetBorder(bool v) { border_ = v; }
    int LayerGroup() const { return layerGroup_; }
    void SetLayerGroup(int v) { layerGroup_ = v; }
    QStringList Appendix() const { return appendix_; }
    void SetAppendix(const QStringList& v) { appendix_ = v; }
    int BlendRatio() const { return blendRatio_; }
    void SetBlendRatio(int v) { blendRatio_ = v; }
    int Color() const { return color_; }
    void SetColor(int v) { color_ = v; }
    double Angle() const { return angle_; }
    void SetAngle(double v) { angle_ = v; }

private:
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    int cursor_ = -21;
    bool border_ = false;
    int layerGroup_ = 0;
    QStringList appendix_;
    int blendRatio_ = 100;
    int color_ = 0;
    double angle_ = 0;
};

const TClassInfo& TBenchRect::StaticClass()
{
    static const TClassInfo info("TBenchRect", &TComponent::StaticClass(), FactoryOf<TBenchRect>(), [] {
        return TPropsOf<TBenchRect>()
            .Int("Left", &TBenchRect::Left, &TBenchRect::SetLeft, NoDefault)
            .Int("Top", &TBenchRect::Top, &TBenchRect::SetTop, NoDefault)
            .Int("Width", &TBenchRect::Width, &TBenchRect::SetWidth, NoDefault)
            .Int("Height", &TBenchRect::Height, &TBenchRect::SetHeight, NoDefault)
            .Cursor("Cursor", &TBenchRect::Cursor, &TBenchRect::SetCursor, 0)
            .Bool("Border", &TBenchRect::Border, &TBenchRect::SetBorder, NoDefault)
            .Int("LayerGroup", &TBenchRect::LayerGroup, &TBenchRect::SetLayerGroup, NoDefault)
            .Strings("Appendix", &TBenchRect::Appendix, &TBenchRect::SetAppendix)
            .Int("BlendRatio", &TBenchRect::BlendRatio, &TBenchRect::SetBlendRatio, 100)
            .Color("Color", &TBenchRect::Color, &TBenchRect::SetColor, 0)
            .Float("Angle", &TBenchRect::Angle, &TBenchRect::SetAngle)
            .Done();
    });
    return info;
}

std::vector<std::unique_ptr<TBenchRect>> MakeObjects()
{
    std::vector<std::unique_ptr<TBenchRect>> objects;
    for (int i = 0; i < ObjectCount; ++i) {
        auto rect = std::make_unique<TBenchRect>();
        rect->SetLeft(i % 1200);
        rect->SetTop(i % 900);
        rect->SetWidth(100 + i % 300);
        rect->SetHeight(50 + i % 200);
        rect->SetColor(i % 2 ? 0x0000FF : 0x123456);
        rect->SetAngle(i % 360);
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

BENCHMARK_MAIN();
