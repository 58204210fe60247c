#pragma once

// The picture of a picture fill, streamed as "ImageData.Picture.Data" (graphic class name, then
// the graphic's bytes). It holds a plain QImage and no filters; full picture data with filters
// replaces these two classes behind the same property names.

#include <QImage>

#include "document/Notify.h"
#include "document/stream/Persistent.h"

namespace kestrel {

// Decodes the "Data" layout: a short-string class name, then the graphic (bitmaps and JPEG
// pictures with an int32 byte count first). Fails with EReadError for an unknown class or
// undecodable bytes.
QImage ReadGraphicData(TBoundedReader& in);
// Writes the picture as a PNG graphic ("TPNGImage"); nothing for an empty picture.
void WriteGraphicData(QByteArray& out, const QImage& picture);
// Lets JSON scenes give a fill picture's "Data" as {"file": "photo.jpg"}.
void RegisterFillPictureFileRecord();

class TFillPictureHolder : public TPersistent {
    KESTREL_PERSISTENT()
public:
    explicit TFillPictureHolder(TChangeNotify* notify = nullptr) : notify_(notify) {}
    const QImage& Image() const { return image_; }
    void SetImage(const QImage& image);
    void DefineProperties(TFiler& filer) override;

private:
    QImage image_;
    TChangeNotify* notify_;
};

class TFillImageData : public TPersistent {
    KESTREL_PERSISTENT()
public:
    TFillImageData() : picture_(&notify_), notify_(this) {}

    TChangeNotify& Notify() { return notify_; }
    const QImage& Picture() const { return picture_.Image(); }
    void SetPicture(const QImage& image) { picture_.SetImage(image); }
    bool IsEmpty() const { return picture_.Image().isNull(); }
    void Assign(const TPersistent& source) override;

private:
    TFillPictureHolder* PictureHolder() { return &picture_; }

    TFillPictureHolder picture_;
    TChangeNotify notify_;
};

// The legacy "Bitmap" property of colour specs: "Data" is an int32 byte count and a
// BMP file. Read only; the picture goes to the handler.
class TLegacyBitmap : public TPersistent {
    KESTREL_PERSISTENT()
public:
    explicit TLegacyBitmap(std::function<void(const QImage&)> onRead = {}) : onRead_(std::move(onRead)) {}
    void DefineProperties(TFiler& filer) override;

private:
    std::function<void(const QImage&)> onRead_;
};

}  // namespace kestrel
