#include "document/Notify.h"

#include <algorithm>
#include <stdexcept>

#include "app/ExceptionReport.h"

namespace kestrel {

TBroadcaster::~TBroadcaster()
{
    try {
        Close();
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);
        // Never leave a listener pointing at a dead broadcaster.
        for (TListener* l : std::exchange(listeners_, {})) l->Detached(*this);
    }
}

void TBroadcaster::AddListener(TListener& listener)
{
    if (HasListener(listener)) return;
    listeners_.push_back(&listener);
    listener.Attached(*this);
}

void TBroadcaster::RemoveListener(TListener& listener)
{
    auto it = std::find(listeners_.begin(), listeners_.end(), &listener);
    if (it == listeners_.end()) return;
    listeners_.erase(it);
    listener.Detached(*this);
}

bool TBroadcaster::HasListener(const TListener& listener) const
{
    return std::find(listeners_.begin(), listeners_.end(), &listener) != listeners_.end();
}

void TBroadcaster::Broadcast(TPersistent* sender, const QUuid& kind)
{
    // A listener may leave (or others join) while being notified: walk a snapshot, skipping
    // those that have left meanwhile.
    const std::vector<TListener*> snapshot = listeners_;
    for (TListener* l : snapshot)
        if (HasListener(*l)) l->Receive(sender, kind);
}

void TBroadcaster::Close()
{
    if (listeners_.empty()) return;
    Broadcast(owner_, NotifyBroadcasterClosing);
    while (!listeners_.empty()) {
        TListener* first = listeners_.front();
        first->DetachFrom(*this);
        if (!listeners_.empty() && listeners_.front() == first)
            throw std::logic_error("fall into infinity loop.");
    }
}

TListener::~TListener()
{
    while (!broadcasters_.empty()) {
        TBroadcaster* b = broadcasters_.back();
        b->RemoveListener(*this);
        // RemoveListener detaches this listener unless the broadcaster had already let it go.
        if (!broadcasters_.empty() && broadcasters_.back() == b) broadcasters_.pop_back();
    }
}

bool TListener::IsListeningTo(const TBroadcaster& broadcaster) const
{
    return std::find(broadcasters_.begin(), broadcasters_.end(), &broadcaster) != broadcasters_.end();
}

void TListener::Receive(TPersistent* sender, const QUuid& kind)
{
    if (handler_) handler_(sender, kind);
}

void TListener::Detached(TBroadcaster& broadcaster)
{
    // Broadcasters are listed once each and usually leave in the reverse order of joining.
    auto it = std::find(broadcasters_.rbegin(), broadcasters_.rend(), &broadcaster);
    if (it != broadcasters_.rend()) broadcasters_.erase(std::next(it).base());
}

void TChangeNotify::BeginUpdate()
{
    if (updateCount_ == 0) changes_ = 0;
    ++updateCount_;
}

void TChangeNotify::EndUpdate()
{
    if (updateCount_ == 0) return;  // unbalanced: nothing to end
    if (--updateCount_ > 0 || !changes_) return;
    Broadcast(Owner(), NotifyModified);
    if (onChange_) onChange_();
    changes_ = 0;
}

void TChangeNotify::Changed(TChangeKinds kinds)
{
    BeginUpdate();
    changes_ |= kinds;
    EndUpdate();
}

TUpdateScope::~TUpdateScope() noexcept(false)
{
    if (std::uncaught_exceptions() <= pending_) {
        notify_.EndUpdate();
        return;
    }
    try {
        notify_.EndUpdate();
    } catch (...) {
    }
}

}  // namespace kestrel
