#pragma once

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <functional>

namespace kestrel {

// For start-up measurements: once the first widget taken by `isTarget` has been painted, prints
// the monotonic clock in nanoseconds ("first-paint <ns>") and ends the program. A launcher that
// reads the same clock before starting the process gets the time from process start to a
// painted screen. Header-only so the empty-window baseline links nothing of ours.
class TFirstPaintProbe : public QObject {
public:
    explicit TFirstPaintProbe(std::function<bool(const QWidget&)> isTarget)
        : QObject(qApp), isTarget_(std::move(isTarget))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen_ && watched->isWidgetType() &&
            isTarget_(*static_cast<const QWidget*>(watched))) {
            seen_ = true;
            // Zero-time: runs after this paint, and the backing store's flush, are done.
            QTimer::singleShot(0, this, [] {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::printf("first-paint %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    std::function<bool(const QWidget&)> isTarget_;
    bool seen_ = false;
};

}  // namespace kestrel
