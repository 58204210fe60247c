#pragma once

// Persistent objects as JSON, derived from the classes' descriptor tables like the binary
// stream: {"class": "TLOText", "name": "...", "properties": {...}, "children": [...]}, where
// "name" and "children" appear only when there are any. Properties follow the stream's rule of
// what is stored (a property a class would not store is left out and keeps its default when
// read back). Values map one to one: numbers, booleans, strings, enumeration identifiers,
// sets as arrays of identifiers, string lists as arrays, collections as arrays of property
// objects, nested objects as property objects. A class's custom records sit among its
// properties under their own names: simple values as themselves, binary records as base64
// (or {"file": "photo.jpg"} when reading, for records that have a file reader), anything else
// as {"stream": base64 of the tagged stream value}.
//
// Reading refuses unknown classes and properties and values of the wrong type with an EJsonError
// that names the JSON path ("objects[3].properties.Angle") and the reason.

#include <QByteArray>
#include <QDir>
#include <QJsonObject>
#include <QJsonValue>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "platform/Error.h"

namespace kestrel {

class TClassInfo;
class TClassRegistry;
class TComponent;
class TPersistent;

class EJsonError : public EReadError {
public:
    EJsonError(const QString& path, const QString& reason);
    const char* ClassName() const override { return "EJsonError"; }
};

// Turns a file named in {"file": ...} into the bytes of one class's binary record.
using TJsonFileRecordReader = std::function<QByteArray(const QByteArray& fileBytes)>;

// The readers of file records, by class and record name.
class TJsonFileRecords {
public:
    // The program's: each layer that owns a record's format (the picture data of a class)
    // registers its reader at start-up.
    static TJsonFileRecords& Global();
    void Register(const QByteArray& className, const QByteArray& recordName, TJsonFileRecordReader reader);
    // The reader for the record of the class or of its nearest ancestor; null when there is none.
    const TJsonFileRecordReader* Find(const TClassInfo& info, const QByteArray& recordName) const;

private:
    std::map<std::pair<QByteArray, QByteArray>, TJsonFileRecordReader> readers_;
};

struct TJsonReadOptions {
    // Where class names are looked up; the global registry when not set.
    const TClassRegistry* registry = nullptr;
    // Where {"file": ...} records find their readers; the program's when not set.
    const TJsonFileRecords* fileRecords = nullptr;
    // Folder that relative {"file": ...} names are taken from.
    QDir baseDir;
    int maxDepth = 64;
};

QJsonObject ObjectToJson(const TComponent& object);
// The properties (and custom records) of any persistent object.
QJsonObject PropertiesToJson(const TPersistent& object);

// Creates a component (and its children) from its JSON form; path prefixes error locations.
// Every object created is Loaded, parents before children, once all of them are read.
std::unique_ptr<TComponent> ObjectFromJson(const QJsonValue& json, const QString& path,
                                           const TJsonReadOptions& options = {});
// Reads the properties into an existing object, in stream order.
void PropertiesFromJson(const QJsonValue& json, TPersistent& target, const QString& path,
                        const TJsonReadOptions& options = {});

// Parses JSON text; a syntax error is an EJsonError at the path "" naming the byte offset.
QJsonValue ParseJson(const QByteArray& text);

}  // namespace kestrel
