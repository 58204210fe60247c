#pragma once

#include <QPoint>
#include <functional>

#include "platform/Geometry.h"
#include "render/SiteInput.h"

namespace kestrel {

class TCanvas;
class TDrawSite;

// What the draw site needs of the ghost list that runs its interactive drags: the editing layer's
// session gives its sites one; a site without one never starts a drag.
class IDragGhosts {
public:
    virtual ~IDragGhosts() = default;
    // A drag is active while the list holds ghosts.
    virtual bool HasGhosts() const = 0;
    // The pointer or the modifier keys changed since the drag began.
    virtual bool Moved() const = 0;
    // Adds the rubber-band selection ghost for the site.
    virtual void StartSelection(TDrawSite& site) = 0;
    // Called after the ghosts of a drag were freed (when there were any).
    virtual void SetClearNotification(std::function<void()> notify) = 0;
    virtual void BeginDrag(TDrawSite& site, const TRect& limit, QPoint start, TShiftState shift) = 0;
    virtual void DragTo(QPoint logical, TShiftState shift) = 0;
    virtual void EndDrag() = 0;
    virtual void CancelDrag() = 0;
    // Draws every ghost once more (erasing them when they were drawn), e.g. around a scroll.
    virtual void RedrawGhosts() = 0;
    // Draws the ghosts over a freshly painted site; the canvas has the site's logical mapping.
    virtual void PaintGhosts(TDrawSite& site, TCanvas& canvas) = 0;
};

}  // namespace kestrel
