#include "document/TurnedRectObject.h"

#include "platform/Canvas.h"

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
    const TRect bounds = GetBounds();
    const QSize size = ScaleTurnedSize({Width(), Height()}, {width, height}, {bounds.Width(), bounds.Height()}, angle_);
    SetBounds({Rect().left, Rect().top, Rect().left + size.width(), Rect().top + size.height()});
}

}  // namespace kestrel
