#pragma once

// Catalogue records in the JSON form of persistent objects: the shipped catalogue's source is
// written this way, and tests use it wherever the binary stream format is not needed.

#include <QJsonValue>
#include <memory>
#include <vector>

#include "paper/CatalogueStorage.h"

namespace kestrel {

class TClassInfo;
class TClassRegistry;

class TJsonComponentCodec : public IComponentCodec {
public:
    // Only these classes are created when reading.
    explicit TJsonComponentCodec(const std::vector<const TClassInfo*>& classes);

    QByteArray Write(TComponent& component) const override;
    std::unique_ptr<TComponent> Read(const QByteArray& data) const override;
    std::unique_ptr<TComponent> FromJson(const QJsonValue& json, const QString& path = {}) const;

private:
    std::shared_ptr<const TClassRegistry> registry_;
};

// The codec that knows every catalogue class (papers, purpose lists, update records) plus the
// extra classes given.
TJsonComponentCodec CatalogueJsonCodec(const std::vector<const TClassInfo*>& extraClasses = {});

}  // namespace kestrel
