#include "render/ImageData.h"

#include <QPainter>
#include <cmath>

#include "document/stream/ValueCodec.h"
#include "platform/Canvas.h"
#include "platform/Error.h"
#include "platform/KeyColor.h"

namespace kestrel {

namespace {

TImageFilterProcessor& Processor()
{
    static TImageFilterProcessor processor;
    return processor;
}

bool StoreTransparentColor(const TImageData& data) { return data.TransparentColor() != clNone; }

}  // namespace

void SetImageFilterProcessor(TImageFilterProcessor processor) { Processor() = std::move(processor); }

// ---------------------------------------------------------------- filters

const TClassInfo& TImageFilter::StaticClass()
{
    static const TClassInfo info("TImageFilter", &TPersistent::StaticClass(), {}, {});
    return info;
}

void TImageFilter::Assign(const TPersistent& source)
{
    if (!dynamic_cast<const TImageFilter*>(&source)) return TPersistent::Assign(source);
    TUpdateScope batch(notify_);
    AssignPublished(source, *this);
}

const TClassInfo& TClipFilter::StaticClass()
{
    static const TClassInfo info("TClipFilter", &TImageFilter::StaticClass(), FactoryOf<TClipFilter>(), {});
    return info;
}

void TClipFilter::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TClipFilter*>(&source);
    if (!other) return TImageFilter::Assign(source);
    SetClipRect(other->clipRect_);
}

void TClipFilter::DefineProperties(TFiler& filer)
{
    filer.DefineProperty(
        "ClipRect",
        [this](TReader& in) {
            in.ReadListBegin();
            TRect r;
            r.left = in.ReadInteger(), r.top = in.ReadInteger(), r.right = in.ReadInteger(), r.bottom = in.ReadInteger();
            in.ReadListEnd();
            SetClipRect(r);
        },
        [this](TWriter& out) {
            out.WriteListBegin();
            for (int v : {clipRect_.left, clipRect_.top, clipRect_.right, clipRect_.bottom}) out.WriteInteger(v);
            out.WriteListEnd();
        },
        !clipRect_.IsEmpty());
}

const TClassInfo& TGREFilter::StaticClass()
{
    static const TClassInfo info("TGREFilter", &TImageFilter::StaticClass(), {}, {});
    return info;
}

const TClassInfo& TBlurFilter::StaticClass()
{
    static const TClassInfo info("TBlurFilter", &TGREFilter::StaticClass(), FactoryOf<TBlurFilter>(), [] {
        using C = TBlurFilter;
        return TPropsOf<C>().Int("BlurCount", &C::BlurCount, &C::SetBlurCount, 0).Done();
    });
    return info;
}

const TClassInfo& TLightFilter::StaticClass()
{
    static const TClassInfo info("TLightFilter", &TGREFilter::StaticClass(), FactoryOf<TLightFilter>(), [] {
        using C = TLightFilter;
        return TPropsOf<C>()
            .Int("Brightness", &C::Brightness, &C::SetBrightness, 0)
            .Int("Contrast", &C::Contrast, &C::SetContrast, 0)
            .Done();
    });
    return info;
}

const TClassInfo& TMonotoneFilter::StaticClass()
{
    static const TClassInfo info("TMonotoneFilter", &TGREFilter::StaticClass(), FactoryOf<TMonotoneFilter>(), [] {
        using C = TMonotoneFilter;
        return TPropsOf<C>().Color("RefColor", &C::RefColor, &C::SetRefColor, clNone).Done();
    });
    return info;
}

// ---------------------------------------------------------------- TImageData

const TClassInfo& TImageData::StaticClass()
{
    static const TClassInfo info("TImageData", &TPersistent::StaticClass(), FactoryOf<TImageData>(), [] {
        using C = TImageData;
        return TPropsOf<C>()
            .Nested("Picture", &C::PictureObject)
            .Nested("ClipFilter", &C::ClipObject)
            .Nested("BlurFilter", &C::BlurObject)
            .Nested("LightFilter", &C::LightObject)
            .Nested("MonotoneFilter", &C::MonotoneObject)
            .Color("TransparentColor", &C::TransparentColor, &C::SetTransparentColor, clNone)
            .StoredIf(StoreTransparentColor)
            .Done();
    });
    return info;
}

TImageData::TImageData()
    : notify_(this),
      pictureListener_([this](TPersistent*, const QUuid& kind) {
          if (kind == NotifyModified) PictureChanged();
      }),
      filterListener_([this](TPersistent* sender, const QUuid& kind) {
          if (kind != NotifyModified) return;
          TUpdateScope batch(notify_);
          if (sender == &clipFilter_) ClampClip();
          DropProcessed();
          notify_.Changed();
      })
{
    pictureListener_.ListenTo(picture_.Notify());
    for (TImageFilter* filter : std::initializer_list<TImageFilter*>{&clipFilter_, &blurFilter_, &lightFilter_, &monotoneFilter_})
        filterListener_.ListenTo(filter->Notify());
}

TImageData::~TImageData() = default;

void TImageData::PictureChanged()
{
    const QSize size(picture_.Width(), picture_.Height());
    TUpdateScope batch(notify_);
    // A crop belongs to the picture it was made on: a picture of another shape starts uncropped,
    // and a kept crop never reaches outside the new picture.
    const bool reshaped = size.width() != lastSize_.width() && size.height() != lastSize_.height();
    lastSize_ = size;
    if (reshaped)
        clipFilter_.SetClipRect({});
    else
        ClampClip();
    DropProcessed();
    notify_.Changed();
}

void TImageData::ClampClip()
{
    // Pictures without pixels yet (metafiles, content on its way) keep the crop as it is.
    if (picture_.Width() <= 0 || picture_.Height() <= 0) return;
    clipFilter_.SetClipRect(clipFilter_.ClipRect().Intersected({0, 0, picture_.Width(), picture_.Height()}));
}

void TImageData::SetTransparentColor(TColor color)
{
    if (color == transparentColor_) return;
    transparentColor_ = color;
    DropProcessed();
    notify_.Changed();
}

bool TImageData::IsTransparent() const
{
    return transparentColor_ != clNone && picture_.HasGraphic() && !picture_.Graphic().IsMetafile() &&
           picture_.Graphic().Class() != TGraphicClass::gcGif;
}

TRect TImageData::EffectiveClip() const
{
    const TRect whole{0, 0, picture_.Width(), picture_.Height()};
    const TRect clip = clipFilter_.ClipRect().Intersected(whole);
    return clip.IsEmpty() ? whole : clip;
}

void TImageData::ResetClip(int aspectWidth, int aspectHeight)
{
    const int w = picture_.Width(), h = picture_.Height();
    if (aspectWidth <= 0 || aspectHeight <= 0 || w <= 0 || h <= 0) return clipFilter_.SetClipRect({0, 0, w, h});
    // The largest rectangle of the aspect: as wide as the picture, or as high.
    int cw = w, ch = int(int64_t(w) * aspectHeight / aspectWidth);
    if (ch > h) ch = h, cw = int(int64_t(h) * aspectWidth / aspectHeight);
    const int left = (w - cw) / 2, top = (h - ch) / 2;
    clipFilter_.SetClipRect({left, top, left + cw, top + ch});
}

void TImageData::DropProcessed() const
{
    processed_ = QImage();
    processedSource_ = {};
}

const QImage& TImageData::ProcessedImage() const
{
    const QSize whole(picture_.Width(), picture_.Height());
    if (processedSource_ == whole && !processed_.isNull()) return processed_;
    DropProcessed();
    if (!picture_.HasGraphic()) return processed_;
    processed_ = Process(picture_.Image(), EffectiveClip());
    processedSource_ = whole;
    return processed_;
}

QString TImageData::Description() const
{
    const TGraphic& graphic = picture_.Graphic();
    return PictureDescription(GraphicKindName(graphic.Class()), graphic.Width(), graphic.Height(), picture_.ImageID());
}

TRect TImageData::ClipAt(QSize decoded) const
{
    const TRect clip = EffectiveClip();
    const double sx = double(decoded.width()) / picture_.Width(), sy = double(decoded.height()) / picture_.Height();
    const TRect scaled{int(std::floor(clip.left * sx)), int(std::floor(clip.top * sy)), int(std::ceil(clip.right * sx)),
                       int(std::ceil(clip.bottom * sy))};
    return scaled.Intersected({0, 0, decoded.width(), decoded.height()});
}

QSize TImageData::WantedSize(const TRect& device) const
{
    // The whole picture at the size that makes its crop fill the rectangle on the device; blur
    // and sharpening work on the pixels as stored, so they always get the whole picture.
    const TGraphic& graphic = picture_.Graphic();
    const TRect clip = EffectiveClip();
    if (blurFilter_.IsActive() || clip.IsEmpty()) return {graphic.Width(), graphic.Height()};
    return {int(int64_t(graphic.Width()) * device.Width() / clip.Width()),
            int(int64_t(graphic.Height()) * device.Height() / clip.Height())};
}

QByteArray TImageData::SharedKey(QSize source) const
{
    const TRect clip = ClipAt(source);
    QByteArray key = picture_.Graphic().Digest();
    for (const int32_t value : {int32_t(picture_.Graphic().Class()), int32_t(source.width()), int32_t(source.height()),
                                int32_t(clip.left), int32_t(clip.top), int32_t(clip.right), int32_t(clip.bottom),
                                transparentColor_, int32_t(blurFilter_.BlurCount()), int32_t(lightFilter_.Brightness()),
                                int32_t(lightFilter_.Contrast()), monotoneFilter_.RefColor()})
        key.append(reinterpret_cast<const char*>(&value), sizeof value);
    return key;
}

QImage TImageData::DecodeProcessed(QSize wanted, TRenderBudget* budget) const
{
    try {
        const QImage decoded = picture_.Graphic().ImageCovering(wanted);
        return Process(decoded, ClipAt(decoded.size()));
    } catch (const EKestrel& e) {
        if (budget) budget->Note(QStringLiteral("%1を描けません: %2").arg(Description(), e.Message()));
    } catch (const std::bad_alloc&) {
        if (budget) budget->Note(QStringLiteral("%1を描くメモリが足りません").arg(Description()));
    }
    return {};
}

const QImage& TImageData::PaintedImage(TCanvas& canvas, const TRect& logical) const
{
    static const QImage none;
    if (!picture_.HasGraphic()) return none;
    const TGraphic& graphic = picture_.Graphic();
    const QSize wanted = WantedSize(canvas.LogToDev(logical));
    const QSize source = graphic.CoveringSize(wanted);
    TRenderBudget* budget = canvas.RenderBudget();
    if (!budget) {
        if (processedSource_ != source || processed_.isNull()) {
            processed_ = DecodeProcessed(wanted, nullptr);
            processedSource_ = processed_.isNull() ? QSize() : source;
        }
        return processed_;
    }
    // Within a budget the picture is held there, where every object drawing the same bytes the
    // same way finds it.
    const QByteArray key = SharedKey(source);
    if (const QImage* shared = budget->SharedPicture(key)) return *shared;
    const qint64 bytes = graphic.DecodingBytes(wanted) + qint64(source.width()) * source.height() * 4;
    if (!budget->MakeRoom(bytes, Description())) return none;
    QImage painted = DecodeProcessed(wanted, budget);
    if (painted.isNull()) return none;
    return budget->SharePicture(key, std::move(painted));
}

QImage TImageData::Process(const QImage& source, const TRect& clip) const
{
    if (source.isNull()) return {};
    const bool transparent = IsTransparent();
    QImage work;
    if (transparent || clip != TRect{0, 0, source.width(), source.height()}) {
        work = QImage(clip.Width(), clip.Height(), QImage::Format_RGB32);
        work.fill(transparent ? ToQColor(transparentColor_) : QColor(Qt::white));
        QPainter painter(&work);
        painter.drawImage(QPoint(-clip.left, -clip.top), source);
    } else {
        work = source.convertToFormat(source.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    }
    // The mask is taken before filtering, so blurred edges near the key colour stay visible.
    const std::vector<bool> mask = transparent ? KeyColorMask(work, transparentColor_) : std::vector<bool>();
    const bool raster = picture_.Graphic().Class() == TGraphicClass::gcBitmap || picture_.Graphic().Class() == TGraphicClass::gcJpeg;
    if (raster && Processor())
        for (const TGREFilter* filter : std::initializer_list<const TGREFilter*>{&blurFilter_, &monotoneFilter_, &lightFilter_})
            if (filter->IsActive()) Processor()(*filter, work);
    if (transparent) ApplyTransparencyMask(work, mask);
    return work;
}

void TImageData::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TImageData*>(&source);
    if (!other) return TPersistent::Assign(source);
    TUpdateScope batch(notify_);
    picture_.Assign(other->picture_);
    clipFilter_.Assign(other->clipFilter_);
    blurFilter_.Assign(other->blurFilter_);
    lightFilter_.Assign(other->lightFilter_);
    monotoneFilter_.Assign(other->monotoneFilter_);
    SetTransparentColor(other->transparentColor_);
    DropProcessed();
    processed_ = other->processed_;
    processedSource_ = other->processedSource_;
}

}  // namespace kestrel
