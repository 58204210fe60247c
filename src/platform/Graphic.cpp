#include "platform/Graphic.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include "platform/BoundedReader.h"
#include "platform/MetafilePlayer.h"
#include "platform/PictureCodecs.h"
#include "platform/RegularFile.h"
#include "platform/ZlibContainer.h"

namespace kestrel {

namespace {

struct TClassName {
    QByteArrayView name;
    TGraphicClass graphicClass;
    bool counted;  // an int32 byte count precedes the bytes
};

// Names read; the first of each class is the one written for pictures made here.
constexpr TClassName ClassNames[] = {
    {"TBitmap", TGraphicClass::gcBitmap, true},         {"TSafetyBitmap", TGraphicClass::gcBitmap, true},
    {"TSafetyJPEGImage", TGraphicClass::gcJpeg, true}, {"TJPEGImage", TGraphicClass::gcJpeg, true},
    {"TPNGImage", TGraphicClass::gcPng, false},        {"TGIFImage", TGraphicClass::gcGif, false},
    {"TMetafile", TGraphicClass::gcMetafile, false},
};

const TClassName& NameOf(TGraphicClass graphicClass)
{
    for (const TClassName& entry : ClassNames)
        if (entry.graphicClass == graphicClass) return entry;
    return ClassNames[0];
}

// BMP headers with their palette fit in this; a compressed bitmap is inflated only that far.
constexpr qint64 BmpHeaderBytes = 4096;
// Pictures are never decoded at less than 1/64 of their size.
constexpr int MaxShrink = 64;

QSize HeaderSize(TGraphicClass graphicClass, QByteArrayView bytes)
{
    switch (graphicClass) {
    case TGraphicClass::gcBitmap: return BmpImageSize(UnpackPrefixIfContainer(bytes, BmpHeaderBytes));
    case TGraphicClass::gcJpeg: return JpegImageSize(bytes);
    case TGraphicClass::gcPng: return PngImageSize(bytes);
    case TGraphicClass::gcGif: return GifImageSize(bytes);
    case TGraphicClass::gcMetafile: return MetafileSize(bytes);
    }
    return {};
}

QImage Decode(TGraphicClass graphicClass, QByteArrayView bytes)
{
    switch (graphicClass) {
    case TGraphicClass::gcBitmap: return DecodeBmp(UnpackIfContainer(bytes, MaxPictureFileBytes));
    case TGraphicClass::gcJpeg: return DecodeJpeg(bytes);
    case TGraphicClass::gcPng: return DecodePng(bytes);
    case TGraphicClass::gcGif: return DecodeGif(bytes);
    case TGraphicClass::gcMetafile: return PlayMetafile(bytes);
    }
    return {};
}

QSize Shrunk(QSize size, int shrink) { return {(size.width() + shrink - 1) / shrink, (size.height() + shrink - 1) / shrink}; }

TGraphic FitToSquare(const TGraphic& graphic, int side)
{
    if (graphic.IsMetafile() || (graphic.Width() <= side && graphic.Height() <= side)) return graphic;
    const QImage scaled = graphic.Image().scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return TGraphic(TGraphicClass::gcBitmap, EncodeBmp24(scaled));
}

}  // namespace

TGraphic::TGraphic(TGraphicClass graphicClass, QByteArray bytes, QByteArray className)
    : class_(graphicClass),
      bytes_(std::move(bytes)),
      className_(className.isEmpty() ? NameOf(graphicClass).name.toByteArray() : std::move(className)),
      decoded_(std::make_shared<TDecoded>())
{
    if (bytes_.isEmpty()) throw EReadError(PictureLoadFailedMessage());
    size_ = HeaderSize(class_, bytes_);
}

const QImage& TGraphic::Image() const
{
    static const QImage none;
    if (!decoded_) return none;
    if (!decoded_->done) {
        decoded_->done = true;
        try {
            decoded_->image = Decode(class_, bytes_);
        } catch (const EKestrel& e) {
            decoded_->problem = e.Message();
        } catch (const std::bad_alloc&) {
            decoded_->problem = QStringLiteral("メモリが足りません");
        }
    }
    return decoded_->image;
}

QByteArray TGraphic::Digest() const
{
    if (!decoded_) return {};
    if (decoded_->digest.isEmpty()) decoded_->digest = QCryptographicHash::hash(bytes_, QCryptographicHash::Blake2b_256);
    return decoded_->digest;
}

QString TGraphic::DecodeProblem() const { return decoded_ ? decoded_->problem : QString(); }

int TGraphic::ShrinkFor(QSize wanted) const
{
    int shrink = 1;
    while (shrink < MaxShrink && Width() / (2 * shrink) >= wanted.width() && Height() / (2 * shrink) >= wanted.height())
        shrink *= 2;
    return shrink;
}

QImage TGraphic::ImageCovering(QSize wanted) const
{
    const int shrink = IsMetafile() ? 1 : ShrinkFor(wanted);
    if (decoded_ && decoded_->done) {
        const QImage& whole = decoded_->image;
        if (whole.isNull()) throw EReadError(DecodeProblem());
        return shrink == 1 ? whole : whole.scaled(Shrunk(size_, shrink), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    const QImage decoded = DecodeReduced(shrink);
    if (decoded.size() == Shrunk(size_, shrink)) return decoded;
    return decoded.scaled(Shrunk(size_, shrink), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The DCT gives up to 1/8 of the size without ever holding the whole picture.
int TGraphic::ReducedDecodeShrink(int shrink) const { return class_ == TGraphicClass::gcJpeg ? std::min(shrink, 8) : 1; }

QImage TGraphic::DecodeReduced(int shrink) const
{
    switch (class_) {
    case TGraphicClass::gcJpeg: return DecodeJpeg(bytes_, ReducedDecodeShrink(shrink));
    case TGraphicClass::gcPng: return DecodePng(bytes_, shrink);
    default: return Decode(class_, bytes_);
    }
}

QSize TGraphic::CoveringSize(QSize wanted) const { return IsMetafile() ? size_ : Shrunk(size_, ShrinkFor(wanted)); }

qint64 TGraphic::DecodingBytes(QSize wanted) const
{
    if (IsEmpty() || (decoded_ && decoded_->done)) return 0;
    const int shrink = IsMetafile() ? 1 : ShrinkFor(wanted);
    // PNG rows are reduced as they come, but every pixel is inflated however small the result,
    // so a PNG is charged as if it were held whole: one too large to hold is as much too slow to
    // decode.
    const QSize decoded = Shrunk(size_, ReducedDecodeShrink(shrink));
    // A compressed bitmap holds its inflated file beside the pixels.
    const qint64 inflated = class_ == TGraphicClass::gcBitmap ? std::max<qint64>(0, ContainerDataSize(bytes_)) : 0;
    return qint64(decoded.width()) * decoded.height() * 4 + inflated;
}

TGraphic TGraphic::FromImage(const QImage& image)
{
    if (image.isNull()) return {};
    const bool alpha = image.hasAlphaChannel();
    TGraphic graphic(alpha ? TGraphicClass::gcPng : TGraphicClass::gcBitmap, alpha ? EncodePng(image) : EncodeBmp24(image));
    // What decoding would give: the bitmap keeps no transparency.
    graphic.decoded_->image = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    graphic.decoded_->done = true;
    return graphic;
}

QString GraphicKindName(TGraphicClass graphicClass)
{
    switch (graphicClass) {
    case TGraphicClass::gcBitmap: return QStringLiteral("BMP 画像");
    case TGraphicClass::gcJpeg: return QStringLiteral("JPEG 画像");
    case TGraphicClass::gcPng: return QStringLiteral("PNG 画像");
    case TGraphicClass::gcGif: return QStringLiteral("GIF 画像");
    case TGraphicClass::gcMetafile: return QStringLiteral("メタファイル");
    }
    return {};
}

TGraphic ReadGraphicData(TBoundedReader& in)
{
    const QByteArrayView name = in.ReadBytes(in.ReadU8());
    for (const TClassName& entry : ClassNames) {
        if (entry.name != name) continue;
        const int64_t count = entry.counted ? in.ReadI32() : in.Remaining();
        if (count > MaxPictureFileBytes) throw EReadError(PictureLoadFailedMessage());
        return TGraphic(entry.graphicClass, in.ReadBytes(count).toByteArray(), name.toByteArray());
    }
    throw EReadError(QStringLiteral("クラス %1 が見つかりません").arg(ShownName(name)));
}

void WriteGraphicData(QByteArray& out, const TGraphic& graphic)
{
    if (graphic.IsEmpty()) return;
    out.append(char(graphic.ClassName().size()));
    out.append(graphic.ClassName());
    if (NameOf(graphic.Class()).counted) {
        const int32_t count = int32_t(graphic.Bytes().size());
        out.append(reinterpret_cast<const char*>(&count), sizeof count);  // little-endian host
    }
    out.append(graphic.Bytes());
}

QString DefaultImageFileExtensions() { return QStringLiteral(".bmp;.jpg;.jpeg;.pcd;.wmf;.emf;.cbm;.gif;.png"); }

bool GraphicClassForExtension(const QString& suffix, TGraphicClass& graphicClass)
{
    static const QHash<QString, TGraphicClass> classes = {
        {"bmp", TGraphicClass::gcBitmap}, {"cbm", TGraphicClass::gcBitmap},   {"jpg", TGraphicClass::gcJpeg},
        {"jpeg", TGraphicClass::gcJpeg},  {"png", TGraphicClass::gcPng},      {"gif", TGraphicClass::gcGif},
        {"wmf", TGraphicClass::gcMetafile}, {"emf", TGraphicClass::gcMetafile},
    };
    const auto found = classes.constFind(suffix.toLower());
    if (found == classes.constEnd()) return false;
    graphicClass = *found;
    return true;
}

TGraphic LoadGraphicFile(const QString& path, int limitSize)
{
    try {
        TGraphicClass graphicClass;
        if (!GraphicClassForExtension(QFileInfo(path).suffix(), graphicClass))
            throw EReadError(PictureLoadFailedMessage());
        const TGraphic graphic(graphicClass, ReadRegularFile(path, MaxPictureFileBytes));
        if (graphic.Image().isNull()) throw EReadError(graphic.DecodeProblem());
        return limitSize > 0 ? FitToSquare(graphic, limitSize) : graphic;
    } catch (const EKestrel& e) {
        if (e.Message() == PictureLoadFailedMessage()) throw;
        throw EReadError(PictureLoadFailedMessage() + QLatin1Char('\n') + e.Message());
    }
}

}  // namespace kestrel
