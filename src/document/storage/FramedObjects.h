#pragma once

// One component per stream of a compound file, in the resource frame whose name is the
// stream's own name ("Info", "PaperInfo", "DataInfo", ...).

#include <QString>
#include <memory>

#include "document/stream/ObjectStream.h"
#include "document/stream/Persistent.h"

namespace kestrel {

class TDocStorage;

// Creates or replaces the stream.
void WriteFramedObject(TDocStorage& storage, const QString& name, const TComponent& object);
void ReadFramedObjectInto(TDocStorage& storage, const QString& name, TComponent& object,
                          const TReadOptions& options = {});
std::unique_ptr<TComponent> ReadFramedObject(TDocStorage& storage, const QString& name,
                                             const TReadOptions& options = {});

}  // namespace kestrel
