#pragma once

// Decoders of the picture file formats, each over the library made for it (libjpeg-turbo,
// libpng, giflib) or our own reader (BMP). Every decoder checks the picture's declared size
// against the limits below before it allocates anything, and raises EReadError on bad bytes.
// Pictures come back as Format_RGB32, or Format_ARGB32 when they carry transparency.

#include <QByteArrayView>
#include <QImage>
#include <QString>
#include <memory>

class QIODevice;

namespace kestrel {

// Larger pictures are refused as damaged: no label needs them and they would exhaust memory.
inline constexpr int MaxPictureSide = 30000;
inline constexpr qint64 MaxPicturePixels = 64LL * 1024 * 1024;

QString PictureLoadFailedMessage();     // "イメージの読み込みに失敗しました"
QString UnsupportedJpegMessage();       // "未対応のJPEG形式です"

// Fails with EReadError unless width × height is a picture we are willing to allocate; a picture
// too large is refused naming its size and the limits.
void CheckPictureSize(qint64 width, qint64 height);

// The sizes the files declare, read from their headers with the checks of their decoders; no
// pixel is decoded.
QSize BmpImageSize(QByteArrayView bytes);
QSize PngImageSize(QByteArrayView bytes);
QSize GifImageSize(QByteArrayView bytes);

QImage DecodeBmp(QByteArrayView bytes);
// Device-independent bitmaps as metafiles hold them: the header with its palette and the pixels
// apart, or packed one after the other.
QImage DecodeDib(QByteArrayView info, QByteArrayView bits);
QImage DecodePackedDib(QByteArrayView dib);
// Only baseline-style layouts (sequential Huffman, 8-bit samples, 1 or 3 components) are read;
// anything else fails with UnsupportedJpegMessage(). scaleDenom 1, 2, 4 or 8 decodes at that
// fraction of the size through the DCT, which is much cheaper than shrinking afterwards.
QImage DecodeJpeg(QByteArrayView bytes, int scaleDenom = 1);
// The size the JPEG's frame header declares (the baseline check applies).
QSize JpegImageSize(QByteArrayView bytes);
// shrink > 1 gives 1/shrink of the size (rounded up), each pixel the average of the block it
// covers; rows are reduced as they are read, so the whole picture is never held (interlaced
// pictures, whose rows come in passes, are decoded whole first).
QImage DecodePng(QByteArrayView bytes, int shrink = 1);
// The first frame, on the logical screen.
QImage DecodeGif(QByteArrayView bytes);

// A bottom-up 24-bit BMP file of the picture (transparency dropped onto white).
QByteArray EncodeBmp24(const QImage& picture);

// Writes a picture band by band, top to bottom, so that one larger than memory can be written
// while it is drawn: each band is Format_RGB32 rows of the picture's full width. Fails with
// EKestrel when the device refuses the bytes.
class TPictureBandWriter {
public:
    virtual ~TPictureBandWriter() = default;
    virtual void WriteBand(const QImage& band) = 0;
    // After the last row.
    virtual void Finish() = 0;
};
std::unique_ptr<TPictureBandWriter> NewPngBandWriter(QIODevice& out, QSize size, int dpi);
// Held compressed until Finish.
std::unique_ptr<TPictureBandWriter> NewJpegBandWriter(QIODevice& out, QSize size, int quality);
// Written top-down.
std::unique_ptr<TPictureBandWriter> NewBmpBandWriter(QIODevice& out, QSize size);
QByteArray EncodeJpeg(const QImage& picture, int quality = 75);
// Small files, or (Fast) less compression for pictures wanted at once, such as thumbnails.
enum class TPngCompression { Small, Fast };
QByteArray EncodePng(const QImage& picture, TPngCompression compression = TPngCompression::Small);

}  // namespace kestrel
