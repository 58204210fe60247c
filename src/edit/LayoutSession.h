#pragma once

#include "document/EditSession.h"
#include "edit/GhostList.h"
#include "edit/MoveModes.h"

namespace kestrel {

class TDrawSite;

// The session of a document edited with the mouse: besides the history and the designers, the
// ghosts of the drag under way and the move modes the layout screen chose. Its designers make
// the handles and the drags of the label objects.
class TLayoutSession : public TEditSession {
public:
    explicit TLayoutSession(const TObjectKinds& kinds);
    TLayoutSession();

    TGhostList& Ghosts() { return ghosts_; }
    TMoveSettings& MoveSettings() { return moveSettings_; }
    // The site is edited in this session from now on.
    void Attach(TDrawSite& site);

private:
    TGhostList ghosts_;
    TMoveSettings moveSettings_;
};

}  // namespace kestrel
