#pragma once

class QWidget;

namespace kestrel {

class TDrawObject;

// Properties of a date field: the format (each shown with today's date), the date and when it is
// updated. False when the user cancelled.
bool EditDate(QWidget* parent, TDrawObject& object);

// Properties of a decorated string: its letters, the font, the alignment and the angle. A string
// of other characters, or none, is refused with the reason and the dialog stays open.
bool EditDecoString(QWidget* parent, TDrawObject& object);

}  // namespace kestrel
