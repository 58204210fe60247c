// The distortion preset file: opened, every preset read.
#include "fuzz/FuzzTarget.h"
#include "text/CDDFile.h"
#include "text/CoonsDistortion.h"

KESTREL_FUZZ_TARGET(DistortionPresets)
{
    const QString file = kestrel::fuzz::WriteInputFile(data, QStringLiteral(".cdd"));
    kestrel::TCDDFile presets;
    presets.Open(file);
    kestrel::TCoonsDistortion distortion;
    for (int i = 0; i < presets.Count(); ++i) presets.Load(distortion, i);
}
