#include "edit/MoveModes.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstdlib>
#include <numbers>

#include "platform/Rounding.h"
#include "render/GridGuide.h"

namespace kestrel {

namespace {
constexpr double kDegree = std::numbers::pi / 180;

double Length(QPointF v)
{
    return std::hypot(v.x(), v.y());
}

// Along the ray from the centre through the bounds' centre by the change of the pointer's
// radius. Bounds centred on the disc centre have no ray: they follow the pointer freely.
TRect RadialMove(const TMoveInput& in, double r0, double r1)
{
    const QPointF ray = CentreOf(in.startBounds) - QPointF(in.centre);
    const double length = Length(ray);
    if (length == 0) return in.offsetBounds;
    const double change = r1 - r0;
    return in.startBounds.Translated(static_cast<int>(std::trunc(ray.x() / length * change)),
                                     static_cast<int>(std::trunc(ray.y() / length * change)));
}

TMoveResult CircumferenceMove(const TMoveInput& in)
{
    const QPointF c(in.centre);
    const QPointF s = QPointF(in.start) - c;
    const QPointF m = QPointF(in.start + in.offset) - c;
    const double r0 = Length(s);
    const double r1 = Length(m);
    double d = NormalizedAngle(DirectionOf(m) - DirectionOf(s));
    const double chord = Length(TurnedAbout(m, {}, -d) - m);
    // A pointer on the centre itself has no angle to sweep: only the radius changes.
    if (r0 == 0 || r1 == 0 || chord < std::abs(r1 - r0)) return {RadialMove(in, r0, r1), std::nullopt};
    if (in.modes.stepMove) d = SteppedAngle(d, in.modes.stepAngle);
    const QPointF from = CentreOf(in.startBounds);
    const QPoint shift = RoundedPoint(TurnedAbout(from, c, d) - from);
    TMoveResult result{in.startBounds.Translated(shift.x(), shift.y()), std::nullopt};
    if (in.modes.turnObject) result.turn = static_cast<int>(RoundHalfAway(d));
    return result;
}

// The starting position comes back on the axis the pointer moved less along (x on a tie).
TRect AxisLocked(const TMoveInput& in)
{
    TRect bounds = in.offsetBounds;
    if (std::abs(in.offset.x()) <= std::abs(in.offset.y()))
        return bounds.Translated(in.startBounds.left - bounds.left, 0);
    return bounds.Translated(0, in.startBounds.top - bounds.top);
}

// The angle between the directions from the disc centre to the two bounds' centres; none when
// either centre is the disc centre itself.
std::optional<int> TurnAboutCentre(const TRect& from, const TRect& to, QPoint centre)
{
    const QPointF a = CentreOf(from) - QPointF(centre);
    const QPointF b = CentreOf(to) - QPointF(centre);
    if (Length(a) == 0 || Length(b) == 0) return std::nullopt;
    return static_cast<int>(RoundHalfAway(NormalizedAngle(DirectionOf(b) - DirectionOf(a))));
}

// Keeps [low, high) inside [min, max) by the smallest shift; too long a span starts at min.
int InsideShift(int low, int high, int min, int max)
{
    if (high - low > max - min || low < min) return min - low;
    if (high > max) return max - high;
    return 0;
}
}  // namespace

void ChooseMoveMode(TMoveSettings& settings, TGrid& grid, TMoveModeChoice choice)
{
    const bool alongGrid = choice == TMoveModeChoice::mmGrid;
    settings.circumference = choice == TMoveModeChoice::mmCircumference;
    grid.SetEnabled(alongGrid);
    grid.SetVisible(alongGrid);
}

TMoveModeChoice MoveModeChoiceOf(const TMoveSettings& settings, const TGrid& grid)
{
    if (settings.circumference) return TMoveModeChoice::mmCircumference;
    return grid.Enabled() ? TMoveModeChoice::mmGrid : TMoveModeChoice::mmFree;
}

void ChooseStep(TMoveSettings& settings, int index)
{
    const int count = static_cast<int>(std::size(TMoveSettings::StepAngles));
    settings.stepMove = index >= 1 && index <= count;
    if (settings.stepMove) settings.stepAngle = TMoveSettings::StepAngles[index - 1];
}

int StepIndexOf(const TMoveSettings& settings)
{
    if (!settings.stepMove) return 0;
    const auto* found = std::find(std::begin(TMoveSettings::StepAngles), std::end(TMoveSettings::StepAngles),
                                  settings.stepAngle);
    return found == std::end(TMoveSettings::StepAngles) ? 0 : int(found - std::begin(TMoveSettings::StepAngles)) + 1;
}

TMoveSettings EffectiveModes(TMoveSettings stored, TShiftState shift)
{
    const bool withShift = shift & ssShift;
    const bool withAlt = shift & ssAlt;
    if (withAlt && !withShift) {
        stored.circumference = stored.axisLock = stored.turnWhileMoving = stored.turnObject = false;
        stored.stepMove = false;
    } else if (withAlt) {
        stored.circumference = !stored.circumference;
    } else if (withShift) {
        if (stored.circumference)
            stored.stepMove = !stored.stepMove;
        else
            stored.axisLock = !stored.axisLock;
    }
    return stored;
}

double NormalizedAngle(double degrees)
{
    double d = std::fmod(degrees, 360.0);
    if (d <= -180) d += 360;
    if (d > 180) d -= 360;
    return d;
}

int NormalizedTurn(int degrees)
{
    return (degrees % 360 + 360) % 360;
}

double SteppedAngle(double d, int step)
{
    if (step <= 0) return d;
    const double f = d < 0 ? -step : step;
    return f * std::trunc((d + f / 2) / f);
}

double DirectionOf(QPointF v)
{
    if (v.isNull()) return 0;
    return std::atan2(v.y(), v.x()) / kDegree;
}

QPointF TurnedAbout(QPointF p, QPointF centre, double degrees)
{
    const double sin = std::sin(degrees * kDegree);
    const double cos = std::cos(degrees * kDegree);
    const QPointF v = p - centre;
    return centre + QPointF(v.x() * cos - v.y() * sin, v.x() * sin + v.y() * cos);
}

QPointF CentreOf(const TRect& r)
{
    return {(r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0};
}

QPoint RoundedPoint(QPointF p)
{
    return {static_cast<int>(RoundHalfAway(p.x())), static_cast<int>(RoundHalfAway(p.y()))};
}

QPointF HandlePoint(const TRect& r, int handle)
{
    const QPointF centre = CentreOf(r);
    const double x = handle <= 2 ? r.left : handle >= 5 ? r.right : centre.x();
    const double y = (handle == 0 || handle == 3 || handle == 5)   ? r.top
                     : (handle == 2 || handle == 4 || handle == 7) ? r.bottom
                                                                   : centre.y();
    return {x, y};
}

TMoveResult MoveBounds(const TMoveInput& in)
{
    TMoveResult result;
    if (in.modes.circumference) {
        result = CircumferenceMove(in);
    } else {
        result.bounds = in.modes.axisLock ? AxisLocked(in) : in.offsetBounds;
    }
    result.bounds = KeepInside(result.bounds, in.limit);
    if (!in.modes.circumference && in.modes.turnWhileMoving)
        result.turn = TurnAboutCentre(in.startBounds, result.bounds, in.centre);
    return result;
}

TRect KeepInside(TRect bounds, const TRect& limit)
{
    return bounds.Translated(InsideShift(bounds.left, bounds.right, limit.left, limit.right),
                             InsideShift(bounds.top, bounds.bottom, limit.top, limit.bottom));
}

namespace {
bool MovesLeft(int handle) { return handle >= 0 && handle <= 2; }
bool MovesRight(int handle) { return handle >= 5 && handle <= 7; }
bool MovesTop(int handle) { return handle == 0 || handle == 3 || handle == 5; }
bool MovesBottom(int handle) { return handle == 2 || handle == 4 || handle == 7; }

// The side that the handle does not drag follows the dragged one in the old proportion; side
// handles grow the other side evenly about its middle.
void KeepProportion(TRect& r, const TRect& old, int handle)
{
    const int w = old.Width();
    const int h = old.Height();
    if (handle == 3 || handle == 4) {
        const int width = MulDiv(r.Height(), w, h);
        r.left = old.left - (width - w) / 2;
        r.right = r.left + width;
        return;
    }
    const int height = MulDiv(r.Width(), h, w);
    if (handle == 1 || handle == 6) {
        r.top = old.top - (height - h) / 2;
        r.bottom = r.top + height;
    } else if (MovesTop(handle)) {
        r.top = r.bottom - height;
    } else {
        r.bottom = r.top + height;
    }
}

// One axis kept at least `minimum` long: the dragged edge stops, an undragged axis keeps its middle.
void KeepMinimum(int& low, int& high, int oldLow, int oldHigh, bool movesLow, bool movesHigh, int minimum)
{
    if (high - low >= minimum) return;
    if (movesLow && !movesHigh) {
        low = high - minimum;
    } else if (movesHigh && !movesLow) {
        high = low + minimum;
    } else {
        low = (oldLow + oldHigh) / 2 - minimum / 2;
        high = low + minimum;
    }
}
}  // namespace

TRect ResizeRect(const TResizeInput& in)
{
    const TRect& old = in.rect;
    TRect r = old;
    if (MovesLeft(in.handle)) r.left += in.offset.x();
    if (MovesRight(in.handle)) r.right += in.offset.x();
    if (MovesTop(in.handle)) r.top += in.offset.y();
    if (MovesBottom(in.handle)) r.bottom += in.offset.y();
    if (in.proportional && old.Width() != 0 && old.Height() != 0) KeepProportion(r, old, in.handle);
    KeepMinimum(r.left, r.right, old.left, old.right, MovesLeft(in.handle), MovesRight(in.handle), in.minimum);
    KeepMinimum(r.top, r.bottom, old.top, old.bottom, MovesTop(in.handle), MovesBottom(in.handle), in.minimum);
    return r;
}

}  // namespace kestrel
