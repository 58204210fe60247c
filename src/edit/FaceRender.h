#pragma once

#include <QImage>
#include <QSize>

namespace kestrel {

class TDOList;
class TLabelData;
struct TFaceGeometry;

// One face's objects painted on an off-screen draw site at dpi, the site's logical area being
// the face's outer rectangle; everything outside the face shape is white.
QImage RenderFace(const TDOList& objects, const TFaceGeometry& face, int dpi);

// The current sheet of the document: the paper in white with every face's objects placed at
// the face's position.
QImage RenderSheet(TLabelData& document, int dpi);

}  // namespace kestrel
