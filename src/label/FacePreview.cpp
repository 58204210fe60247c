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

bool ReadPreviewFromFile(const QString& path, int sheet, int face, QImage& picture, bool withOutline)
{
    TFileStorage file(path, ModeRead | ShareDenyWrite);
    TDocStorageList sheets;
    sheets.Open(file, SheetListPath);
    if (sheet < 0 || sheet >= sheets.Count()) return false;
    auto sheetStorage = sheets.OpenStorage(sheet, false);
    if (!sheetStorage->StreamExists(PreviewListName)) return false;
    TDocStreamList previews;
    previews.Open(*sheetStorage, PreviewListName);
    if (!previews.Exists(face)) return false;
    picture = QImage::fromData(previews.OpenStream(face, ModeRead)->ReadAll());
    if (picture.isNull() || !withOutline || !sheetStorage->StreamExists(PaperInfoStream)) return !picture.isNull();

    std::unique_ptr<TComponent> object = ReadFramedObject(*sheetStorage, PaperInfoStream);
    auto* paper = dynamic_cast<TPaperInfo*>(object.get());
    if (!paper || face >= paper->GetFaceCount()) return true;
    paper->CheckLayout();
    TFaceGeometry geometry;
    paper->FillFaceInfo(face, geometry);
    DrawFaceOutlineOver(picture, geometry);
    return true;
}

}  // namespace kestrel
