#pragma once

// The face record passed around the program, with its drawing, clipping and scale rules. A
// face's objects live in logical units relative to the top-left corner of its outer rectangle.

#include <QSize>

#include "paper/FaceGeometry.h"
#include "platform/Geometry.h"
#include "platform/Region.h"

namespace kestrel {

class TCanvas;

TRect ToRect(const TSheetRect& r);
TSheetRect ToSheetRect(const TRect& r);

class TFaceInfo : public TFaceGeometry {
public:
    TFaceInfo() = default;
    explicit TFaceInfo(const TFaceGeometry& geometry) : TFaceGeometry(geometry) {}
    void Assign(const TFaceInfo& source) { *this = source; }

    bool HasHole() const { return kestrel::HasHole(shape); }
    bool IsRounded() const { return kestrel::IsRounded(shape); }
    void SetHoleSize(int size) { cutCenterWidth = cutCenterHeight = size; }
    // The face rectangle becomes outer shrunk by the margin.
    void SetOuterRect(const TSheetRect& outer) { rect = outer.Inflated(-margin); }
    // The same face moved so that its outer rectangle starts at (0, 0).
    TFaceInfo AtOrigin() const;
    // Where a new object is centred so that it prints, relative to the outer rectangle: on a
    // face with a hole the middle of the band above it, otherwise the face's centre.
    QPoint NewObjectCentre() const;

    // The outline in the outer rectangle and the printed hole, with the canvas's pen; the brush
    // fills the face but not its hole. withCross adds a centre mark, 100 units each way, on
    // the hole's centre.
    void DrawFace(TCanvas& canvas, bool atOrigin, bool withCross) const;
    // Where the label is cut (outline in the face rectangle, the unprinted hole); nothing when
    // there is no margin, as the cut then is the outline.
    void DrawCutLine(TCanvas& canvas, bool atOrigin) const;
    void DrawHole(TCanvas& canvas, bool atOrigin) const;
    // The shape in the outer rectangle, with withHole minus the printed hole: logical units
    // without a surface, the surface's device pixels with one.
    TRegion Region(const TCanvas* surface, bool withHole) const;
    // Shape and purpose of a paper face type (0..7); other numbers change nothing.
    void SetFromFaceType(int type);

private:
    TFaceInfo Placed(bool atOrigin) const { return atOrigin ? AtOrigin() : *this; }
};

// Keeps a face rendered at the surface's origin inside its shape: everything outside the
// face's region (hole included) is filled with the surface's brush. An empty face paints nothing.
void PaintOutsideFace(TCanvas& canvas, const TFaceInfo& face);

// Zoom percentage for rendering a face into a picture of at most target pixels, k percent of
// the fitted size on a screen of screenDpi, at most 100 and at least 1; fitted gets the size the
// picture is scaled to. k == -1 renders at 100 without fitting (fitted: the size at that zoom).
int FacePictureZoom(const TFaceInfo& face, QSize target, int k, int screenDpi, QSize* fitted = nullptr);

}  // namespace kestrel
