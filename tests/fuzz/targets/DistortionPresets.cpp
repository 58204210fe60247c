// The distortion preset file: opened, every preset read.
#include "fuzz/FuzzTarget.h"
#include "document/storage/CDDFile.h"

KESTREL_FUZZ_TARGET(DistortionPresets)
{
    const QString file = kestrel::fuzz::WriteInputFile(data, QStringLiteral(".cdd"));
    kestrel::TCDDFile presets;
    presets.Open(file);
    for (int i = 0; i < presets.Count(); ++i) presets.PresetData(i);
}
