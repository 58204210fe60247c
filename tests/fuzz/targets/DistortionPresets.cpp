// The distortion preset file: opened, every preset read and parsed into a distortion.
#include "fuzz/FuzzTarget.h"
#include "text/CDDFile.h"
#include "text/CoonsDistortion.h"

KESTREL_FUZZ_TARGET(DistortionPresets)
{
    const QString file = kestrel::fuzz::WriteInputFile(data, QStringLiteral(".cdd"));
    kestrel::TCDDFile presets;
    presets.Open(file);
    for (int i = 0; i < presets.Count(); ++i) {
        kestrel::TCoonsDistortion distortion;
        presets.Load(distortion, i);
    }
}
