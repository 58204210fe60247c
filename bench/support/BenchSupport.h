#pragma once

// What the benchmarks share: the sheet and documents they measure on, a plain rectangle object
// and a face-sized draw site.

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "document/LabelObject.h"
#include "platform/Color.h"

namespace kestrel {

class TDrawSite;
class TLabelData;
class TPaperInfo;

namespace bench {

// Runs the program's benchmarks headless, with the model's classes registered; the reporter, when
// given, adds its own summary.
int RunBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter* reporter = nullptr);

// Prints the usual table, then a summary made from each benchmark's time by function name (0 for
// one that did not run): a single run's or the median of repetitions, in real time or (on a
// machine others share) CPU time.
class TSummaryReporter : public benchmark::ConsoleReporter {
public:
    using TTimeOf = std::function<double(const char* name)>;
    TSummaryReporter(bool cpuTime, std::function<void(const TTimeOf& time)> summary)
        : cpuTime_(cpuTime), summary_(std::move(summary))
    {
    }
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    bool cpuTime_;
    std::function<void(const TTimeOf&)> summary_;
    std::map<std::string, double> times_;
};

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
