// The result document a music importer returns: the input is the UTF-16 units the plug-in
// writes, collected within the bound, read as albums and taken as the album dialog takes them.
#include <cstring>
#include <vector>

#include "app/PluginServers.h"
#include "fuzz/FuzzTarget.h"
#include "music/Albums.h"
#include "music/MusicDiscPlugins.h"

KESTREL_FUZZ_TARGET(ImportResult)
{
    using namespace kestrel;
    std::vector<uint16_t> units(size_t(data.size() / 2));
    if (!units.empty()) std::memcpy(units.data(), data.data(), units.size() * sizeof(uint16_t));
    const QString label = QStringLiteral("fuzz");
    const QString xml = ReadPluginText(label, QStringLiteral("取得の結果"), kMaxPluginDocument, [&](const KTextOut* out) {
        return out->Write(out->context, units.data(), uint32_t(units.size()));
    });
    for (const TImportedAlbum& album : ReadImportResult(label, xml).Albums) AlbumFromImport(album);
}
