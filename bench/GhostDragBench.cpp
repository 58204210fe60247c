// Dragging the ghosts of 50 selected rectangles over a 1200 x 1200 pixel view: each step moves
// the ghosts and repaints what they covered before and after, as the view's paint does.

#include <benchmark/benchmark.h>

#include <QImage>
#include <memory>

#include "edit/GhostList.h"
#include "edit/ModelStartup.h"
#include "objects/LORect.h"
#include "platform/Canvas.h"
#include "render/DrawSite.h"

namespace kestrel {
namespace {

// Collects what the site asks to repaint, as a window's update region would.
class TDirtyArea : public IDrawSiteHost {
public:
    TRect Take() { return std::exchange(dirty_, TRect{}); }

    void InvalidateArea(const TRect& device) override
    {
        if (dirty_.IsEmpty()) {
            dirty_ = device;
            return;
        }
        dirty_ = {std::min(dirty_.left, device.left), std::min(dirty_.top, device.top),
                  std::max(dirty_.right, device.right), std::max(dirty_.bottom, device.bottom)};
    }
    void RepaintNow() override {}
    void ElementSizeChanged(QSize) override {}
    void TakeFocus() override {}
    bool IsInView(QPoint) const override { return true; }
    void ScrollTowards(QPoint) override {}

private:
    TRect dirty_;
};

// 1200 x 1200 pixels at 96 dpi and 100 %: 3175 x 3175 units.
void BM_DragFiftyGhosts(benchmark::State& state)
{
    InitializeModel();
    TDrawSite site;
    TDirtyArea host;
    site.SetDeviceDpi(96);
    site.Scaler().SetUnitDPI(254);
    site.SetLogSize(3175, 3175);
    site.SetColor(clWhite);
    site.SetHost(&host);
    for (int i = 0; i < 50; ++i) {
        auto rect = std::make_unique<TLORect>();
        const int x = 200 + (i % 10) * 250, y = 300 + (i / 10) * 500;
        rect->SetBounds({x, y, x + 220, y + 400});
        rect->SetAngle(i * 7);
        rect->SetFillInside(true);
        rect->FillColor().SetColor(RGBColor(i * 5, 100, 200));
        TDrawObject& object = site.AddObject(std::move(rect));
        object.SetSelected(true);
        object.StartGhost(-1);
    }
    QImage view(site.ElementSize(), QImage::Format_RGB32);
    const auto paint = [&] {
        TCanvas canvas(view);
        site.Paint(canvas, host.Take());
    };
    const QPoint start(1500, 1500);
    GhostList().BeginDrag(site, site.LogicalArea(), start, 0);
    paint();  // the picture of the scene is taken once, as the drag begins
    int step = 0;
    for (auto _ : state) {
        ++step;
        GhostList().DragTo(start + QPoint(step % 97 * 3, step % 61 * 2), 0);
        paint();
        benchmark::ClobberMemory();
    }
    GhostList().CancelDrag();
    site.SetHost(nullptr);
}
BENCHMARK(BM_DragFiftyGhosts)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace kestrel
