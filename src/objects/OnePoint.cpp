#include "objects/OnePoint.h"

#include "imaging/Effects.h"
#include "imaging/Illustrations.h"
#include "objects/PictureObject.h"

namespace kestrel {

QImage IllustrationPicture(const QString& file, TColor genreColour, TColor picked, int longSide)
{
    const bool recolour = genreColour != clNone && picked != clNone && picked != genreColour;
    const QImage drawn = RasteriseIllustration(file, longSide, !recolour);
    return recolour ? ChangeIllustrationColour(drawn, genreColour, picked) : drawn;
}

void SetIllustration(TLOImage& image, const QString& file, TColor genreColour, TColor picked)
{
    image.SetImageSource(isOnePoint);
    image.ImageData().Picture().SetImage(IllustrationPicture(file, genreColour, picked));
    image.ImageData().Picture().SetImageID(file);
    image.ResetSize();
}

}  // namespace kestrel
