#include "render/FillPicture.h"

#include "platform/BoundedReader.h"
#include "platform/PictureCodecs.h"

namespace kestrel {

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
            const int32_t count = in.ReadI32();
            if (count < 0 || count > MaxPictureFileBytes) throw EReadError(PictureLoadFailedMessage());
            const QByteArrayView bytes = in.ReadBytes(count);
            const TGraphic graphic = bytes.isEmpty() ? TGraphic() : TGraphic(TGraphicClass::gcBitmap, bytes.toByteArray());
            if (onRead_) onRead_(graphic);
        },
        {}, false);
}

}  // namespace kestrel
