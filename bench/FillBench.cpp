// Mail merge: a 1,000-row CSV filled into a two-disc template, one document per row.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>

#include "document/DOGroup.h"
#include "document/DOList.h"
#include "label/LabelData.h"
#include "label/ModelStartup.h"
#include "music/LabelFill.h"
#include "paper/PaperInfo.h"

namespace kestrel {
namespace {

constexpr int RowCount = 1000;
constexpr int TextObjects = 8;

std::unique_ptr<TPaperInfo> TwoDiscSheet()
{
    auto paper = std::make_unique<TMatrixPaperInfo>();
    paper->SetPaperName(QStringLiteral("A4 CDラベル 2面"));
    paper->SetPortraitSize(2100, 2970);
    paper->SetTopOffset(215);
    paper->SetLeftOffset(465);
    paper->SetFaceWidth(1170);
    paper->SetFaceHeight(1170);
    paper->SetFaceCountX(1);
    paper->SetFaceCountY(2);
    paper->SetFaceShape(fsDoughnut);
    return paper;
}

// Objects whose texts hold the fields; groups are the one object kind every build has.
QString MakeTemplate(const QString& folder)
{
    TLabelData document;
    document.SetPaper(*TwoDiscSheet());
    TDOList objects;
    for (int i = 0; i < TextObjects; ++i) {
        auto object = std::make_unique<TDOGroup>();
        object->SetHint(QStringLiteral("{{title}} — {{artist}} ({{row}})"));
        object->SetAppendix({QStringLiteral("トラック {{row}}"), QStringLiteral("{{artist}}")});
        objects.Add(std::move(object));
    }
    document.SaveFaceObjects(0, objects);
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
}  // namespace kestrel

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    kestrel::InitializeModel();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
