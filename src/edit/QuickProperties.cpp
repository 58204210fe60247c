#include "edit/QuickProperties.h"

#include "document/Capabilities.h"
#include "document/DrawObject.h"
#include "document/EditSession.h"
#include "document/ObjectSite.h"
#include "edit/LayoutActions.h"
#include "render/ColorSpec.h"
#include "text/LOText.h"

namespace kestrel {

namespace {

const QString SettingsChange = QStringLiteral("設定変更");

// The selected objects, front-most first.
std::vector<TDrawObject*> Selection(TObjectSite& site)
{
    std::vector<TDrawObject*> selected;
    for (int i = site.ChildCount() - 1; i >= 0; --i)
        if (site.Child(i).Selected()) selected.push_back(&site.Child(i));
    return selected;
}

TDrawObject* OnlySelected(TObjectSite& site)
{
    const std::vector<TDrawObject*> selected = Selection(site);
    return selected.size() == 1 ? selected.front() : nullptr;
}

void ReadOnlyObject(TDrawObject& object, TQuickProperties& shown)
{
    shown.movable = object.Movable();
    if (const auto* enclosed = dynamic_cast<const IDOEncloseBounds*>(&object)) shown.bounds = enclosed->GetBounds();
    if (const auto* turning = dynamic_cast<const IDORotate*>(&object)) shown.angle = turning->Angle();
    if (const auto* text = dynamic_cast<const TLOText*>(&object)) shown.text = text->Text().join(u'\n');
}

void ReadColours(const std::vector<TDrawObject*>& selected, TQuickProperties& shown)
{
    for (TDrawObject* object : selected) {
        if (const auto* pen = dynamic_cast<const IDOTextColor*>(object); pen && !shown.penColor)
            shown.penColor = pen->TextColorSpec().Color();
        if (const auto* fill = dynamic_cast<const IFillColor*>(object); fill && !shown.fillable) {
            shown.fillable = true;
            shown.fillColor = fill->FillColorSpec().Color();
            shown.filled = !fill->NoFill();
        }
    }
}

// One undo step changing the one selected object, when it accepts.
bool ChangeOnlySelected(TObjectSite& site, const std::function<bool(TDrawObject&)>& accepts,
                        const std::function<void(TDrawObject&)>& step)
{
    TDrawObject* only = OnlySelected(site);
    return only && accepts(*only) && ChangeObjects(site, SettingsChange, accepts, step);
}

}  // namespace

TQuickProperties ReadQuickProperties(TObjectSite& site)
{
    TQuickProperties shown;
    const std::vector<TDrawObject*> selected = Selection(site);
    shown.selected = int(selected.size());
    if (selected.size() == 1) ReadOnlyObject(*selected.front(), shown);
    shown.format = ReadSelectionFormat(site);
    ReadColours(selected, shown);
    shown.locked = !selected.empty() &&
                   std::all_of(selected.begin(), selected.end(), [](TDrawObject* o) { return !o->Movable(); });
    return shown;
}

bool MoveSelectionTo(TObjectSite& site, QPoint topLeft)
{
    if (!OnlySelected(site)) return false;
    return MoveSelected(site, QStringLiteral("移動"), [topLeft](const std::vector<TPlaced>& placed) {
        return std::vector<QPoint>{topLeft - placed.front().bounds.TopLeft()};
    });
}

bool ResizeSelection(TObjectSite& site, QSize size)
{
    if (size.width() <= 0 || size.height() <= 0) return false;
    return ChangeOnlySelected(
        site,
        [size](TDrawObject& object) {
            const auto* enclosed = dynamic_cast<const IDOEncloseBounds*>(&object);
            if (!enclosed || !object.Movable()) return false;
            const TRect bounds = enclosed->GetBounds();
            return QSize(bounds.Width(), bounds.Height()) != size;
        },
        [size](TDrawObject& object) { dynamic_cast<IDOEncloseBounds&>(object).SetSize(size.width(), size.height()); });
}

bool TurnSelection(TObjectSite& site, int degrees)
{
    return ChangeOnlySelected(
        site,
        [degrees](TDrawObject& object) {
            const auto* turning = dynamic_cast<const IDORotate*>(&object);
            return turning && object.Movable() && turning->Angle() != degrees;
        },
        [degrees](TDrawObject& object) { dynamic_cast<IDORotate&>(object).SetAngle(degrees); });
}

bool SetSelectionText(TObjectSite& site, const QString& text)
{
    CheckLabelText(QStringLiteral("文字"), text);
    const QStringList lines = text.split(u'\n');
    return ChangeOnlySelected(
        site,
        [&lines](TDrawObject& object) {
            const auto* shown = dynamic_cast<const TLOText*>(&object);
            return shown && shown->Text() != lines;
        },
        [&lines](TDrawObject& object) { static_cast<TLOText&>(object).SetText(lines); });
}

bool SetSelectionLocked(TObjectSite& site, bool locked)
{
    if (!site.Session()) return false;
    TLayoutActions commands(site.Session()->History());
    TDSALock& command = locked ? commands.lock : commands.unlock;
    if (!command.IsTargetValid(site)) return false;
    command.Execute(site);
    return true;
}

}  // namespace kestrel
