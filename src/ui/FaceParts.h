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

// The face in white with its outline, the hole in the colour around the face, and the cut line,
// in face coordinates (origin at the outer rectangle's top-left); drawn under the objects.
void DrawFaceUnderlay(TCanvas& canvas, const TFaceGeometry& face, TColor outside);

}  // namespace kestrel
