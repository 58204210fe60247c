#pragma once

#include <QImage>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Geometry.h"

namespace kestrel {

class TDrawObject;
class TLabelData;
struct TFaceGeometry;

// A face's objects (in stored order, from the back to the front) painted on an off-screen draw
// site at dpi, its logical area being the face's outer rectangle; everything outside the face
// shape is white. A face without extent gives a null image. problems, when given, gets what
// could not be drawn as stored.
QImage RenderFace(std::vector<std::unique_ptr<TDrawObject>> objects, const TFaceGeometry& face, int dpi,
                  QStringList* problems = nullptr);

// The current sheet of the document: the paper in white with every face's objects placed at
// the face's position. Each problem names its face.
QImage RenderSheet(TLabelData& document, int dpi, QStringList* problems = nullptr);

// A picture drawn band by band, top to bottom, so that memory stays bounded whatever its size:
// each band (full width, at most MaxRenderBandPixels) goes to sink as soon as it is drawn.
inline constexpr qint64 MaxRenderBandPixels = 8 << 20;
using TBandSink = std::function<void(const QImage& band)>;
// The current sheet as RenderSheet draws it.
QSize SheetPictureSize(TLabelData& document, int dpi);
void RenderSheetInBands(TLabelData& document, int dpi, const TBandSink& sink, QStringList* problems = nullptr);
// Face n of the current sheet as RenderFace draws it; its problems name it.
QSize FacePictureSize(const TFaceGeometry& face, int dpi);
void RenderFaceInBands(TLabelData& document, int n, int dpi, const TBandSink& sink, QStringList* problems = nullptr);

// The face outline in grey over a picture of the face, scaled to fit it keeping the aspect.
void DrawFaceOutlineOver(QImage& picture, const TFaceGeometry& face);

}  // namespace kestrel
