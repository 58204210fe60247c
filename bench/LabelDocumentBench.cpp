// Opening a 20-sheet document and rendering its current sheet, and saving it.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>
#include <memory>

#include "document/DOList.h"
#include "document/LabelObject.h"
#include "document/stream/ClassRegistry.h"
#include "label/FaceRender.h"
#include "label/LabelData.h"
#include "label/ModelStartup.h"
#include "paper/PaperInfo.h"
#include "platform/Canvas.h"

namespace kestrel {
namespace {

constexpr int SheetCount = 20;
constexpr int ObjectsPerFace = 50;
constexpr int ScreenDpi = 96;

class TBenchRect : public TLORectBase {
    KESTREL_PERSISTENT()
public:
    void SetSize(int width, int height) override { SetBounds({Left(), Top(), Left() + width, Top() + height}); }
    void DrawOutline(TCanvas&) override {}
    void Paint(TCanvas& canvas) override
    {
        canvas.SetBrush({clBlue, TBrushStyle::bsSolid});
        canvas.Rectangle(Rect());
    }
};

const TClassInfo& TBenchRect::StaticClass()
{
    static const TClassInfo info("TBenchRect", &TLORectBase::StaticClass(), FactoryOf<TBenchRect>(), {});
    return info;
}

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
    paper->SetFaceMargin(10);
    return paper;
}

void FillFaces(TLabelData& document)
{
    for (int n = 0; n < document.FaceCount(); ++n) {
        std::vector<std::unique_ptr<TBenchRect>> objects;
        TDOList list;
        for (int i = 0; i < ObjectsPerFace; ++i) {
            auto object = std::make_unique<TBenchRect>();
            object->SetBounds({100 + i * 15, 100 + i * 10, 400 + i * 15, 300 + i * 10});
            list.Add(*object);
            objects.push_back(std::move(object));
        }
        document.SaveFaceObjects(n, list);
    }
}

// The document, written once per process.
const QString& TwentySheetFile()
{
    static QTemporaryDir folder;
    static const QString file = [] {
        TClassRegistry::Global().Register(TBenchRect::StaticClass());
        TLabelData document;
        document.SetPaper(*TwoDiscSheet());
        FillFaces(document);
        for (int i = 1; i < SheetCount; ++i) {
            document.NewSheet();
            FillFaces(document);
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
}  // namespace kestrel

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    kestrel::InitializeModel();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
