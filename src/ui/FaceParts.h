#pragma once

// The window's only contact with the face objects of a sheet overview and with the drawing of a
// face's outline.

#include <QImage>
#include <QPoint>
#include <functional>

#include "platform/Color.h"

namespace kestrel {

class TCanvas;
class TDrawSite;
class TPaperInfo;
struct TFaceGeometry;

// One face object per face of the paper, one selected at a time, each showing the picture
// preview gives for it; onSelect gets the index of a face the user selected.
void CreateSheetFaces(TDrawSite& site, const TPaperInfo& paper, const std::function<void(int face)>& onSelect,
                      const std::function<QImage(int face)>& preview);
// -1 when none is selected.
int SelectedSheetFace(const TDrawSite& site);
void SelectSheetFace(TDrawSite& site, int face);
// The face under a logical point, or -1.
int SheetFaceAt(const TDrawSite& site, QPoint logical);

// In face coordinates (origin at the outer rectangle's top-left). Under the objects: the face
// in white. Over them, in the editor only (never in what is printed or exported): what does not
// print (around the face and in its hole) in the colour around the face, the face's outline
// with its hole, and the dotted line where the label is cut.
inline constexpr TColor FaceEdgeColor = clBlack;
void DrawFaceUnderlay(TCanvas& canvas, const TFaceGeometry& face);
void DrawFaceOverlay(TCanvas& canvas, const TFaceGeometry& face, TColor outside);

}  // namespace kestrel
