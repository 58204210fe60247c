#pragma once

// The effectors behind the persistent picture filters.

#include <memory>

#include "imaging/Effects.h"
#include "render/ImageData.h"

namespace kestrel {

// Blur passes for BlurCount > 0, an unsharp mask of strength -BlurCount below 0; brightness and
// contrast; monotone. None when the filter is off.
std::unique_ptr<TGREffector> CreateEffector(const TGREFilter& filter);
// Runs the filter's effector over the whole of a 32-bit picture; without one the picture stays.
void ApplyFilter(const TGREFilter& filter, QImage& picture);
// Lets picture data apply its filters through the effectors; called once at start-up.
void InstallImageFilters();

}  // namespace kestrel
