#pragma once

#include <QByteArray>
#include <QHash>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "document/Designers.h"
#include "document/DrawObject.h"

namespace kestrel {

class TClassRegistry;
class TDrawObject;
class TObjectSite;

// Answers some of the requests on draw objects; every request it does not answer it declines
// (nullopt, nullptr or false), and the registry asks the next designer.
class TDODesigner {
public:
    virtual ~TDODesigner() = default;
    // Creates an object of the kind and puts it on the site; the answer says whether it did.
    virtual std::optional<bool> CreateOnSite(TObjectSite&, const QByteArray& /*kind*/)
    {
        return std::nullopt;
    }
    virtual std::unique_ptr<TDrawObject> NewObject(const QByteArray& /*kind*/) { return nullptr; }
    // Shows the property editor; the answer is false when the user cancelled.
    virtual std::optional<bool> EditObject(TDrawObject&) { return std::nullopt; }
    // True when handled.
    virtual bool CreatePivots(TDrawObject&) { return false; }
    virtual bool StartGhost(TDrawObject&, int /*handle*/) { return false; }
};

// The process-wide designers, asked from the most recently registered to the first.
class TDODesignerList : public IObjectDesigners {
public:
    // module: what the designer came with; unloading that module removes it.
    TDODesigner& Register(std::unique_ptr<TDODesigner> designer, const void* module = nullptr);
    void UnregisterModule(const void* module);
    void Unregister(const TDODesigner& designer);
    int Count() const { return static_cast<int>(entries_.size()); }

    bool CreateOnSite(TObjectSite& site, const QByteArray& kind);
    std::unique_ptr<TDrawObject> NewObject(const QByteArray& kind);

    // Afterwards the object's site rebuilds its handles. False when nobody handled it or the
    // user cancelled.
    bool EditObject(TDrawObject& object) override;
    bool CreatePivots(TDrawObject& object) override;
    bool StartGhost(TDrawObject& object, int handle) override;

private:
    struct TEntry {
        std::unique_ptr<TDODesigner> designer;
        const void* module;
    };
    // Newest first.
    std::vector<TDODesigner*> Snapshot() const;

    std::vector<TEntry> entries_;
};

TDODesignerList& DesignerList();
// Registers the creator in the process-wide list (once) and installs the list as the designers
// that label objects ask.
void InstallObjectDesigners();

// How a kind is prepared and placed when it is created on a site.
struct TKindSetup {
    // Runs before the object is placed (picture source, clipboard contents, ...).
    std::function<void(TDrawObject&, TObjectSite&)> prepare;
    // The property editor is shown before the object is placed; cancelling drops the object.
    bool editorFirst = false;
    // The user places the object by dragging.
    bool drag = true;
};

// Creates objects by kind name. A kind is either a class name or a creation command that stands
// for a class ("TLOImagePaste" makes a picture object); the object families register their
// factories and preparations as they are built.
class TLOCreator : public TDODesigner {
public:
    using Factory = std::function<std::unique_ptr<TDrawObject>()>;
    // Told about every object created on a site before it is placed.
    using CreationObserver = std::function<void(TDrawObject&)>;

    explicit TLOCreator(const TClassRegistry* registry = nullptr);

    std::optional<bool> CreateOnSite(TObjectSite& site, const QByteArray& kind) override;
    std::unique_ptr<TDrawObject> NewObject(const QByteArray& kind) override;

    // The class a kind creates ("TLOTwain" -> "TLOWizardImage"); other kinds name their class.
    QByteArray TargetClass(const QByteArray& kind) const;
    // A factory used instead of the class registry for a class name (e.g. the most derived of
    // two classes registered under one name).
    static void RegisterClassFactory(const QByteArray& className, Factory factory);
    static const TKindSetup& Setup(const QByteArray& kind);
    static void SetKindSetup(const QByteArray& kind, TKindSetup setup);
    static void SetCreationObserver(CreationObserver observer);

private:
    void Prepare(TDrawObject& object, TObjectSite& site, const QByteArray& kind) const;
    static QHash<QByteArray, Factory>& Factories();
    static QHash<QByteArray, TKindSetup>& Setups();
    static CreationObserver& Observer();

    const TClassRegistry* registry_;
};

}  // namespace kestrel
