#include "edit/DrawSiteActions.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

#include "app/AppFrame.h"
#include "document/ActionList.h"
#include "document/Capabilities.h"
#include "document/DODesigner.h"
#include "document/DrawObject.h"
#include "document/LabelObject.h"
#include "document/ObjectSite.h"

namespace kestrel {

// The built-in commands publish nothing beyond what their ancestors do.
#define KESTREL_ACTION_CLASS(C, Base, factory)                                                      \
    const TClassInfo& C::StaticClass()                                                              \
    {                                                                                               \
        static const TClassInfo info(#C, &Base::StaticClass(), factory, [] { return std::vector<TPropInfo>{}; }); \
        return info;                                                                                \
    }

const TClassInfo& TDrawSiteActionBase::StaticClass()
{
    static const TClassInfo info("TDrawSiteActionBase", &TComponent::StaticClass(), {}, [] {
        using A = TDrawSiteActionBase;
        return TPropsOf<A>()
            .String("Caption", &A::Caption, &A::SetCaption)
            .String("ShortCut", &A::ShortCut, &A::SetShortCut)
            .String("Hint", &A::Hint, &A::SetHint)
            .Int("ImageIndex", &A::ImageIndex, &A::SetImageIndex, -1)
            .Bool("Checked", &A::Checked, &A::SetChecked, 0)
            .Bool("Enabled", &A::Enabled, &A::SetEnabled, 1)
            .Bool("Visible", &A::Visible, &A::SetVisible, 1)
            .Int("HelpContext", &A::HelpContext, &A::SetHelpContext, 0)
            .Bool("MultiSelect", &A::MultiSelect, &A::SetMultiSelect, 1)
            .Bool("SelectedOnly", &A::SelectedOnly, &A::SetSelectedOnly, 1)
            .Bool("FromFront", &A::FromFront, &A::SetFromFront, 0)
            .String("TargetClassName", &A::TargetClassName, &A::SetTargetClassName)
            .Bool("TargetClassOnly", &A::TargetClassOnly, &A::SetTargetClassOnly, 0)
            .Enum("ActionType", DSAUndoTypeInfo(), &A::ActionType, &A::SetActionType, 0)
            .String("ActionString", &A::ActionString, &A::SetActionString)
            .Done();
    });
    return info;
}

const TClassInfo& TStandardEditDSA::StaticClass()
{
    static const TClassInfo info("TStandardEditDSA", &TStandardDSA::StaticClass(), {}, [] {
        return TPropsOf<TStandardEditDSA>()
            .String("ClipboardFormat", &TStandardEditDSA::ClipboardFormat, &TStandardEditDSA::SetClipboardFormat,
                    QStringLiteral("$(AppName)"))
            .Done();
    });
    return info;
}

const TClassInfo& TDSAOffsetAngle::StaticClass()
{
    static const TClassInfo info("TDSAOffsetAngle", &TStandardDSA::StaticClass(), FactoryOf<TDSAOffsetAngle>(), [] {
        return TPropsOf<TDSAOffsetAngle>()
            .Int("OffsetAngle", &TDSAOffsetAngle::OffsetAngle, &TDSAOffsetAngle::SetOffsetAngle, 0)
            .Done();
    });
    return info;
}

KESTREL_ACTION_CLASS(TDrawSiteAction, TDrawSiteActionBase, FactoryOf<TDrawSiteAction>())
KESTREL_ACTION_CLASS(TStandardDSA, TDrawSiteActionBase, {})
KESTREL_ACTION_CLASS(TDSABringToFront, TStandardDSA, FactoryOf<TDSABringToFront>())
KESTREL_ACTION_CLASS(TDSASendToBack, TStandardDSA, FactoryOf<TDSASendToBack>())
KESTREL_ACTION_CLASS(TDSACopy, TStandardEditDSA, FactoryOf<TDSACopy>())
KESTREL_ACTION_CLASS(TDSACut, TStandardEditDSA, FactoryOf<TDSACut>())
KESTREL_ACTION_CLASS(TDSAClear, TStandardEditDSA, FactoryOf<TDSAClear>())
KESTREL_ACTION_CLASS(TDSAPaste, TStandardEditDSA, FactoryOf<TDSAPaste>())
KESTREL_ACTION_CLASS(TDSASelectAll, TStandardDSA, FactoryOf<TDSASelectAll>())
KESTREL_ACTION_CLASS(TDSALock, TStandardDSA, FactoryOf<TDSALock>())
KESTREL_ACTION_CLASS(TDSAUnlock, TDSALock, FactoryOf<TDSAUnlock>())
KESTREL_ACTION_CLASS(TDSAUndo, TStandardDSA, FactoryOf<TDSAUndo>())
KESTREL_ACTION_CLASS(TDSARedo, TDSAUndo, FactoryOf<TDSARedo>())
KESTREL_ACTION_CLASS(TDSADontPrint, TStandardDSA, FactoryOf<TDSADontPrint>())
KESTREL_ACTION_CLASS(TDSADoPrint, TDSADontPrint, FactoryOf<TDSADoPrint>())
KESTREL_ACTION_CLASS(TDSAVertText, TStandardDSA, FactoryOf<TDSAVertText>())
KESTREL_ACTION_CLASS(TDSAHorzText, TDSAVertText, FactoryOf<TDSAHorzText>())
KESTREL_ACTION_CLASS(TDSAEditProperty, TStandardDSA, FactoryOf<TDSAEditProperty>())

#undef KESTREL_ACTION_CLASS

// --- Base and screen-defined commands ---------------------------------------------------------

void TDrawSiteActionBase::UpdateTarget(TObjectSite* site)
{
    SetEnabled(site && IsTargetValid(*site));
}

void TDrawSiteAction::MakeList(TObjectSite& site)
{
    TDrawSiteActionBase::MakeList(site);
    if (onMakeList_) onMakeList_(*this, site);
}

void TDrawSiteAction::ExecuteFirst(TObjectSite& site)
{
    if (onExecuteFirst_) onExecuteFirst_(*this, site);
}

void TDrawSiteAction::EachObject(TObjectSite& site, TDrawObject& object)
{
    onEachObject_(site, object);
}

// --- Stacking ---------------------------------------------------------------------------------

TDSABringToFront::TDSABringToFront()
{
    SetActionType(TDSAUndoType::atLayer);
}

void TDSABringToFront::EachObject(TObjectSite&, TDrawObject& object)
{
    object.BringToFront();
}

// Front-most first, so that the targets end in the order they had.
TDSASendToBack::TDSASendToBack()
{
    SetActionType(TDSAUndoType::atLayer);
    SetFromFront(true);
}

void TDSASendToBack::EachObject(TObjectSite&, TDrawObject& object)
{
    object.SendToBack();
}

// --- Clipboard --------------------------------------------------------------------------------

TStandardEditDSA::TStandardEditDSA() : clipboardFormat_(QStringLiteral("$(AppName)")) {}

QString TStandardEditDSA::ExpandedFormat() const
{
    return ExpandMacro(clipboardFormat_);
}

void TStandardEditDSA::CopyTargets()
{
    Targets().ClipboardCopy(ExpandedFormat());
}

TDSACut::TDSACut()
{
    SetActionType(TDSAUndoType::atDelete);
}

// The change notice marks the site modified before the delete record takes the object away.
void TDSACut::EachObject(TObjectSite&, TDrawObject& object)
{
    object.Changed();
}

TDSAClear::TDSAClear()
{
    SetActionType(TDSAUndoType::atDelete);
}

void TDSAClear::EachObject(TObjectSite&, TDrawObject& object)
{
    object.Changed();
}

namespace {
// The union of the objects' bounds moves as one (pasted objects keep their arrangement) just far
// enough to lie inside the area; a union larger than the area is aligned to its left and top.
// Clipboard data is foreign: in 64 bits, and a shift no object could take is not made.
void ShiftInside(const TDOList& list, const TRect& area)
{
    std::vector<IDOEncloseBounds*> bounded;
    TRect all;
    for (TDrawObject* object : list.Items()) {
        auto* b = dynamic_cast<IDOEncloseBounds*>(object);
        if (!b) continue;
        all = bounded.empty() ? b->GetBounds() : all.United(b->GetBounds());
        bounded.push_back(b);
    }
    auto shift = [](int64_t low, int64_t high, int64_t areaLow, int64_t areaHigh) {
        int64_t d = high > areaHigh ? areaHigh - high : 0;
        if (low + d < areaLow) d = areaLow - low;
        return d;
    };
    const int64_t dx = shift(all.left, all.right, area.left, area.right);
    const int64_t dy = shift(all.top, all.bottom, area.top, area.bottom);
    constexpr int64_t limit = std::numeric_limits<int>::max() / 2;
    if ((!dx && !dy) || std::abs(dx) > limit || std::abs(dy) > limit) return;
    for (IDOEncloseBounds* b : bounded) b->MoveBy(static_cast<int>(dx), static_cast<int>(dy));
}

bool HoldsForeignData(TForeignClipboard kind)
{
    return kind != TForeignClipboard::fcNone;
}
}  // namespace

TDSAPaste::TDSAPaste()
{
    SetActionType(TDSAUndoType::atAdd);
}

void TDSAPaste::UpdateTarget(TObjectSite* site)
{
    SetEnabled(site && (ClipboardHasFormat(ExpandedFormat()) || HoldsForeignData(ForeignClipboardKind())));
}

void TDSAPaste::UpdateText(ITextControl&)
{
    SetEnabled(!ClipboardText().isEmpty());
}

void TDSAPaste::MakeList(TObjectSite& site)
{
    Targets().Clear();
    foreign_ = TForeignClipboard::fcNone;
    if (Targets().ClipboardPaste(ExpandedFormat())) {
        ShiftInside(Targets(), site.LogicalArea());
        if (!Targets().IsEmpty()) return;
    }
    foreign_ = ForeignClipboardKind();
}

bool TDSAPaste::IsTargetValid(TObjectSite& site)
{
    MakeList(site);
    return !Targets().IsEmpty() || HoldsForeignData(foreign_);
}

// Another program's data is made into an object by the creator registered for it, which records
// its own addition inside this command's undo group.
void TDSAPaste::ExecuteFirst(TObjectSite& site)
{
    site.SelectAll(false);
    if (foreign_ == TForeignClipboard::fcText) DesignerList().CreateOnSite(site, "TLOTextPaste");
    if (foreign_ == TForeignClipboard::fcPicture) DesignerList().CreateOnSite(site, "TLOImagePaste");
}

void TDSAPaste::EachObject(TObjectSite& site, TDrawObject& object)
{
    std::unique_ptr<TDrawObject> owned = Targets().Release(object);
    if (!owned) return;
    site.AddObject(std::move(owned)).SetSelected(true);
}

// --- Selection and locking --------------------------------------------------------------------

TDSASelectAll::TDSASelectAll()
{
    SetSelectedOnly(false);
}

void TDSASelectAll::MakeList(TObjectSite& site)
{
    TStandardDSA::MakeList(site);
    KeepTargets([](TDrawObject& o) { return o.Selectable(); });
}

void TDSASelectAll::EachObject(TObjectSite&, TDrawObject& object)
{
    object.SetSelected(true);
}

TDSALock::TDSALock()
{
    SetActionType(TDSAUndoType::atChange);
}

void TDSALock::MakeList(TObjectSite& site)
{
    TStandardDSA::MakeList(site);
    KeepTargets([this](TDrawObject& o) { return o.Movable() == Locking(); });
}

void TDSALock::EachObject(TObjectSite&, TDrawObject& object)
{
    object.SetMovable(!Locking());
}

// --- Undo and redo ----------------------------------------------------------------------------

void TDSAUndo::UpdateTarget(TObjectSite* site)
{
    const bool possible = site && Possible();
    SetEnabled(possible);
    SetCaption(possible ? NamedCaption() : PlainCaption());
}

void TDSAUndo::UpdateText(ITextControl& control)
{
    SetEnabled(control.CanUndo());
    SetCaption(PlainCaption());
}

bool TDSAUndo::IsTargetValid(TObjectSite&)
{
    return Possible();
}

void TDSAUndo::ExecuteFirst(TObjectSite& site)
{
    site.SelectAll(false);
    Step();
}

bool TDSAUndo::Possible() const
{
    return ActionList().CanUndo();
}

void TDSAUndo::Step()
{
    ActionList().Undo();
}

QString TDSAUndo::NamedCaption() const
{
    return QStringLiteral("%1の取り消し(&U)").arg(ActionList().UndoCaption());
}

QString TDSAUndo::PlainCaption() const
{
    return QStringLiteral("取り消し(&U)");
}

void TDSARedo::UpdateText(ITextControl&)
{
    SetEnabled(false);
    SetCaption(PlainCaption());
}

bool TDSARedo::Possible() const
{
    return ActionList().CanRedo();
}

void TDSARedo::Step()
{
    ActionList().Redo();
}

QString TDSARedo::NamedCaption() const
{
    return QStringLiteral("%1のやり直し(&R)").arg(ActionList().RedoCaption());
}

QString TDSARedo::PlainCaption() const
{
    return QStringLiteral("やり直し(&R)");
}

// --- Object settings --------------------------------------------------------------------------

TDSADontPrint::TDSADontPrint()
{
    SetActionType(TDSAUndoType::atChange);
    SetTargetClassName(QStringLiteral("TLabelObject"));
}

void TDSADontPrint::MakeList(TObjectSite& site)
{
    TStandardDSA::MakeList(site);
    KeepTargets([this](TDrawObject& o) {
        auto* label = dynamic_cast<TLabelObject*>(&o);
        return label && label->DontPrint() != DontPrintValue();
    });
}

void TDSADontPrint::EachObject(TObjectSite&, TDrawObject& object)
{
    static_cast<TLabelObject&>(object).SetDontPrint(DontPrintValue());
}

TDSAVertText::TDSAVertText()
{
    SetActionType(TDSAUndoType::atChange);
}

void TDSAVertText::MakeList(TObjectSite& site)
{
    TStandardDSA::MakeList(site);
    KeepTargets([this](TDrawObject& o) {
        auto* vertical = dynamic_cast<IDOVertical*>(&o);
        return vertical && vertical->Vertical() != VerticalValue();
    });
}

void TDSAVertText::EachObject(TObjectSite&, TDrawObject& object)
{
    dynamic_cast<IDOVertical&>(object).SetVertical(VerticalValue());
}

TDSAEditProperty::TDSAEditProperty()
{
    SetActionType(TDSAUndoType::atChange);
    SetTargetClassName(QStringLiteral("TLabelObject"));
    SetMultiSelect(false);
}

void TDSAEditProperty::EachObject(TObjectSite&, TDrawObject& object)
{
    DesignerList().EditObject(object);
}

TDSAOffsetAngle::TDSAOffsetAngle()
{
    SetActionType(TDSAUndoType::atChange);
}

void TDSAOffsetAngle::MakeList(TObjectSite& site)
{
    TStandardDSA::MakeList(site);
    KeepTargets([](TDrawObject& o) { return dynamic_cast<IDORotate*>(&o) != nullptr; });
}

void TDSAOffsetAngle::EachObject(TObjectSite&, TDrawObject& object)
{
    auto& rotate = dynamic_cast<IDORotate&>(object);
    rotate.SetAngle(((rotate.Angle() + offsetAngle_) % 360 + 360) % 360);
}

}  // namespace kestrel
