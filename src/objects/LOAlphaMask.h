#pragma once

// The shade shape: a grey picture used as a soft mask through which a fill is blended onto the
// label. White shows the fill fully, black not at all; a blur softens the edges.

#include <QImage>

#include "document/LabelObject.h"
#include "document/Notify.h"
#include "render/ColorSpec.h"
#include "render/PictureEx.h"

namespace kestrel {

class TLOAlphaMask : public TBlendableObject<TLORectBase>, public IFillColor, public IDORotate {
    KESTREL_PERSISTENT()
public:
    static constexpr int DefaultWidth = 300;
    static constexpr int DefaultHeight = 200;
    // Masks wider or taller than this (picture plus blur margin) are built at a lower resolution:
    // building one costs time and memory in its area, on every change and every new zoom.
    static constexpr int MaxMaskSide = 4096;

    TLOAlphaMask();

    int Angle() const override { return angle_; }
    void SetAngle(int degrees) override;
    TColorSpec& FillColor() { return fillColor_; }
    const TColorSpec& FillColor() const { return fillColor_; }
    TPictureEx& Picture() { return picture_; }
    const TPictureEx& Picture() const { return picture_; }
    // Blur radius in pixels of the picture, also the margin added round it. Below 0 counts as 0.
    int ShadeSize() const { return shadeSize_; }
    void SetShadeSize(int pixels);

    const TColorSpec& FillColorSpec() const override { return fillColor_; }
    void SetFillColorSpec(const TColorSpec& spec) override { fillColor_.Assign(spec); }
    // The fill always shows through the mask.
    bool NoFill() const override { return false; }
    void SetNoFill(bool) override {}

    // For a newly chosen picture: fitted keeps the rectangle and gives it the picture's
    // proportions; otherwise the picture's size at 180 dots per inch (at least 30 units a side),
    // or the default size without a picture.
    void ResetSize(bool fitted);

    // Blended through the mask whenever there is a picture.
    bool NeedsBlend() const override;
    // The colour part: the fill over the bounds; nothing without a picture.
    void Paint(TCanvas& canvas) override;
    void PaintMask(TCanvas& mask) override;
    TRect GetBounds() const override;
    // Inside the turned rectangle.
    int HitTest(QPoint logical) const override;
    void DrawOutline(TCanvas& canvas) override;
    // A turned shape scales its rectangle by the bounds' change.
    void SetSize(int width, int height) override;
    void SetBounds(const TRect& rect) override;

    // The blurred picture with its margin, turned by Angle (uncovered parts black); null when
    // there is nothing to show.
    const QImage& MaskPicture() const;

private:
    TColorSpec* FillColorObject() { return &fillColor_; }
    TPictureEx* PictureObject() { return &picture_; }
    void DropMask();
    void PartChanged();
    QImage BuildMask() const;

    int angle_ = 0;
    TColorSpec fillColor_;
    TPictureEx picture_;
    int shadeSize_ = 0;
    TListener pictureListener_;
    mutable QImage mask_;
    mutable bool maskBuilt_ = false;
};

}  // namespace kestrel
