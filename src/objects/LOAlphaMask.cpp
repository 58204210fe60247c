#include "objects/LOAlphaMask.h"

#include <QPainter>
#include <cmath>

#include "imaging/GreyBlur.h"
#include "objects/PictureObject.h"
#include "objects/ShapePaint.h"
#include "platform/Canvas.h"
#include "platform/Rounding.h"

namespace kestrel {

namespace {

// The picture on black with a margin of `margin` pixels all round, in grey levels, shrunk by
// `scale`; null when it cannot be held or the picture shrinks to nothing beside its margin.
QImage GreyWithMargin(const QImage& picture, int margin, double scale)
{
    // Rounded down, so that the parts never add up beyond the largest side.
    const int scaledMargin = int(std::floor(margin * scale));
    const QSize scaledPicture(int(std::floor(picture.width() * scale)), int(std::floor(picture.height() * scale)));
    if (scaledPicture.isEmpty()) return {};
    QImage canvas(scaledPicture + QSize(2 * scaledMargin, 2 * scaledMargin), QImage::Format_RGB32);
    if (canvas.isNull()) return {};
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(QPoint(scaledMargin, scaledMargin), scaledPicture), picture);
    }
    return canvas.convertToFormat(QImage::Format_Grayscale8);
}

// The factor that brings the picture and its margin within the largest mask side.
double MaskScale(QSize picture, int margin)
{
    const double side = std::max(picture.width(), picture.height()) + 2.0 * margin;
    return side > TLOAlphaMask::MaxMaskSide ? TLOAlphaMask::MaxMaskSide / side : 1.0;
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
    QSize size(width, height);
    if (angle_ % 360 != 0) {
        const TRect bounds = GetBounds();
        size = ScaleTurnedSize({Width(), Height()}, size, {bounds.Width(), bounds.Height()}, angle_);
    }
    SetBounds({Left(), Top(), Left() + size.width(), Top() + size.height()});
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
    // A large mask is built at a lower resolution and stretched up when it is drawn; the blur
    // shrinks with it (its spread goes with the square root of the passes). The blur is
    // ShadeSize passes of the image effects' blur, which spreads no further after a number of them.
    const double scale = MaskScale(picture_.Image().size(), shadeSize_);
    QImage mask = GreyWithMargin(picture_.Image(), shadeSize_, scale);
    if (mask.isNull()) return {};
    BlurGrey8LikePasses(mask, std::min(shadeSize_, ImageBlurSpreadingPasses) * scale * scale);
    return angle_ % 360 == 0 ? mask : TurnedMask(mask, Rect(), angle_);
}

}  // namespace kestrel
