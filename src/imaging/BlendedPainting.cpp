#include "imaging/BlendedPainting.h"

#include "document/DrawObject.h"
#include "imaging/Blender.h"

namespace kestrel {

bool BlendThroughMask(QImage& target, const QImage& source, const QImage& mask, int ratio)
{
    if (source.size() != target.size() || mask.size() != target.size()) return false;
    const TRect whole{0, 0, target.width(), target.height()};
    TGRBlendAlphaMapRatio blender;
    blender.SetDestination(&target, whole);
    blender.SetSource(&source, whole);
    blender.SetAlphaMap(&mask, whole);
    blender.SetRatio(ratio);
    if (!blender.CanBlend()) return false;
    blender.Blend();
    return true;
}

void InstallBlendedPainting()
{
    SetMaskBlender(&BlendThroughMask);
}

}  // namespace kestrel
