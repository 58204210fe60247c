#include "document/TurnedRectObject.h"

#include <cmath>
#include <numbers>

#include "platform/Canvas.h"
#include "platform/Rounding.h"

namespace kestrel {

void TLOTurnedRect::SetAngle(int degrees)
{
    if (degrees == angle_) return;
    angle_ = degrees;
    AngleChanged();
    if (Site()) Site()->UpdateElementBounds(*this);
    Changed();
}

TRotator TLOTurnedRect::Rotator() const
{
    const TRect& r = Rect();
    return TRotator(angle_, QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
}

QPolygon TLOTurnedRect::TurnedPolygon() const
{
    const TRect& r = Rect();
    const TRotator rotator = Rotator();
    QPolygon polygon;
    for (const QPoint corner : {r.TopLeft(), QPoint(r.right, r.top), r.BottomRight(), QPoint(r.left, r.bottom)})
        polygon << rotator.TransformPoint(corner);
    return polygon;
}

TRect TLOTurnedRect::GetBounds() const
{
    if (angle_ == 0) return Rect();
    const QRect box = TurnedPolygon().boundingRect();
    return {box.left(), box.top(), box.right(), box.bottom()};  // corners, so right and bottom are edges
}

void TLOTurnedRect::DrawOutline(TCanvas& canvas)
{
    QPolygon polygon = TurnedPolygon();
    polygon << polygon.front();
    canvas.Polyline(polygon);
}

void TLOTurnedRect::SetSize(int width, int height)
{
    if (angle_ == 0) {
        SetBounds({Rect().left, Rect().top, Rect().left + width, Rect().top + height});
        return;
    }
    const QSize size = UnturnedSizeFor({width, height}, {Width(), Height()}, angle_);
    SetBounds({Rect().left, Rect().top, Rect().left + size.width(), Rect().top + size.height()});
}

QSize UnturnedSizeFor(QSize requested, QSize current, int angle)
{
    const double radians = angle * std::numbers::pi / 180;
    const double c = std::abs(std::cos(radians));
    const double s = std::abs(std::sin(radians));
    // Bounds (bw, bh) = (W c + H s, W s + H c), solved for W and H.
    const double det = c * c - s * s;
    const double w = requested.width();
    const double h = requested.height();
    if (std::abs(det) > 1e-9) {
        const double width = (w * c - h * s) / det;
        const double height = (h * c - w * s) / det;
        if (width >= 0.5 && height >= 0.5) return {int(RoundHalfAway(width)), int(RoundHalfAway(height))};
    }
    const double boundsWidth = current.width() * c + current.height() * s;
    const double boundsHeight = current.width() * s + current.height() * c;
    if (boundsWidth <= 0 || boundsHeight <= 0) return requested;
    const double kx = w / boundsWidth;
    const double ky = h / boundsHeight;
    const double k = std::abs(std::log(kx)) >= std::abs(std::log(ky)) ? kx : ky;
    return {std::max(1, int(RoundHalfAway(current.width() * k))), std::max(1, int(RoundHalfAway(current.height() * k)))};
}

}  // namespace kestrel
