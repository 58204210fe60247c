// BMP files and ".cbm" compressed bitmaps (a container holding a BMP file), as pictures read:
// the header when the document opens, the pixels when painted, whole and reduced.
#include "fuzz/FuzzTarget.h"
#include "platform/Graphic.h"

KESTREL_FUZZ_TARGET(Bitmap)
{
    const kestrel::TGraphic picture(kestrel::TGraphicClass::gcBitmap, data.toByteArray());
    if (picture.Image().isNull() && picture.DecodeProblem().isEmpty()) qFatal("a bitmap was read without pixels or a cause");
    picture.ImageCovering({16, 16});
}
