// JPEG files: the baseline check, the full decode and the reduced decode of thumbnails.
#include "fuzz/FuzzTarget.h"
#include "platform/Graphic.h"
#include "platform/PictureCodecs.h"

KESTREL_FUZZ_TARGET(Jpeg)
{
    const QSize declared = kestrel::JpegImageSize(data);
    const QImage eighth = kestrel::DecodeJpeg(data, 8);
    if (eighth.width() > (declared.width() + 7) / 8 + 1) qFatal("the reduced decode is larger than asked");
    const kestrel::TGraphic picture(kestrel::TGraphicClass::gcJpeg, data.toByteArray());
    picture.Image();
    picture.ImageCovering({16, 16});
}
