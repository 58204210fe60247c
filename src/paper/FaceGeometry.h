#pragma once

#include <QPainterPath>
#include <QPolygon>
#include <QRect>
#include <QRegion>
#include <QString>

#include "paper/FaceShape.h"

namespace kestrel {

// A rectangle on the sheet in 0.1 mm; right and bottom are exclusive.
struct TSheetRect {
    int left = 0, top = 0, right = 0, bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    TSheetRect Inflated(int d) const { return {left - d, top - d, right + d, bottom + d}; }
    bool Contains(const TSheetRect& r) const
    {
        return r.left >= left && r.top >= top && r.right <= right && r.bottom <= bottom;
    }
    QRect ToQRect() const { return QRect(left, top, Width(), Height()); }
    bool operator==(const TSheetRect&) const = default;
};

// The portrait rectangle as it lies on the sheet turned a quarter turn counter-clockwise.
TSheetRect TurnLandscape(const TSheetRect& portrait, int portraitWidth);

// Everything that describes one face.
struct TFaceGeometry {
    TSheetRect rect;  // the face rectangle F, without margin
    int margin = 0;   // bleed beyond F and into the hole
    TFaceShape shape = fsRect;
    QString purpose;
    TCenterShape centerShape = csEllipse;
    int roundSize = 100;
    int cutCenterWidth = 410;
    int cutCenterHeight = 410;

    TSheetRect OuterRect() const { return rect.Inflated(margin); }
    // Hole of the label itself, centred in F (halves truncated towards zero).
    TSheetRect HoleRect() const;
    // The hole as printed: the bleed reaches into it.
    TSheetRect PrintedHoleRect() const { return HoleRect().Inflated(-margin); }
};

// Closed barrel outline in the rectangle (the polygon's last point joins the first).
QPolygon BarrelOutline(const TSheetRect& r);

QPainterPath OutlinePath(const TFaceGeometry& face);
// Empty for shapes without a hole, and when the margin leaves nothing of the hole.
QPainterPath PrintedHolePath(const TFaceGeometry& face);

// The outline region of the outer rectangle; with withHole, minus the printed hole.
QRegion FaceRegion(const TFaceGeometry& face, bool withHole);
// The same regions for a rectangle in any units (device pixels, say), corner ellipses
// roundSize wide and high.
QRegion ShapeRegion(TFaceShape shape, const TSheetRect& r, int roundSize);
// Empty when the hole has shrunk to nothing.
QRegion HoleRegion(TCenterShape shape, const TSheetRect& hole);

}  // namespace kestrel
