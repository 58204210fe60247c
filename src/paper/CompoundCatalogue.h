#pragma once

// The catalogue's working copy joined to real files: component streams for its records and
// compound files for the catalogue files.

#include "paper/CatalogueStorage.h"

namespace kestrel {

class TClassRegistry;

// Records as component streams; classes are looked up in the registry (the global one when
// none is given). The component name is never written.
class TStreamComponentCodec : public IComponentCodec {
public:
    explicit TStreamComponentCodec(const TClassRegistry* registry = nullptr) : registry_(registry) {}

    QByteArray Write(TComponent& component) const override;
    std::unique_ptr<TComponent> Read(const QByteArray& data) const override;

private:
    const TClassRegistry* registry_;
};

// Catalogue files as compound files. Loading reads the whole file into the working copy; saving
// builds the whole new file and lets it replace the target only when it is complete.
class TCompoundCatalogueFiles : public ICatalogueFiles {
public:
    bool Exists(const QString& fileName) const override;
    void Load(const QString& fileName, TMemoryCatalogueStorage& into) const override;
    void Save(const TMemoryCatalogueStorage& tree, const QString& fileName) const override;
};

}  // namespace kestrel
