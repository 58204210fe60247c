#pragma once

// One picture as documents hold it: the graphic class it was stored as, the original file bytes
// (written back unchanged, never re-encoded) and the decoded pixels.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <memory>

namespace kestrel {

class TBoundedReader;

enum class TGraphicClass { gcBitmap, gcJpeg, gcPng, gcGif, gcMetafile };

// Largest picture file or "Data" record read; larger ones are refused before they are read.
inline constexpr qint64 MaxPictureFileBytes = 256LL * 1024 * 1024;

class TGraphic {
public:
    TGraphic() = default;
    // Reads the size from the header of bytes of the class; the pixels are decoded on first use,
    // so a document opens without decoding any picture. Fails with EReadError when the header is
    // not one of the class (the JPEG check with its own message). className: the name the
    // graphic was stored under, written back as it was (empty: the class's usual name).
    TGraphic(TGraphicClass graphicClass, QByteArray bytes, QByteArray className = {});
    // A picture made in memory (clipboard, scaled-down files): a BMP file, or a PNG file when the
    // picture has transparency that a 24-bit bitmap would lose.
    static TGraphic FromImage(const QImage& image);

    bool IsEmpty() const { return bytes_.isEmpty(); }
    TGraphicClass Class() const { return class_; }
    bool IsMetafile() const { return class_ == TGraphicClass::gcMetafile; }
    // The pixels at the natural size, decoded on first use and kept (metafiles played at their
    // natural size on a transparent ground). Null when the bytes cannot be decoded beyond their
    // header; DecodeProblem() then says why.
    const QImage& Image() const;
    QString DecodeProblem() const;
    // The pixels decoded at the smallest fraction 1/2^k (k up to 6) of the natural size that still
    // covers wanted, or at the natural size: JPEG pictures through their DCT, which never holds
    // the whole picture. Not kept. Fails with EReadError.
    QImage ImageCovering(QSize wanted) const;
    // The size ImageCovering(wanted) gives.
    QSize CoveringSize(QSize wanted) const;
    // The memory ImageCovering(wanted) holds at its peak, in bytes (for PNG, the whole picture's,
    // standing for the work of decoding it).
    qint64 DecodingBytes(QSize wanted) const;
    const QByteArray& Bytes() const { return bytes_; }
    // A strong digest of the bytes, made once for the graphic and its copies: pictures of equal
    // bytes have equal digests whatever object holds them.
    QByteArray Digest() const;
    const QByteArray& ClassName() const { return className_; }
    // From the header: known without decoding.
    int Width() const { return size_.width(); }
    int Height() const { return size_.height(); }

    bool operator==(const TGraphic& other) const { return class_ == other.class_ && bytes_ == other.bytes_; }

private:
    // Shared by copies, so a picture is decoded once however often it is copied.
    struct TDecoded {
        QImage image;
        QString problem;
        bool done = false;
        QByteArray digest;
    };
    int ShrinkFor(QSize wanted) const;
    // The fraction of the size the decoder gives for shrink without holding the whole picture.
    int ReducedDecodeShrink(int shrink) const;
    // The pixels at 1/shrink of the size, or as near as the file's own decoder gives.
    QImage DecodeReduced(int shrink) const;

    TGraphicClass class_ = TGraphicClass::gcBitmap;
    QByteArray bytes_;
    QByteArray className_;
    QSize size_;
    std::shared_ptr<TDecoded> decoded_;
};

// "JPEG 画像", "PNG 画像", ..., "メタファイル": the kind of picture, for messages.
QString GraphicKindName(TGraphicClass graphicClass);

// The "Data" layout: the class name as a short string, then the graphic's bytes (bitmaps and
// JPEG pictures with an int32 byte count first; a bitmap may be a compressed container).
TGraphic ReadGraphicData(TBoundedReader& in);
// Nothing for an empty graphic.
void WriteGraphicData(QByteArray& out, const TGraphic& graphic);

// ".bmp;.jpg;.jpeg;.pcd;.wmf;.emf;.cbm;.gif;.png": the extensions the picture commands offer.
QString DefaultImageFileExtensions();
// The class a file extension reads as (".cbm" is a compressed bitmap); false for others.
bool GraphicClassForExtension(const QString& suffix, TGraphicClass& graphicClass);

// Reads a picture file by its extension and decodes it at once, so that a user choosing a file
// learns at once that it cannot be read. With limitSize > 0 a larger picture is replaced by a
// 24-bit bitmap scaled to fit a square of that side. Fails with "イメージの読み込みに失敗しました",
// followed by the cause on a second line when there is a more precise one.
TGraphic LoadGraphicFile(const QString& path, int limitSize = 0);

}  // namespace kestrel
