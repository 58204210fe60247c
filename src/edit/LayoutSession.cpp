#include "edit/LayoutSession.h"

#include "document/ObjectKinds.h"
#include "edit/EditDesigner.h"
#include "render/DrawSite.h"

namespace kestrel {

TLayoutSession::TLayoutSession(const TObjectKinds& kinds) : TEditSession(kinds)
{
    Designers().Register(std::make_unique<TEditDesigner>(ghosts_, moveSettings_));
}

TLayoutSession::TLayoutSession() : TLayoutSession(TObjectKinds::Global()) {}

void TLayoutSession::Attach(TDrawSite& site)
{
    site.SetSession(this);
    site.SetDragGhosts(&ghosts_);
}

}  // namespace kestrel
