// Printing the sheet of two discs to PDF with bands at 254 dpi: a photo background, a
// gradation and a rectangle on each face. Reports wall time and the process's peak memory.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>

#include "document/stream/ClassRegistry.h"
#include "label/LabelData.h"
#include "paper/PaperInfo.h"
#include "platform/Canvas.h"
#include "platform/PrintJob.h"
#include "platform/PrinterConfiguration.h"
#include "print/PhasedProgress.h"
#include "print/PrintCommand.h"
#include "render/Gradation.h"
#include "support/BenchSupport.h"

namespace kestrel::bench {
namespace {

constexpr int FaceBounds = 1190;
constexpr int PhotoPixels = 1500;

// A photo-like picture: smooth colour fields with fine grain, so it compresses like a photo.
QImage SyntheticPhoto()
{
    QImage photo(PhotoPixels, PhotoPixels, QImage::Format_RGB32);
    uint32_t grain = 12345;
    for (int y = 0; y < PhotoPixels; ++y) {
        auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < PhotoPixels; ++x) {
            grain = grain * 1103515245 + 12345;
            const int noise = int(grain >> 28) - 8;
            const int r = int(127 + 100 * std::sin(x / 170.0)) + noise;
            const int g = int(127 + 100 * std::cos(y / 130.0)) + noise;
            const int b = int(127 + 90 * std::sin((x + y) / 210.0)) + noise;
            row[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
        }
    }
    return photo;
}

enum TBenchFill { bfPhoto, bfGradation, bfRectangle };

class TBenchObject : public TLORectBase {
    KESTREL_PERSISTENT()
public:
    int fill = bfPhoto;  // Tag 0 is not stored
    void SetSize(int width, int height) override { SetBounds({Left(), Top(), Left() + width, Top() + height}); }
    void DrawOutline(TCanvas&) override {}
    void SetTag(int tag) override
    {
        TLORectBase::SetTag(tag);
        fill = tag;
    }
    void Paint(TCanvas& canvas) override
    {
        static const QImage photo = SyntheticPhoto();
        switch (fill) {
        case bfPhoto:
            canvas.StretchDraw(Rect(), photo);
            break;
        case bfGradation:
            RenderGradation(canvas, Rect(), {clRed, TColor(0x00FFFF), clBlue}, false, 30, rgkSimple);
            break;
        default:
            canvas.SetPen({clBlack, 10, TPenStyle::psSolid});
            canvas.SetBrush({clWhite, TBrushStyle::bsSolid});
            canvas.Rectangle(Rect());
        }
    }
};

const TClassInfo& TBenchObject::StaticClass()
{
    static const TClassInfo info("TBenchObject", &TLORectBase::StaticClass(), FactoryOf<TBenchObject>(), {});
    return info;
}

TFaceObjects PhotoGradationAndRectangle(int)
{
    const TRect parts[] = {{0, 0, FaceBounds, FaceBounds}, {200, 300, 990, 600}, {300, 800, 890, 1000}};
    TFaceObjects objects;
    for (int kind = bfRectangle; kind >= bfPhoto; --kind) {  // front to back
        auto object = std::make_unique<TBenchObject>();
        object->SetBounds(parts[kind]);
        object->SetTag(kind);
        objects.push_back(std::move(object));
    }
    return objects;
}

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void BM_PrintTwoDiscSheetToPdf(benchmark::State& state)
{
    TClassRegistry::Global().Register(TBenchObject::StaticClass());
    TLabelData document;
    document.SetPaper(*TwoDiscSheet());
    FillFaces(document, PhotoGradationAndRectangle);
    RememberPrintRequest(TPrintRequest{});
    auto printer = TPrinterConfiguration::Named(PdfPrinterName());
    FitPrinterToPaper(*printer, *document.EffectivePaper());
    QTemporaryDir folder;
    const QString target = qEnvironmentVariableIsSet("KESTREL_BENCH_PDF") ? qEnvironmentVariable("KESTREL_BENCH_PDF") : folder.path() + "/sheet.pdf";
    for (auto _ : state) {
        TPdfPrintJob job(*printer, target);
        TSTDPhasedProgress progress;
        benchmark::DoNotOptimize(PrintDocument(document, job, progress, {}));
    }
    state.counters["peak_MB"] = PeakMegabytes();
    state.counters["pdf_KB"] = QFileInfo(target).size() / 1024.0;
}
BENCHMARK(BM_PrintTwoDiscSheetToPdf)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kestrel::bench
