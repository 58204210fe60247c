#include "render/PictureEx.h"

#include "platform/BoundedReader.h"

namespace kestrel {

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

}  // namespace kestrel
