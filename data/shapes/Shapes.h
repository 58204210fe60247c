#pragma once

// Outlines shared by the programs that draw the shipped pictures.

#include <QPainterPath>
#include <QtMath>

namespace kestrel::shapes {

// A star of the given number of points, the first pointing up.
inline QPainterPath Star(QPointF centre, double outer, double inner, int points)
{
    QPainterPath path;
    for (int i = 0; i < 2 * points; ++i) {
        const double r = i % 2 ? inner : outer, a = -M_PI / 2 + i * M_PI / points;
        const QPointF p = centre + QPointF(r * std::cos(a), r * std::sin(a));
        i ? path.lineTo(p) : path.moveTo(p);
    }
    path.closeSubpath();
    return path;
}

// A heart about size wide, centred on the point.
inline QPainterPath Heart(QPointF centre, double size)
{
    QPainterPath path;
    const double s = size / 2;
    path.moveTo(centre + QPointF(0, s * 0.9));
    path.cubicTo(centre + QPointF(-s * 1.4, -s * 0.1), centre + QPointF(-s * 0.6, -s * 1.2), centre + QPointF(0, -s * 0.45));
    path.cubicTo(centre + QPointF(s * 0.6, -s * 1.2), centre + QPointF(s * 1.4, -s * 0.1), centre + QPointF(0, s * 0.9));
    return path;
}

}  // namespace kestrel::shapes
