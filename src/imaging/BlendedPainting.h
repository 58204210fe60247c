#pragma once

#include <QImage>

namespace kestrel {

// Mixes source into target through mask (all three the same size), the mask's opacity weakened
// to ratio percent; false when the sizes or formats do not allow it.
bool BlendThroughMask(QImage& target, const QImage& source, const QImage& mask, int ratio);

// Lets draw objects that ask for it paint blended. The program's start-up calls it; so do tests.
void InstallBlendedPainting();

}  // namespace kestrel
