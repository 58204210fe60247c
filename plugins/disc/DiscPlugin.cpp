#include "CddbImporter.h"
#include "DiscImporter.h"

namespace kestrel::plugin {

namespace {

KESTREL_GUID(DiscImporterClass, 0x3F6C2A10, 0x5B7E, 0x4C21, 0x9A, 0x4D, 0x71, 0x20, 0xC3, 0x8E, 0x55, 0x02);
KESTREL_GUID(CueSheetExporterClass, 0x3F6C2A10, 0x5B7E, 0x4C21, 0x9A, 0x4D, 0x71, 0x20, 0xC3, 0x8E, 0x55, 0x03);
KESTREL_GUID(CddbImporterClass, 0x3F6C2A10, 0x5B7E, 0x4C21, 0x9A, 0x4D, 0x71, 0x20, 0xC3, 0x8E, 0x55, 0x04);

}  // namespace

const std::vector<TServerEntry>& LibraryServers()
{
    static const std::vector<TServerEntry> servers = {
        {DiscImporterClass, KESTREL_CATID_MUSIC_IMPORTERS, QStringLiteral("CD-TEXT"), [] { return new TDiscImporter; }},
        {CddbImporterClass, KESTREL_CATID_MUSIC_IMPORTERS, QStringLiteral("CDDB"), [] { return new TCddbImporter; }},
        {CueSheetExporterClass, KESTREL_CATID_MUSIC_EXPORTERS, QStringLiteral("CUEシート"),
         [] { return new TCueSheetExporter; }},
    };
    return servers;
}

}  // namespace kestrel::plugin
