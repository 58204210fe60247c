#pragma once

// Rectangles (optionally with rounded corners) and ellipses: a frame band and an inside, each
// painted with its own fill style, turned about the rectangle's centre.

#include <QPainterPath>
#include <optional>

#include "document/LabelObject.h"
#include "document/Transformer.h"
#include "objects/ShapePaint.h"
#include "render/ColorSpec.h"

namespace kestrel {

class TReader;

class TLORect : public TCachedAppearance<TBlendableObject<TLORectBase>>,
                public IFillColor,
                public IDOTextColor,
                public IDORotate {
    KESTREL_PERSISTENT()
public:
    static constexpr int DefaultFrameWidth = 10;

    TLORect();

    int FrameWidth() const { return frameWidth_; }
    void SetFrameWidth(int width);
    TColorSpec& FrameColor() { return frameColor_; }
    const TColorSpec& FrameColor() const { return frameColor_; }
    TColorSpec& FillColor() { return fillColor_; }
    const TColorSpec& FillColor() const { return fillColor_; }
    bool FillInside() const { return fillInside_; }
    void SetFillInside(bool value);
    bool RoundRect() const { return roundRect_; }
    void SetRoundRect(bool value);
    int Angle() const override { return rotator_.Angle(); }
    void SetAngle(int degrees) override;

    const TColorSpec& FillColorSpec() const override { return fillColor_; }
    void SetFillColorSpec(const TColorSpec& spec) override { fillColor_.Assign(spec); }
    bool NoFill() const override { return !fillInside_; }
    void SetNoFill(bool value) override { SetFillInside(!value); }
    const TColorSpec& TextColorSpec() const override { return frameColor_; }
    void SetTextColorSpec(const TColorSpec& spec) override { frameColor_.Assign(spec); }

    void SetBounds(const TRect& rect) override;
    // Turned: the unturned size scaled by the ratio of the new size to the bounds; otherwise the
    // size less the frame, which straddles the edges.
    void SetSize(int width, int height) override;
    // The outline widened by the frame.
    TRect GetBounds() const override;
    // Inside the filled outline, or on the frame (one device pixel of grip added).
    int HitTest(QPoint logical) const override;
    void Paint(TCanvas& canvas) override;
    void PaintMask(TCanvas& mask) override;
    void DrawOutline(TCanvas& canvas) override;

    // The outline, turned: the rectangle's edges (rounded corners of a third of the shorter
    // side) or the ellipse's.
    const QPainterPath& Outline() const;
    void DefineProperties(TFiler& filer) override;

protected:
    virtual TPathPoints OutlinePoints() const;
    // The frame band as painted with a frame of the given width.
    virtual QPainterPath FrameArea(int width) const;
    // Frames narrower than this many device pixels are painted this wide on a site.
    virtual int MinFramePixels() const { return 2; }
    const TRotator& Rotator() const { return rotator_; }
    void ShapeChanged();
    void DropCaches();

private:
    bool PaintsFill() const;
    int PaintedFrameWidth(const TCanvas& canvas) const;
    QPainterPath RectFrameArea(int width) const;
    const QPainterPath& CachedFrameArea(int width) const;
    TColorSpec* FrameColorObject() { return &frameColor_; }
    TColorSpec* FillColorObject() { return &fillColor_; }

    int frameWidth_ = DefaultFrameWidth;
    TColorSpec frameColor_;
    TColorSpec fillColor_;
    bool fillInside_ = false;
    bool roundRect_ = false;
    TRotator rotator_;
    mutable std::optional<QPainterPath> outline_;
    mutable std::optional<TRect> bounds_;
    // The frame band of the last width painted.
    mutable std::optional<std::pair<int, QPainterPath>> frame_;
};

// The ellipse inscribed in the rectangle; rounded corners do not apply.
class TLOCircle : public TLORect {
    KESTREL_PERSISTENT()
protected:
    TPathPoints OutlinePoints() const override;
    QPainterPath FrameArea(int width) const override;
    int MinFramePixels() const override { return 1; }
};

}  // namespace kestrel
