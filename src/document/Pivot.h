#pragma once

#include "document/ObjectSite.h"

namespace kestrel {

class TCanvas;
class TDrawObject;

// The cursor of rotation handles; the program's own cursors count up from 1.
inline constexpr TCursor crRotate = 1;

// A selection handle: a small square on the site that starts a resize, move or rotation of its
// owner (the code is the handle number StartGhost receives).
class TPivot : public TSiteElement {
public:
    TPivot(TDrawObject& owner, int code, TCursor cursor) : TPivot(owner, code, cursor, 5) {}

    TDrawObject& Owner() const { return owner_; }
    int Code() const { return code_; }
    // Edge length in device pixels.
    int Size() const { return size_; }
    // The cursor given at creation while the owner is movable, else the default one.
    TCursor Cursor() const override;
    // Draws the handle in its own device area (0, 0, Size, Size).
    virtual void Paint(TCanvas& canvas);

protected:
    TPivot(TDrawObject& owner, int code, TCursor cursor, int size);
    TRect Area() const { return {0, 0, size_, size_}; }

private:
    TDrawObject& owner_;
    int code_;
    int size_;
};

// The handle of label objects: a movable owner's handle is a black square with a white frame.
class TLabelPivot : public TPivot {
public:
    TLabelPivot(TDrawObject& owner, int code, TCursor cursor) : TPivot(owner, code, cursor, 6) {}
    void Paint(TCanvas& canvas) override;
};

}  // namespace kestrel
