#include "label/FacePreview.h"

#include <QBuffer>
#include <algorithm>

#include "document/DrawObject.h"
#include "document/storage/DocNameList.h"
#include "document/storage/DocStorage.h"
#include "document/storage/FramedObjects.h"
#include "label/DocumentPaths.h"
#include "label/FaceRender.h"
#include "paper/FaceGeometry.h"
#include "paper/PaperInfo.h"
#include "platform/Error.h"
#include "platform/PictureCodecs.h"
#include "platform/Rounding.h"

namespace kestrel {

namespace {
// Qt's PNG quality: 0 compresses most, 100 not at all.
constexpr int PreviewPngQuality = 80;

// Drawn at twice the preview's size and smoothed down: as sharp as a drawing at full size, at a
// small part of its pixels.
int PreviewDpi(const TFaceGeometry& face, int previewSize)
{
    const TSheetRect outer = face.OuterRect();
    const int side = std::max(outer.Width(), outer.Height());
    if (side <= 0) return LogicalUnitsPerInch;
    return std::clamp(MulDiv(2 * previewSize, LogicalUnitsPerInch, side), 1, LogicalUnitsPerInch);
}
}  // namespace

QByteArray RenderFacePreview(std::vector<std::unique_ptr<TDrawObject>> objects, const TFaceGeometry& face,
                             int previewSize)
{
    const QImage painted = RenderFace(std::move(objects), face, PreviewDpi(face, previewSize));
    const QImage preview = painted.isNull() ? painted
                                            : painted.scaled(previewSize, previewSize, Qt::KeepAspectRatio,
                                                             Qt::SmoothTransformation);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    // Light compression: a preview is small, and a mail merge writes one per row.
    preview.save(&buffer, "PNG", PreviewPngQuality);
    return png;
}

QImage DecodePreview(const QByteArray& stored)
{
    try {
        return stored.startsWith("BM") ? DecodeBmp(stored) : DecodePng(stored);
    } catch (const EKestrel&) {
        return {};
    }
}

bool ReadPreviewFromFile(const QString& path, int sheet, int face, QImage& picture, bool withOutline)
{
    const std::optional<TStoredSheet> stored = ReadSheetFromFile(path, sheet);
    if (!stored || face < 0 || face >= int(stored->previews.size())) return false;
    picture = stored->previews[face];
    if (picture.isNull() || !withOutline || !stored->paper) return !picture.isNull();

    TPaperInfo& paper = *stored->paper;
    if (face >= paper.GetFaceCount()) return true;
    paper.CheckLayout();
    TFaceGeometry geometry;
    paper.FillFaceInfo(face, geometry);
    DrawFaceOutlineOver(picture, geometry);
    return true;
}

std::optional<TStoredSheet> ReadSheetFromFile(const QString& path, int sheet)
{
    // The sheet list and each sheet's paper and previews; never the face objects with their pictures.
    TFileStorage file;
    file.OpenPart(path, [](const QString& stream) {
        const QStringList parts = stream.split(u'\\');
        if (parts.size() == 2) return stream == SheetListPath;
        return parts.size() == 3 && parts[0] == SheetListPath.section(u'\\', 0, 0) &&
               (parts[2] == PaperInfoStream || parts[2].startsWith(PreviewListName));
    });
    TDocStorageList sheets;
    sheets.Open(file, SheetListPath);
    if (sheet < 0 || sheet >= sheets.Count()) return std::nullopt;
    auto sheetStorage = sheets.OpenStorage(sheet, false);
    TStoredSheet stored;
    if (sheetStorage->StreamExists(PaperInfoStream)) {
        std::unique_ptr<TComponent> object = ReadFramedObject(*sheetStorage, PaperInfoStream);
        if (dynamic_cast<TPaperInfo*>(object.get()))
            stored.paper.reset(static_cast<TPaperInfo*>(object.release()));
    }
    if (sheetStorage->StreamExists(PreviewListName)) {
        TDocStreamList previews;
        previews.Open(*sheetStorage, PreviewListName);
        for (int face = 0; face < previews.Count(); ++face)
            stored.previews.push_back(previews.Exists(face) ? DecodePreview(previews.OpenStream(face, ModeRead)->ReadAll())
                                                            : QImage());
    }
    return stored;
}

}  // namespace kestrel
