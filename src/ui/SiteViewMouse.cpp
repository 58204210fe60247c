#include "ui/SiteViewMouse.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <utility>

namespace kestrel {

namespace {
// A round arrow: three quarters of a circle with a head, black on a white rim.
QCursor RotateCursor()
{
    constexpr int kSize = 24;
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath arc;
    arc.arcMoveTo(4, 4, 16, 16, 90);
    arc.arcTo(4, 4, 16, 16, 90, 270);
    QPainterPath head;
    head.moveTo(12, 0);
    head.lineTo(17, 4);
    head.lineTo(12, 8);
    head.closeSubpath();
    for (const auto& [colour, width] : {std::pair{Qt::white, 4.0}, std::pair{Qt::black, 2.0}}) {
        painter.setPen(QPen(colour, width));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(arc);
        painter.setBrush(colour);
        painter.drawPath(head);
    }
    return QCursor(pixmap, kSize / 2, kSize / 2);
}
}  // namespace

QCursor SiteCursor(TCursor cursor)
{
    switch (cursor) {
        case crRotate: {
            static const QCursor rotate = RotateCursor();
            return rotate;
        }
        case crCross:
            return Qt::CrossCursor;
        case crSizeNESW:
            return Qt::SizeBDiagCursor;
        case crSizeNS:
            return Qt::SizeVerCursor;
        case crSizeNWSE:
            return Qt::SizeFDiagCursor;
        case crSizeWE:
            return Qt::SizeHorCursor;
        case crHandPoint:
            return Qt::PointingHandCursor;
        case crSizeAll:
            return Qt::SizeAllCursor;
        default:
            return Qt::ArrowCursor;
    }
}

}  // namespace kestrel
