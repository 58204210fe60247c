#pragma once

#include <QByteArray>
#include <memory>
#include <optional>
#include <vector>

namespace kestrel {

class TDrawObject;
class TEditSession;
class TObjectKinds;
class TObjectSite;

// Answers some of the requests on draw objects; every request it does not answer it declines
// (nullopt or false), and the registry asks the next designer.
class TDODesigner {
public:
    virtual ~TDODesigner() = default;
    // Creates an object of the kind and puts it on the site; the answer says whether it did.
    virtual std::optional<bool> CreateOnSite(TObjectSite&, const QByteArray& /*kind*/) { return std::nullopt; }
    // Shows the property editor; the answer is false when the user cancelled.
    virtual std::optional<bool> EditObject(TDrawObject&) { return std::nullopt; }
    // True when handled.
    virtual bool CreatePivots(TDrawObject&) { return false; }
    virtual bool StartGhost(TDrawObject&, int /*handle*/) { return false; }
};

// The designers of one edit session, asked from the most recently registered to the first.
class TDODesignerList {
public:
    // module: what the designer came with; unloading that module removes it.
    TDODesigner& Register(std::unique_ptr<TDODesigner> designer, const void* module = nullptr);
    void UnregisterModule(const void* module);
    void Unregister(const TDODesigner& designer);
    int Count() const { return static_cast<int>(entries_.size()); }

    bool CreateOnSite(TObjectSite& site, const QByteArray& kind);
    // Afterwards the object's site rebuilds its handles. False when nobody handled it or the
    // user cancelled.
    bool EditObject(TDrawObject& object);
    bool CreatePivots(TDrawObject& object);
    bool StartGhost(TDrawObject& object, int handle);

private:
    struct TEntry {
        std::unique_ptr<TDODesigner> designer;
        const void* module;
    };
    // Newest first.
    std::vector<TDODesigner*> Snapshot() const;

    std::vector<TEntry> entries_;
};

// Creates objects of the program's kinds on the sites of its session: prepares them as their
// kind says, shows the property editor first or lets the user drag them out, and records the
// addition.
class TLOCreator : public TDODesigner {
public:
    TLOCreator(TEditSession& session, const TObjectKinds& kinds);

    std::optional<bool> CreateOnSite(TObjectSite& site, const QByteArray& kind) override;

private:
    TEditSession& session_;
    const TObjectKinds& kinds_;
};

}  // namespace kestrel
