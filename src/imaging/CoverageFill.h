#pragma once

// Soft-edged painting of outlines on bitmaps: the outline is filled into an 8-bit coverage mask
// and its edges are traced with the anti-aliased line rasteriser; a fill is then blended onto the
// bitmap through that mask.

#include <QImage>

#include "platform/Geometry.h"
#include "platform/PathData.h"

namespace kestrel {

class TCanvas;
class TColorSpec;

// Adds the outline's coverage (white, winding rule) to a mask canvas over an 8-bit grey bitmap.
void PaintOutlineCoverage(TCanvas& mask, const TPathPoints& outline);

// Paints the fill, stretched over `over`, where the outline covers the canvas: a bitmap of the
// visible part of `over` is filled, and blended through the outline's coverage onto the canvas.
// False when the canvas is not a bitmap; nothing is painted then.
bool FillThroughCoverage(TCanvas& canvas, const TPathPoints& outline, const TColorSpec& spec, const TRect& over);

// The colours of a painting whose soft edges must not carry its ground along: from the same
// painting on a white and on a black ground (24-bit, same size), each pixel's coverage is the
// difference of the two and its colour the black-ground pixel divided by that coverage.
// Uncovered pixels take the colour of a covered pixel up to two pixels away, else stay white.
QImage ColoursFromGrounds(const QImage& onWhite, const QImage& onBlack);

}  // namespace kestrel
