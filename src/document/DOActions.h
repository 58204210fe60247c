#pragma once

#include <memory>
#include <vector>

#include "document/ActionList.h"
#include "document/Notify.h"

namespace kestrel {

class TDrawObject;
class TObjectSite;

// A site's objects from the front-most to the back-most.
using TZOrder = std::vector<TDrawObject*>;
TZOrder CaptureZOrder(const TObjectSite& site);
// Sends the recorded objects still on the site to the back of their layer groups, front-most
// first, which rebuilds the recorded order; objects gone meanwhile are skipped.
void RestoreZOrder(const TZOrder& order);

// Base of the records on draw objects: undoable and redoable, and following the objects it
// refers to so that a destroyed one is forgotten rather than touched.
class TDOAction : public TActionBase {
protected:
    explicit TDOAction(QString caption);
    void Follow(TDrawObject* object);
    void Follow(const TZOrder& order);
    // Clears every reference to the object.
    virtual void Forget(TDrawObject* object) = 0;
    virtual void ObjectModified(TDrawObject*) {}
    static void ForgetIn(TZOrder& order, TDrawObject* object);

private:
    TListener listener_;
};

// A change of stacking on one site.
class TDOLayerAction : public TDOAction {
public:
    explicit TDOLayerAction(TObjectSite& site, QString caption = QStringLiteral("重なり順"));
    // Takes the order and selection after the change and adds the record to the history of the
    // site's session.
    static void Commit(std::unique_ptr<TDOLayerAction> action);

    void Undo() override;
    void Redo() override;

private:
    void Restore(const TZOrder& order);
    void Forget(TDrawObject* object) override;

    TZOrder before_;
    TZOrder after_;
    TZOrder selectionAfter_;
};

// A change of one object's properties, undone and redone by assigning copies.
class TDOChangeAction : public TDOAction {
public:
    explicit TDOChangeAction(TDrawObject& object, QString caption = QStringLiteral("変更"));
    ~TDOChangeAction() override;

    // Counts as changed even when no modification is seen.
    void MarkChanged() { markedChanged_ = true; }
    // Adds the record to the history of the session of the object's site, only when the object
    // is still on a site and its state differs from the state before; otherwise the record is
    // dropped.
    static void Commit(std::unique_ptr<TDOChangeAction> action);

    void Undo() override;
    void Redo() override;

private:
    void Apply(const TDrawObject& state);
    bool StateDiffers() const;
    void Forget(TDrawObject* object) override;
    void ObjectModified(TDrawObject* object) override;

    TDrawObject* object_;
    std::unique_ptr<TDrawObject> before_;
    std::unique_ptr<TDrawObject> after_;
    bool modifiedSeen_ = false;
    bool markedChanged_ = false;
};

// Common ground of the add and delete records: the object comes and goes from its site, owned by
// the record while it is away.
class TDOInsertionAction : public TDOAction {
public:
    ~TDOInsertionAction() override;
    TDrawObject* Object() const { return object_; }

protected:
    TDOInsertionAction(TDrawObject& object, QString caption);
    void Insert();
    void Remove();

private:
    TObjectSite* LiveSite() const;
    void Forget(TDrawObject* object) override;

    TDrawObject* object_;
    TObjectSite* site_;
    std::weak_ptr<const void> siteLifetime_;
    TZOrder order_;
    std::unique_ptr<TDrawObject> owned_;
};

// Made right after the object was put on its site; the caller adds it to the history.
class TDOAddAction : public TDOInsertionAction {
public:
    explicit TDOAddAction(TDrawObject& object, QString caption = QStringLiteral("追加"));
    void Undo() override { Remove(); }
    void Redo() override { Insert(); }
};

// Takes the object off its site at once and keeps it; the caller adds it to the history.
class TDODelAction : public TDOInsertionAction {
public:
    explicit TDODelAction(TDrawObject& object, QString caption = QStringLiteral("削除"));
    void Undo() override { Insert(); }
    void Redo() override { Remove(); }
};

}  // namespace kestrel
