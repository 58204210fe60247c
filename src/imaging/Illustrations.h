#pragma once

// The illustration library: one-point pictures grouped by genre. The shipped genres are listed
// in "Data\Illust\Illust.dat" (code page 932), one section per genre in browser order:
//   Caption=音楽            the genre's name
//   Genre=Data\Illust\Music  its folder, relative to the program's data
//   Color=0x933A1F          the colour its pictures are drawn in (0x00BBGGRR), for "色の変更"
// The pictures are vector drawings (SVG) on a transparent ground. Where a clip-art collection is
// installed (Debian's openclipart-svg), each of its category folders is a further genre, without
// a drawing colour.

#include <QImage>
#include <QString>
#include <QStringList>
#include <vector>

#include "platform/Color.h"

namespace kestrel {

inline const QString IllustrationIndexFile = QStringLiteral("Data\\Illust\\Illust.dat");
inline const QString ClipArtFolder = QStringLiteral("/usr/share/openclipart/svg");

struct TIllustrationGenre {
    QString caption;
    QString folder;  // a real folder path
    TColor drawingColor = clNone;  // clNone: the colour cannot be changed
    QStringList files;  // full paths, by name
};

// The genres of an index file whose folders are found with FindDataFile; genres whose folder
// cannot be found, or holds no picture, are left out. A missing index gives none.
std::vector<TIllustrationGenre> ReadIllustrationIndex(const QString& indexFile);
// Each sub-folder of the collection with SVG pictures (in it or below it; a picture met twice
// under the same name is listed once), captioned with the folder's name, by name.
std::vector<TIllustrationGenre> ClipArtGenres(const QString& root);
// The shipped genres, then the installed clip art.
std::vector<TIllustrationGenre> IllustrationGenres();

// The SVG picture drawn to fit longSide × longSide (keeping its proportions) on a transparent
// ground, as Format_ARGB32; edge pixels keep the colour of what covers them, only less opaque.
// Without smoothing every pixel is clear or opaque, so that a colour change of equal pixels
// catches the whole of a drawing. Fails with EReadError
// for files that are not SVG pictures, refer to other files or are too large to read.
QImage RasteriseIllustration(const QString& file, int longSide, bool smooth = true);

}  // namespace kestrel
