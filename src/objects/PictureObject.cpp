#include "objects/PictureObject.h"

#include <QPainter>
#include <QTransform>
#include <cmath>

#include "document/ObjectSite.h"
#include "imaging/ImagePack.h"
#include "platform/Canvas.h"
#include "platform/MetafilePlayer.h"
#include "platform/Clipboard.h"
#include "platform/Error.h"
#include "platform/PictureCodecs.h"
#include "platform/Rounding.h"

namespace kestrel {

namespace {

constexpr int LogicalPerInch = 254;

bool Never(const TLOImage&) { return false; }

int MulDivRound(int64_t value, int64_t numerator, int64_t denominator)
{
    return int(RoundHalfAway(double(value) * numerator / denominator));
}

QRgb RgbOf(TColor color) { return ToQColor(color).rgb() & 0xFFFFFF; }

// The frame picture stretched over size: see-through pixels transparent, others opaque.
QImage FrameOverlay(const QImage& frame, QSize size)
{
    QImage overlay = frame.convertToFormat(QImage::Format_ARGB32).scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const QRgb seeThrough = RgbOf(FrameSeeThroughColor);
    for (int y = 0; y < overlay.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(overlay.scanLine(y));
        for (int x = 0; x < overlay.width(); ++x)
            row[x] = (row[x] & 0xFFFFFF) == seeThrough ? 0 : (row[x] | 0xFF000000);
    }
    return overlay;
}

// The largest size of the aspect w : h inside bounds.
QSize FitAspect(int w, int h, QSize bounds)
{
    if (w <= 0 || h <= 0) return bounds;
    QSize fitted(bounds.width(), std::max(1, MulDivRound(bounds.width(), h, w)));
    if (fitted.height() > bounds.height()) fitted = QSize(std::max(1, MulDivRound(bounds.height(), w, h)), bounds.height());
    return fitted;
}

}  // namespace

const TEnumInfo& ImageSourceInfo()
{
    static const TEnumInfo info{"TImageSource", {"isFile", "isOnePoint", "isTwain", "isPlugin"}};
    return info;
}

QPolygonF RotatedCorners(const TRect& rect, int angle)
{
    const QPointF centre((rect.left + rect.right) / 2.0, (rect.top + rect.bottom) / 2.0);
    QTransform turn;
    turn.translate(centre.x(), centre.y()).rotate(angle).translate(-centre.x(), -centre.y());
    return turn.map(QPolygonF(QRectF(rect.left, rect.top, rect.Width(), rect.Height())));
}

TRect RotatedBounds(const TRect& rect, int angle)
{
    const QRectF box = RotatedCorners(rect, angle).boundingRect();
    return {int(RoundHalfAway(box.left())), int(RoundHalfAway(box.top())), int(RoundHalfAway(box.right())),
            int(RoundHalfAway(box.bottom()))};
}

QSize NaturalPictureSize(QSize pixels)
{
    return {std::max(TLOImage::MinNaturalSize, MulDivRound(pixels.width(), LogicalPerInch, TLOImage::NaturalDpi)),
            std::max(TLOImage::MinNaturalSize, MulDivRound(pixels.height(), LogicalPerInch, TLOImage::NaturalDpi))};
}

QImage RotatePicture(const QImage& picture, int angle)
{
    QTransform turn;
    turn.rotate(angle);
    const QRect bounds = turn.mapRect(QRectF(picture.rect())).toAlignedRect();
    QImage out(bounds.size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(bounds.width() / 2.0, bounds.height() / 2.0);
    painter.rotate(angle);
    painter.drawImage(QPointF(-picture.width() / 2.0, -picture.height() / 2.0), picture);
    return out;
}

const TClassInfo& TLOImage::StaticClass()
{
    static const TClassInfo info("TLOImage", &TLORectBase::StaticClass(), FactoryOf<TLOImage>(), [] {
        using C = TLOImage;
        return TPropsOf<C>()
            .Nested("ImageData", &C::ImageDataObject)
            .Nested("FramePicture", &C::FrameObject)
            .Bool("AlphaFrame", &C::AlphaFrame, &C::SetAlphaFrame, false)
            .Int("Angle", &C::Angle, &C::SetAngle, NoDefault)
            .Enum("ImageSource", ImageSourceInfo(), &C::ImageSource, &C::SetImageSource, NoDefault)
            .Nested("Picture", &C::LegacyPictureObject)
            .StoredIf(Never)
            .Done();
    });
    return info;
}

TLOImage::TLOImage()
    : partsListener_([this](TPersistent* sender, const QUuid& kind) {
          if (kind != NotifyModified) return;
          if (sender == &legacyPicture_) {
              legacyPictureRead_ = true;
              return;
          }
          DropComposed();
          Changed();
      })
{
    partsListener_.ListenTo(imageData_.Notify());
    partsListener_.ListenTo(framePicture_.Notify());
    partsListener_.ListenTo(legacyPicture_.Notify());
}

TLOImage::~TLOImage() = default;

void TLOImage::SetAlphaFrame(bool value)
{
    if (value == alphaFrame_) return;
    alphaFrame_ = value;
    DropComposed();
    Changed();
}

void TLOImage::SetAngle(int degrees)
{
    if (degrees == angle_) return;
    angle_ = degrees;
    DropComposed();
    if (Site()) Site()->UpdateElementBounds(*this);
    Changed();
}

void TLOImage::SetImageSource(TImageSource source)
{
    if (source == imageSource_) return;
    imageSource_ = source;
    Changed();
}

void TLOImage::DropComposed() const
{
    composed_ = QImage();
    composedFrom_ = 0;
    composedCharge_.Release();
}

void TLOImage::SetBounds(const TRect& rect)
{
    if (rect.Normalized().Width() != Width() || rect.Normalized().Height() != Height()) DropComposed();
    TLORectBase::SetBounds(rect);
}

void TLOImage::SetSize(int width, int height)
{
    QSize size(width, height);
    if (angle_ != 0) {
        const TRect bounds = GetBounds();
        size = ScaleTurnedSize({Width(), Height()}, size, {bounds.Width(), bounds.Height()}, angle_);
    }
    SetBounds({Left(), Top(), Left() + size.width(), Top() + size.height()});
}

void TLOImage::DrawOutline(TCanvas& canvas)
{
    QPolygon corners;
    for (const QPointF& p : RotatedCorners(Rect(), angle_))
        corners << QPoint(int(RoundHalfAway(p.x())), int(RoundHalfAway(p.y())));
    corners.removeLast();  // the mapped rectangle repeats its first corner
    canvas.Polygon(corners);
}

void TLOImage::ResetSize()
{
    // The processed picture is the crop: its size needs no decoding.
    const TRect crop = imageData_.EffectiveClip();
    if (!imageData_.Picture().HasGraphic() || crop.IsEmpty()) return;
    QSize size = NaturalPictureSize(QSize(crop.Width(), crop.Height()));
    if (Site()) {
        const int side = std::max(Width(), Height());
        size = FitAspect(crop.Width(), crop.Height(), QSize(side, side));
    }
    SetBounds({Left(), Top(), Left() + size.width(), Top() + size.height()});
}

TRect TLOImage::GetBounds() const
{
    return angle_ == 0 ? Rect() : RotatedBounds(Rect(), angle_);
}

int TLOImage::HitTest(QPoint logical) const
{
    if (angle_ == 0) return TLORectBase::HitTest(logical);
    return RotatedCorners(Rect(), angle_).containsPoint(QPointF(logical), Qt::OddEvenFill) ? 1 : 0;
}

void TLOImage::Paint(TCanvas& canvas)
{
    if (!imageData_.Picture().HasGraphic()) return;
    if (angle_ == 0 && !framePicture_.HasGraphic()) {
        if (imageData_.Picture().Graphic().IsMetafile()) return PaintMetafile(canvas);
        return StretchPicture(canvas, Rect(), imageData_.PaintedImage(canvas, Rect()));
    }
    StretchPicture(canvas, GetBounds(), ComposedImage(canvas));
}

void TLOImage::StretchPicture(TCanvas& canvas, const TRect& target, const QImage& picture) const
{
    if (picture.isNull())
        DrawGraphic(canvas, target, ErrorPicture());
    else
        canvas.StretchDraw(target, picture);
}

void TLOImage::PaintMetafile(TCanvas& canvas) const
{
    const TGraphic& graphic = imageData_.Picture().Graphic();
    const TRect crop = imageData_.EffectiveClip();
    const TRect rect = Rect().Normalized();
    if (crop.IsEmpty() || rect.IsEmpty()) return;
    // The whole metafile is placed so that the crop lands on the rectangle; the rest is clipped.
    const double sx = double(rect.Width()) / crop.Width(), sy = double(rect.Height()) / crop.Height();
    const auto x = [&](int px) { return rect.left + int(RoundHalfAway((px - crop.left) * sx)); };
    const auto y = [&](int py) { return rect.top + int(RoundHalfAway((py - crop.top) * sy)); };
    TClipGuard clip(canvas);
    canvas.IntersectClipRect(rect);
    DrawGraphic(canvas, {x(0), y(0), x(graphic.Width()), y(graphic.Height())}, graphic);
}

const QImage& TLOImage::ComposedImage() const { return ComposedFrom(imageData_.ProcessedImage(), nullptr); }

const QImage& TLOImage::ComposedImage(TCanvas& canvas) const
{
    return ComposedFrom(imageData_.PaintedImage(canvas, GetBounds()), canvas.RenderBudget());
}

const QImage& TLOImage::ComposedFrom(const QImage& processed, TRenderBudget* budget) const
{
    // A copy: making room may drop the cache it came from.
    const QImage picture = processed;
    if (!composed_.isNull() && composedFrom_ == picture.cacheKey()) {
        if (budget) budget->Touch(composedCharge_);
        return composed_;
    }
    DropComposed();
    if (picture.isNull()) return composed_;
    // Turned, the picture needs up to twice its area.
    const qint64 bytes = picture.sizeInBytes() * (angle_ == 0 ? 1 : 2);
    if (budget && !budget->MakeRoom(bytes, imageData_.Description())) return composed_;
    composed_ = Compose(picture);
    composedFrom_ = picture.cacheKey();
    if (budget) budget->Hold(composedCharge_, composed_.sizeInBytes(), [this] { composed_ = QImage(), composedFrom_ = 0; });
    return composed_;
}

QImage TLOImage::Compose(const QImage& picture) const
{
    QImage base(picture.size(), QImage::Format_ARGB32);
    base.fill(Qt::white);
    {
        QPainter painter(&base);
        painter.drawImage(0, 0, picture);
        if (framePicture_.HasGraphic() && !alphaFrame_) painter.drawImage(0, 0, FrameOverlay(framePicture_.Image(), base.size()));
    }
    // Opacity: the picture's own, widened by the frame's drawn pixels and cut by its cut colour.
    const QImage frame = framePicture_.HasGraphic() && !alphaFrame_
                             ? framePicture_.Image().convertToFormat(QImage::Format_RGB32).scaled(base.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)
                             : QImage();
    const QRgb seeThrough = RgbOf(FrameSeeThroughColor), cut = RgbOf(FrameCutColor);
    for (int y = 0; y < base.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(base.scanLine(y));
        const auto* own = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        const auto* frameRow = frame.isNull() ? nullptr : reinterpret_cast<const QRgb*>(frame.constScanLine(y));
        for (int x = 0; x < base.width(); ++x) {
            bool opaque = !picture.hasAlphaChannel() || qAlpha(own[x]) != 0;
            if (frameRow) {
                const QRgb f = frameRow[x] & 0xFFFFFF;
                opaque = (opaque || f != seeThrough) && f != cut;
            }
            row[x] = opaque ? (row[x] | 0xFF000000) : 0;
        }
    }
    if (angle_ == 0) return base;
    const QSize fitted = FitAspect(Width(), Height(), base.size());
    return RotatePicture(base.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), angle_);
}

bool TLOImage::NeedsBlend() const
{
    return !imageData_.IsEmpty() &&
           (BlendRatio() != 100 || BlendShade() || (framePicture_.HasGraphic() && alphaFrame_));
}

QImage TLOImage::AlphaFrameCoverage(TCanvas& canvas) const
{
    const QImage composed = ComposedImage(canvas);
    QImage coverage(composed.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < composed.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(composed.constScanLine(y));
        uchar* dst = coverage.scanLine(y);
        for (int x = 0; x < composed.width(); ++x) dst[x] = uchar(qAlpha(src[x]));
    }
    if (!framePicture_.HasGraphic() || !alphaFrame_) return coverage;
    // The frame as an opacity map: turned like the picture onto white, then combined by AND.
    const QSize base = imageData_.PaintedImage(canvas, GetBounds()).size();
    QImage frame = framePicture_.Image().convertToFormat(QImage::Format_RGB32).scaled(
        angle_ == 0 ? base : FitAspect(Width(), Height(), base), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (angle_ != 0) {
        QImage turned(coverage.size(), QImage::Format_RGB32);
        turned.fill(Qt::white);
        QPainter(&turned).drawImage(0, 0, RotatePicture(frame, angle_));
        frame = turned;
    }
    const QImage grey = frame.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < coverage.height() && y < grey.height(); ++y) {
        uchar* dst = coverage.scanLine(y);
        const uchar* g = grey.constScanLine(y);
        for (int x = 0; x < coverage.width() && x < grey.width(); ++x) dst[x] &= g[x];
    }
    return coverage;
}

void TLOImage::PaintMask(TCanvas& mask)
{
    if (angle_ == 0 && !framePicture_.HasGraphic() && !imageData_.IsTransparent()) return TLORectBase::PaintMask(mask);
    mask.StretchDraw(GetBounds(), AlphaFrameCoverage(mask));
}

void TLOImage::Loaded()
{
    TLORectBase::Loaded();
    if (!legacyPictureRead_) return;
    imageData_.Picture().SetGraphic(legacyPicture_.Graphic());
    legacyPicture_.Clear();
    legacyPictureRead_ = false;
    if (imageSource_ == isOnePoint) imageData_.SetTransparentColor(FrameSeeThroughColor);
}

void TLOImage::AssignFrom(const TDrawObject& source)
{
    TLORectBase::AssignFrom(source);
    const auto* other = dynamic_cast<const TLOImage*>(&source);
    if (!other) return;
    // The pictures themselves are custom data, beyond what published properties copy.
    imageData_.Assign(other->imageData_);
    framePicture_.Assign(other->framePicture_);
    DropComposed();
}

void PasteClipboardPicture(TLOImage& image)
{
    const QImage picture = ClipboardImage();
    if (picture.isNull()) throw EKestrel(QStringLiteral("クリップボードにイメージがありません"));
    image.ImageData().Picture().SetGraphic(TGraphic(TGraphicClass::gcBitmap, EncodeBmp24(picture)));
    image.ResetSize();
}

namespace {

std::function<QImage()>& ScannerSource()
{
    static std::function<QImage()> source;
    return source;
}

}  // namespace

void SetScannerSource(std::function<QImage()> source)
{
    ScannerSource() = std::move(source);
}

void AcquireScannedPicture(TLOImage& image)
{
    if (!ScannerSource()) throw EKestrel(QStringLiteral("スキャナーから取り込むプラグインがありません"));
    image.SetImageSource(isTwain);
    const QImage picture = ScannerSource()();
    if (picture.isNull()) return;
    image.ImageData().Picture().SetGraphic(TGraphic(TGraphicClass::gcBitmap, EncodeBmp24(picture)));
    image.ResetSize();
}

void CopyPictureToClipboard(const TLOImage& image)
{
    const QImage& picture = image.ImageData().ProcessedImage();
    if (!picture.isNull()) SetClipboardImage(picture);
}

}  // namespace kestrel
