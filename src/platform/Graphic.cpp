#include "platform/Graphic.h"

#include <QFile>
#include <QFileInfo>

#include "platform/BoundedReader.h"
#include "platform/MetafilePlayer.h"
#include "platform/PictureCodecs.h"
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

QByteArray ReadWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxPictureFileBytes)
        throw EReadError(PictureLoadFailedMessage());
    QByteArray bytes = file.readAll();
    if (bytes.size() != file.size()) throw EReadError(PictureLoadFailedMessage());
    return bytes;
}

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
      image_(Decode(class_, bytes_))
{
    if (bytes_.isEmpty()) throw EReadError(PictureLoadFailedMessage());
}

TGraphic TGraphic::FromImage(const QImage& image)
{
    if (image.isNull()) return {};
    if (image.hasAlphaChannel()) return TGraphic(TGraphicClass::gcPng, EncodePng(image));
    return TGraphic(TGraphicClass::gcBitmap, EncodeBmp24(image));
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
    throw EReadError(QStringLiteral("クラス %1 が見つかりません").arg(QString::fromLatin1(name)));
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
        const TGraphic graphic(graphicClass, ReadWholeFile(path));
        return limitSize > 0 ? FitToSquare(graphic, limitSize) : graphic;
    } catch (const EKestrel& e) {
        if (e.Message() == PictureLoadFailedMessage()) throw;
        throw EReadError(PictureLoadFailedMessage() + QLatin1Char('\n') + e.Message());
    }
}

}  // namespace kestrel
