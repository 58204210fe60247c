#pragma once

namespace kestrel {

class TClassRegistry;
class TObjectKinds;

// Every object kind of the program, each folder registering its own, with their classes.
void RegisterObjectKinds(TObjectKinds& kinds, TClassRegistry& classes);
// Every persistent class streams may name: the object kinds' and the documents' and papers'.
void RegisterStartupClasses(TClassRegistry& classes);

// The model's share of program start: the object kinds and classes, and the services lower
// layers reach through hooks (blended painting, picture filters). Every program and the tests
// call it once before touching documents; calling it again does nothing.
void InitializeModel();

}  // namespace kestrel
