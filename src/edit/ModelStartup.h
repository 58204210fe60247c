#pragma once

namespace kestrel {

// The model's share of program start: class registrations, the designer registry and the
// services lower layers reach through hooks (blended painting). Every program and the tests
// call it once before touching documents; calling it again does nothing.
void InitializeModel();

}  // namespace kestrel
