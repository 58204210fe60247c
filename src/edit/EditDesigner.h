#pragma once

#include <memory>

#include "document/DODesigner.h"

namespace kestrel {

class TGhost;

// Handles and drags of the label objects, chosen by their capabilities: the eight handles of
// rectangle-based objects (two of them turning a turnable object), the end handles of lines and
// the bulge handle of arcs.
class TEditDesigner : public TDODesigner {
public:
    bool CreatePivots(TDrawObject& object) override;
    bool StartGhost(TDrawObject& object, int handle) override;

    // The ghost for a press with the handle code; none when the object has no such drag.
    static std::unique_ptr<TGhost> MakeGhost(TDrawObject& object, int handle);
};

// Registers the designer and installs the process-wide ghost list; once.
void InstallEditing();

}  // namespace kestrel
