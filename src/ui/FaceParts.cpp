#include "ui/FaceParts.h"

#include "paper/FaceInfo.h"
#include "platform/Canvas.h"
#include "render/DrawSite.h"
#include "render/LOFace.h"

namespace kestrel {

void CreateSheetFaces(TDrawSite& site, const TPaperInfo& paper, const std::function<void(int face)>& onSelect,
                      const std::function<QImage(int face)>& preview)
{
    CreateFaces(site, paper, true, [] { return std::make_unique<TLOFaceForSheet>(); });
    for (int i = 0; i < FaceCount(site); ++i) {
        auto* face = static_cast<TLOFaceForSheet*>(FaceAt(site, i));
        face->SetOnSelectChange([onSelect](TLOFace& chosen) {
            if (chosen.FaceSelected()) onSelect(FaceIndex(chosen));
        });
        face->SetPreviewSource([preview, i](const TLOFaceWithPreview&) { return preview(i); });
    }
}

int SelectedSheetFace(const TDrawSite& site)
{
    const TLOFace* face = SelectedFace(site);
    return face ? FaceIndex(*face) : -1;
}

void SelectSheetFace(TDrawSite& site, int face)
{
    SelectFace(site, face);
}

int SheetFaceAt(const TDrawSite& site, QPoint logical)
{
    const auto* face = dynamic_cast<const TLOFace*>(site.ObjectAt(logical));
    return face ? FaceIndex(*face) : -1;
}

void DrawFaceUnderlay(TCanvas& canvas, const TFaceGeometry& face, TColor outside)
{
    const TFaceInfo info(face);
    canvas.SetPen({clBlack, 1, TPenStyle::psSolid});
    canvas.SetBrush({clWhite, TBrushStyle::bsSolid});
    info.DrawFace(canvas, true, false);
    canvas.SetBrush({outside, TBrushStyle::bsSolid});
    info.DrawHole(canvas, true);
    canvas.SetPen({clBlack, 0, TPenStyle::psDot});
    canvas.SetBrush({clWhite, TBrushStyle::bsClear});
    info.DrawCutLine(canvas, true);
}

}  // namespace kestrel
