#include "objects/LOAlphaMask.h"

#include <QPainter>

#include "imaging/GreyBlur.h"
#include "objects/PictureObject.h"
#include "objects/ShapePaint.h"
#include "platform/Canvas.h"
#include "platform/Rounding.h"

namespace kestrel {

namespace {

// The picture on black with a margin of `margin` pixels all round, in grey levels; null when it
// would be too large to hold.
QImage GreyWithMargin(const QImage& picture, int margin)
{
    const int64_t width = picture.width() + 2 * int64_t(margin), height = picture.height() + 2 * int64_t(margin);
    if (width > TLOAlphaMask::MaxMaskSide || height > TLOAlphaMask::MaxMaskSide) return {};
    QImage canvas(int(width), int(height), QImage::Format_RGB32);
    if (canvas.isNull()) return {};
    canvas.fill(Qt::black);
    QPainter(&canvas).drawImage(margin, margin, picture);
    return canvas.convertToFormat(QImage::Format_Grayscale8);
}

// The mask given the rectangle's proportions and turned; what the turn uncovers is black.
QImage TurnedMask(const QImage& mask, const TRect& rect, int angle)
{
    const QSize fitted = QSize(rect.Width(), rect.Height()).scaled(mask.size(), Qt::KeepAspectRatio);
    if (fitted.isEmpty()) return {};
    const QImage turned =
        RotatePicture(mask.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), angle);
    QImage onBlack(turned.size(), QImage::Format_RGB32);
    onBlack.fill(Qt::black);
    QPainter(&onBlack).drawImage(0, 0, turned);
    return onBlack.convertToFormat(QImage::Format_Grayscale8);
}

}  // namespace

const TClassInfo& TLOAlphaMask::StaticClass()
{
    using C = TLOAlphaMask;
    static const TClassInfo info("TLOAlphaMask", &TLORectBase::StaticClass(), FactoryOf<C>(), [] {
        return TPropsOf<C>()
            .Int("Angle", &C::Angle, &C::SetAngle)
            .Nested("FillColor", &C::FillColorObject)
            .Nested("Picture", &C::PictureObject)
            .Int("ShadeSize", &C::ShadeSize, &C::SetShadeSize)
            .Done();
    });
    return info;
}

TLOAlphaMask::TLOAlphaMask()
    : pictureListener_([this](TPersistent*, const QUuid& kind) {
          if (kind == NotifyModified) PartChanged();
      })
{
    SetBounds({0, 0, DefaultWidth, DefaultHeight});
    pictureListener_.ListenTo(picture_.Notify());
    RepaintOnChange(fillColor_, *this);  // the mask does not depend on the fill
}

void TLOAlphaMask::PartChanged()
{
    DropMask();
    Changed();
    Repaint(*this);
}

void TLOAlphaMask::DropMask()
{
    mask_ = QImage();
    maskBuilt_ = false;
}

void TLOAlphaMask::SetAngle(int degrees)
{
    if (degrees == angle_) return;
    angle_ = degrees;
    DropMask();
    Changed();
    Repaint(*this);
    if (Site()) Site()->UpdateElementBounds(*this);
}

void TLOAlphaMask::SetShadeSize(int pixels)
{
    pixels = std::max(pixels, 0);
    if (pixels == shadeSize_) return;
    shadeSize_ = pixels;
    PartChanged();
}

void TLOAlphaMask::SetBounds(const TRect& rect)
{
    // A turned mask is shaped to the rectangle's proportions.
    if (angle_ % 360 != 0) DropMask();
    TLORectBase::SetBounds(rect);
}

void TLOAlphaMask::SetSize(int width, int height)
{
    if (angle_ % 360 != 0) {
        const TRect bounds = GetBounds();
        width = ScaleRotatedSide(Width(), width, bounds.Width());
        height = ScaleRotatedSide(Height(), height, bounds.Height());
    }
    SetBounds({Left(), Top(), Left() + width, Top() + height});
}

void TLOAlphaMask::ResetSize(bool fitted)
{
    const QImage& picture = picture_.Image();
    QSize size(DefaultWidth, DefaultHeight);
    if (!picture.isNull())
        size = fitted ? picture.size().scaled(QSize(Width(), Height()), Qt::KeepAspectRatio)
                      : NaturalPictureSize(picture.size());
    SetBounds({Left(), Top(), Left() + std::max(size.width(), 1), Top() + std::max(size.height(), 1)});
}

TRect TLOAlphaMask::GetBounds() const
{
    return angle_ % 360 == 0 ? Rect() : RotatedBounds(Rect(), angle_);
}

int TLOAlphaMask::HitTest(QPoint logical) const
{
    if (angle_ % 360 == 0) return TLORectBase::HitTest(logical);
    return RotatedCorners(Rect(), angle_).containsPoint(QPointF(logical), Qt::OddEvenFill) ? 1 : 0;
}

void TLOAlphaMask::DrawOutline(TCanvas& canvas)
{
    QPolygon corners;
    for (const QPointF& p : RotatedCorners(Rect(), angle_))
        corners << QPoint(int(RoundHalfAway(p.x())), int(RoundHalfAway(p.y())));
    canvas.Polyline(corners);  // the mapped rectangle closes itself
}

bool TLOAlphaMask::NeedsBlend() const
{
    return !picture_.IsEmpty() || TLORectBase::NeedsBlend();
}

void TLOAlphaMask::Paint(TCanvas& canvas)
{
    if (!picture_.HasGraphic()) return;
    fillColor_.FillRect(canvas, GetBounds());
}

void TLOAlphaMask::PaintMask(TCanvas& mask)
{
    const QImage& picture = MaskPicture();
    if (!picture.isNull()) mask.StretchDraw(GetBounds(), picture);
}

const QImage& TLOAlphaMask::MaskPicture() const
{
    if (!maskBuilt_) {
        mask_ = BuildMask();
        maskBuilt_ = true;
    }
    return mask_;
}

QImage TLOAlphaMask::BuildMask() const
{
    if (!picture_.HasGraphic() || Rect().IsEmpty()) return {};
    QImage mask = GreyWithMargin(picture_.Image(), shadeSize_);
    if (mask.isNull()) return {};
    BlurGrey8(mask, shadeSize_, shadeSize_);
    return angle_ % 360 == 0 ? mask : TurnedMask(mask, Rect(), angle_);
}

}  // namespace kestrel
