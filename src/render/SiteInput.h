#pragma once

#include <QPoint>

namespace kestrel {

// Modifier bits as drags see them.
using TShiftState = unsigned;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// A mouse event as the draw site handles it; the position is in device pixels relative to the
// site's top-left.
struct TSiteMouseEvent {
    QPoint position;
    TMouseButton button = TMouseButton::mbLeft;
    TShiftState shift = 0;
    // The second press of a double click.
    bool doubleClick = false;
};

// A draw object that reacts to a press on it before the site handles the press as usual.
class IDOMouseDown {
public:
    virtual ~IDOMouseDown() = default;
    virtual void ObjectMouseDown(const TSiteMouseEvent& event) = 0;
};

struct TSiteKeyEvent {
    int key = 0;  // the toolkit's key code
    TShiftState shift = 0;
};

}  // namespace kestrel
