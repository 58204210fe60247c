#pragma once

namespace kestrel {

class TClassRegistry;
class TObjectKinds;

// JAN barcodes and QR codes, described in their property editors before they are placed.
void RegisterCodeKinds(TObjectKinds& kinds, TClassRegistry& classes);

}  // namespace kestrel
