#include "edit/GhostList.h"

#include <cstdlib>
#include <optional>
#include <utility>

#include "document/ActionList.h"
#include "document/EditSession.h"
#include "platform/Canvas.h"
#include "render/DrawSite.h"
#include "render/GridGuide.h"

namespace kestrel {

namespace {
// Keeps, per axis, the adjustment of smaller magnitude.
int CloserSnap(int kept, int candidate)
{
    if (candidate == NoSnap) return kept;
    if (kept == NoSnap || std::abs(candidate) < std::abs(kept)) return candidate;
    return kept;
}

// Two passes, white under black dots, so the outline shows on any background.
constexpr TPen kUnderPen{clWhite, 0, TPenStyle::psSolid, TPenMode::pmCopy};
constexpr TPen kOverPen{clBlack, 0, TPenStyle::psDot, TPenMode::pmCopy};
}  // namespace

// ---------------------------------------------------------------- ghost

void TGhost::Attach(TGhostList& list, TDrawSite& site, const TRect& limit)
{
    list_ = &list;
    site_ = &site;
    limit_ = limit;
}

TShiftState TGhost::CurrentShift() const
{
    return list_ ? list_->Shift() : 0;
}

QPoint TGhost::SnapAdjustment(std::span<const QPoint> points) const
{
    const QPoint snap = list_ ? list_->SnapAdjustment(*this, points) : QPoint(NoSnap, NoSnap);
    return {snap.x() == NoSnap ? 0 : snap.x(), snap.y() == NoSnap ? 0 : snap.y()};
}

TRect TSelectGhost::Band() const
{
    return TRect{start_.x(), start_.y(), current_.x(), current_.y()}.Normalized();
}

void TSelectGhost::Draw(TCanvas& canvas)
{
    canvas.Rectangle(Band());
}

void TSelectGhost::Apply(TShiftState)
{
    if (Site()) Site()->SelectInRect(Site()->LogToDevRect(Band()));
}

TRect TSelectGhost::DrawnArea() const
{
    return Band();
}

// ---------------------------------------------------------------- list

TGhostList::~TGhostList()
{
    clearNotify_ = nullptr;
    Clear();
}

void TGhostList::AddGhost(std::unique_ptr<TGhost> ghost)
{
    ghosts_.push_back(std::move(ghost));
}

bool TGhostList::IsSelecting() const
{
    return ghosts_.size() == 1 && dynamic_cast<const TSelectGhost*>(ghosts_.front().get());
}

std::optional<TDraggedShape> TGhostList::DraggedShape() const
{
    if (!active_) return std::nullopt;
    for (const auto& ghost : ghosts_)
        if (std::optional<TDraggedShape> shape = ghost->DraggedShape()) return shape;
    return std::nullopt;
}

void TGhostList::SetSnapHook(const void* owner, TSnapHook hook)
{
    snapOwner_ = owner;
    snapHook_ = std::move(hook);
}

void TGhostList::RemoveSnapHook(const void* owner)
{
    if (owner != snapOwner_) return;
    snapOwner_ = nullptr;
    snapHook_ = nullptr;
}

QPoint TGhostList::SnapAdjustment(const TGhost& ghost, std::span<const QPoint> points) const
{
    QPoint best(NoSnap, NoSnap);
    if (!snapHook_) return best;
    for (QPoint p : points) {
        const QPoint snap = snapHook_(ghost, p, shift_);
        best = {CloserSnap(best.x(), snap.x()), CloserSnap(best.y(), snap.y())};
    }
    return best;
}

void TGhostList::StartSelection(TDrawSite&)
{
    AddGhost(std::make_unique<TSelectGhost>());
}

void TGhostList::BeginDrag(TDrawSite& site, const TRect& limit, QPoint start, TShiftState shift)
{
    site_ = &site;
    start_ = current_ = start;
    shift_ = shift;
    for (auto& ghost : ghosts_) {
        ghost->Attach(*this, site, limit);
        ghost->Start(start);
    }
    active_ = true;
    moved_ = false;
    RepaintGhosts();
}

void TGhostList::DragTo(QPoint logical, TShiftState shift)
{
    if (!active_ || (logical == current_ && shift == shift_)) return;
    moved_ = true;
    current_ = logical;
    shift_ = shift;
    RepaintGhosts();
    for (auto& ghost : ghosts_) ghost->Move(shift, logical - start_);
    RepaintGhosts();
}

namespace {
class TClearOnExit {
public:
    explicit TClearOnExit(std::function<void()> clear) : clear_(std::move(clear)) {}
    ~TClearOnExit() { clear_(); }
    TClearOnExit(const TClearOnExit&) = delete;
    TClearOnExit& operator=(const TClearOnExit&) = delete;

private:
    std::function<void()> clear_;
};
}  // namespace

void TGhostList::EndDrag()
{
    const TClearOnExit clear([this] { Clear(); });
    if (!active_) return;
    RepaintGhosts();
    if (!moved_) return;
    std::optional<TActionGroupScope> oneStep;  // named by its first record
    if (TActionList* history = site_ ? HistoryOf(*site_) : nullptr) oneStep.emplace(*history, QString());
    for (auto& ghost : ghosts_) ghost->Apply(shift_);
}

void TGhostList::CancelDrag()
{
    if (active_) RepaintGhosts();
    Clear();
}

void TGhostList::RedrawGhosts()
{
    if (active_) RepaintGhosts();
}

void TGhostList::PaintGhosts(TDrawSite& site, TCanvas& canvas)
{
    if (!active_ || &site != site_) return;
    canvas.SetBrush({clWhite, TBrushStyle::bsClear});
    for (const TPen& pen : {kUnderPen, kOverPen}) {
        canvas.SetPen(pen);
        for (auto& ghost : ghosts_) ghost->Draw(canvas);
    }
}

void TGhostList::RepaintGhosts() const
{
    if (!site_) return;
    for (const auto& ghost : ghosts_) site_->InvalidateOverlay(ghost->DrawnArea());
}

void TGhostList::Clear()
{
    const bool hadGhosts = !ghosts_.empty();
    // A ghost's end may reach the site (a creation that never happened takes its object back).
    std::vector<std::unique_ptr<TGhost>> freed = std::move(ghosts_);
    ghosts_.clear();
    active_ = false;
    moved_ = false;
    freed.clear();
    site_ = nullptr;
    // Each drag's site sets its own: an old one may belong to a site that is gone.
    const std::function<void()> notify = std::exchange(clearNotify_, nullptr);
    if (hadGhosts && notify) notify();
}

}  // namespace kestrel
