#pragma once

// Component streams ("TPF0" + one component record), the resource frame around them in
// document streams, and counted object lists (clipboard, saved object lists).
//
// Reading hands each child to its parent's AdoptChild before reading the child's properties,
// so a parent must keep the children it takes. Every object read gets Loaded once the whole
// stream is in, parents before children; a stream that fails loads nothing and the caller
// drops what was read.

#include <QByteArray>
#include <QByteArrayView>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "document/stream/ValueCodec.h"

namespace kestrel {

class TBoundedReader;
class TClassInfo;
class TClassRegistry;
class TComponent;

struct TReadOptions {
    // Where class names are looked up; the global registry when not set.
    const TClassRegistry* registry = nullptr;
    // Class substitution: may create an object of another class for a name met in the stream;
    // returning nothing creates the registry's class. Names below the top object must be
    // registered before the hook is asked.
    std::function<std::unique_ptr<TComponent>(const QByteArray& className)> create;
    int maxDepth = TReader::DefaultMaxDepth;
    // Objects one stream (or one object list) may create: far beyond any real face, low enough
    // that a crafted stream cannot exhaust time and memory.
    int maxObjects = DefaultMaxObjects;
    static constexpr int DefaultMaxObjects = 10000;
};

void WriteObject(QByteArray& out, const TComponent& object);
// Creates the top object from its class name (through the hook first).
std::unique_ptr<TComponent> ReadObject(TBoundedReader& in, const TReadOptions& options = {});
// Reads into an existing object; the class name in the stream is ignored.
void ReadObjectInto(TBoundedReader& in, TComponent& object, const TReadOptions& options = {});

// The frame name is ASCII, at most 63 characters, and is written in upper case.
void WriteObjectRes(QByteArray& out, QByteArrayView frameName, const TComponent& object);
std::unique_ptr<TComponent> ReadObjectRes(TBoundedReader& in, const TReadOptions& options = {});
void ReadObjectResInto(TBoundedReader& in, TComponent& object, const TReadOptions& options = {});

void WriteObjectList(QByteArray& out, std::span<const TComponent* const> objects);
// Objects whose class does not derive from requiredBase are dropped.
std::vector<std::unique_ptr<TComponent>> ReadObjectList(TBoundedReader& in, const TClassInfo& requiredBase,
                                                        const TReadOptions& options = {});

}  // namespace kestrel
