// Mail merge: a 1,000-row CSV filled into a two-disc template, one document per row.

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "label/LabelData.h"
#include "music/LabelFill.h"
#include "paper/PaperInfo.h"
#include "support/BenchSupport.h"
#include "text/LOText.h"

namespace kestrel::bench {
namespace {

constexpr int RowCount = 1000;
constexpr int TextObjects = 8;

// Text objects whose lines hold the fields, on the first face.
QString MakeTemplate(const QString& folder)
{
    TLabelData document;
    document.SetPaper(*TwoDiscSheet());
    FillFaces(document, [](int face) {
        TFaceObjects objects;
        for (int i = 0; i < TextObjects && face == 0; ++i) {
            auto text = std::make_unique<TLOText>();
            text->SetBounds({100, 100 + i * 100, 1000, 180 + i * 100});
            text->SetText({QStringLiteral("{{title}} — {{artist}}"), QStringLiteral("トラック {{row}}")});
            objects.push_back(std::move(text));
        }
        return objects;
    });
    const QString file = folder + "/template.mld";
    document.SaveToFile(file);
    return file;
}

TFillData MakeRows()
{
    TFillData data{{"title", "artist"}, {}};
    for (int i = 0; i < RowCount; ++i)
        data.rows.push_back({QStringLiteral("アルバム %1").arg(i), QStringLiteral("バンド %1").arg(i % 37)});
    return data;
}

void BM_FillThousandRows(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString templateFile = MakeTemplate(folder.path());
    const TFillData data = MakeRows();
    for (auto _ : state) FillFromTemplate(templateFile, data, folder.path() + "/out_{{row}}.mld");
    state.SetItemsProcessed(state.iterations() * RowCount);
    state.counters["documents/s"] =
        benchmark::Counter(double(state.iterations()) * RowCount, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FillThousandRows)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace kestrel::bench
