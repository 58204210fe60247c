#pragma once

namespace kestrel {

// How new lines, curves, rectangles and ellipses are made: each is placed at once with a
// default size (shapes cannot be drawn with the mouse yet).
void InstallShapeKinds();

}  // namespace kestrel
