#pragma once

// Plays Windows metafiles (with or without the placeable header) and enhanced metafiles through
// our canvas, as vectors: object creation and selection (pens, brushes, fonts, regions), the
// shapes, polylines, polygons and poly-Béziers, paths, clipping, regions, text output, DIB blits
// and stretches with their raster operations, window/viewport mapping, save and restore.
// Unknown records are skipped; a malformed record ends the playback with what was drawn so far.
// World transforms keep their scale and offset; turns and shears are left out.
// The record players live in metafile/ (WmfRecords, EmfRecords) over one shared playback state
// (MetafilePlayback).

#include <QByteArrayView>
#include <QImage>
#include <QSize>

namespace kestrel {

class TCanvas;
class TGraphic;
struct TRect;

// Side of the picture a metafile is played into, at most (its natural size is kept below that).
inline constexpr int MaxMetafileSide = 2000;

bool IsEnhancedMetafile(QByteArrayView bytes);
// The natural size in pixels; fails with EReadError when the headers are not a metafile's.
QSize MetafileSize(QByteArrayView bytes);
// Draws the metafile with its frame stretched onto a logical rectangle of the canvas and clipped
// to it; the canvas is left as it was. Fails like MetafileSize.
void PlayMetafile(QByteArrayView bytes, TCanvas& canvas, const TRect& target);
// The metafile drawn on a transparent picture of its natural size.
QImage PlayMetafile(QByteArrayView bytes);

// Stretches a graphic onto a logical rectangle: metafiles as vectors, other pictures by pixels.
void DrawGraphic(TCanvas& canvas, const TRect& rect, const TGraphic& graphic);

}  // namespace kestrel
