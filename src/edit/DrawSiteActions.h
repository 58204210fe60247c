#pragma once

#include <QString>
#include <functional>

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

// A menu and tool bar command on the objects of a draw site. It keeps the settings of an action
// (caption, shortcut, enabled state ...) for the window that shows it, and decides from its
// targets whether it may run.
class TDrawSiteActionBase : public TComponent, public TSiteCommand {
    KESTREL_PERSISTENT()
public:
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption) { caption_ = caption; }
    // Key sequence in portable text ("Ctrl+C"); empty for none.
    const QString& ShortCut() const { return shortCut_; }
    void SetShortCut(const QString& keys) { shortCut_ = keys; }
    const QString& Hint() const { return hint_; }
    void SetHint(const QString& hint) { hint_ = hint; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index) { imageIndex_ = index; }
    bool Checked() const { return checked_; }
    void SetChecked(bool value) { checked_ = value; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }
    bool Visible() const { return visible_; }
    void SetVisible(bool value) { visible_ = value; }
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int context) { helpContext_ = context; }
    TDSAUndoType ActionType() const { return UndoType(); }
    void SetActionType(TDSAUndoType type) { SetUndoType(type); }

    // Whether the command also serves text fields (only the clipboard and undo commands do).
    virtual bool HandlesTextControls() const { return false; }
    // Enabled state (and caption) for a site; without one the command is disabled.
    virtual void UpdateTarget(TObjectSite* site);
    virtual void UpdateText(ITextControl&) { SetEnabled(false); }
    void ExecuteTarget(TObjectSite& site) { Execute(site); }
    virtual void ExecuteText(ITextControl&) {}

private:
    QString caption_;
    QString shortCut_;
    QString hint_;
    int imageIndex_ = -1;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    int helpContext_ = 0;
};

// A command a screen defines with handlers instead of a class of its own; it runs only when it
// has a first step or a step per object.
class TDrawSiteAction : public TDrawSiteActionBase {
    KESTREL_PERSISTENT()
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

class TStandardDSA : public TDrawSiteActionBase {
    KESTREL_PERSISTENT()
};

// Raises the targets to the top of their layer groups, keeping their order among themselves.
class TDSABringToFront : public TStandardDSA {
    KESTREL_PERSISTENT()
public:
    TDSABringToFront();

protected:
    void EachObject(TObjectSite&, TDrawObject& object) override;
};

class TDSASendToBack : public TStandardDSA {
    KESTREL_PERSISTENT()
public:
    TDSASendToBack();

protected:
    void EachObject(TObjectSite&, TDrawObject& object) override;
};

// The clipboard commands: on a site they carry draw objects in the private format; on a text
// field they do what the field does.
class TStandardEditDSA : public TStandardDSA {
    KESTREL_PERSISTENT()
public:
    TStandardEditDSA();
    // The format's name before macro expansion.
    const QString& ClipboardFormat() const { return clipboardFormat_; }
    void SetClipboardFormat(const QString& format) { clipboardFormat_ = format; }
    // The name under which the objects travel.
    QString ExpandedFormat() const;

    bool HandlesTextControls() const override { return true; }
    void UpdateText(ITextControl& control) override { SetEnabled(control.HasSelection()); }

protected:
    // Clones of the targets onto the clipboard.
    void CopyTargets();

private:
    QString clipboardFormat_;
};

class TDSACopy : public TStandardEditDSA {
    KESTREL_PERSISTENT()
public:
    void ExecuteText(ITextControl& control) override { control.Copy(); }

protected:
    bool HasEachStep() const override { return false; }
    void ExecuteFirst(TObjectSite&) override { CopyTargets(); }
};

// Copies, then takes each target off the site into its delete record.
class TDSACut : public TStandardEditDSA {
    KESTREL_PERSISTENT()
public:
    TDSACut();
    void ExecuteText(ITextControl& control) override { control.Cut(); }

protected:
    void ExecuteFirst(TObjectSite&) override { CopyTargets(); }
    void EachObject(TObjectSite&, TDrawObject& object) override;
};

class TDSAClear : public TStandardEditDSA {
    KESTREL_PERSISTENT()
public:
    TDSAClear();
    void ExecuteText(ITextControl& control) override { control.Clear(); }

protected:
    void EachObject(TObjectSite&, TDrawObject& object) override;
};

// The targets are the objects on the clipboard, moved together into the site's area; without
// any, another program's text or picture becomes a new object.
class TDSAPaste : public TStandardEditDSA {
    KESTREL_PERSISTENT()
public:
    TDSAPaste();
    void UpdateTarget(TObjectSite* site) override;
    void UpdateText(ITextControl& control) override;
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
    KESTREL_PERSISTENT()
public:
    TDSASelectAll();
    void MakeList(TObjectSite& site) override;

protected:
    void EachObject(TObjectSite&, TDrawObject& object) override;
};

// Sets Movable to the opposite of Locking(), on the targets whose state differs.
class TDSALock : public TStandardDSA {
    KESTREL_PERSISTENT()
public:
    TDSALock();
    void MakeList(TObjectSite& site) override;

protected:
    virtual bool Locking() const { return true; }
    void EachObject(TObjectSite&, TDrawObject& object) override;
};

class TDSAUnlock : public TDSALock {
    KESTREL_PERSISTENT()
protected:
    bool Locking() const override { return false; }
};

// Undoes the last group of the history; its caption names that group.
class TDSAUndo : public TStandardDSA {
    KESTREL_PERSISTENT()
public:
    bool HandlesTextControls() const override { return true; }
    void UpdateTarget(TObjectSite* site) override;
    void UpdateText(ITextControl& control) override;
    void ExecuteText(ITextControl& control) override { control.Undo(); }
    bool IsTargetValid(TObjectSite& site) override;

protected:
    bool HasEachStep() const override { return false; }
    void ExecuteFirst(TObjectSite& site) override;
    // The history's step in this direction.
    virtual bool Possible() const;
    virtual void Step();
    virtual QString NamedCaption() const;
    virtual QString PlainCaption() const;
};

class TDSARedo : public TDSAUndo {
    KESTREL_PERSISTENT()
public:
    void UpdateText(ITextControl&) override;
    void ExecuteText(ITextControl&) override {}

protected:
    bool Possible() const override;
    void Step() override;
    QString NamedCaption() const override;
    QString PlainCaption() const override;
};

// Sets DontPrint to Printing()'s opposite on the label objects whose flag differs.
class TDSADontPrint : public TStandardDSA {
    KESTREL_PERSISTENT()
public:
    TDSADontPrint();
    void MakeList(TObjectSite& site) override;

protected:
    virtual bool DontPrintValue() const { return true; }
    void EachObject(TObjectSite&, TDrawObject& object) override;
};

class TDSADoPrint : public TDSADontPrint {
    KESTREL_PERSISTENT()
protected:
    bool DontPrintValue() const override { return false; }
};

// Switches the objects that can write vertically, and do not yet, to vertical writing.
class TDSAVertText : public TStandardDSA {
    KESTREL_PERSISTENT()
public:
    TDSAVertText();
    void MakeList(TObjectSite& site) override;

protected:
    virtual bool VerticalValue() const { return true; }
    void EachObject(TObjectSite&, TDrawObject& object) override;
};

class TDSAHorzText : public TDSAVertText {
    KESTREL_PERSISTENT()
protected:
    bool VerticalValue() const override { return false; }
};

// The property dialog of the one selected label object.
class TDSAEditProperty : public TStandardDSA {
    KESTREL_PERSISTENT()
public:
    TDSAEditProperty();

protected:
    void EachObject(TObjectSite&, TDrawObject& object) override;
};

// Turns the objects that can turn by a fixed angle; the angle stays within 0..359.
class TDSAOffsetAngle : public TStandardDSA {
    KESTREL_PERSISTENT()
public:
    TDSAOffsetAngle();
    int OffsetAngle() const { return offsetAngle_; }
    void SetOffsetAngle(int degrees) { offsetAngle_ = degrees; }
    void MakeList(TObjectSite& site) override;

protected:
    void EachObject(TObjectSite&, TDrawObject& object) override;

private:
    int offsetAngle_ = 0;
};

}  // namespace kestrel
