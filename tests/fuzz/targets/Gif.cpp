// GIF files, as pictures read.
#include "fuzz/FuzzTarget.h"
#include "platform/Graphic.h"

KESTREL_FUZZ_TARGET(Gif)
{
    const kestrel::TGraphic picture(kestrel::TGraphicClass::gcGif, data.toByteArray());
}
