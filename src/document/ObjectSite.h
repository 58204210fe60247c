#pragma once

#include <QPoint>
#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

#include "platform/Cursor.h"
#include "platform/Geometry.h"

namespace kestrel {

class TCanvas;
class TDrawObject;

// Something that occupies a device rectangle on a site (draw objects, selection handles).
class TSiteElement {
public:
    virtual ~TSiteElement() = default;

    // Device pixels relative to the site.
    const TRect& ElementBounds() const { return elementBounds_; }
    void SetElementBounds(const TRect& bounds) { elementBounds_ = bounds; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }
    virtual TCursor Cursor() const { return cursor_; }
    virtual void SetCursor(TCursor cursor) { cursor_ = cursor; }

private:
    TRect elementBounds_;
    bool visible_ = true;
    TCursor cursor_ = crDefault;
};

// The host of draw objects. It owns them in z-order (index 0 at the back), maps logical units to
// its device pixels and tracks whether they were modified; the draw site of the render layer is
// the real one.
class TObjectSite {
public:
    virtual ~TObjectSite();

    int ChildCount() const { return static_cast<int>(children_.size()); }
    TDrawObject& Child(int index) const { return *children_.at(index); }
    // -1 when the object is not a child of this site.
    int IndexOf(const TDrawObject& object) const;

    // Takes the object at the given z-position (-1: front-most) and becomes its site.
    TDrawObject& InsertChild(std::unique_ptr<TDrawObject> object, int index = -1);
    // Gives the object back to the caller; it no longer has a site.
    std::unique_ptr<TDrawObject> ExtractChild(TDrawObject& object);
    // Moves a child to another z-position (positions counted without it).
    void MoveChild(int from, int to);

    virtual QPoint LogToDev(QPoint logical) const = 0;
    virtual QPoint DevToLog(QPoint device) const = 0;
    virtual TRect LogToDevRect(const TRect& logical) const = 0;
    // Puts the canvas into the site's logical mapping, keeping the device position of logical
    // (0, 0) where the canvas had it.
    virtual void ApplyMapping(TCanvas& canvas) const = 0;
    // True while an interactive drag runs on the site.
    virtual bool IsDragging() const = 0;
    virtual void SetModified(bool modified) = 0;
    // Raises the site's OnClearGhost with the object.
    virtual void ClearGhost(TDrawObject& object) = 0;
    // Element bounds = device image of the logical bounds, right and bottom one pixel further.
    virtual void UpdateElementBounds(TDrawObject& object);
    virtual void InvalidateElement(TDrawObject&) {}

    // Keeps the bound of the children's layer groups up to date (a child's group changed).
    void NoteLayerGroup(int group) { highestLayerGroup_ = std::max(highestLayerGroup_, group); }

    // Paints every visible child in z-order, each through its own element area.
    void PaintChildren(TCanvas& canvas);

    // Takes the object, sets its element bounds, brings it to the front of its layer group and
    // marks the site modified.
    TDrawObject& AddObject(std::unique_ptr<TDrawObject> object);
    // From the front; deselecting touches only the selected ones.
    void SelectAll(bool selected);

    // Editing services of an interactive site; the defaults suit off-screen sites.
    // (0, 0, LogWidth, LogHeight).
    virtual TRect LogicalArea() const { return {}; }
    // The part of the logical area shown in the parent window.
    virtual TRect VisibleLogicalArea() const { return LogicalArea(); }
    // Where a new object goes: centred on `centre`, inside `area`.
    struct TPlacement {
        QPoint centre;
        TRect area;
    };
    // The middle of the visible part and the whole logical area, unless the site knows where
    // objects print.
    virtual TPlacement NewObjectPlacement() const;
    virtual void UpdatePivots() {}
    virtual void CancelDrag() {}
    virtual void SetSiteCursor(TCursor) {}

    // Expires when the site is destroyed; undo records that outlive the site check it first.
    std::weak_ptr<const void> Lifetime() const { return lifetime_; }

protected:
    virtual void ChildInserted(TDrawObject&) {}
    virtual void ChildRemoving(TDrawObject&) {}

private:
    std::vector<std::unique_ptr<TDrawObject>> children_;
    // Never lowered: no child has a higher layer group.
    int highestLayerGroup_ = std::numeric_limits<int>::min();
    std::shared_ptr<const void> lifetime_ = std::make_shared<int>(0);
};

}  // namespace kestrel
