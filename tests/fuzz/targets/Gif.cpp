// GIF files, as pictures read: the header when the document opens, the pixels when painted,
// whole and reduced.
#include "fuzz/FuzzTarget.h"
#include "platform/Graphic.h"

KESTREL_FUZZ_TARGET(Gif)
{
    const kestrel::TGraphic picture(kestrel::TGraphicClass::gcGif, data.toByteArray());
    picture.Image();
    picture.ImageCovering({16, 16});
}
