#pragma once

// The geometry of dragging: how a pointer offset becomes new bounds (free, axis-locked or along a
// disc's circumference and radius), how a handle resizes a rectangle, and the angle helpers they
// share. Pure functions of their inputs, so that every mode can be checked with worked values.

#include <QPoint>
#include <optional>

#include "platform/Geometry.h"
#include "render/SiteInput.h"

namespace kestrel {

class TGrid;

// The move modes the layout screens choose; each edit session has its own, copied by every new
// move ghost.
struct TMoveSettings {
    static constexpr int StepAngles[] = {6, 30, 45};

    bool circumference = false;  // along the disc's circumference or radius instead of freely
    bool axisLock = false;       // free mode: horizontal or vertical only
    bool turnWhileMoving = false;  // free mode: the object turns about the disc centre
    bool turnObject = false;     // circumference mode: the object turns with its position
    bool stepMove = false;       // circumference mode: the swept angle goes in steps
    int stepAngle = 30;

    friend bool operator==(const TMoveSettings&, const TMoveSettings&) = default;
};

// The move-mode choice of the layout screens: "通常移動" (free), "グリッドに沿う" (free along the
// grid), "円周に沿う" (circumference). The grid snaps and shows only with the second.
enum class TMoveModeChoice { mmFree, mmGrid, mmCircumference };
void ChooseMoveMode(TMoveSettings& settings, TGrid& grid, TMoveModeChoice choice);
TMoveModeChoice MoveModeChoiceOf(const TMoveSettings& settings, const TGrid& grid);
// The step combo: 0 "ステップなし", then one entry per step angle.
void ChooseStep(TMoveSettings& settings, int index);
int StepIndexOf(const TMoveSettings& settings);

// The modes in force for one pointer event: Alt alone clears every mode, Shift+Alt inverts the
// circumference mode, Shift alone inverts the steps (circumference) or the axis lock (free).
TMoveSettings EffectiveModes(TMoveSettings stored, TShiftState shift);

// Degrees into (-180, 180].
double NormalizedAngle(double degrees);
// Whole degrees into 0..359.
int NormalizedTurn(int degrees);
// d to the nearest multiple of the step, halves away from zero; a step of 0 or less leaves d.
double SteppedAngle(double d, int step);
// Direction of v in degrees, clockwise on screen (y points down); 0 for the null vector.
double DirectionOf(QPointF v);
// p turned by degrees about centre (clockwise on screen for positive angles).
QPointF TurnedAbout(QPointF p, QPointF centre, double degrees);
QPointF CentreOf(const TRect& r);
// Each coordinate rounded half away from zero.
QPoint RoundedPoint(QPointF p);
// Where handle 0..7 sits on the rectangle (left-top, left-middle, left-bottom, middle-top,
// middle-bottom, right-top, right-middle, right-bottom).
QPointF HandlePoint(const TRect& r, int handle);

struct TMoveInput {
    TRect startBounds;   // the real object's enclosing bounds
    TRect offsetBounds;  // the start bounds moved by the pointer offset and the snap
    QPoint start;        // pointer start point
    QPoint offset;       // pointer offset from the start
    QPoint centre;       // the disc centre
    TRect limit;
    TMoveSettings modes;  // already effective
};

struct TMoveResult {
    TRect bounds;
    std::optional<int> turn;  // whole degrees, when the object is to turn
};

TMoveResult MoveBounds(const TMoveInput& in);
// Shifted by the smallest offset that brings them inside; bounds larger than the limit align
// to its left and top.
TRect KeepInside(TRect bounds, const TRect& limit);

struct TResizeInput {
    TRect rect;      // normalised
    int handle = 0;  // 0..7: left-top, left-middle, left-bottom, middle-top, middle-bottom,
                     // right-top, right-middle, right-bottom
    QPoint offset;   // in the rectangle's own frame
    bool proportional = false;
    int minimum = 1;
};

TRect ResizeRect(const TResizeInput& in);

}  // namespace kestrel
