#pragma once

#include <QImage>
#include <memory>

namespace kestrel {

class TDrawObject;
struct TFaceGeometry;

// How far in from every edge (and out round the hole) the print fades to white, 0.1 mm.
inline constexpr int EdgeFadeInset = 25;
inline constexpr int EdgeBlurRadius = 50;

// The face's soft edge as an 8-bit picture over the face bounds, one pixel per 0.1 mm: 255
// (white) outside the face shrunk by EdgeFadeInset and inside its hole grown by as much, 0
// elsewhere, then blurred.
QImage EdgeMaskPicture(const TFaceGeometry& face);

// An object covering the face bounds from (0, 0) that whitens the face through the mask. It is
// painted over everything else of the face.
std::unique_ptr<TDrawObject> CreateEdgeMask(const TFaceGeometry& face);

}  // namespace kestrel
