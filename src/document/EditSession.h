#pragma once

#include <functional>
#include <memory>

#include "document/ActionList.h"
#include "document/DODesigner.h"

namespace kestrel {

class TDrawObject;
class TObjectKinds;
class TObjectSite;

// What one open document's editing shares among the sites that show it: the undo history, the
// designers that create, edit and drag its objects, and the screens' observer of new objects.
// Sites that are never edited (previews, printing, export) belong to no session.
class TEditSession {
public:
    using TCreationObserver = std::function<void(TDrawObject&)>;

    // The creator of kinds is the first designer.
    explicit TEditSession(const TObjectKinds& kinds);
    TEditSession();
    virtual ~TEditSession();
    TEditSession(const TEditSession&) = delete;
    TEditSession& operator=(const TEditSession&) = delete;

    TActionList& History() { return history_; }
    TDODesignerList& Designers() { return designers_; }
    // Told about every object created on one of the session's sites, before it is placed.
    const TCreationObserver& CreationObserver() const { return creationObserver_; }
    void SetCreationObserver(TCreationObserver observer) { creationObserver_ = std::move(observer); }

private:
    TActionList history_;
    TDODesignerList designers_;
    TCreationObserver creationObserver_;
};

// The history of the session the site belongs to; none for a site outside every session, whose
// changes are not recorded.
TActionList* HistoryOf(const TObjectSite& site);
// Adds the record to that history (a site without one drops it).
void Record(const TObjectSite& site, std::unique_ptr<TActionBase> record);
// The designers the object's site asks; none for an object off every session's sites.
TDODesignerList* DesignersOf(const TDrawObject& object);

}  // namespace kestrel
