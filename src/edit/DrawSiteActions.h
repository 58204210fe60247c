#pragma once

#include <QString>
#include <functional>

#include "document/ActionList.h"
#include "document/DSOperation.h"
#include "platform/Clipboard.h"

namespace kestrel {

class TDrawObject;
class TObjectSite;

// A text field with the focus, on which the clipboard and undo commands act instead of the
// design surface.
class ITextControl {
public:
    virtual ~ITextControl() = default;
    virtual bool HasSelection() const = 0;
    virtual bool CanUndo() const = 0;
    virtual void Copy() = 0;
    virtual void Cut() = 0;
    virtual void Paste() = 0;
    virtual void Clear() = 0;
    virtual void Undo() = 0;
};

// A menu and tool bar command on the objects of a draw site: it collects its targets, decides
// from them whether it may run and records its undo step. The window's action carries its
// caption, shortcut and hint.
class TDrawSiteActionBase : public TSiteCommand {
public:
    // Whether it may run on the site; without one (no face shown) only the commands that act on
    // the whole session may.
    virtual bool EnabledOn(TObjectSite* site) { return site && IsTargetValid(*site); }
    virtual void ExecuteOn(TObjectSite* site)
    {
        if (site) Execute(*site);
    }
    // Whether the command also serves text fields (only the clipboard and undo commands do).
    virtual bool HandlesTextControls() const { return false; }
    virtual bool EnabledOnText(ITextControl&) { return false; }
    virtual void ExecuteText(ITextControl&) {}
    // The caption of a command that names what it would do (undo names the step); empty keeps
    // the window's caption.
    virtual QString NamedCaption() const { return {}; }
};

// A command a screen defines with handlers instead of a class of its own; it runs only when it
// has a first step or a step per object.
class TDrawSiteAction : public TDrawSiteActionBase {
public:
    using ListEvent = std::function<void(TDrawSiteAction&, TObjectSite&)>;
    using ObjectEvent = std::function<void(TObjectSite&, TDrawObject&)>;

    // Called after the standard collection; may edit the targets.
    void SetOnMakeList(ListEvent handler) { onMakeList_ = std::move(handler); }
    void SetOnExecuteFirst(ListEvent handler) { onExecuteFirst_ = std::move(handler); }
    void SetOnEachObject(ObjectEvent handler) { onEachObject_ = std::move(handler); }

    void MakeList(TObjectSite& site) override;

protected:
    bool HasSteps() const override { return onExecuteFirst_ || onEachObject_; }
    bool HasEachStep() const override { return static_cast<bool>(onEachObject_); }
    void ExecuteFirst(TObjectSite& site) override;
    void EachObject(TObjectSite& site, TDrawObject& object) override;

private:
    ListEvent onMakeList_;
    ListEvent onExecuteFirst_;
    ObjectEvent onEachObject_;
};

class TStandardDSA : public TDrawSiteActionBase {};

// Raises the targets to the top of their layer groups, keeping their order among themselves.
class TDSABringToFront : public TStandardDSA {
public:
    TDSABringToFront();

protected:
    void EachObject(TObjectSite&, TDrawObject& object) override;
};

class TDSASendToBack : public TStandardDSA {
public:
    TDSASendToBack();

protected:
    void EachObject(TObjectSite&, TDrawObject& object) override;
};

// The union of the objects' bounds moves as one (pasted objects keep their arrangement) just far
// enough to lie inside the area; a union larger than the area is aligned to its left and top.
// Clipboard data is foreign: in 64 bits, and a shift no object could take is not made.
void ShiftInside(const TDOList& list, const TRect& area);

// The clipboard commands: on a site they carry draw objects in the private format; on a text
// field they do what the field does.
class TStandardEditDSA : public TStandardDSA {
public:
    // The name under which the objects travel: "$(AppName)" expanded.
    static QString ClipboardFormat();

    bool HandlesTextControls() const override { return true; }
    bool EnabledOnText(ITextControl& control) override { return control.HasSelection(); }

protected:
    // Clones of the targets onto the clipboard.
    void CopyTargets();
};

class TDSACopy : public TStandardEditDSA {
public:
    void ExecuteText(ITextControl& control) override { control.Copy(); }

protected:
    bool HasEachStep() const override { return false; }
    void ExecuteFirst(TObjectSite&) override { CopyTargets(); }
};

// Copies, then takes each target off the site into its delete record.
class TDSACut : public TStandardEditDSA {
public:
    TDSACut();
    void ExecuteText(ITextControl& control) override { control.Cut(); }

protected:
    void ExecuteFirst(TObjectSite&) override { CopyTargets(); }
    void EachObject(TObjectSite&, TDrawObject& object) override;
};

class TDSAClear : public TStandardEditDSA {
public:
    TDSAClear();
    void ExecuteText(ITextControl& control) override { control.Clear(); }

protected:
    void EachObject(TObjectSite&, TDrawObject& object) override;
};

// The targets are the objects on the clipboard, moved together into the site's area; without
// any, another program's text or picture becomes a new object.
class TDSAPaste : public TStandardEditDSA {
public:
    TDSAPaste();
    bool EnabledOn(TObjectSite* site) override;
    bool EnabledOnText(ITextControl& control) override;
    void ExecuteText(ITextControl& control) override { control.Paste(); }
    void MakeList(TObjectSite& site) override;
    bool IsTargetValid(TObjectSite& site) override;

protected:
    void ExecuteFirst(TObjectSite& site) override;
    void EachObject(TObjectSite& site, TDrawObject& object) override;

private:
    TForeignClipboard foreign_ = TForeignClipboard::fcNone;
};

class TDSASelectAll : public TStandardDSA {
public:
    TDSASelectAll();
    void MakeList(TObjectSite& site) override;

protected:
    void EachObject(TObjectSite&, TDrawObject& object) override;
};

// Sets Movable to the opposite of Locking(), on the targets whose state differs.
class TDSALock : public TStandardDSA {
public:
    TDSALock();
    void MakeList(TObjectSite& site) override;

protected:
    virtual bool Locking() const { return true; }
    void EachObject(TObjectSite&, TDrawObject& object) override;
};

class TDSAUnlock : public TDSALock {
protected:
    bool Locking() const override { return false; }
};

// Undoes the last step of the session's history (an edit of the face shown, or of the sheets);
// its caption names that step.
class TDSAUndo : public TStandardDSA {
public:
    explicit TDSAUndo(TActionList& history) : history_(history) {}

    bool EnabledOn(TObjectSite*) override { return Possible(); }
    // The objects of the site shown are deselected first.
    void ExecuteOn(TObjectSite* site) override;
    bool HandlesTextControls() const override { return true; }
    bool EnabledOnText(ITextControl& control) override { return control.CanUndo(); }
    void ExecuteText(ITextControl& control) override { control.Undo(); }
    QString NamedCaption() const override;

protected:
    TActionList& History() const { return history_; }
    // The history's step in this direction.
    virtual bool Possible() const;
    virtual void Step();

private:
    TActionList& history_;
};

class TDSARedo : public TDSAUndo {
public:
    using TDSAUndo::TDSAUndo;

    bool EnabledOnText(ITextControl&) override { return false; }
    void ExecuteText(ITextControl&) override {}
    QString NamedCaption() const override;

protected:
    bool Possible() const override;
    void Step() override;
};

// Sets DontPrint to Printing()'s opposite on the label objects whose flag differs.
class TDSADontPrint : public TStandardDSA {
public:
    TDSADontPrint();
    void MakeList(TObjectSite& site) override;

protected:
    virtual bool DontPrintValue() const { return true; }
    void EachObject(TObjectSite&, TDrawObject& object) override;
};

class TDSADoPrint : public TDSADontPrint {
protected:
    bool DontPrintValue() const override { return false; }
};

// Switches the objects that can write vertically, and do not yet, to vertical writing.
class TDSAVertText : public TStandardDSA {
public:
    TDSAVertText();
    void MakeList(TObjectSite& site) override;

protected:
    virtual bool VerticalValue() const { return true; }
    void EachObject(TObjectSite&, TDrawObject& object) override;
};

class TDSAHorzText : public TDSAVertText {
protected:
    bool VerticalValue() const override { return false; }
};

// The property dialog of the one selected label object.
class TDSAEditProperty : public TStandardDSA {
public:
    TDSAEditProperty();

protected:
    void EachObject(TObjectSite&, TDrawObject& object) override;
};

// Turns the objects that can turn by a fixed angle; the angle stays within 0..359.
class TDSAOffsetAngle : public TStandardDSA {
public:
    explicit TDSAOffsetAngle(int degrees);
    void MakeList(TObjectSite& site) override;

protected:
    void EachObject(TObjectSite&, TDrawObject& object) override;

private:
    int offsetAngle_;
};

}  // namespace kestrel
