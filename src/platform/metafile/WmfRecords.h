#pragma once

// Windows metafiles (with or without the placeable header): the header and the record player.

#include <QByteArrayView>
#include <QRectF>

namespace kestrel {
class TBoundedReader;
class TCanvas;
struct TRect;
}  // namespace kestrel

namespace kestrel::metafile {

struct TWmfHeader {
    QRectF frame;
    qsizetype recordsStart = 0;
};

// The frame comes from the placeable header, else from the first window the records set.
TWmfHeader ReadWmfHeader(TBoundedReader& in);
void PlayWmf(QByteArrayView bytes, TCanvas& canvas, const TRect& target);

}  // namespace kestrel::metafile
