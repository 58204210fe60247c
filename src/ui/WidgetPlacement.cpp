#include "ui/WidgetPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kestrel {

QString TWidgetPlacement::FormName() const
{
    return widget_.objectName();
}

QRect TWidgetPlacement::NormalBounds() const
{
    return widget_.isMaximized() || widget_.isMinimized() ? widget_.normalGeometry() : widget_.geometry();
}

void TWidgetPlacement::SetNormalBounds(const QRect& bounds)
{
    widget_.setGeometry(bounds);
}

QSize TWidgetPlacement::ScreenSize() const
{
    const QScreen* screen = widget_.screen() ? widget_.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}

QRect TWidgetPlacement::OwnerBounds() const
{
    if (const QWidget* owner = widget_.parentWidget()) return owner->window()->geometry();
    return QRect(QPoint(0, 0), ScreenSize());
}

}  // namespace kestrel
