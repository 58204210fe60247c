#pragma once

#include <QPoint>

#include "edit/GhostList.h"

namespace kestrel {

class TDrawSite;
class TGrid;
class TGuide;

// The layout screens' snap: nothing while Alt is held; otherwise per axis the smaller of the
// guides' adjustment (within 10 device pixels) and the grid's, the grid's on a tie.
QPoint LayoutSnapOffset(const TGrid& grid, const TGuide& guide, const TDrawSite& site, QPoint p, TShiftState shift);
// A hook over a sheet's grid and guides, which must outlive it.
TSnapHook LayoutSnapHook(const TGrid& grid, const TGuide& guide);

}  // namespace kestrel
