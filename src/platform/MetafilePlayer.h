#pragma once

// Plays Windows metafiles (with or without the placeable header) and enhanced metafiles into a
// picture: object creation and selection, rectangles, ellipses, polygons, polylines,
// poly-Béziers, lines, window and viewport mapping, save and restore. Unknown records are
// skipped; a malformed record ends the playback with what was drawn so far.

#include <QByteArrayView>
#include <QImage>

namespace kestrel {

// Side of the picture a metafile is played into, at most (its natural size is kept below that).
inline constexpr int MaxMetafileSide = 2000;

bool IsEnhancedMetafile(QByteArrayView bytes);
// The metafile drawn on a transparent picture of its natural size; fails with EReadError when
// the headers are not those of a metafile.
QImage PlayMetafile(QByteArrayView bytes);

}  // namespace kestrel
