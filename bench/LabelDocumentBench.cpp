// Opening a 20-sheet document and rendering its current sheet, and saving it.

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "label/FaceRender.h"
#include "label/LabelData.h"
#include "paper/PaperInfo.h"
#include "support/BenchSupport.h"

namespace kestrel::bench {
namespace {

constexpr int SheetCount = 20;
constexpr int ObjectsPerFace = 50;
constexpr int ScreenDpi = 96;

TFaceObjects Rects(int)
{
    TFaceObjects objects;
    for (int i = 0; i < ObjectsPerFace; ++i) {
        auto object = std::make_unique<TBenchRect>();
        object->SetBounds({100 + i * 15, 100 + i * 10, 400 + i * 15, 300 + i * 10});
        objects.push_back(std::move(object));
    }
    return objects;
}

// The document, written once per process.
const QString& TwentySheetFile()
{
    static QTemporaryDir folder;
    static const QString file = [] {
        RegisterBenchRect();
        TLabelData document;
        document.SetPaper(*TwoDiscSheet());
        FillFaces(document, Rects);
        for (int i = 1; i < SheetCount; ++i) {
            document.NewSheet();
            FillFaces(document, Rects);
        }
        const QString path = folder.filePath(QStringLiteral("twenty.mld"));
        document.SaveToFile(path);
        return path;
    }();
    return file;
}

void BM_OpenAndRenderSheet(benchmark::State& state)
{
    const QString& file = TwentySheetFile();
    for (auto _ : state) {
        TLabelData document;
        document.LoadFromFile(file);
        const QImage sheet = RenderSheet(document, ScreenDpi);
        if (document.SheetCount() != SheetCount || sheet.isNull()) state.SkipWithError("the document did not load");
        benchmark::DoNotOptimize(sheet.constBits());
    }
}
BENCHMARK(BM_OpenAndRenderSheet)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_Save(benchmark::State& state)
{
    TLabelData document;
    document.LoadFromFile(TwentySheetFile());
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("saved.mld"));
    for (auto _ : state) document.SaveToFile(target);
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace kestrel::bench
