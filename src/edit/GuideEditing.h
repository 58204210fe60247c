#pragma once

#include <QPoint>
#include <QString>

#include "platform/Geometry.h"

namespace kestrel {

class TGuide;

// Placing a guide line by dragging it from a ruler or picking it on the face. While it is dragged
// the guide is a candidate: (x, 0) for a vertical guide, (0, y) for a horizontal one, in logical
// units of the face.

// The message when all ten slots are taken.
QString TooManyGuidesMessage();
// Where the pointer puts the guide: on whole millimetres unless exact.
QPoint GuideCandidate(QPoint logical, bool vertical, bool exact);
// The hint beside the pointer: the distances from the face's edges, or that the guide goes.
QString GuideHint(QPoint candidate, bool vertical, const TRect& area);
// Releases the guide of the slot at the candidate: guides switch on, and a guide outside the area
// (or on its top or left edge) is removed; removing the last switches them off.
void PlaceGuide(TGuide& guide, int slot, QPoint candidate, const TRect& area);
// Switches snapping to the guides on or off (they are shown while on); switched on with no guide,
// it starts with one horizontal and one vertical guide through the middle of the area.
void ToggleGuideSnap(TGuide& guide, const TRect& area);

}  // namespace kestrel
