// An illustration file (SVG), drawn small as the illustration browser shows it.
#include "fuzz/FuzzTarget.h"
#include "imaging/Illustrations.h"

KESTREL_FUZZ_TARGET(Illustration)
{
    const QImage image = kestrel::RasteriseIllustration(kestrel::fuzz::WriteInputFile(data, QStringLiteral(".svg")), 48);
    if (image.width() > 48 || image.height() > 48) qFatal("an illustration larger than asked for");
}
