#pragma once

// One-point illustrations: pictures of the illustration library inserted as picture objects
// whose source is the library (isOnePoint).

#include <QImage>
#include <QString>

#include "platform/Color.h"

namespace kestrel {

class TLOImage;

// Pixels of the longer side of an inserted illustration (600: 85 mm at the pictures' 180 dpi).
inline constexpr int IllustrationPictureSize = 600;

// The illustration drawn at longSide; when a colour other than the genre's drawing colour was
// picked ("色の変更"), drawn without smoothing and with exactly the drawing colour's pixels in
// the picked colour. A genre without a drawing colour (clNone) keeps its colours.
QImage IllustrationPicture(const QString& file, TColor genreColour, TColor picked, int longSide = IllustrationPictureSize);

// Makes the image a one-point picture of the illustration, at its natural size.
void SetIllustration(TLOImage& image, const QString& file, TColor genreColour, TColor picked);

}  // namespace kestrel
