#pragma once

#include <QPolygon>
#include <QSize>

#include "document/Capabilities.h"
#include "document/LabelObject.h"
#include "document/Transformer.h"

namespace kestrel {

// Base of the code objects: a rectangle drawn turned by its angle about its centre (clockwise on
// screen). Its bounds are those of the turned rectangle.
class TLOTurnedRect : public TLORectBase, public IDORotate {
public:
    int Angle() const override { return angle_; }
    void SetAngle(int degrees) override;
    // Turns points by the angle about the centre of the rectangle.
    TRotator Rotator() const;
    QPolygon TurnedPolygon() const;

    TRect GetBounds() const override;
    void DrawOutline(TCanvas& canvas) override;
    // The requested size is that of the turned bounds: the sides scale by the bounds' change.
    void SetSize(int width, int height) override;

protected:
    // Told before Changed when the angle changes.
    virtual void AngleChanged() {}

private:
    int angle_ = 0;
};

}  // namespace kestrel
