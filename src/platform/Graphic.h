#pragma once

// One picture as documents hold it: the graphic class it was stored as, the original file bytes
// (written back unchanged, never re-encoded) and the decoded pixels.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace kestrel {

class TBoundedReader;

enum class TGraphicClass { gcBitmap, gcJpeg, gcPng, gcGif, gcMetafile };

// Largest picture file or "Data" record read; larger ones are refused before they are read.
inline constexpr qint64 MaxPictureFileBytes = 256LL * 1024 * 1024;

class TGraphic {
public:
    TGraphic() = default;
    // Decodes bytes of the class; fails with EReadError (the JPEG check with its own message).
    // className: the name the graphic was stored under, written back as it was (empty: the
    // class's usual name).
    TGraphic(TGraphicClass graphicClass, QByteArray bytes, QByteArray className = {});
    // A picture made in memory (clipboard, scaled-down files): a BMP file, or a PNG file when the
    // picture has transparency that a 24-bit bitmap would lose.
    static TGraphic FromImage(const QImage& image);

    bool IsEmpty() const { return bytes_.isEmpty(); }
    TGraphicClass Class() const { return class_; }
    bool IsMetafile() const { return class_ == TGraphicClass::gcMetafile; }
    // The pixels; metafiles played at their natural size on a transparent ground.
    const QImage& Image() const { return image_; }
    const QByteArray& Bytes() const { return bytes_; }
    const QByteArray& ClassName() const { return className_; }
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }

    bool operator==(const TGraphic& other) const { return class_ == other.class_ && bytes_ == other.bytes_; }

private:
    TGraphicClass class_ = TGraphicClass::gcBitmap;
    QByteArray bytes_;
    QByteArray className_;
    QImage image_;
};

// The "Data" layout: the class name as a short string, then the graphic's bytes (bitmaps and
// JPEG pictures with an int32 byte count first; a bitmap may be a compressed container).
TGraphic ReadGraphicData(TBoundedReader& in);
// Nothing for an empty graphic.
void WriteGraphicData(QByteArray& out, const TGraphic& graphic);

// ".bmp;.jpg;.jpeg;.pcd;.wmf;.emf;.cbm;.gif;.png": the extensions the picture commands offer.
QString DefaultImageFileExtensions();
// The class a file extension reads as (".cbm" is a compressed bitmap); false for others.
bool GraphicClassForExtension(const QString& suffix, TGraphicClass& graphicClass);

// Reads a picture file by its extension. With limitSize > 0 a larger picture is replaced by a
// 24-bit bitmap scaled to fit a square of that side. Fails with "イメージの読み込みに失敗しました",
// followed by the cause on a second line when there is a more precise one.
TGraphic LoadGraphicFile(const QString& path, int limitSize = 0);

}  // namespace kestrel
