#include "document/Transformer.h"

#include <cmath>
#include <numbers>

#include "platform/Rounding.h"

namespace kestrel {

TRotator::TRotator(int angle, QPoint centre) : centre_(centre)
{
    SetAngle(angle);
}

void TRotator::SetAngle(int degrees)
{
    angle_ = degrees;
    // Whole turns give the same sine and cosine; quarter turns are exact, so a turned rectangle
    // keeps integral corners.
    const int turn = ((degrees % 360) + 360) % 360;
    switch (turn) {
    case 0: sin_ = 0, cos_ = 1; return;
    case 90: sin_ = 1, cos_ = 0; return;
    case 180: sin_ = 0, cos_ = -1; return;
    case 270: sin_ = -1, cos_ = 0; return;
    }
    const double radians = turn * std::numbers::pi / 180;
    sin_ = std::sin(radians);
    cos_ = std::cos(radians);
}

QPoint TRotator::TransformPoint(QPoint p) const
{
    const double dx = p.x() - centre_.x();
    const double dy = p.y() - centre_.y();
    return {int(RoundHalfAway(centre_.x() + dx * cos_ - dy * sin_)),
            int(RoundHalfAway(centre_.y() + dx * sin_ + dy * cos_))};
}

}  // namespace kestrel
