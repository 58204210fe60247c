#pragma once

#include <QPoint>
#include <QSize>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Geometry.h"
#include "render/DrawSite.h"

namespace kestrel {

class IPrintDevice;
class TDrawObject;
class TFaceInfo;
class TLabelData;
class TSTDPhasedProgress;
struct TPrintSpec;

// A draw site that is never shown: it holds one face's objects at a time, in sheet coordinates,
// and prints every selected face of the document's current sheet, copy after copy, band by band.
class TPrintSite : public TDrawSite {
public:
    TPrintSite(TLabelData& document, TSTDPhasedProgress& progress, const TPrintSpec& job, IPrintDevice& printer);

    // Runs between objects, bands and faces: pending window messages (and with them an abort).
    void SetOnIdle(std::function<void()> idle) { onIdle_ = std::move(idle); }
    // The whole job. An error drops the printer's document before it is passed on.
    void Print();

    // Face n's objects placed on the sheet, ready for the site: its own objects, the paper's
    // pattern under them when asked for, the soft edge over them when asked for.
    std::vector<std::unique_ptr<TDrawObject>> FaceObjects(int n);
    // The face's bounds in printer pixels relative to the print origin, rounded outwards and
    // grown by 10 pixels.
    TRect TargetRect(const TFaceInfo& face) const;
    // The print origin in printer pixels: where logical (0, 0) lands on the page.
    QPoint PrintOffset() const;
    bool HasContent(int n);

    void ApplyMapping(TCanvas& canvas) const override;

protected:
    // Nothing more is painted once the job has stopped.
    void DrawObject(TDrawObject& object, TCanvas& surface) override;

private:
    void Idle();
    void PrintCopy();
    void PrintFace(int n);
    void LoadFace(int n);
    void DrawFramesAndCutLines();
    // The printer mapping: logical units from the print origin.
    void ApplyPrinterMapping(TCanvas& canvas) const;

    TLabelData& document_;
    TSTDPhasedProgress& progress_;
    const TPrintSpec& job_;
    IPrintDevice& printer_;
    QSize dpi_;
    std::function<void()> onIdle_;
};

}  // namespace kestrel
