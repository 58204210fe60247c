#pragma once

#include <QSize>

#include "document/Capabilities.h"
#include "document/DrawObject.h"

namespace kestrel {

// Base of every label object: print flag and blending, handles and editing through the designer
// registry.
class TLabelObject : public TDrawObject {
    KESTREL_PERSISTENT()
public:
    bool DontPrint() const { return dontPrint_; }
    void SetDontPrint(bool value);
    int BlendRatio() const { return blendRatio_; }
    void SetBlendRatio(int percent);
    bool BlendShade() const { return blendShade_; }
    void SetBlendShade(bool value);

    void CreatePivots() override;
    void StartGhost(int handle) override;
    void SetMovable(bool value) override;
    // Leaves out a DontPrint object on printers (and on every surface while printing through
    // bitmaps, see SetTreatAllSurfacesAsPrinter).
    void PaintTo(TCanvas& canvas) override;
    // Opens the property editor; an accepted edit clears the site's drag feedback.
    void DblClick() override;

private:
    bool dontPrint_ = false;
    int blendRatio_ = 100;
    bool blendShade_ = false;
};

// Process-wide: while set, every surface counts as a printer for DontPrint (printing renders
// pages through bitmaps).
void SetTreatAllSurfacesAsPrinter(bool value);
bool TreatAllSurfacesAsPrinter();

// Sets the flag for one print run; an error on the way out cannot leave it set.
class TAllSurfacesPrintScope {
public:
    TAllSurfacesPrintScope() : previous_(TreatAllSurfacesAsPrinter()) { SetTreatAllSurfacesAsPrinter(true); }
    ~TAllSurfacesPrintScope() { SetTreatAllSurfacesAsPrinter(previous_); }
    TAllSurfacesPrintScope(const TAllSurfacesPrintScope&) = delete;
    TAllSurfacesPrintScope& operator=(const TAllSurfacesPrintScope&) = delete;

private:
    bool previous_;
};

// Offers IBlendable over a label object's own blend fields.
template <class Base>
class TBlendableObject : public Base, public IBlendable {
public:
    void SetBlendShade(bool value) override { Base::SetBlendShade(value); }
    bool BlendShade() const override { return Base::BlendShade(); }
    void SetBlendRatio(int percent) override { Base::SetBlendRatio(percent); }
    int BlendRatio() const override { return Base::BlendRatio(); }
};

// One side of a rotated object resized through its bounds: the unrotated side scaled by
// requested / bounds. Bounds without extent on that axis cannot be scaled, so the request becomes
// the side itself.
int ScaleRotatedSide(int side, int requested, int boundsSide);
// The unturned size of a rectangle turned by angle degrees whose bounds are asked to take the
// requested size: each side scales by the change of the bounds' axis it lies along (nearer a
// quarter turn than a half, the sides swap axes), so a stretched turned object keeps its
// proportions and never collapses.
QSize ScaleTurnedSize(QSize size, QSize requested, QSize bounds, int angle);

// Base of every object bounded by one logical rectangle (kept normalised).
class TLORectBase : public TLabelObject,
                    public IDOEncloseBounds,
                    public IBoundsSource,
                    public IRectShape,
                    public IOutlineShape {
    KESTREL_PERSISTENT()
public:
    const TRect& Rect() const { return rect_; }

    int Left() const override { return rect_.left; }
    void SetLeft(int value) override;
    int Top() const override { return rect_.top; }
    void SetTop(int value) override;
    int Width() const override { return rect_.Width(); }
    // Keeps left and top; a negative width flips the rectangle to the left.
    void SetWidth(int value) override;
    int Height() const override { return rect_.Height(); }
    void SetHeight(int value) override;
    bool KeepsAspect() const override { return false; }

    void MoveBy(int dx, int dy) override;
    TRect GetBounds() const override { return rect_; }
    TRect SourceRect() const override { return rect_; }
    // Right and bottom edges are outside.
    int HitTest(QPoint logical) const override;
    void PaintTo(TCanvas& canvas) override { TLabelObject::PaintTo(canvas); }
    // Normalises; an unchanged rectangle changes nothing.
    virtual void SetBounds(const TRect& rect);

private:
    TRect rect_;
};

}  // namespace kestrel
