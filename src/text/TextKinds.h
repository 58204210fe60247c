#pragma once

namespace kestrel {

class TClassRegistry;
class TObjectKinds;

// Texts, typed in the property editor or pasted from the clipboard.
void RegisterTextKinds(TObjectKinds& kinds, TClassRegistry& classes);

}  // namespace kestrel
