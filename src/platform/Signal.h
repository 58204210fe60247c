#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace kestrel {

// Ends a connection when it goes (or when Disconnect is called), so a listener that dies before
// the signal is never called again. Movable, not copyable.
class TSignalConnection {
public:
    TSignalConnection() = default;
    explicit TSignalConnection(std::function<void()> disconnect) : disconnect_(std::move(disconnect)) {}
    TSignalConnection(TSignalConnection&& other) noexcept : disconnect_(std::exchange(other.disconnect_, {})) {}
    TSignalConnection& operator=(TSignalConnection&& other) noexcept
    {
        if (this != &other) {
            Disconnect();
            disconnect_ = std::exchange(other.disconnect_, {});
        }
        return *this;
    }
    TSignalConnection(const TSignalConnection&) = delete;
    TSignalConnection& operator=(const TSignalConnection&) = delete;
    ~TSignalConnection() { Disconnect(); }

    void Disconnect()
    {
        if (auto disconnect = std::exchange(disconnect_, {})) disconnect();
    }

private:
    std::function<void()> disconnect_;
};

// A typed change notice. Listeners are called in the order they connected; one connected while
// the signal is being emitted is called from the next emission on, one disconnected is not called
// again.
template <class... Args>
class TSignal {
public:
    using Slot = std::function<void(Args...)>;

    TSignal() = default;
    TSignal(const TSignal&) = delete;
    TSignal& operator=(const TSignal&) = delete;

    [[nodiscard]] TSignalConnection Connect(Slot slot)
    {
        const int id = ++slots_->lastId;
        slots_->entries.push_back({id, std::make_shared<Slot>(std::move(slot))});
        std::weak_ptr<TSlots> slots = slots_;
        return TSignalConnection([slots, id] {
            if (auto alive = slots.lock())
                std::erase_if(alive->entries, [id](const TEntry& entry) { return entry.id == id; });
        });
    }

    void Emit(Args... args) const
    {
        // A copy: a listener may end its own or another connection while it is called.
        const std::vector<TEntry> entries = slots_->entries;
        for (const TEntry& entry : entries)
            if (IsConnected(entry.id)) (*entry.slot)(args...);
    }


private:
    struct TEntry {
        int id;
        std::shared_ptr<Slot> slot;
    };
    struct TSlots {
        int lastId = 0;
        std::vector<TEntry> entries;
    };

    bool IsConnected(int id) const
    {
        return std::any_of(slots_->entries.begin(), slots_->entries.end(),
                           [id](const TEntry& entry) { return entry.id == id; });
    }

    std::shared_ptr<TSlots> slots_ = std::make_shared<TSlots>();
};

}  // namespace kestrel
