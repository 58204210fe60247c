#include "ui/GlobalNotify.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QStatusTipEvent>
#include <QWidget>
#include <QWindow>
#include <QWindowStateChangeEvent>
#include <stdexcept>

namespace kestrel {

namespace {

// Kinds of the events the toolkit reports without a focus change; private to this file.
constexpr QUuid NotifyIdle{0x6E0C1F10, 0x2B4D, 0x4C55, 0x9A, 0x11, 0x3B, 0x5E, 0x7D, 0x20, 0x61, 0x01};
constexpr QUuid NotifyActivate{0x6E0C1F10, 0x2B4D, 0x4C55, 0x9A, 0x11, 0x3B, 0x5E, 0x7D, 0x20, 0x61, 0x02};
constexpr QUuid NotifyDeactivate{0x6E0C1F10, 0x2B4D, 0x4C55, 0x9A, 0x11, 0x3B, 0x5E, 0x7D, 0x20, 0x61, 0x03};
constexpr QUuid NotifyMinimize{0x6E0C1F10, 0x2B4D, 0x4C55, 0x9A, 0x11, 0x3B, 0x5E, 0x7D, 0x20, 0x61, 0x04};
constexpr QUuid NotifyRestore{0x6E0C1F10, 0x2B4D, 0x4C55, 0x9A, 0x11, 0x3B, 0x5E, 0x7D, 0x20, 0x61, 0x05};
constexpr QUuid NotifyHint{0x6E0C1F10, 0x2B4D, 0x4C55, 0x9A, 0x11, 0x3B, 0x5E, 0x7D, 0x20, 0x61, 0x06};

QUuid KindOf(TGlobalNotify::TEvent event)
{
    switch (event) {
    case TGlobalNotify::TEvent::Idle: return NotifyIdle;
    case TGlobalNotify::TEvent::Activate: return NotifyActivate;
    case TGlobalNotify::TEvent::Deactivate: return NotifyDeactivate;
    case TGlobalNotify::TEvent::Minimize: return NotifyMinimize;
    case TGlobalNotify::TEvent::Restore: return NotifyRestore;
    }
    return {};
}

constexpr auto ScreenEventsName = "kestrelScreenEvents";

// The one listener of an application's events; it turns them into notifications. A child of the
// application, it goes with it and closes on the instances that still listen.
class TScreenEvents : public QObject {
public:
    explicit TScreenEvents(QGuiApplication& application) : QObject(&application)
    {
        setObjectName(QLatin1String(ScreenEventsName));
        connect(&application, &QGuiApplication::focusObjectChanged, this, [this] { Send(NotifyActiveControlChanged); });
        connect(&application, &QGuiApplication::focusWindowChanged, this, [this] { Send(NotifyActiveFormChanged); });
        connect(&application, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive) Send(NotifyActivate);
            else if (state == Qt::ApplicationInactive) Send(NotifyDeactivate);
        });
        if (auto* dispatcher = QAbstractEventDispatcher::instance())
            connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { Send(NotifyIdle); });
        application.installEventFilter(this);
    }

    TBroadcaster& Broadcaster() { return broadcaster_; }
    const QString& Hint() const { return hint_; }

    void Send(const QUuid& kind) { broadcaster_.Broadcast(nullptr, kind); }
    void SendHint(const QString& hint)
    {
        hint_ = hint;
        Send(NotifyHint);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::StatusTip) {
            SendHint(static_cast<QStatusTipEvent*>(event)->tip());
        } else if (event->type() == QEvent::WindowStateChange && watched->isWidgetType() &&
                   static_cast<QWidget*>(watched)->isWindow()) {
            const bool was = static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
            const bool is = static_cast<QWidget*>(watched)->windowState() & Qt::WindowMinimized;
            if (is != was) Send(is ? NotifyMinimize : NotifyRestore);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TBroadcaster broadcaster_;
    QString hint_;
};

TScreenEvents& ScreenEvents()
{
    QGuiApplication* application = qGuiApp;
    if (!application) throw std::logic_error("screen events are heard only while an application runs");
    if (auto* events = application->findChild<QObject*>(QLatin1String(ScreenEventsName), Qt::FindDirectChildrenOnly))
        return static_cast<TScreenEvents&>(*events);
    return *new TScreenEvents(*application);
}

}  // namespace

TGlobalNotify::TGlobalNotify()
{
    ListenTo(ScreenEvents().Broadcaster());
}

TGlobalNotify::~TGlobalNotify() = default;

void TGlobalNotify::Raise(TEvent event)
{
    ScreenEvents().Send(KindOf(event));
}

void TGlobalNotify::RaiseHint(const QString& hint)
{
    ScreenEvents().SendHint(hint);
}

void TGlobalNotify::Receive(TPersistent*, const QUuid& kind)
{
    const auto call = [this](const std::function<void(TGlobalNotify&)>& handler) {
        if (handler) handler(*this);
    };
    if (kind == NotifyIdle) call(OnIdle);
    else if (kind == NotifyActivate) call(OnActivate);
    else if (kind == NotifyDeactivate) call(OnDeactivate);
    else if (kind == NotifyMinimize) call(OnMinimize);
    else if (kind == NotifyRestore) call(OnRestore);
    else if (kind == NotifyActiveControlChanged) call(OnActiveControlChange);
    else if (kind == NotifyActiveFormChanged) call(OnActiveFormChange);
    else if (kind == NotifyHint && OnHint) OnHint(*this, ScreenEvents().Hint());
}

}  // namespace kestrel
