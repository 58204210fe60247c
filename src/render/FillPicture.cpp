#include "render/FillPicture.h"

#include <QBuffer>

#include "document/stream/JsonCodec.h"
#include "document/stream/ValueCodec.h"
#include "platform/BoundedReader.h"
#include "platform/Error.h"

namespace kestrel {

namespace {

[[noreturn]] void ThrowBadPicture()
{
    throw EReadError(QStringLiteral("イメージの読み込みに失敗しました"));
}

QImage Decode(QByteArrayView bytes, const char* format)
{
    QImage image;
    if (!image.loadFromData(bytes, format)) ThrowBadPicture();
    return image;
}

QByteArrayView CountedBytes(TBoundedReader& in)
{
    const int32_t count = in.ReadI32();
    if (count < 0) ThrowBadPicture();
    return in.ReadBytes(count);
}

}  // namespace

QImage ReadGraphicData(TBoundedReader& in)
{
    const uint8_t nameLength = in.ReadU8();
    const QByteArray className = in.ReadBytes(nameLength).toByteArray();
    if (className == "TBitmap" || className == "TSafetyBitmap") return Decode(CountedBytes(in), "BMP");
    if (className == "TJPEGImage" || className == "TSafetyJPEGImage") return Decode(CountedBytes(in), "JPEG");
    if (className == "TPNGImage") return Decode(in.ReadBytes(in.Remaining()), "PNG");
    if (className == "TGIFImage") return Decode(in.ReadBytes(in.Remaining()), "GIF");
    throw EReadError(QStringLiteral("クラス %1 が見つかりません").arg(QString::fromLatin1(className)));
}

void WriteGraphicData(QByteArray& out, const QImage& picture)
{
    if (picture.isNull()) return;
    TWriter(out).WriteShortString("TPNGImage");
    QBuffer buffer(&out);
    buffer.open(QIODevice::Append);
    if (!picture.save(&buffer, "PNG")) throw EKestrel(QStringLiteral("イメージを書き込めません"));
}

void RegisterFillPictureFileRecord()
{
    RegisterJsonFileRecord("TPictureEx", "Data", [](const QByteArray& fileBytes) {
        const QImage picture = QImage::fromData(fileBytes);
        if (picture.isNull()) throw EReadError(QStringLiteral("画像として読めないファイルです"));
        QByteArray record;
        WriteGraphicData(record, picture);
        return record;
    });
}

// ---------------------------------------------------------------- TFillPictureHolder

const TClassInfo& TFillPictureHolder::StaticClass()
{
    static const TClassInfo info("TPictureEx", &TPersistent::StaticClass(), FactoryOf<TFillPictureHolder>(), {});
    return info;
}

void TFillPictureHolder::SetImage(const QImage& image)
{
    if (image == image_) return;
    image_ = image;
    if (notify_) notify_->Changed();
}

void TFillPictureHolder::DefineProperties(TFiler& filer)
{
    filer.DefineBinaryProperty(
        "Data", [this](TBoundedReader& in) { SetImage(ReadGraphicData(in)); },
        [this](QByteArray& out) { WriteGraphicData(out, image_); }, !image_.isNull());
}

// ---------------------------------------------------------------- TFillImageData

const TClassInfo& TFillImageData::StaticClass()
{
    static const TClassInfo info("TImageData", &TPersistent::StaticClass(), FactoryOf<TFillImageData>(), [] {
        return TPropsOf<TFillImageData>().Nested("Picture", &TFillImageData::PictureHolder).Done();
    });
    return info;
}

void TFillImageData::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TFillImageData*>(&source);
    if (!other) return TPersistent::Assign(source);
    SetPicture(other->Picture());
}

// ---------------------------------------------------------------- TLegacyBitmap

const TClassInfo& TLegacyBitmap::StaticClass()
{
    static const TClassInfo info("TBitmap", &TPersistent::StaticClass(), {}, {});
    return info;
}

void TLegacyBitmap::DefineProperties(TFiler& filer)
{
    filer.DefineBinaryProperty(
        "Data",
        [this](TBoundedReader& in) {
            const QByteArrayView bytes = CountedBytes(in);
            const QImage image = bytes.isEmpty() ? QImage() : Decode(bytes, "BMP");
            if (onRead_) onRead_(image);
        },
        {}, false);
}

}  // namespace kestrel
