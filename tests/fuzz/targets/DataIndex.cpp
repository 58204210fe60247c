// The INI index files of the shipped designs (backgrounds, illustrations, effect styles): read as
// code page 932 sections, then as an illustration genre index.
#include "fuzz/FuzzTarget.h"
#include "imaging/EffectPresets.h"
#include "imaging/Illustrations.h"
#include "platform/IniText.h"

KESTREL_FUZZ_TARGET(DataIndex)
{
    const QString file = kestrel::fuzz::WriteInputFile(data, QStringLiteral(".dat"));
    const std::vector<kestrel::TIniSection> sections = kestrel::ReadIniFile(file);
    if (kestrel::ReadEffectStyles(file).size() != sections.size()) qFatal("a style for every section");
    kestrel::ReadIllustrationIndex(file);
}
