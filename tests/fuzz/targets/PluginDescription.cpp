// The description document a music plug-in hands over: the input is the UTF-16 units the
// plug-in writes, in two pieces as a plug-in streaming its document would, collected and read
// as the host reads them.
#include <cstring>
#include <vector>

#include "app/PluginServers.h"
#include "fuzz/FuzzTarget.h"

KESTREL_FUZZ_TARGET(PluginDescription)
{
    using namespace kestrel;
    std::vector<uint16_t> units(size_t(data.size() / 2));
    if (!units.empty()) std::memcpy(units.data(), data.data(), units.size() * sizeof(uint16_t));
    const uint32_t half = uint32_t(units.size() / 2);
    const QString label = QStringLiteral("fuzz");
    const QString xml = ReadPluginText(label, QStringLiteral("説明"), kMaxPluginDocument, [&](const KTextOut* out) {
        const KResult status = out->Write(out->context, units.data(), half);
        if (K_FAILED(status)) return status;
        return out->Write(out->context, units.data() + half, uint32_t(units.size()) - half);
    });
    ReadPluginDescription(label, xml);
}
