// The library's entry point: its catalogue and the class factories of its servers. Compiled
// into each plug-in library itself, so that the entry point is always linked in.
#include "PluginKit.h"

namespace kestrel::plugin {

// The catalogue and the class factories.
namespace {

class TCatalog : public TServer {
public:
    TCatalog() : catalog_{{&Table}, this} {}

protected:
    void* Offer(const KGuid& iid) override
    {
        return SameGuid(iid, KESTREL_IID_IPLUGINCATALOG) ? &catalog_ : nullptr;
    }

private:
    static bool Valid(int32_t index) { return index >= 0 && size_t(index) < LibraryServers().size(); }
    static KResult GetCount(IPluginCatalog*, int32_t* count)
    {
        if (!count) return K_E_POINTER;
        *count = int32_t(LibraryServers().size());
        return K_S_OK;
    }
    static KResult GetClassId(IPluginCatalog*, int32_t index, KGuid* id)
    {
        if (!id) return K_E_POINTER;
        if (!Valid(index)) return K_E_INVALIDARG;
        *id = LibraryServers()[size_t(index)].classId;
        return K_S_OK;
    }
    static KResult GetCategory(IPluginCatalog*, int32_t index, KGuid* category)
    {
        if (!category) return K_E_POINTER;
        if (!Valid(index)) return K_E_INVALIDARG;
        *category = LibraryServers()[size_t(index)].category;
        return K_S_OK;
    }
    static KResult GetName(IPluginCatalog*, int32_t index, const KTextOut* name)
    {
        if (!Valid(index)) return K_E_INVALIDARG;
        return WriteText(name, LibraryServers()[size_t(index)].name);
    }
    static const IPluginCatalogVtbl Table;
    TFace<IPluginCatalog> catalog_;
};

const IPluginCatalogVtbl TCatalog::Table = {KIT_UNKNOWN(IPluginCatalog), &TCatalog::GetCount, &TCatalog::GetClassId,
                                            &TCatalog::GetCategory, &TCatalog::GetName};

// Factories live as long as the library; their reference count only counts.
struct TFactory {
    IKClassFactory com;
    std::function<TServer*()> create;
};

KResult FactoryQuery(IKClassFactory* self, const KGuid* iid, void** out)
{
    if (!out || !iid) return K_E_POINTER;
    *out = nullptr;
    if (!SameGuid(*iid, KESTREL_IID_ICLASSFACTORY) && !SameGuid(*iid, KESTREL_IID_IUNKNOWN)) return K_E_NOINTERFACE;
    *out = self;
    return K_S_OK;
}

uint32_t FactoryReference(IKClassFactory*)
{
    return 1;
}

KResult FactoryCreate(IKClassFactory* self, const KGuid* iid, void** out)
{
    if (!out) return K_E_POINTER;
    *out = nullptr;
    TServer* server = nullptr;
    const KResult created = Guard([&] { server = reinterpret_cast<TFactory*>(self)->create(); });
    if (K_FAILED(created)) return created;
    const KResult status = server->Query(iid, out);
    server->Release();
    return status;
}

const IKClassFactoryVtbl FactoryTable = {FactoryQuery, FactoryReference, FactoryReference, FactoryCreate};

TFactory* FactoryFor(const KGuid& classId)
{
    static TFactory catalog{{&FactoryTable}, [] { return new TCatalog; }};
    static std::vector<TFactory> servers = [] {
        std::vector<TFactory> factories;
        for (const TServerEntry& entry : LibraryServers()) factories.push_back({{&FactoryTable}, entry.create});
        return factories;
    }();
    if (SameGuid(classId, KESTREL_CLSID_PLUGIN_CATALOG)) return &catalog;
    const std::vector<TServerEntry>& entries = LibraryServers();
    for (size_t i = 0; i < entries.size(); ++i)
        if (SameGuid(classId, entries[i].classId)) return &servers[i];
    return nullptr;
}

}  // namespace

}  // namespace kestrel::plugin

extern "C" KESTREL_PLUGIN_EXPORT KResult DllGetClassObject(const KGuid* classId, const KGuid* iid, void** object)
{
    using namespace kestrel::plugin;
    if (!object || !classId || !iid) return K_E_POINTER;
    *object = nullptr;
    if (!SameGuid(*iid, KESTREL_IID_ICLASSFACTORY)) return K_E_NOINTERFACE;
    TFactory* factory = nullptr;
    const KResult status = Guard([&] { factory = FactoryFor(*classId); });
    if (K_FAILED(status)) return status;
    if (!factory) return K_CLASS_E_CLASSNOTAVAILABLE;
    *object = &factory->com;
    return K_S_OK;
}
