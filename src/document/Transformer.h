#pragma once

#include <QPoint>

namespace kestrel {

// Moves single points (and, through them, whole outlines).
class TTransformer {
public:
    virtual ~TTransformer() = default;
    virtual QPoint TransformPoint(QPoint p) const = 0;
};

// Turns points by an integer angle about a centre; y points down, so a positive angle turns
// clockwise on screen. Results are rounded half away from zero.
class TRotator : public TTransformer {
public:
    explicit TRotator(int angle = 0, QPoint centre = {});

    int Angle() const { return angle_; }
    void SetAngle(int degrees);
    QPoint Centre() const { return centre_; }
    void SetCentre(QPoint centre) { centre_ = centre; }
    double Sin() const { return sin_; }

    QPoint TransformPoint(QPoint p) const override;

private:
    int angle_ = 0;
    QPoint centre_;
    double sin_ = 0;
    double cos_ = 1;
};

}  // namespace kestrel
