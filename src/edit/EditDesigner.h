#pragma once

#include <memory>

#include "document/DODesigner.h"

namespace kestrel {

class TGhost;
class TGhostList;
struct TMoveSettings;

// Handles and drags of the label objects, chosen by their capabilities: the eight handles of
// rectangle-based objects (two of them turning a turnable object), the end handles of lines and
// the bulge handle of arcs. Its ghosts join the session's ghost list; move ghosts take the
// session's move settings.
class TEditDesigner : public TDODesigner {
public:
    TEditDesigner(TGhostList& ghosts, const TMoveSettings& moveSettings);

    bool CreatePivots(TDrawObject& object) override;
    bool StartGhost(TDrawObject& object, int handle) override;

private:
    // The ghost for a press with the handle code; none when the object has no such drag.
    std::unique_ptr<TGhost> MakeGhost(TDrawObject& object, int handle) const;

    TGhostList& ghosts_;
    const TMoveSettings& moveSettings_;
};

}  // namespace kestrel
