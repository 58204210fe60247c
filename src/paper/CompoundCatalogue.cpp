#include "paper/CompoundCatalogue.h"

#include <QDir>
#include <QFileInfo>

#include "document/stream/ObjectStream.h"
#include "document/stream/Persistent.h"
#include "platform/BoundedReader.h"
#include "platform/cfb/CompoundFile.h"

namespace kestrel {

// --- TStreamComponentCodec ---

QByteArray TStreamComponentCodec::Write(TComponent& component) const
{
    const QString name = component.Name();
    component.SetName({});
    QByteArray data;
    try {
        WriteObject(data, component);
    } catch (...) {
        component.SetName(name);
        throw;
    }
    component.SetName(name);
    return data;
}

std::unique_ptr<TComponent> TStreamComponentCodec::Read(const QByteArray& data) const
{
    TBoundedReader reader(data);
    TReadOptions options;
    options.registry = registry_;
    return ReadObject(reader, options);
}

// --- TCompoundCatalogueFiles ---

namespace {

void CopyIntoWorkingCopy(const TCfbStorage& from, const QString& path, TMemoryCatalogueStorage& into)
{
    into.CreateStorage(path);
    for (const auto& [key, element] : from.Children()) {
        const QString childPath = JoinElementPath(path, element->Name());
        if (element->IsStorage())
            CopyIntoWorkingCopy(static_cast<const TCfbStorage&>(*element), childPath, into);
        else
            into.WriteStream(childPath, static_cast<const TCfbStream&>(*element).Data());
    }
}

void CopyIntoFileTree(const TMemoryCatalogueStorage& from, const QString& path, TCfbStorage& into)
{
    for (const QString& stream : from.StreamNames(path))
        into.CreateStream(stream)->SetData(from.ReadStream(JoinElementPath(path, stream)));
    for (const QString& storage : from.StorageNames(path))
        CopyIntoFileTree(from, JoinElementPath(path, storage), *into.CreateStorage(storage));
}

}  // namespace

bool TCompoundCatalogueFiles::Exists(const QString& fileName) const
{
    // Anything at that path counts, so that a folder there fails to load instead of passing
    // for an empty catalogue.
    return QFileInfo::exists(fileName);
}

void TCompoundCatalogueFiles::Load(const QString& fileName, TMemoryCatalogueStorage& into) const
{
    // Read into a fresh copy so that a damaged file leaves the target as it was.
    TMemoryCatalogueStorage loaded;
    CopyIntoWorkingCopy(*ReadCompoundFileFrom(fileName), {}, loaded);
    into = loaded;
}

void TCompoundCatalogueFiles::Save(const TMemoryCatalogueStorage& tree, const QString& fileName) const
{
    const std::shared_ptr<TCfbStorage> root = TCfbStorage::NewRoot();
    CopyIntoFileTree(tree, {}, *root);
    // The user's folder is made on the first save.
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    WriteCompoundFileTo(*root, fileName);
}

}  // namespace kestrel
