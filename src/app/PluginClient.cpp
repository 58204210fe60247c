#include "app/PluginClient.h"

#include <cstring>

#include "app/AppFrame.h"

namespace kestrel {

namespace {

// The longest macro text a plug-in may hand in.
constexpr uint32_t kMaxMacroText = 65536;

// A plug-in never sees an exception of ours: every answer is a status.
template <class F>
KResult Guarded(F answer)
{
    try {
        return answer();
    } catch (const std::bad_alloc&) {
        return K_E_OUTOFMEMORY;
    } catch (...) {
        return K_E_FAIL;
    }
}

bool IsGuid(const KGuid* a, const KGuid& b)
{
    return std::memcmp(a, &b, sizeof(KGuid)) == 0;
}

}  // namespace

const IBCClientV1Vtbl TBCAppFrameClient::Table = {
    &TBCAppFrameClient::QueryInterface, &TBCAppFrameClient::AddRef,         &TBCAppFrameClient::Release,
    &TBCAppFrameClient::GetAppName,     &TBCAppFrameClient::GetRegistryKey, &TBCAppFrameClient::GetMainWindow,
    &TBCAppFrameClient::ExpandMacro,
};

TBCAppFrameClient::TBCAppFrameClient() : object_{{&Table}, this} {}

TBCAppFrameClient& TBCAppFrameClient::Owner(IBCClientV1* self)
{
    return *reinterpret_cast<TObject*>(self)->owner;
}

KResult TBCAppFrameClient::QueryInterface(IBCClientV1* self, const KGuid* iid, void** object)
{
    if (!object) return K_E_POINTER;
    *object = nullptr;
    if (!iid) return K_E_POINTER;
    if (!IsGuid(iid, KESTREL_IID_IUNKNOWN) && !IsGuid(iid, KESTREL_IID_IBCCLIENTV1)) return K_E_NOINTERFACE;
    *object = self;
    AddRef(self);
    return K_S_OK;
}

uint32_t TBCAppFrameClient::AddRef(IBCClientV1* self)
{
    return ++Owner(self).references_;
}

uint32_t TBCAppFrameClient::Release(IBCClientV1* self)
{
    uint32_t& references = Owner(self).references_;
    // The data module owns the client; a plug-in releasing too often cannot free it.
    if (references > 1) --references;
    return references;
}

KResult TBCAppFrameClient::GetAppName(IBCClientV1*, const KTextOut* name)
{
    return Guarded([&] { return WriteToPlugin(name, kestrel::ExpandMacro(QStringLiteral("$(AppName)"))); });
}

KResult TBCAppFrameClient::GetRegistryKey(IBCClientV1*, const KTextOut* key)
{
    return Guarded([&] { return WriteToPlugin(key, kestrel::ExpandMacro(QStringLiteral("$(SysRegistryKey)"))); });
}

KResult TBCAppFrameClient::GetMainWindow(IBCClientV1* self, uint64_t* window)
{
    if (!window) return K_E_POINTER;
    return Guarded([&] {
        const TBCAppFrameClient& owner = Owner(self);
        *window = owner.activeWindow ? owner.activeWindow() : 0;
        return K_S_OK;
    });
}

KResult TBCAppFrameClient::ExpandMacro(IBCClientV1*, const KText* text, const KTextOut* result)
{
    if (!text || (!text->data && text->length > 0)) return K_E_POINTER;
    if (text->length > kMaxMacroText) return K_E_INVALIDARG;
    return Guarded([&] {
        const QString source(reinterpret_cast<const QChar*>(text->data), qsizetype(text->length));
        return WriteToPlugin(result, kestrel::ExpandMacro(source));
    });
}

KResult WriteToPlugin(const KTextOut* out, const QString& text)
{
    if (!out || !out->Write) return K_E_POINTER;
    return out->Write(out->context, reinterpret_cast<const uint16_t*>(text.utf16()), uint32_t(text.size()));
}

}  // namespace kestrel
