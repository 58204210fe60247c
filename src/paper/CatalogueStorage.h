#pragma once

// What the catalogue code needs from its compound file and from the component stream codec.
// The catalogue works on an in-memory working copy; loading a file into it and saving it back
// are behind ICatalogueFiles so that the compound-file layer can be plugged in.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "document/storage/DocPath.h"

namespace kestrel {

class TComponent;

// Storages and streams addressed by backslash paths relative to the root ("Papers\$00000001").
// Names compare case-insensitively.
class ICatalogueStorage {
public:
    virtual ~ICatalogueStorage() = default;
    virtual bool StreamExists(const QString& path) const = 0;
    virtual bool StorageExists(const QString& path) const = 0;
    // Fails when the stream is absent.
    virtual QByteArray ReadStream(const QString& path) const = 0;
    // Creates or replaces the stream, creating missing parent storages.
    virtual void WriteStream(const QString& path, const QByteArray& data) = 0;
    // Does nothing when the storage exists.
    virtual void CreateStorage(const QString& path) = 0;
    // Does nothing when the element is absent.
    virtual void DeleteElement(const QString& path) = 0;
    virtual void RenameElement(const QString& path, const QString& newName) = 0;
    // Names of the direct children, in storage order.
    virtual QStringList StreamNames(const QString& storagePath) const = 0;
    virtual QStringList StorageNames(const QString& storagePath) const = 0;
};

// Copies the storage at path with everything below it from source into destination (at the
// same path, created when absent); elements of the same name are replaced, others kept.
void CopyStorage(const ICatalogueStorage& source, ICatalogueStorage& destination, const QString& path);

// An in-memory tree: the working copy of an open catalogue.
class TMemoryCatalogueStorage : public ICatalogueStorage {
public:
    TMemoryCatalogueStorage();
    ~TMemoryCatalogueStorage() override;
    TMemoryCatalogueStorage(const TMemoryCatalogueStorage& other);
    TMemoryCatalogueStorage& operator=(const TMemoryCatalogueStorage& other);

    bool StreamExists(const QString& path) const override;
    bool StorageExists(const QString& path) const override;
    QByteArray ReadStream(const QString& path) const override;
    void WriteStream(const QString& path, const QByteArray& data) override;
    void CreateStorage(const QString& path) override;
    void DeleteElement(const QString& path) override;
    void RenameElement(const QString& path, const QString& newName) override;
    QStringList StreamNames(const QString& storagePath) const override;
    QStringList StorageNames(const QString& storagePath) const override;

private:
    struct TNode;
    TNode* Find(const QString& path) const;
    TNode& MakeStorage(const QStringList& names);
    std::unique_ptr<TNode> root_;
};

// Loading a catalogue file into a working copy and saving one back.
class ICatalogueFiles {
public:
    virtual ~ICatalogueFiles() = default;
    virtual bool Exists(const QString& fileName) const = 0;
    virtual void Load(const QString& fileName, TMemoryCatalogueStorage& into) const = 0;
    // Writes the whole tree to a temporary file beside the target and renames it over the target.
    virtual void Save(const TMemoryCatalogueStorage& tree, const QString& fileName) const = 0;
};

// Turns a persistent component into its stream bytes and back (the class comes from the bytes).
class IComponentCodec {
public:
    virtual ~IComponentCodec() = default;
    virtual QByteArray Write(TComponent& component) const = 0;
    virtual std::unique_ptr<TComponent> Read(const QByteArray& data) const = 0;
};

// Reads a component and checks that it is of class T; fails with a message naming what.
template <class T>
std::unique_ptr<T> ReadComponentAs(const IComponentCodec& codec, const QByteArray& data, const QString& what);

}  // namespace kestrel

#include "platform/Error.h"

namespace kestrel {

template <class T>
std::unique_ptr<T> ReadComponentAs(const IComponentCodec& codec, const QByteArray& data, const QString& what)
{
    std::unique_ptr<TComponent> component = codec.Read(data);
    auto* typed = dynamic_cast<T*>(component.get());
    if (!typed) throw EReadError(QStringLiteral("%1 の形式が不正です").arg(what));
    component.release();
    return std::unique_ptr<T>(typed);
}

}  // namespace kestrel
