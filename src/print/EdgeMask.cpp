#include "print/EdgeMask.h"

#include <QPainter>

#include "document/LabelObject.h"
#include "imaging/GreyBlur.h"
#include "paper/FaceInfo.h"
#include "platform/Canvas.h"

namespace kestrel {

namespace {

// White shown through the mask: fully where the mask is white, not at all where it is black.
class TEdgeMaskObject : public TLORectBase {
public:
    explicit TEdgeMaskObject(QImage mask) : mask_(std::move(mask))
    {
        SetBounds({0, 0, mask_.width(), mask_.height()});
    }
    void SetSize(int width, int height) override { SetBounds({Left(), Top(), Left() + width, Top() + height}); }
    void DrawOutline(TCanvas&) override {}
    bool NeedsBlend() const override { return true; }
    void Paint(TCanvas& canvas) override
    {
        canvas.SetBrush({clWhite, TBrushStyle::bsSolid});
        canvas.FillRect(Rect());
    }
    void PaintMask(TCanvas& mask) override { mask.StretchDraw(Rect(), mask_); }

private:
    QImage mask_;
};

}  // namespace

QImage EdgeMaskPicture(const TFaceGeometry& geometry)
{
    TFaceInfo face = TFaceInfo(geometry).AtOrigin();
    const TSheetRect bounds = face.OuterRect();
    QImage mask(bounds.Width(), bounds.Height(), QImage::Format_Grayscale8);
    if (mask.isNull()) return mask;
    mask.fill(255);
    // The printable part loses EdgeFadeInset at every edge, the hole's too.
    face.rect = face.rect.Inflated(-EdgeFadeInset);
    face.cutCenterWidth += 2 * EdgeFadeInset;
    face.cutCenterHeight += 2 * EdgeFadeInset;
    {
        QPainter painter(&mask);
        painter.setClipRegion(FaceRegion(face, true));
        painter.fillRect(mask.rect(), Qt::black);
    }
    BlurGrey8(mask, EdgeBlurRadius, EdgeBlurRadius);
    return mask;
}

std::unique_ptr<TDrawObject> CreateEdgeMask(const TFaceGeometry& face)
{
    return std::make_unique<TEdgeMaskObject>(EdgeMaskPicture(face));
}

}  // namespace kestrel
