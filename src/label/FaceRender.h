#pragma once

#include <QImage>
#include <memory>
#include <vector>

#include "platform/Geometry.h"

namespace kestrel {

class TDrawObject;
class TLabelData;
struct TFaceGeometry;

// A face's objects (in stored order, from the back to the front) painted on an off-screen draw
// site at dpi, its logical area being the face's outer rectangle; everything outside the face
// shape is white. A face without extent gives a null image.
QImage RenderFace(std::vector<std::unique_ptr<TDrawObject>> objects, const TFaceGeometry& face, int dpi);

// The current sheet of the document: the paper in white with every face's objects placed at
// the face's position.
QImage RenderSheet(TLabelData& document, int dpi);

// The face outline in grey over a picture of the face, scaled to fit it keeping the aspect.
void DrawFaceOutlineOver(QImage& picture, const TFaceGeometry& face);

}  // namespace kestrel
