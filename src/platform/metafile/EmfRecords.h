#pragma once

// Enhanced metafiles: the header and the record player.

#include <QByteArrayView>
#include <QRectF>
#include <QSizeF>

namespace kestrel {
class TBoundedReader;
class TCanvas;
struct TRect;
}  // namespace kestrel

namespace kestrel::metafile {

struct TEmfHeader {
    QRectF frame;
    QSizeF pixelsPerMm;
    qsizetype recordsStart = 0;
};

bool IsEmfSignature(QByteArrayView bytes);
TEmfHeader ReadEmfHeader(TBoundedReader& in);
void PlayEmf(QByteArrayView bytes, TCanvas& canvas, const TRect& target);

}  // namespace kestrel::metafile
