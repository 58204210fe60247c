#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "paper/PaperInfo.h"

namespace kestrel {

class TDrawObject;
struct TFaceGeometry;

// A sheet as a document file stores it, read without opening the document.
struct TStoredSheet {
    // Null when the sheet has none.
    std::unique_ptr<TPaperInfo> paper;
    // Per face of the preview list, its picture; null where a face has none.
    std::vector<QImage> previews;
};

// A face's preview as a document stores it: the objects (in stored order) painted over the face
// and scaled to fit previewSize x previewSize keeping the aspect, as PNG. Empty for a face
// without extent.
QByteArray RenderFacePreview(std::vector<std::unique_ptr<TDrawObject>> objects, const TFaceGeometry& face,
                             int previewSize);

// A stored face preview: PNG, or a bitmap file when it begins with "BM". A damaged one is a null
// image rather than a failure of what only wanted to show it.
QImage DecodePreview(const QByteArray& stored);

// A face preview straight from a document file, without opening it as a document; false when
// it has none. withOutline draws the face outline over it in grey.
bool ReadPreviewFromFile(const QString& path, int sheet, int face, QImage& picture, bool withOutline);
// Sheet number sheet (from 0) of a document file; nothing when there is no such sheet. Raises
// EKestrel for a file that cannot be read.
std::optional<TStoredSheet> ReadSheetFromFile(const QString& path, int sheet);

}  // namespace kestrel
