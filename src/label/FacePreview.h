#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <memory>
#include <vector>

namespace kestrel {

class TDrawObject;
struct TFaceGeometry;

// A face's preview as a document stores it: the objects (in stored order) painted over the face
// and scaled to fit previewSize x previewSize keeping the aspect, as PNG. Empty for a face
// without extent.
QByteArray RenderFacePreview(std::vector<std::unique_ptr<TDrawObject>> objects, const TFaceGeometry& face,
                             int previewSize);

// A face preview straight from a document file, without opening it as a document; false when
// it has none. withOutline draws the face outline over it in grey.
bool ReadPreviewFromFile(const QString& path, int sheet, int face, QImage& picture, bool withOutline);

}  // namespace kestrel
