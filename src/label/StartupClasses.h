#pragma once

namespace kestrel {

class TClassRegistry;

// Registers the persistent classes that streams may name, in start-up order. Lives in the top
// model folder because it names classes from every folder below.
void RegisterStartupClasses(TClassRegistry& registry);

}  // namespace kestrel
