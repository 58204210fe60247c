#pragma once

#include <QUuid>
#include <exception>
#include <functional>
#include <vector>

namespace kestrel {

class TPersistent;
class TListener;

// Notification kinds; compared for equality only, never stored.
inline constexpr QUuid NotifyModified{0x1153AE63, 0x523C, 0x11D3, 0xAD, 0x37, 0x00, 0x50, 0x04, 0x63, 0x09, 0x8A};
inline constexpr QUuid NotifySelectionChanged{0xB423E361, 0x44C6, 0x11D3, 0xAD, 0x13, 0x00, 0x50, 0x04, 0x63, 0x09, 0x8A};
inline constexpr QUuid NotifyMovableChanged{0xB45F6E91, 0x458A, 0x11D3, 0xAD, 0x15, 0x00, 0x50, 0x04, 0x63, 0x09, 0x8A};
inline constexpr QUuid NotifyPrintFlagChanged{0xB45F6E92, 0x458A, 0x11D3, 0xAD, 0x15, 0x00, 0x50, 0x04, 0x63, 0x09, 0x8A};
inline constexpr QUuid NotifyBroadcasterClosing{0xFF0E0940, 0x2D29, 0x11D3, 0xAC, 0xCC, 0x00, 0x50, 0x04, 0x63, 0x09, 0x8A};

// Sends (sender, kind) to its listeners in the order they were added. The owner is the sender of
// the closing notification, so listeners can tell which object is going away.
class TBroadcaster {
public:
    explicit TBroadcaster(TPersistent* owner = nullptr) : owner_(owner) {}
    virtual ~TBroadcaster();
    TBroadcaster(const TBroadcaster&) = delete;
    TBroadcaster& operator=(const TBroadcaster&) = delete;

    TPersistent* Owner() const { return owner_; }
    void AddListener(TListener& listener);
    void RemoveListener(TListener& listener);
    bool HasListener(const TListener& listener) const;
    int ListenerCount() const { return static_cast<int>(listeners_.size()); }
    void Broadcast(TPersistent* sender, const QUuid& kind);

    // Sends "closing" and detaches every listener; raises "fall into infinity loop." when a
    // listener does not leave. The destructor does this too.
    void Close();

private:
    TPersistent* owner_;
    std::vector<TListener*> listeners_;
};

// Receives the notifications of the broadcasters it is attached to and hands them to its handler.
class TListener {
public:
    using Handler = std::function<void(TPersistent* sender, const QUuid& kind)>;

    explicit TListener(Handler handler = {}) : handler_(std::move(handler)) {}
    virtual ~TListener();
    TListener(const TListener&) = delete;
    TListener& operator=(const TListener&) = delete;

    void ListenTo(TBroadcaster& broadcaster) { broadcaster.AddListener(*this); }
    bool IsListeningTo(const TBroadcaster& broadcaster) const;
    int BroadcasterCount() const { return static_cast<int>(broadcasters_.size()); }

    // Leaves the broadcaster; a closing broadcaster expects this of every listener.
    virtual void DetachFrom(TBroadcaster& broadcaster) { broadcaster.RemoveListener(*this); }

protected:
    virtual void Receive(TPersistent* sender, const QUuid& kind);

private:
    friend class TBroadcaster;
    void Attached(TBroadcaster& broadcaster) { broadcasters_.push_back(&broadcaster); }
    void Detached(TBroadcaster& broadcaster);

    Handler handler_;
    std::vector<TBroadcaster*> broadcasters_;
};

// What a change touched, so that a listener can leave alone what does not concern it.
using TChangeKinds = unsigned;
inline constexpr TChangeKinds ckGeometry = 1;    // position, size, angle
inline constexpr TChangeKinds ckAppearance = 2;  // anything painted
inline constexpr TChangeKinds ckState = 4;       // movable, printable, selectable, layer group
inline constexpr TChangeKinds ckAll = ckGeometry | ckAppearance | ckState;

// A broadcaster that batches changes: "modified" goes out once, when the outermost update that
// saw a change ends, followed by the change callback. Changes() tells what the batch touched
// while "modified" goes out.
class TChangeNotify : public TBroadcaster {
public:
    explicit TChangeNotify(TPersistent* owner = nullptr, std::function<void()> onChange = {})
        : TBroadcaster(owner), onChange_(std::move(onChange)) {}

    void BeginUpdate();
    void EndUpdate();
    void Changed(TChangeKinds kinds = ckAll);
    // The kinds of the batch being reported (or collected).
    TChangeKinds Changes() const { return changes_; }

private:
    std::function<void()> onChange_;
    int updateCount_ = 0;
    TChangeKinds changes_ = 0;
};

// One update batch for the life of the scope.
class TUpdateScope {
public:
    explicit TUpdateScope(TChangeNotify& notify) : notify_(notify), pending_(std::uncaught_exceptions())
    {
        notify_.BeginUpdate();
    }
    // A failing change handler propagates, except while another error is already unwinding.
    ~TUpdateScope() noexcept(false);
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    TChangeNotify& notify_;
    int pending_;
};

}  // namespace kestrel
