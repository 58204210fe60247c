#pragma once

namespace kestrel {

class TClassRegistry;
class TObjectKinds;

// Lines, arcs, rectangles, circles, decorated lines and shade shapes, as the user makes them.
void RegisterShapeKinds(TObjectKinds& kinds, TClassRegistry& classes);
// Pictures: from a file, from the clipboard, and arranged in patterns.
void RegisterPictureKinds(TObjectKinds& kinds, TClassRegistry& classes);

}  // namespace kestrel
