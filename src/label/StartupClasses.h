#pragma once

namespace kestrel {

class TClassRegistry;

// Registers the persistent classes of documents and papers that streams may name (the object
// kinds register their own classes).
void RegisterDocumentClasses(TClassRegistry& registry);

}  // namespace kestrel
