#include "imaging/ImageFilters.h"

namespace kestrel {

std::unique_ptr<TGREffector> CreateEffector(const TGREFilter& filter)
{
    if (!filter.IsActive()) return nullptr;
    if (const auto* blur = dynamic_cast<const TBlurFilter*>(&filter)) {
        if (blur->BlurCount() > 0) {
            auto effector = std::make_unique<TGREffectBlur>();
            effector->Passes = blur->BlurCount();
            return effector;
        }
        auto effector = std::make_unique<TGREffectUnsharpMask>();
        effector->Radius = -double(blur->BlurCount());
        return effector;
    }
    if (const auto* light = dynamic_cast<const TLightFilter*>(&filter)) {
        auto effector = std::make_unique<TGREffectBrightnessContrast>();
        effector->Brightness = light->Brightness();
        effector->Contrast = light->Contrast();
        return effector;
    }
    if (const auto* mono = dynamic_cast<const TMonotoneFilter*>(&filter)) {
        auto effector = std::make_unique<TGREffectMonoTone>();
        effector->RefColor = mono->RefColor();
        return effector;
    }
    return nullptr;
}

void ApplyFilter(const TGREFilter& filter, QImage& picture)
{
    const std::unique_ptr<TGREffector> effector = CreateEffector(filter);
    if (!effector) return;
    const QImage source = picture;
    QImage result;
    effector->Source = &source;
    effector->Dest = &result;
    effector->Execute();
    if (!result.isNull()) picture = result;
}

void InstallImageFilters() { SetImageFilterProcessor(ApplyFilter); }

}  // namespace kestrel
