// BMP files and ".cbm" compressed bitmaps (a container holding a BMP file), as pictures read.
#include "fuzz/FuzzTarget.h"
#include "platform/Graphic.h"

KESTREL_FUZZ_TARGET(Bitmap)
{
    const kestrel::TGraphic picture(kestrel::TGraphicClass::gcBitmap, data.toByteArray());
    if (picture.Image().isNull()) qFatal("a bitmap was read without pixels");
}
