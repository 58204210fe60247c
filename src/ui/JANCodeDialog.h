#pragma once

class QWidget;

namespace kestrel {

class TDrawObject;

// Properties of a JAN code object: the code with its digits and frame, the angle and the digit
// size, with a live preview. False when the user cancelled.
bool EditJANCode(QWidget* parent, TDrawObject& object);

}  // namespace kestrel
