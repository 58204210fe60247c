#pragma once

// What the vector shapes share: their pens as outline geometry, painting a fill
// through a path, coverage masks and hit tests. Paths are logical (0.1 mm).

#include <QImage>
#include <QPainterPath>
#include <QPoint>
#include <functional>

#include "document/Notify.h"
#include "platform/Canvas.h"
#include "platform/Geometry.h"
#include "platform/PathData.h"

namespace kestrel {

class TCanvas;
class TColorSpec;
class TDrawObject;
class TRotator;

// The pens of the shapes, as the outline their stroke covers.
enum class TShapePen {
    spLine,   // round ends, mitred corners
    spFrame,  // square ends, mitred corners
    spPlain,  // round ends and corners
};

// The area a pen of the given width covers along the path (winding rule).
QPainterPath WidenedPath(const QPainterPath& path, double width, TShapePen pen);

// Smallest logical rectangle holding the path; right and bottom exclusive.
TRect PathBounds(const QPainterPath& path);

// Logical size of one device pixel of the canvas.
double CanvasPixel(const TCanvas& canvas);
// Logical size of one device pixel of the object's site; 3 units off a site.
double SitePixel(const TDrawObject& object);

// Clips to area and fills the clip with the fill stretched over `over`. A
// plain colour fills the area directly.
void FillThrough(TCanvas& canvas, const QPainterPath& area, const TColorSpec& spec, const TRect& over);

// Covers the area on a blending mask (grey 255 = covered).
void PaintCoverage(TCanvas& mask, const QPainterPath& area);

// Repaints the object where its site shows it.
void Repaint(TDrawObject& object);
// Every change of the fill is a change of its owner and repaints it.
void RepaintOnChange(TColorSpec& spec, TDrawObject& owner);

// The outline drawn with the current pen, for drag feedback.
void DrawOutlinePath(TCanvas& canvas, const QPainterPath& path);

// A shape's painted pixels at the scale it was last shown. Painting it again unchanged lays the
// pixels down in one blit: filling paths through clips costs far more, and the raster engine
// spreads large fills over threads whose hand-offs cost the painting thread more still.
class TAppearanceCache {
public:
    // Paints through the cache; paint draws the shape (within bounds) on the canvas it is given.
    void Paint(TCanvas& canvas, const TRect& bounds, const std::function<void(TCanvas&)>& paint);
    void Drop() { pixels_ = QImage(); }

private:
    QImage pixels_;
    TMapping mapping_;
    TRect bounds_;
};

// A shape whose unblended painting goes through an appearance cache, dropped on every change.
template <class Base>
class TCachedAppearance : public Base {
public:
    void PaintContent(TCanvas& canvas) override
    {
        if (this->NeedsBlend()) return Base::PaintContent(canvas);
        appearance_.Paint(canvas, this->GetBounds(), [this](TCanvas& target) { this->Paint(target); });
    }
    void Changed(TChangeKinds kinds = ckAppearance) override
    {
        appearance_.Drop();
        Base::Changed(kinds);
    }

private:
    TAppearanceCache appearance_;
};

// Every point turned by the rotator.
TPathPoints Rotated(TPathPoints points, const TRotator& rotator);
QPainterPath ShapePath(const TPathPoints& points);

}  // namespace kestrel
