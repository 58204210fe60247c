#pragma once

// The main properties of the selection, as the properties panel beside the face shows and edits
// them. Each edit is one undo step of the format tool bar's kind and answers false when nothing
// took it (nothing fitting selected, or the object locked in place).

#include <QString>
#include <optional>

#include "edit/FormatActions.h"
#include "platform/Geometry.h"

namespace kestrel {

class TObjectSite;

struct TQuickProperties {
    int selected = 0;
    // Of the one selected object only; several share no place, size, angle or text.
    std::optional<TRect> bounds;
    bool movable = false;
    std::optional<int> angle;
    // Its lines joined by line feeds.
    std::optional<QString> text;
    // Of the front-most selected object that has each, as the format tool bar shows them; the
    // edits act on every selected object that has the property.
    TSelectionFormat format;
    std::optional<TColor> penColor;
    // Whether a selected object can be filled, its colour, and whether it is filled.
    bool fillable = false;
    TColor fillColor = clWhite;
    bool filled = false;
    // Every selected object is locked in place.
    bool locked = false;
};
TQuickProperties ReadQuickProperties(TObjectSite& site);

// The one selected object's top-left corner and size (its enclosing bounds, 0.1 mm).
bool MoveSelectionTo(TObjectSite& site, QPoint topLeft);
bool ResizeSelection(TObjectSite& site, QSize size);
bool TurnSelection(TObjectSite& site, int degrees);
// The one selected text takes the lines; text outside code page 932 is refused with an error.
bool SetSelectionText(TObjectSite& site, const QString& text);
// Locks (or unlocks) every selected object as "固定する(&O)" ("固定しない(&U)") does.
bool SetSelectionLocked(TObjectSite& site, bool locked);

}  // namespace kestrel
