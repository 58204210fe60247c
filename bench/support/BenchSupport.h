#pragma once

// What the benchmarks share: the sheet and documents they measure on, a plain rectangle object
// and a face-sized draw site.

#include <QByteArray>
#include <functional>
#include <memory>
#include <vector>

#include "document/LabelObject.h"
#include "platform/Color.h"

namespace benchmark {
class BenchmarkReporter;
}

namespace kestrel {

class TDrawSite;
class TLabelData;
class TPaperInfo;

namespace bench {

// Runs the program's benchmarks headless, with the model's classes registered; the reporter, when
// given, adds its own summary.
int RunBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter* reporter = nullptr);

// A4 with two disc faces of 117 mm one above the other.
std::unique_ptr<TPaperInfo> TwoDiscSheet();

// The objects of one face, in the order of its object list.
using TFaceObjects = std::vector<std::unique_ptr<TDrawObject>>;
// Every face of the current sheet gets the objects made for it.
void FillFaces(TLabelData& document, const std::function<TFaceObjects(int face)>& make);

// A filled rectangle with a black frame; persistent as "TBenchRect" once registered.
class TBenchRect : public TLORectBase {
    KESTREL_PERSISTENT()
public:
    TColor fill = clBlue;
    void SetSize(int width, int height) override { SetBounds({Left(), Top(), Left() + width, Top() + height}); }
    void DrawOutline(TCanvas&) override {}
    void Paint(TCanvas& canvas) override;
};
void RegisterBenchRect();

// 1200 x 1200 pixels at 96 dpi and 100 %: 3175 x 3175 units on white.
void SetUpFaceSite(TDrawSite& site);

// A photograph-like JPEG: soft gradients with fine noise, so that it has real detail.
QByteArray CameraJpeg(int width, int height);

}  // namespace bench
}  // namespace kestrel
