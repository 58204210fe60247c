// The thumbnail of a label document: the first sheet drawn from the stored face previews.
#include "fuzz/FuzzTarget.h"
#include "label/SheetThumbnail.h"

namespace {
constexpr int ThumbnailSize = 64;
}

KESTREL_FUZZ_TARGET(SheetThumbnail)
{
    kestrel::DrawSheetThumbnail(kestrel::fuzz::WriteInputFile(data, QStringLiteral(".mld")), ThumbnailSize);
}
