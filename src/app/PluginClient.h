#pragma once

#include <QString>
#include <functional>

#include "kestrel/KestrelPlugin.h"

namespace kestrel {

// The host's client handed to every plug-in server: the program's name, its settings key, its
// active window and macro expansions, through the global application frame. Created once by
// the data module; it outlives every server, so its reference count only counts.
class TBCAppFrameClient {
public:
    TBCAppFrameClient();
    TBCAppFrameClient(const TBCAppFrameClient&) = delete;
    TBCAppFrameClient& operator=(const TBCAppFrameClient&) = delete;

    IBCClientV1* Interface() { return &object_.com; }
    // The native window of the active form; the user interface installs it. Without one the
    // answer is 0.
    std::function<quint64()> activeWindow;

private:
    struct TObject {
        IBCClientV1 com;
        TBCAppFrameClient* owner;
    };
    static TBCAppFrameClient& Owner(IBCClientV1* self);
    static KResult QueryInterface(IBCClientV1* self, const KGuid* iid, void** object);
    static uint32_t AddRef(IBCClientV1* self);
    static uint32_t Release(IBCClientV1* self);
    static KResult GetAppName(IBCClientV1* self, const KTextOut* name);
    static KResult GetRegistryKey(IBCClientV1* self, const KTextOut* key);
    static KResult GetMainWindow(IBCClientV1* self, uint64_t* window);
    static KResult ExpandMacro(IBCClientV1* self, const KText* text, const KTextOut* result);
    static const IBCClientV1Vtbl Table;

    TObject object_;
    uint32_t references_ = 1;
};

// Writes text to a plug-in's KTextOut.
KResult WriteToPlugin(const KTextOut* out, const QString& text);

}  // namespace kestrel
