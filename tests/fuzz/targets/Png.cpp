// PNG files, as pictures read.
#include "fuzz/FuzzTarget.h"
#include "platform/Graphic.h"

KESTREL_FUZZ_TARGET(Png)
{
    const kestrel::TGraphic picture(kestrel::TGraphicClass::gcPng, data.toByteArray());
}
