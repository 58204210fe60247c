#include "print/PrintSite.h"

#include "document/Capabilities.h"
#include "document/DOList.h"
#include "document/DrawObject.h"
#include "document/LabelObject.h"
#include "label/LabelData.h"
#include "label/PaperPattern.h"
#include "paper/FaceInfo.h"
#include "paper/PaperInfo.h"
#include "paper/PaperRecords.h"
#include "platform/Canvas.h"
#include "platform/PrintJob.h"
#include "platform/Rounding.h"
#include "print/BandPage.h"
#include "print/EdgeMask.h"
#include "print/PhasedProgress.h"
#include "print/PrintSpec.h"

namespace kestrel {

namespace {

constexpr int TargetGrowth = 10;
constexpr int FullZoom = 100;

int FloorDiv(int64_t a, int64_t b)
{
    return int(a >= 0 ? a / b : -((-a + b - 1) / b));
}

int CeilDiv(int64_t a, int64_t b)
{
    return -FloorDiv(-a, b);
}

void MoveBy(TDrawObject& object, QPoint delta)
{
    if (auto* movable = dynamic_cast<IDOEncloseBounds*>(&object)) movable->MoveBy(delta.x(), delta.y());
}

// Objects are stored relative to the face; on the sheet they stand at the face bounds' corner.
// A background takes the face on the sheet as its own.
void PlaceOnSheet(std::vector<std::unique_ptr<TDrawObject>>& objects, const TFaceInfo& face)
{
    const TSheetRect bounds = face.OuterRect();
    for (auto& object : objects) {
        if (auto* background = dynamic_cast<IDOFaceBackground*>(object.get()))
            background->SetFaceInfo(face);
        else
            MoveBy(*object, QPoint(bounds.left, bounds.top));
    }
}

// The face's shape without its printed hole, as an exact outline (a region of a large disc at
// printer resolution would be thousands of rectangles).
QPainterPath PrintedShape(const TFaceInfo& face)
{
    QPainterPath shape = OutlinePath(face);
    shape.addPath(PrintedHolePath(face));
    shape.setFillRule(Qt::OddEvenFill);
    return shape;
}

}  // namespace

TPrintSite::TPrintSite(TLabelData& document, TSTDPhasedProgress& progress, const TPrintSpec& job,
                       IPrintDevice& printer)
    : document_(document), progress_(progress), job_(job), printer_(printer), dpi_(printer.Resolution())
{
    SetBorder(false);
    SetColor(clNone);
    Scaler().SetUnitDPI(LogicalUnitsPerInch);
    SetDeviceDpi(dpi_.height());
    if (const TPaperInfo* paper = document_.EffectivePaper()) SetLogSize(paper->Width(), paper->Height());
    SetOnDrawToProgress([this](TDrawSite&, int) {
        progress_.Step();
        Idle();
    });
}

void TPrintSite::Idle()
{
    if (onIdle_) onIdle_();
}

void TPrintSite::ApplyMapping(TCanvas& canvas) const
{
    TDrawSite::ApplyMapping(canvas);
    const int dpiX = canvas.Device().logicalDpiX();
    if (dpiX == canvas.DeviceDpi()) return;
    // Printers with unequal resolutions (1440 x 720) scale each axis by its own.
    TMapping mapping = canvas.Mapping();
    const int64_t unit = int64_t(Scaler().UnitDPI()) * FullZoom;
    mapping.windowExt = QSize(int(unit), int(unit));
    mapping.viewportExt = QSize(dpiX * Scaler().Scale(), canvas.DeviceDpi() * Scaler().Scale());
    canvas.SetMapping(mapping);
}

QPoint TPrintSite::PrintOffset() const
{
    // Pages start at the paper's edge: there is no unprintable margin to take off.
    return QPoint(MulDiv(job_.Offset.x(), dpi_.width(), LogicalUnitsPerInch),
                  MulDiv(job_.Offset.y(), dpi_.height(), LogicalUnitsPerInch));
}

void TPrintSite::ApplyPrinterMapping(TCanvas& canvas) const
{
    SetPrintOrigin(canvas, PrintOffset());
    ApplyMapping(canvas);
}

TRect TPrintSite::TargetRect(const TFaceInfo& face) const
{
    const TSheetRect bounds = face.OuterRect();
    const int64_t unit = LogicalUnitsPerInch;
    const TRect device{FloorDiv(int64_t(bounds.left) * dpi_.width(), unit),
                       FloorDiv(int64_t(bounds.top) * dpi_.height(), unit),
                       CeilDiv(int64_t(bounds.right) * dpi_.width(), unit),
                       CeilDiv(int64_t(bounds.bottom) * dpi_.height(), unit)};
    return device.Inflated(TargetGrowth);
}

void TPrintSite::Print()
{
    if (!document_.EffectivePaper()) return;
    printer_.SetLandscape(document_.EffectivePaper()->Landscape());
    printer_.BeginDoc();
    try {
        progress_.BeginPhase(job_.Copies);
        for (int copy = 0; copy < job_.Copies && printer_.Printing(); ++copy) {
            if (copy > 0) printer_.NewPage();
            PrintCopy();
            DrawFramesAndCutLines();
            progress_.Step();
        }
        progress_.EndPhase();
    } catch (...) {
        // Half a job is worth nothing on paper: it is dropped, never sent.
        printer_.Abort();
        throw;
    }
    if (printer_.Printing()) printer_.EndDoc();
}

void TPrintSite::PrintCopy()
{
    const int count = document_.FaceCount();
    progress_.BeginPhase(job_.SelectedCount(count));
    for (int n = 0; n < count && printer_.Printing(); ++n) {
        if (job_.IsFaceSelected(n)) {
            if (HasContent(n)) PrintFace(n);
            progress_.Step();
        }
        Idle();
    }
    progress_.EndPhase();
}

bool TPrintSite::HasContent(int n)
{
    return document_.HasFaceObjects(n) || (job_.PrintPaperImage && !FacePatternObjects(document_, n).empty());
}

void TPrintSite::LoadFace(int n)
{
    while (ChildCount() > 0) ExtractChild(Child(ChildCount() - 1));
    for (auto& object : FaceObjects(n)) {
        object->SetSelectable(false);
        object->SetEnabled(false);
        AddObject(std::move(object));
    }
}

void TPrintSite::PrintFace(int n)
{
    LoadFace(n);
    const TFaceInfo face(document_.Face(n));
    TCanvas& printer = printer_.Canvas();
    TCanvasStateSaver saver(printer);
    ApplyPrinterMapping(printer);
    printer.IntersectClipPath(PrintedShape(face));

    const int banding = BandingSetting();
    const int bandDpi = job_.BandResolution ? job_.BandResolution : banding == 1 ? LogicalUnitsPerInch : dpi_.height();
    TGammaPrintPage page(printer, job_.Correction, dpi_, bandDpi, banding != 0, PrintOffset(), TargetRect(face));
    progress_.BeginPhase(page.BandCount());
    while (printer_.Printing() && page.NextBand()) {
        progress_.BeginPhase(ChildCount());
        DrawTo(page.GetCanvas(), QPoint(0, 0), FullZoom);
        progress_.EndPhase();
        progress_.Step();
    }
    progress_.EndPhase();
}

void TPrintSite::DrawObject(TDrawObject& object, TCanvas& surface)
{
    if (printer_.Printing()) TDrawSite::DrawObject(object, surface);
}

std::vector<std::unique_ptr<TDrawObject>> TPrintSite::FaceObjects(int n)
{
    const TFaceInfo face(document_.Face(n));
    TDOList stored;
    document_.LoadFaceObjects(n, stored);
    std::vector<std::unique_ptr<TDrawObject>> objects = stored.ReleaseAll();
    PlaceOnSheet(objects, face);
    if (job_.PrintPaperImage) {
        std::vector<std::unique_ptr<TDrawObject>> pattern = FacePatternObjects(document_, n);
        PlaceOnSheet(pattern, face);
        for (auto& object : pattern) objects.push_back(std::move(object));
    }
    if (job_.BlurEdge) {
        // Over everything, or the face's own objects would cover the soft edge again.
        std::vector<std::unique_ptr<TDrawObject>> mask;
        mask.push_back(CreateEdgeMask(face));
        PlaceOnSheet(mask, face);
        objects.push_back(std::move(mask.front()));
    }
    return objects;
}

void TPrintSite::DrawFramesAndCutLines()
{
    if (!printer_.Printing() || (!job_.PrintFrame && !job_.PrintCutLine)) return;
    TCanvas& printer = printer_.Canvas();
    TCanvasStateSaver saver(printer);
    ApplyPrinterMapping(printer);
    printer.SetBrush({clBlack, TBrushStyle::bsClear});
    for (int n = 0; n < document_.FaceCount(); ++n) {
        if (!job_.IsFaceSelected(n)) continue;
        const TFaceInfo face(document_.Face(n));
        if (job_.PrintFrame) {
            printer.SetPen({clBlack, 0, TPenStyle::psSolid});
            face.DrawFace(printer, false, false);
        }
        if (job_.PrintCutLine) {
            printer.SetPen({clBlack, 0, TPenStyle::psDash});
            face.DrawCutLine(printer, false);
        }
    }
}

}  // namespace kestrel
