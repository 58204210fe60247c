#pragma once

// The ghosts of an interactive drag: while the pointer moves only private copies change and
// their outlines are drawn over the site; the release applies them in one undo step.

#include <QPoint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/Geometry.h"
#include "render/DragGhosts.h"

namespace kestrel {

class TCanvas;
class TDrawSite;
class TGhostList;

// Where the object of a drag would go: its rectangle, and its angle while it turns.
struct TDraggedShape {
    TRect bounds;
    std::optional<int> angle;
};

class TGhost {
public:
    virtual ~TGhost() = default;

    // Set by BeginDrag; null until then.
    TDrawSite* Site() const { return site_; }
    const TRect& Limit() const { return limit_; }
    void Attach(TGhostList& list, TDrawSite& site, const TRect& limit);

    virtual void Start(QPoint point) = 0;
    // Draws on a canvas in the site's logical mapping, with the list's pen and brush.
    virtual void Draw(TCanvas& canvas) = 0;
    virtual void Move(TShiftState shift, QPoint offset) = 0;
    virtual void Apply(TShiftState shift) = 0;
    // The logical area the last Draw covered: repainting it erases the ghost.
    virtual TRect DrawnArea() const = 0;
    // None for ghosts that stand for no object (a selection band).
    virtual std::optional<TDraggedShape> DraggedShape() const { return std::nullopt; }

protected:
    // The modifier keys of the last pointer event.
    TShiftState CurrentShift() const;
    // The snap adjustment for a run of points: per axis the smallest one found, 0 where none.
    QPoint SnapAdjustment(std::span<const QPoint> points) const;

private:
    TGhostList* list_ = nullptr;
    TDrawSite* site_ = nullptr;
    TRect limit_;
};

// The rubber band of a plain selection drag.
class TSelectGhost : public TGhost {
public:
    void Start(QPoint point) override { start_ = current_ = point; }
    void Draw(TCanvas& canvas) override;
    void Move(TShiftState, QPoint offset) override { current_ = start_ + offset; }
    // Selects what the band touches.
    void Apply(TShiftState shift) override;
    TRect DrawnArea() const override;

private:
    TRect Band() const;

    QPoint start_;
    QPoint current_;
};

// Given a ghost, a logical point and the modifier keys: the adjustment (dx, dy) that snaps the
// point; NoSnap on an axis without a snap.
using TSnapHook = std::function<QPoint(const TGhost& ghost, QPoint logical, TShiftState shift)>;

// The ghosts of one edit session's drag (one drag at a time), with the snap hook of the screen
// that shows the session's face.
class TGhostList : public IDragGhosts {
public:
    ~TGhostList() override;

    void AddGhost(std::unique_ptr<TGhost> ghost);
    int Count() const { return static_cast<int>(ghosts_.size()); }
    bool IsSelecting() const;
    // During a drag, the shape of the first ghost that stands for an object.
    std::optional<TDraggedShape> DraggedShape() const;
    QPoint StartPoint() const { return start_; }
    TShiftState Shift() const { return shift_; }

    // One hook, owned by the screen that installed it; removing someone else's does nothing.
    void SetSnapHook(const void* owner, TSnapHook hook);
    void RemoveSnapHook(const void* owner);
    // Per axis the adjustment of smallest magnitude over the points; NoSnap where none.
    QPoint SnapAdjustment(const TGhost& ghost, std::span<const QPoint> points) const;

    bool HasGhosts() const override { return !ghosts_.empty(); }
    bool Moved() const override { return moved_; }
    void StartSelection(TDrawSite& site) override;
    void SetClearNotification(std::function<void()> notify) override { clearNotify_ = std::move(notify); }
    void BeginDrag(TDrawSite& site, const TRect& limit, QPoint start, TShiftState shift) override;
    void DragTo(QPoint logical, TShiftState shift) override;
    // Every apply of one drag lands in one undo step.
    void EndDrag() override;
    void CancelDrag() override;
    void RedrawGhosts() override;
    void PaintGhosts(TDrawSite& site, TCanvas& canvas) override;

private:
    // Asks the site to repaint where the ghosts are drawn (erasing or drawing them).
    void RepaintGhosts() const;
    void Clear();

    std::vector<std::unique_ptr<TGhost>> ghosts_;
    TDrawSite* site_ = nullptr;
    bool active_ = false;
    bool moved_ = false;
    QPoint start_;
    QPoint current_;
    TShiftState shift_ = 0;
    std::function<void()> clearNotify_;
    const void* snapOwner_ = nullptr;
    TSnapHook snapHook_;
};

}  // namespace kestrel
