#pragma once

// Persistent components as readable JSON, driven by the classes' descriptor tables: the
// shipped catalogue source is written this way, and it serves as the catalogue's component
// codec wherever the binary stream format is not needed.

#include <QJsonObject>
#include <vector>

#include "document/stream/Persistent.h"
#include "paper/CatalogueStorage.h"

namespace kestrel {

class TJsonComponentCodec : public IComponentCodec {
public:
    // Only these classes are created when reading.
    explicit TJsonComponentCodec(std::vector<const TClassInfo*> classes);

    QByteArray Write(TComponent& component) const override;
    std::unique_ptr<TComponent> Read(const QByteArray& data) const override;

    // A component with its "class" key; properties follow the stream rules (a property that is
    // not stored, or holds its default, is left out).
    QJsonObject ToJson(TComponent& component) const;
    std::unique_ptr<TComponent> FromJson(const QJsonObject& object) const;

private:
    QJsonObject PropertiesToJson(TPersistent& object) const;
    void PropertiesFromJson(const QJsonObject& object, TPersistent& target) const;

    std::vector<const TClassInfo*> classes_;
};

// The codec that knows every catalogue class (papers, purpose lists, update records) plus the
// extra classes given.
TJsonComponentCodec CatalogueJsonCodec(std::vector<const TClassInfo*> extraClasses = {});

}  // namespace kestrel
