#pragma once

namespace kestrel {

class TComponent;

// Expands the macros of every stored string and string-list property of the component and of
// all components it owns. A value that does not expand stays as it was.
void ExpandComponentMacros(TComponent& component);

}  // namespace kestrel
