#pragma once

// Painting off-screen and mixing the result back into a bitmap canvas, for objects that blend.

#include <QImage>
#include <QPainter>
#include <QPoint>

#include "document/DrawObject.h"

namespace kestrel {

// Makes an off-screen canvas whose device starts at origin (device pixels of the reference)
// draw the same logical coordinates onto the same pixels as the reference, for the same output and
// within its budget.
void AlignWith(TCanvas& canvas, const TCanvas& reference, QPoint origin);

// Draws a device-pixel image through the painter, so that the surface's clipping still holds.
void DrawDeviceImage(TCanvas& canvas, QPoint at, const QImage& image, QPainter::CompositionMode mode);

// Mixes source into the canvas's bitmap over deviceArea through mask (both of the area's size)
// and paints the result back through the painter, so that the canvas's clipping still holds;
// false when the blender refuses.
bool MixIntoCanvas(TCanvas& canvas, const TRect& deviceArea, const QImage& source, const QImage& mask, int ratio,
                   const TMaskBlender& blender);

}  // namespace kestrel
