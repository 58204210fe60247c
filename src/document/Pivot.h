#pragma once

#include "document/ObjectSite.h"
#include "platform/Color.h"

namespace kestrel {

class TCanvas;
class TDrawObject;

// The cursor of rotation handles; the program's own cursors count up from 1.
inline constexpr TCursor crRotate = 1;

// Edge length of a handle in the site's device pixels; the screen's pixel ratio scales it further.
inline constexpr int PivotSize = 9;
inline constexpr TColor PivotEdgeColor = RGBColor(0x20, 0x20, 0x20);

// A selection handle: a small square on the site that starts a resize, move or rotation of its
// owner (the code is the handle number StartGhost receives).
class TPivot : public TSiteElement {
public:
    TPivot(TDrawObject& owner, int code, TCursor cursor);

    TDrawObject& Owner() const { return owner_; }
    int Code() const { return code_; }
    int Size() const { return PivotSize; }
    // The cursor given at creation while the owner is movable, else the default one.
    TCursor Cursor() const override;
    // Draws the handle in its own device area (0, 0, Size, Size): a light square with a dark
    // edge, seen on any picture; grey inside when the owner is locked.
    virtual void Paint(TCanvas& canvas);

protected:
    TRect Area() const { return {0, 0, PivotSize, PivotSize}; }
    // The fill that tells a locked owner.
    TColor FillColor() const;

private:
    TDrawObject& owner_;
    int code_;
};

}  // namespace kestrel
