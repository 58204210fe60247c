// The template ID index (with its range entries) and the favourites list: read from the same
// bytes, as an INI text in code page 932 and as favourites rows.
#include "fuzz/FuzzTarget.h"
#include "label/Templates.h"
#include "platform/Cp932.h"

KESTREL_FUZZ_TARGET(TemplateIndex)
{
    const kestrel::TIdIndex index = kestrel::TIdIndex::FromText(kestrel::FromCp932(data));
    for (const kestrel::TIdIndex::TEntry& entry : index.Entries())
        if (entry.id != entry.id.toUpper() || entry.name != entry.name.toUpper()) qFatal("names and IDs are kept in upper case");
    if (index.Entries().size() > size_t(data.size()) * kestrel::IdRangeLimit + 1) qFatal("ranges stay bounded");
    const QString file = kestrel::fuzz::WriteInputFile(data, QStringLiteral(".dat"));
    kestrel::TTemplateList favourites;
    favourites.SetBaseFolder(QStringLiteral("/base"));
    favourites.LoadFromFile(file);
    for (int i = 0; i < favourites.Count(); ++i)
        if (favourites.IndexOf(favourites.Item(i)) != i) qFatal("favourites are kept once");
}
