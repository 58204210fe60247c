#include "render/PictureEx.h"

#include <optional>

#include "document/stream/JsonCodec.h"
#include "platform/BoundedReader.h"
#include "platform/Error.h"
#include "platform/MetafilePlayer.h"

namespace kestrel {

namespace {

// Scenes name files by any name, so the class comes from the file's signature, not its extension.
std::optional<TGraphicClass> GraphicClassOfBytes(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xD8")) return TGraphicClass::gcJpeg;
    if (bytes.startsWith("\x89PNG")) return TGraphicClass::gcPng;
    if (bytes.startsWith("GIF8")) return TGraphicClass::gcGif;
    if (bytes.startsWith("BM")) return TGraphicClass::gcBitmap;
    // Enhanced metafiles, placeable Windows metafiles, and plain ones (type 1 or 2, 9 header words).
    if (IsEnhancedMetafile(bytes) || bytes.startsWith("\xD7\xCD\xC6\x9A") || bytes.startsWith(QByteArrayView("\x01\x00\x09\x00", 4)) ||
        bytes.startsWith(QByteArrayView("\x02\x00\x09\x00", 4)))
        return TGraphicClass::gcMetafile;
    return std::nullopt;
}

}  // namespace

const TClassInfo& TPictureEx::StaticClass()
{
    static const TClassInfo info("TPictureEx", &TPersistent::StaticClass(), FactoryOf<TPictureEx>(), [] {
        using C = TPictureEx;
        return TPropsOf<C>().String("ImageID", &C::ImageID, &C::SetImageID).String("StorageID", &C::StorageID, &C::SetStorageID).Done();
    });
    return info;
}

void TPictureEx::SetGraphic(const TGraphic& graphic)
{
    if (graphic == graphic_) return;
    graphic_ = graphic;
    notify_.Changed();
}

void TPictureEx::SetImageID(const QString& id)
{
    if (id == imageId_) return;
    imageId_ = id;
    notify_.Changed();
}

void TPictureEx::SetStorageID(const QString& id)
{
    if (id == storageId_) return;
    storageId_ = id;
    notify_.Changed();
}

void TPictureEx::LoadFromFile(const QString& path, int limitSize)
{
    const TGraphic graphic = LoadGraphicFile(path, limitSize);
    TUpdateScope batch(notify_);
    SetGraphic(graphic);
    SetImageID(path);
}

void TPictureEx::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TPictureEx*>(&source);
    if (!other) return TPersistent::Assign(source);
    TUpdateScope batch(notify_);
    AssignPublished(source, *this);
    SetGraphic(other->graphic_);
    deferred_ = other->deferred_;
    noEmbed_ = other->noEmbed_;
}

void TPictureEx::DefineProperties(TFiler& filer)
{
    filer.DefineBinaryProperty(
        "Data", [this](TBoundedReader& in) { SetGraphic(ReadGraphicData(in)); },
        [this](QByteArray& out) { WriteGraphicData(out, graphic_); }, HasGraphic() && !noEmbed_);
}

void RegisterPictureFileRecord()
{
    TJsonFileRecords::Global().Register("TPictureEx", "Data", [](const QByteArray& fileBytes) {
        const auto graphicClass = GraphicClassOfBytes(fileBytes);
        if (!graphicClass) throw EReadError(QStringLiteral("画像として読めないファイルです"));
        QByteArray record;
        WriteGraphicData(record, TGraphic(*graphicClass, fileBytes));
        return record;
    });
}

}  // namespace kestrel
