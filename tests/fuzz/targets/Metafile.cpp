// Windows and enhanced metafiles: played at their natural size, then as vectors stretched onto
// a small canvas with a mapping of its own, as a picture object paints them.
#include <QImage>

#include "fuzz/FuzzTarget.h"
#include "platform/Canvas.h"
#include "platform/Graphic.h"
#include "platform/MetafilePlayer.h"

KESTREL_FUZZ_TARGET(Metafile)
{
    const kestrel::TGraphic picture(kestrel::TGraphicClass::gcMetafile, data.toByteArray());
    QImage surface(64, 48, QImage::Format_ARGB32);
    kestrel::TCanvas canvas(surface);
    canvas.SetMapping({{0, 0}, {10, 10}, {0, 0}, {3, 3}});
    kestrel::DrawGraphic(canvas, {-20, 10, 180, 150}, picture);
}
