#include "objects/BackImage.h"

#include <QPainter>
#include <algorithm>

#include "document/CanvasMixing.h"
#include "document/ObjectSite.h"
#include "platform/Canvas.h"
#include "platform/Rounding.h"

namespace kestrel {

const TEnumInfo& RotateStyleInfo()
{
    static const TEnumInfo info{"TRotateStyle", {"rsNone", "rs90", "rs180", "rs270"}};
    return info;
}

const TEnumInfo& PosArrangeInfo()
{
    static const TEnumInfo info{"TPosArrange", {"paTile", "paTileShift", "paRandom"}};
    return info;
}

QImage TransformedPicture(const QImage& picture, TRotateStyle rotate, bool reverseVert, bool reverseHorz)
{
    QImage result = picture.mirrored(reverseHorz, reverseVert);
    if (rotate != rsNone) result = result.transformed(QTransform().rotate(90.0 * int(rotate)));
    return result;
}

namespace {
// Undoes TransformedPicture: turned back, then mirrored (mirrors are their own inverse).
QImage UntransformedPicture(const QImage& picture, TRotateStyle rotate, bool reverseVert, bool reverseHorz)
{
    QImage result = rotate == rsNone ? picture : picture.transformed(QTransform().rotate(-90.0 * int(rotate)));
    return result.mirrored(reverseHorz, reverseVert);
}
}  // namespace

// ---------------------------------------------------------------- TBackImagePicture

const TClassInfo& TBackImagePicture::StaticClass()
{
    static const TClassInfo info("TBackImagePicture", &TPersistent::StaticClass(), FactoryOf<TBackImagePicture>(), [] {
        using C = TBackImagePicture;
        return TPropsOf<C>()
            .Enum("RotateImage", RotateStyleInfo(), &C::RotateImage, &C::SetRotateStored, NoDefault)
            .Bool("ReverseVert", &C::ReverseVert, &C::SetReverseVertStored, NoDefault)
            .Bool("ReverseHorz", &C::ReverseHorz, &C::SetReverseHorzStored, NoDefault)
            .Bool("MultiImage", &C::MultiImage, &C::SetMultiImage, NoDefault)
            .Enum("PosArrange", PosArrangeInfo(), &C::PosArrange, &C::SetPosArrange, NoDefault)
            .Done();
    });
    return info;
}

TBackImagePicture::TBackImagePicture(TImageData* attached) : attached_(attached)
{
    if (!attached_) return;
    source_ = attached_->Picture().Image();
    listener_ = std::make_unique<TListener>([this](TPersistent*, const QUuid& kind) {
        if (kind == NotifyModified) PictureReplaced();
    });
    listener_->ListenTo(attached_->Picture().Notify());
}

TBackImagePicture::~TBackImagePicture() = default;

void TBackImagePicture::PictureReplaced()
{
    if (applying_) return;
    source_ = attached_->Picture().Image();
    Apply();
}

void TBackImagePicture::Apply()
{
    if (!attached_ || source_.isNull()) return;
    applying_ = true;
    try {
        attached_->Picture().SetImage(TransformedPicture(source_, rotate_, reverseVert_, reverseHorz_));
    } catch (...) {
        applying_ = false;
        throw;
    }
    applying_ = false;
}

void TBackImagePicture::SourceFromAttached()
{
    if (attached_) source_ = UntransformedPicture(attached_->Picture().Image(), rotate_, reverseVert_, reverseHorz_);
}

void TBackImagePicture::SetRotateImage(TRotateStyle value)
{
    if (value == rotate_) return;
    rotate_ = value;
    Apply();
}

void TBackImagePicture::SetReverseVert(bool value)
{
    if (value == reverseVert_) return;
    reverseVert_ = value;
    Apply();
}

void TBackImagePicture::SetReverseHorz(bool value)
{
    if (value == reverseHorz_) return;
    reverseHorz_ = value;
    Apply();
}

void TBackImagePicture::SetRotateStored(TRotateStyle value)
{
    if (value == rotate_) return;
    rotate_ = value;
    SourceFromAttached();
}

void TBackImagePicture::SetReverseVertStored(bool value)
{
    if (value == reverseVert_) return;
    reverseVert_ = value;
    SourceFromAttached();
}

void TBackImagePicture::SetReverseHorzStored(bool value)
{
    if (value == reverseHorz_) return;
    reverseHorz_ = value;
    SourceFromAttached();
}

void TBackImagePicture::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TBackImagePicture*>(&source);
    if (!other) return TPersistent::Assign(source);
    rotate_ = other->rotate_;
    reverseVert_ = other->reverseVert_;
    reverseHorz_ = other->reverseHorz_;
    multiImage_ = other->multiImage_;
    posArrange_ = other->posArrange_;
    source_ = other->source_;
    Apply();
}

// ---------------------------------------------------------------- TLOBackImage

const TClassInfo& TLOBackImage::StaticClass()
{
    static const TClassInfo info("TLOBackImage", &TLORectBase::StaticClass(), FactoryOf<TLOBackImage>(), [] {
        using C = TLOBackImage;
        return TPropsOf<C>()
            .Nested("FillColor", &C::FillColorObject)
            .Nested("FrameColor", &C::FrameColorObject)
            .Int("FrameWidth", &C::FrameWidth, &C::SetFrameWidth, 0)
            .Nested("BlendColor", &C::BlendColorObject)
            .Nested("BlendPicture", &C::BlendPictureObject)
            .Nested("Image", &C::LegacyImageObject)
            .StoredIf([](const C&) { return false; })
            .NeverStored("EllipseClip", TPropKind::Bool)
            .NeverStored("CenterClip", TPropKind::Bool)
            .NeverStored("CenterRadius")
            .Done();
    });
    return info;
}

TLOBackImage::TLOBackImage()
    : fillColor_(std::make_unique<TColorSpec>()),
      frameColor_(std::make_unique<TColorSpec>()),
      blendColor_(std::make_unique<TColorSpec>()),
      blendPicture_(std::make_unique<TPictureEx>()),
      legacyImage_(std::make_unique<TPictureEx>())
{
    fillColor_->SetColor(clWhite);
    for (TColorSpec* spec : {fillColor_.get(), frameColor_.get(), blendColor_.get()}) spec->SetOnChange([this] { Repaint(); });
    legacyListener_ = std::make_unique<TListener>([this](TPersistent*, const QUuid& kind) {
        if (kind == NotifyModified) LegacyImageRead();
    });
    legacyListener_->ListenTo(legacyImage_->Notify());
    blendListener_ = std::make_unique<TListener>([this](TPersistent*, const QUuid& kind) {
        if (kind == NotifyModified) Repaint();
    });
    blendListener_->ListenTo(blendPicture_->Notify());
    SetLayerGroup(BackgroundLayerGroup);
}

TLOBackImage::~TLOBackImage() = default;

void TLOBackImage::Repaint()
{
    Changed();
    if (Site()) Site()->InvalidateElement(*this);
}

void TLOBackImage::LegacyImageRead()
{
    if (!legacyImage_->HasGraphic()) return;
    fillColor_->ImageData().Picture().Assign(*legacyImage_);
    fillColor_->SetKind(cskBitmap);
}

void TLOBackImage::SetFrameWidth(int value)
{
    if (value == frameWidth_) return;
    frameWidth_ = value;
    Repaint();
}

bool TLOBackImage::IsPlain() const
{
    return frameWidth_ == 0 && fillColor_->Kind() == cskSolid && fillColor_->Color() == clWhite &&
           fillColor_->Style() == TBrushStyle::bsSolid && blendPicture_->IsEmpty();
}

void TLOBackImage::Clear()
{
    SetFrameWidth(0);
    fillColor_->SetKind(cskSolid);
    fillColor_->SetColor(clWhite);
    fillColor_->SetStyle(TBrushStyle::bsSolid);
    blendPicture_->Clear();
}

void TLOBackImage::SetFaceInfo(const TFaceInfo& face)
{
    face_ = face.AtOrigin();
    const TSheetRect outer = face_.OuterRect();
    SetBounds({outer.left, outer.top, outer.right, outer.bottom});
    Repaint();
}

void TLOBackImage::SetSize(int width, int height)
{
    SetWidth(width);
    SetHeight(height);
}

void TLOBackImage::DrawOutline(TCanvas& canvas)
{
    canvas.FrameRect(Rect());
}

TRect TLOBackImage::FillArea() const
{
    const TRect r = Rect();
    if (fillColor_->Kind() != cskBitmap || fillColor_->Tile()) return r;
    const TRect crop = fillColor_->ImageData().EffectiveClip();
    if (crop.Width() <= 0 || crop.Height() <= 0 || r.Width() <= 0 || r.Height() <= 0) return r;
    // Covering: as wide as the rectangle, or as high, whichever leaves no gap.
    int w = r.Width();
    int h = MulDiv(w, crop.Height(), crop.Width());
    if (h < r.Height()) {
        h = r.Height();
        w = MulDiv(h, crop.Width(), crop.Height());
    }
    const int left = r.left + (r.Width() - w) / 2;
    const int top = r.top + (r.Height() - h) / 2;
    return {left, top, left + w, top + h};
}

void TLOBackImage::Paint(TCanvas& canvas)
{
    TFaceInfo face = face_;
    const TSheetRect outer = face.OuterRect();
    const int dx = Rect().left - outer.left, dy = Rect().top - outer.top;
    face.rect = {face.rect.left + dx, face.rect.top + dy, face.rect.right + dx, face.rect.bottom + dy};
    if (outer.Width() <= 0 || outer.Height() <= 0) {
        // Not fitted to a face yet: the rectangle is the face.
        face.rect = {Rect().left, Rect().top, Rect().right, Rect().bottom};
        face.margin = 0;
        face.shape = fsRect;
    }

    TCanvasStateSaver saver(canvas);
    canvas.SelectClipRegion(face.Region(&canvas, false), TRegionOp::rgnAnd);
    if (frameWidth_ != 0) {
        frameColor_->FillRect(canvas, Rect());
        TFaceInfo inner = face;
        inner.margin = face.margin - frameWidth_;
        canvas.SelectClipRegion(inner.Region(&canvas, false), TRegionOp::rgnAnd);
    }
    const TRect area = FillArea();
    if (blendPicture_->HasGraphic())
        PaintBlended(canvas, area);
    else
        fillColor_->FillRect(canvas, area);
    if (face.HasHole()) {
        canvas.SetPen({clWhite, 1, TPenStyle::psClear});
        canvas.SetBrush({clWhite, TBrushStyle::bsSolid});
        face.DrawHole(canvas, false);
    }
}

void TLOBackImage::PaintBlended(TCanvas& canvas, const TRect& area)
{
    const QPaintDevice& device = canvas.Device();
    const TRect visible = area.Intersected(canvas.ClipBox().Inflated(5));
    const TRect pixels = canvas.LogToDev(visible).Intersected({0, 0, device.width(), device.height()});
    if (pixels.IsEmpty()) return;
    const QSize size(pixels.Width(), pixels.Height());
    auto filled = [&](const TColorSpec& spec) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        TCanvas off(image);
        AlignWith(off, canvas, pixels.TopLeft());
        spec.FillRect(off, area);
        return image;
    };
    const QImage blend = filled(*blendColor_);
    QImage fill = filled(*fillColor_);
    QImage mask(size, QImage::Format_Grayscale8);
    mask.fill(0);
    {
        TCanvas off(mask);
        AlignWith(off, canvas, pixels.TopLeft());
        off.StretchDraw(area, blendPicture_->Image().convertToFormat(QImage::Format_Grayscale8));
    }
    const int ratio = std::clamp(BlendRatio(), 0, 100);
    for (int y = 0; y < size.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(blend.constScanLine(y));
        const uchar* m = mask.constScanLine(y);
        auto* b = reinterpret_cast<QRgb*>(fill.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int alpha = std::min(255, MulDiv(m[x], ratio, 100));
            auto mix = [alpha](int from, int to) { return from + alpha * (to - from) / 255; };
            b[x] = qRgb(mix(qRed(b[x]), qRed(a[x])), mix(qGreen(b[x]), qGreen(a[x])), mix(qBlue(b[x]), qBlue(a[x])));
        }
    }
    DrawDeviceImage(canvas, pixels.TopLeft(), fill, QPainter::CompositionMode_SourceOver);
}

void TLOBackImage::AssignFrom(const TDrawObject& source)
{
    TLORectBase::AssignFrom(source);
    if (const auto* other = dynamic_cast<const TLOBackImage*>(&source)) face_ = other->face_;
}

// ---------------------------------------------------------------- TLOBackImage2004

const TClassInfo& TLOBackImage2004::StaticClass()
{
    static const TClassInfo info("TLOBackImage2004", &TLOBackImage::StaticClass(), FactoryOf<TLOBackImage2004>(), [] {
        using C = TLOBackImage2004;
        return TPropsOf<C>()
            .Nested("FillBackImage", &C::FillBackImageObject)
            .Nested("FrameBackImage", &C::FrameBackImageObject)
            .Done();
    });
    return info;
}

TLOBackImage2004::TLOBackImage2004()
    : fillBackImage_(&FillColor().ImageData()), frameBackImage_(&FrameColor().ImageData())
{
}

std::unique_ptr<TDrawObject> ToPlainBackground(std::unique_ptr<TDrawObject> object)
{
    if (!object || object->ClassInfo().Name() != "TLOBackImage2004") return object;
    auto plain = std::make_unique<TLOBackImage>();
    plain->Assign(*object);
    return plain;
}

}  // namespace kestrel
