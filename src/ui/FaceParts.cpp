#include "ui/FaceParts.h"

#include <QPainterPath>

#include "paper/FaceGeometry.h"
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

void DrawFaceUnderlay(TCanvas& canvas, const TFaceGeometry& face)
{
    canvas.SetPen({clWhite, 0, TPenStyle::psClear});
    canvas.SetBrush({clWhite, TBrushStyle::bsSolid});
    TFaceInfo(face).DrawFace(canvas, true, false);
}

void DrawFaceOverlay(TCanvas& canvas, const TFaceGeometry& face, TColor outside)
{
    const TFaceInfo info(TFaceInfo(face).AtOrigin());
    const TSheetRect outer = info.OuterRect();
    // Even-odd over the outer rectangle, the outline and the hole: what lies outside the
    // printed face, the hole included.
    QPainterPath unprinted;
    unprinted.addRect(outer.left, outer.top, outer.Width(), outer.Height());
    unprinted.addPath(OutlinePath(info));
    unprinted.addPath(PrintedHolePath(info));
    unprinted.setFillRule(Qt::OddEvenFill);
    canvas.SetPen({outside, 0, TPenStyle::psClear});
    canvas.SetBrush({outside, TBrushStyle::bsSolid});
    canvas.DrawPath(unprinted);
    canvas.SetPen({FaceEdgeColor, 1, TPenStyle::psSolid});
    canvas.SetBrush({clWhite, TBrushStyle::bsClear});
    info.DrawFace(canvas, false, false);
    canvas.SetPen({FaceEdgeColor, 0, TPenStyle::psDot});
    info.DrawCutLine(canvas, false);
}

}  // namespace kestrel
