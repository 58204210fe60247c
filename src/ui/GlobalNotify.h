#pragma once

#include <QString>
#include <QUuid>
#include <functional>

#include "document/Notify.h"

namespace kestrel {

// Notification kinds of the process-wide screen events.
inline constexpr QUuid NotifyActiveControlChanged{0x1211E69A, 0x468C, 0x11D3, 0xAD, 0x18, 0x00, 0x50, 0x04, 0x63, 0x09, 0x8A};
inline constexpr QUuid NotifyActiveFormChanged{0x1211E69B, 0x468C, 0x11D3, 0xAD, 0x18, 0x00, 0x50, 0x04, 0x63, 0x09, 0x8A};

// Gives any number of windows the application's idle, activation, minimising, hint and focus
// events; the toolkit has one handler per event (or none), this multiplexes them. Every live
// instance receives every event, in the order the instances were made.
class TGlobalNotify : public TListener {
public:
    TGlobalNotify();
    ~TGlobalNotify() override;

    // The event loop is about to wait for input.
    std::function<void(TGlobalNotify&)> OnIdle;
    std::function<void(TGlobalNotify&)> OnActivate;
    std::function<void(TGlobalNotify&)> OnDeactivate;
    std::function<void(TGlobalNotify&)> OnMinimize;
    std::function<void(TGlobalNotify&)> OnRestore;
    // The status hint of the control under the pointer or of the highlighted menu item.
    std::function<void(TGlobalNotify&, const QString& hint)> OnHint;
    std::function<void(TGlobalNotify&)> OnActiveControlChange;
    std::function<void(TGlobalNotify&)> OnActiveFormChange;

    // Raises the event on every instance.
    enum class TEvent { Idle, Activate, Deactivate, Minimize, Restore };
    static void Raise(TEvent event);
    static void RaiseHint(const QString& hint);

protected:
    void Receive(TPersistent* sender, const QUuid& kind) override;
};

}  // namespace kestrel
