#pragma once

// A picture with its processing: crop, key colour, blur or sharpen, monotone, brightness and
// contrast. The picture of image objects and of picture fills. The filters keep their values
// here; the pixel work is done by the image effects, which install themselves through
// SetImageFilterProcessor (they live in a higher layer).

#include <QImage>
#include <functional>

#include "document/Notify.h"
#include "document/stream/Persistent.h"
#include "platform/Color.h"
#include "platform/Geometry.h"
#include "platform/RenderBudget.h"
#include "render/PictureEx.h"

namespace kestrel {

class TCanvas;

// Base of the persistent filters: each setter stores and notifies only when the value changes.
class TImageFilter : public TPersistent {
    KESTREL_PERSISTENT()
public:
    TImageFilter() : notify_(this) {}
    TChangeNotify& Notify() { return notify_; }
    void Assign(const TPersistent& source) override;

protected:
    template <typename T>
    void Change(T& field, T value)
    {
        if (field == value) return;
        field = value;
        notify_.Changed();
    }

private:
    TChangeNotify notify_;
};

// The crop rectangle in picture pixels; empty means the whole picture.
class TClipFilter : public TImageFilter {
    KESTREL_PERSISTENT()
public:
    const TRect& ClipRect() const { return clipRect_; }
    void SetClipRect(const TRect& rect) { Change(clipRect_, rect); }
    void Assign(const TPersistent& source) override;
    void DefineProperties(TFiler& filer) override;

private:
    TRect clipRect_;
};

class TGREFilter : public TImageFilter {
    KESTREL_PERSISTENT()
public:
    virtual bool IsActive() const = 0;
};

class TBlurFilter : public TGREFilter {
    KESTREL_PERSISTENT()
public:
    // > 0 blur passes, < 0 unsharp mask of strength -BlurCount.
    int BlurCount() const { return blurCount_; }
    void SetBlurCount(int count) { Change(blurCount_, count); }
    bool IsActive() const override { return blurCount_ != 0; }

private:
    int blurCount_ = 0;
};

class TLightFilter : public TGREFilter {
    KESTREL_PERSISTENT()
public:
    int Brightness() const { return brightness_; }
    void SetBrightness(int value) { Change(brightness_, value); }
    int Contrast() const { return contrast_; }
    void SetContrast(int value) { Change(contrast_, value); }
    bool IsActive() const override { return brightness_ != 0 || contrast_ != 0; }

private:
    int brightness_ = 0;
    int contrast_ = 0;
};

class TMonotoneFilter : public TGREFilter {
    KESTREL_PERSISTENT()
public:
    TColor RefColor() const { return refColor_; }
    void SetRefColor(TColor color) { Change(refColor_, color); }
    bool IsActive() const override { return refColor_ != clNone; }

private:
    TColor refColor_ = clNone;
};

class TImageData;
// Applies one filter to a 32-bit picture (Format_RGB32 or Format_ARGB32), in place.
using TImageFilterProcessor = std::function<void(const TGREFilter&, QImage&)>;
void SetImageFilterProcessor(TImageFilterProcessor processor);

class TImageData : public TPersistent {
    KESTREL_PERSISTENT()
public:
    TImageData();
    ~TImageData() override;

    TChangeNotify& Notify() { return notify_; }
    TPictureEx& Picture() { return picture_; }
    const TPictureEx& Picture() const { return picture_; }
    TClipFilter& ClipFilter() { return clipFilter_; }
    TBlurFilter& BlurFilter() { return blurFilter_; }
    TLightFilter& LightFilter() { return lightFilter_; }
    TMonotoneFilter& MonotoneFilter() { return monotoneFilter_; }
    const TBlurFilter& BlurFilter() const { return blurFilter_; }
    const TLightFilter& LightFilter() const { return lightFilter_; }
    const TMonotoneFilter& MonotoneFilter() const { return monotoneFilter_; }
    TColor TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(TColor color);

    // No graphic (or an empty one) and no content on its way.
    bool IsEmpty() const { return picture_.IsEmpty(); }
    // A raster picture with a key colour.
    bool IsTransparent() const;
    // The crop in force: the stored one, or the whole picture when that is empty.
    TRect EffectiveClip() const;
    // The whole picture, or with a non-zero aspect the largest rectangle of that aspect centred
    // in it.
    void ResetClip(int aspectWidth = 0, int aspectHeight = 0);

    // The processed picture: cropped, keyed, filtered; transparent pixels have alpha 0. Built on
    // demand and kept until something changes.
    const QImage& ProcessedImage() const;
    // The same for painting the crop onto a logical rectangle of the canvas: decoded no finer
    // than the canvas shows it (a large photo drawn small is never decoded whole) and held by
    // the canvas's budget, shared with every object drawing the same bytes the same way. Null
    // when it cannot be drawn; the budget notes why. Valid until the budget next makes room.
    const QImage& PaintedImage(TCanvas& canvas, const TRect& logical) const;
    // "JPEG 画像（8000×8000）「photo.jpg」": the picture, for messages.
    QString Description() const;

    void Assign(const TPersistent& source) override;

private:
    TPictureEx* PictureObject() { return &picture_; }
    TClipFilter* ClipObject() { return &clipFilter_; }
    TBlurFilter* BlurObject() { return &blurFilter_; }
    TLightFilter* LightObject() { return &lightFilter_; }
    TMonotoneFilter* MonotoneObject() { return &monotoneFilter_; }
    void PictureChanged();
    // Keeps a crop inside the picture; one that misses it becomes empty (the whole picture).
    void ClampClip();
    QImage Process(const QImage& source, const TRect& clip) const;
    void DropProcessed() const;
    // The crop in pixels of a picture decoded at another size than the natural one.
    TRect ClipAt(QSize decoded) const;
    // The size to decode at for painting onto a device rectangle.
    QSize WantedSize(const TRect& device) const;
    // The picture's digest and everything that shapes its processed pixels at that size.
    QByteArray SharedKey(QSize source) const;
    // Null when it cannot be decoded; the budget, when given, notes why.
    QImage DecodeProcessed(QSize wanted, TRenderBudget* budget) const;

    TChangeNotify notify_;
    TPictureEx picture_;
    TClipFilter clipFilter_;
    TBlurFilter blurFilter_;
    TLightFilter lightFilter_;
    TMonotoneFilter monotoneFilter_;
    TColor transparentColor_ = clNone;
    QSize lastSize_;
    mutable QImage processed_;
    mutable QSize processedSource_;  // the size the picture was decoded at for it
    TListener pictureListener_;
    TListener filterListener_;
};

}  // namespace kestrel
