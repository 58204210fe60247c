// The "Data" record of a picture in a property stream: class name, then the graphic's bytes;
// what is read writes back unchanged.
#include "fuzz/FuzzTarget.h"
#include "platform/BoundedReader.h"
#include "platform/Graphic.h"

KESTREL_FUZZ_TARGET(PictureData)
{
    kestrel::TBoundedReader in(data);
    const kestrel::TGraphic picture = kestrel::ReadGraphicData(in);
    QByteArray written;
    kestrel::WriteGraphicData(written, picture);
    if (!picture.IsEmpty() && !QByteArrayView(data).startsWith(written)) qFatal("the picture data does not write back");
}
