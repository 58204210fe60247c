#include "support/BenchSupport.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <random>

#include "document/DOList.h"
#include "document/stream/ClassRegistry.h"
#include "edit/ModelStartup.h"
#include "label/LabelData.h"
#include "paper/PaperInfo.h"
#include "platform/Canvas.h"
#include "platform/PictureCodecs.h"
#include "render/DrawSite.h"

namespace kestrel::bench {

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

void FillFaces(TLabelData& document, const std::function<TFaceObjects(int face)>& make)
{
    for (int face = 0; face < document.FaceCount(); ++face) {
        const TFaceObjects objects = make(face);
        TDOList list;
        for (const auto& object : objects) list.Add(*object);
        document.SaveFaceObjects(face, list);
    }
}

const TClassInfo& TBenchRect::StaticClass()
{
    static const TClassInfo info("TBenchRect", &TLORectBase::StaticClass(), FactoryOf<TBenchRect>(), {});
    return info;
}

void TBenchRect::Paint(TCanvas& canvas)
{
    canvas.SetPen({clBlack, 3, TPenStyle::psSolid, TPenMode::pmCopy});
    canvas.SetBrush({fill, TBrushStyle::bsSolid});
    canvas.Rectangle(Rect());
}

void RegisterBenchRect()
{
    TClassRegistry::Global().Register(TBenchRect::StaticClass());
}

void SetUpFaceSite(TDrawSite& site)
{
    site.SetDeviceDpi(96);
    site.Scaler().SetUnitDPI(254);
    site.SetLogSize(3175, 3175);
    site.SetColor(clWhite);
}

int RunBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter* reporter)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts and screens for the canvas
    InitializeModel();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks(reporter);
    benchmark::Shutdown();
    return 0;
}

void TSummaryReporter::ReportRuns(const std::vector<Run>& runs)
{
    for (const Run& run : runs)
        if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
            times_[run.run_name.function_name] = cpuTime_ ? run.GetAdjustedCPUTime() : run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
}

void TSummaryReporter::Finalize()
{
    ConsoleReporter::Finalize();
    summary_([this](const char* name) {
        const auto found = times_.find(name);
        return found == times_.end() ? 0.0 : found->second;
    });
}

QByteArray CameraJpeg(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> noise(-12, 12);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int n = noise(random);
            row[x] = qRgb(std::clamp(x * 255 / width + n, 0, 255), std::clamp(y * 255 / height + n, 0, 255),
                          std::clamp(128 + n * 4, 0, 255));
        }
    }
    return EncodeJpeg(picture, 90);
}

}  // namespace kestrel::bench
