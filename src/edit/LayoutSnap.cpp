#include "edit/LayoutSnap.h"

#include <cstdlib>

#include "render/DrawSite.h"
#include "render/GridGuide.h"

namespace kestrel {

namespace {
constexpr int kGuideTolerancePixels = 10;

int Smaller(int guide, int grid)
{
    if (guide == NoSnap) return grid;
    if (grid == NoSnap) return guide;
    return std::abs(guide) < std::abs(grid) ? guide : grid;
}
}  // namespace

QPoint LayoutSnapOffset(const TGrid& grid, const TGuide& guide, const TDrawSite& site, QPoint p, TShiftState shift)
{
    if (shift & ssAlt) return {0, 0};
    const int tolerance = site.DevToLog({kGuideTolerancePixels, 0}).x() - site.DevToLog({0, 0}).x();
    const QPoint byGuide = guide.SnapOffset(p, tolerance);
    const QPoint byGrid = grid.SnapOffset(p);
    return {Smaller(byGuide.x(), byGrid.x()), Smaller(byGuide.y(), byGrid.y())};
}

TSnapHook LayoutSnapHook(const TGrid& grid, const TGuide& guide)
{
    return [&grid, &guide](const TGhost& ghost, QPoint p, TShiftState shift) {
        if (!ghost.Site()) return QPoint(NoSnap, NoSnap);
        return LayoutSnapOffset(grid, guide, *ghost.Site(), p, shift);
    };
}

}  // namespace kestrel
