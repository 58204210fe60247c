#include "document/EditSession.h"

#include "document/DrawObject.h"
#include "document/ObjectKinds.h"

namespace kestrel {

TEditSession::TEditSession(const TObjectKinds& kinds)
{
    designers_.Register(std::make_unique<TLOCreator>(*this, kinds));
}

TEditSession::TEditSession() : TEditSession(TObjectKinds::Global()) {}

TEditSession::~TEditSession() = default;

TActionList* HistoryOf(const TObjectSite& site)
{
    TEditSession* session = site.Session();
    return session ? &session->History() : nullptr;
}

void Record(const TObjectSite& site, std::unique_ptr<TActionBase> record)
{
    if (TActionList* history = HistoryOf(site)) history->Add(std::move(record));
}

TDODesignerList* DesignersOf(const TDrawObject& object)
{
    TEditSession* session = object.Site() ? object.Site()->Session() : nullptr;
    return session ? &session->Designers() : nullptr;
}

}  // namespace kestrel
