#pragma once

// The paper's own printed pattern, kept with the paper's records: objects drawn under a face on
// screen and, when asked for, printed under it.

#include <memory>
#include <vector>

namespace kestrel {

class TDrawObject;
class TLabelData;
class TPaperInfo;

// The layer the pattern lies in, under the face's own objects.
inline constexpr int PatternLayerGroup = -50;

// Copies of the pattern objects of face n, relative to the face, in the pattern's layer. On a
// landscape paper they are turned a quarter as the face lies turned on the sheet.
std::vector<std::unique_ptr<TDrawObject>> FacePatternObjects(const TLabelData& document, int n);

}  // namespace kestrel
