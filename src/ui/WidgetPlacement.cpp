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

}  // namespace kestrel
