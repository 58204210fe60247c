#pragma once

// The shipped distortion presets: a readable JSON source compiled into the preset file.
//
// Source: {"presets": [{"name": "...", "top": [[x, y], [x, y, "smooth"], ...], "right": ...,
// "bottom": ..., "left": ...}, ...]}; points in the unit square (y down), at least two per side,
// the shared corners written the same on both sides.

#include <QByteArray>
#include <QString>
#include <vector>

#include "text/CoonsDistortion.h"

namespace kestrel {

struct TDistortionPreset {
    QString name;
    TCoonsDistortion distortion;
};

// Fails with a Japanese message naming the preset and what is wrong with it. Identifiers come
// from the names, so a preset keeps its identifier from build to build.
std::vector<TDistortionPreset> ParseDistortionSource(const QByteArray& json);
// Writes the preset file; the target is replaced only once it is complete.
void WriteDistortionFile(const QString& path, const std::vector<TDistortionPreset>& presets);

}  // namespace kestrel
