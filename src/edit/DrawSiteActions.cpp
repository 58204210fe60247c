#include "edit/DrawSiteActions.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

#include "app/AppFrame.h"
#include "document/Capabilities.h"
#include "document/DODesigner.h"
#include "document/DrawObject.h"
#include "document/EditSession.h"
#include "document/LabelObject.h"
#include "document/ObjectSite.h"

namespace kestrel {

// --- Base and screen-defined commands ---------------------------------------------------------

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
    SetUndoType(TDSAUndoType::atLayer);
}

void TDSABringToFront::EachObject(TObjectSite&, TDrawObject& object)
{
    object.BringToFront();
}

// Front-most first, so that the targets end in the order they had.
TDSASendToBack::TDSASendToBack()
{
    SetUndoType(TDSAUndoType::atLayer);
    SetFromFront(true);
}

void TDSASendToBack::EachObject(TObjectSite&, TDrawObject& object)
{
    object.SendToBack();
}

// --- Clipboard --------------------------------------------------------------------------------

QString TStandardEditDSA::ClipboardFormat()
{
    return ExpandMacro(QStringLiteral("$(AppName)"));
}

void TStandardEditDSA::CopyTargets()
{
    Targets().ClipboardCopy(ClipboardFormat());
}

TDSACut::TDSACut()
{
    SetUndoType(TDSAUndoType::atDelete);
}

// The change notice marks the site modified before the delete record takes the object away.
void TDSACut::EachObject(TObjectSite&, TDrawObject& object)
{
    object.Changed();
}

TDSAClear::TDSAClear()
{
    SetUndoType(TDSAUndoType::atDelete);
}

void TDSAClear::EachObject(TObjectSite&, TDrawObject& object)
{
    object.Changed();
}

namespace {

bool HoldsForeignData(TForeignClipboard kind)
{
    return kind != TForeignClipboard::fcNone;
}
}  // namespace

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

TDSAPaste::TDSAPaste()
{
    SetUndoType(TDSAUndoType::atAdd);
}

bool TDSAPaste::EnabledOn(TObjectSite* site)
{
    return site && (ClipboardHasFormat(ClipboardFormat()) || HoldsForeignData(ForeignClipboardKind()));
}

bool TDSAPaste::EnabledOnText(ITextControl&)
{
    return !ClipboardText().isEmpty();
}

void TDSAPaste::MakeList(TObjectSite& site)
{
    Targets().Clear();
    foreign_ = TForeignClipboard::fcNone;
    if (Targets().ClipboardPaste(ClipboardFormat())) {
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
    TEditSession* session = site.Session();
    if (!session) return;
    if (foreign_ == TForeignClipboard::fcText) session->Designers().CreateOnSite(site, "TLOTextPaste");
    if (foreign_ == TForeignClipboard::fcPicture) session->Designers().CreateOnSite(site, "TLOImagePaste");
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
    SetUndoType(TDSAUndoType::atChange);
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

void TDSAUndo::ExecuteOn(TObjectSite* site)
{
    if (!Possible()) return;
    if (site) site->SelectAll(false);
    Step();
}

bool TDSAUndo::Possible() const
{
    return history_.CanUndo();
}

void TDSAUndo::Step()
{
    history_.Undo();
}

QString TDSAUndo::NamedCaption() const
{
    return QStringLiteral("%1の取り消し(&U)").arg(history_.UndoCaption());
}

bool TDSARedo::Possible() const
{
    return History().CanRedo();
}

void TDSARedo::Step()
{
    History().Redo();
}

QString TDSARedo::NamedCaption() const
{
    return QStringLiteral("%1のやり直し(&R)").arg(History().RedoCaption());
}

// --- Object settings --------------------------------------------------------------------------

TDSADontPrint::TDSADontPrint()
{
    SetUndoType(TDSAUndoType::atChange);
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
    SetUndoType(TDSAUndoType::atChange);
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
    SetUndoType(TDSAUndoType::atChange);
    SetTargetClassName(QStringLiteral("TLabelObject"));
    SetMultiSelect(false);
}

void TDSAEditProperty::EachObject(TObjectSite&, TDrawObject& object)
{
    if (TDODesignerList* designers = DesignersOf(object)) designers->EditObject(object);
}

TDSAOffsetAngle::TDSAOffsetAngle(int degrees) : offsetAngle_(degrees)
{
    SetUndoType(TDSAUndoType::atChange);
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
