#include "edit/FormatActions.h"

#include <algorithm>
#include <map>

#include "document/Capabilities.h"
#include "document/DrawObject.h"
#include "document/ObjectSite.h"
#include "edit/LayoutActions.h"
#include "music/InputItems.h"
#include "objects/BackImage.h"
#include "platform/Cp932.h"
#include "platform/Error.h"
#include "render/ColorSpec.h"
#include "text/LOText.h"

namespace kestrel {

namespace {

const QString SettingsChange = QStringLiteral("設定変更");

// One undo step changing every target that offers the capability.
template <typename Capability>
bool ChangeEach(TObjectSite& site, const QString& caption, const std::function<void(Capability&)>& step,
                bool selectedOnly = true)
{
    return ChangeObjects(
        site, caption, [](TDrawObject& object) { return dynamic_cast<Capability*>(&object) != nullptr; },
        [&step](TDrawObject& object) { step(dynamic_cast<Capability&>(object)); }, selectedOnly);
}

bool ChangeFont(TObjectSite& site, const std::function<void(TPointBasedFont&)>& change)
{
    return ChangeEach<IDOFont>(site, SettingsChange, [&change](IDOFont& object) {
        TPointBasedFont font;
        font.Assign(object.DOFont());
        change(font);
        object.SetDOFont(font);
    });
}

std::unique_ptr<TColorSpec> SolidColor(TColor color)
{
    auto spec = std::make_unique<TColorSpec>();
    spec->SetKind(cskSolid);
    spec->SetStyle(TBrushStyle::bsSolid);
    spec->SetColor(color);
    return spec;
}

// The shift that puts [start, end) at the place within [areaStart, areaEnd).
int ShiftTo(TPlace place, int start, int end, int areaStart, int areaEnd)
{
    switch (place) {
        case TPlace::Start:
            return areaStart - start;
        case TPlace::Centre:
            return (areaStart + areaEnd) / 2 - (start + end) / 2;
        case TPlace::End:
            return areaEnd - end;
        case TPlace::Keep:
            break;
    }
    return 0;
}

TRect UnionOf(const std::vector<TPlaced>& placed)
{
    TRect all = placed.front().bounds;
    for (const TPlaced& one : placed)
        all = {std::min(all.left, one.bounds.left), std::min(all.top, one.bounds.top),
               std::max(all.right, one.bounds.right), std::max(all.bottom, one.bounds.bottom)};
    return all;
}

// Equal gaps between neighbours along one axis, the outermost two staying where they are.
std::vector<QPoint> Spread(const std::vector<TPlaced>& placed, bool across)
{
    std::vector<QPoint> shifts(placed.size());
    if (placed.size() < 3) return shifts;
    const auto start = [across](const TRect& r) { return across ? r.left : r.top; };
    const auto length = [across](const TRect& r) { return across ? r.Width() : r.Height(); };
    std::vector<size_t> order(placed.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return start(placed[a].bounds) < start(placed[b].bounds); });
    const TRect all = UnionOf(placed);
    long long occupied = 0;
    for (const TPlaced& one : placed) occupied += length(one.bounds);
    const double gap = double((across ? all.Width() : all.Height()) - occupied) / double(placed.size() - 1);
    double next = start(all);
    for (size_t i : order) {
        const int shift = int(std::lround(next)) - start(placed[i].bounds);
        shifts[i] = across ? QPoint(shift, 0) : QPoint(0, shift);
        next += length(placed[i].bounds) + gap;
    }
    return shifts;
}

QPoint LineUpShift(TLineUp how, const TRect& all, const TRect& bounds)
{
    switch (how) {
        case TLineUp::Left:
            return {all.left - bounds.left, 0};
        case TLineUp::HCentre:
            return {ShiftTo(TPlace::Centre, bounds.left, bounds.right, all.left, all.right), 0};
        case TLineUp::Right:
            return {all.right - bounds.right, 0};
        case TLineUp::Top:
            return {0, all.top - bounds.top};
        case TLineUp::VCentre:
            return {0, ShiftTo(TPlace::Centre, bounds.top, bounds.bottom, all.top, all.bottom)};
        case TLineUp::Bottom:
            return {0, all.bottom - bounds.bottom};
        default:
            return {};
    }
}

}  // namespace

bool ChangeObjects(TObjectSite& site, const QString& caption, const std::function<bool(TDrawObject&)>& accepts,
                   const std::function<void(TDrawObject&)>& step, bool selectedOnly)
{
    TDrawSiteAction action;
    action.SetUndoType(TDSAUndoType::atChange);
    action.SetActionString(caption);
    action.SetSelectedOnly(selectedOnly);
    action.SetOnMakeList([&accepts](TDrawSiteAction& self, TObjectSite&) {
        TDOList accepted;
        for (TDrawObject* object : self.Targets().Items())
            if (accepts(*object)) accepted.Add(*object);
        self.Targets() = std::move(accepted);
    });
    action.SetOnEachObject([&step](TObjectSite&, TDrawObject& object) { step(object); });
    if (!action.IsTargetValid(site)) return false;
    action.Execute(site);
    return true;
}

void CheckLabelText(const QString& field, const QString& text)
{
    if (!CanEncodeCp932(text))
        throw EKestrel(QStringLiteral("「%1」にラベルで使えない文字が含まれています").arg(field));
}

bool SetFontName(TObjectSite& site, const QString& name)
{
    return ChangeFont(site, [&name](TPointBasedFont& font) { font.SetName(name); });
}

bool SetFontSize(TObjectSite& site, int points)
{
    return ChangeFont(site, [points](TPointBasedFont& font) { font.SetSize(points); });
}

bool SetFontStyle(TObjectSite& site, TFontStyle style, bool on)
{
    return ChangeFont(site, [style, on](TPointBasedFont& font) { font.SetStyleFlag(style, on); });
}

bool SetTextAlign(TObjectSite& site, int align)
{
    return ChangeEach<IDOAlign>(site, SettingsChange, [align](IDOAlign& object) { object.SetAlign(align); });
}

bool SetPenColor(TObjectSite& site, TColor color)
{
    const std::unique_ptr<TColorSpec> spec = SolidColor(color);
    return ChangeEach<IDOTextColor>(site, SettingsChange,
                                    [&spec](IDOTextColor& object) { object.SetTextColorSpec(*spec); });
}

bool SetFillColor(TObjectSite& site, std::optional<TColor> color)
{
    return ChangeEach<IFillColor>(site, SettingsChange, [color](IFillColor& object) {
        if (color) object.SetFillColorSpec(*SolidColor(*color));
        object.SetNoFill(!color);
    });
}

bool SetFeedAngle(TObjectSite& site, int degrees)
{
    return ChangeEach<IDOFeedAngle>(site, SettingsChange,
                                    [degrees](IDOFeedAngle& object) { object.SetFeedAngle(degrees); });
}

bool PlaceInFace(TObjectSite& site, TPlace horizontal, TPlace vertical)
{
    const TRect area = site.LogicalArea();
    return MoveSelected(site, QStringLiteral("位置合わせ"), [&](const std::vector<TPlaced>& placed) {
        std::vector<QPoint> shifts;
        for (const TPlaced& one : placed)
            shifts.emplace_back(ShiftTo(horizontal, one.bounds.left, one.bounds.right, area.left, area.right),
                                ShiftTo(vertical, one.bounds.top, one.bounds.bottom, area.top, area.bottom));
        return shifts;
    });
}

bool LineUp(TObjectSite& site, TLineUp how)
{
    return MoveSelected(site, SettingsChange, [how](const std::vector<TPlaced>& placed) {
        if (how == TLineUp::SpreadAcross || how == TLineUp::SpreadDown)
            return Spread(placed, how == TLineUp::SpreadAcross);
        const TRect all = UnionOf(placed);
        std::vector<QPoint> shifts;
        for (const TPlaced& one : placed) shifts.push_back(LineUpShift(how, all, one.bounds));
        return shifts;
    });
}

bool ChangeBackgrounds(TObjectSite& site, const TDrawObject& design)
{
    return ChangeEach<TLOBackImage>(
        site, QStringLiteral("背景変更"),
        [&design](TLOBackImage& background) {
            const TFaceInfo face = background.FaceInfo();
            background.Assign(design);
            background.SetFaceInfo(face);
        },
        false);
}

bool ChangeField(TObjectSite& site, const QString& caption, const QStringList& lines)
{
    TDrawSiteAction action;
    action.SetUndoType(TDSAUndoType::atChange);
    action.SetActionString(SettingsChange);
    action.SetSelectedOnly(false);
    action.SetTargetClassName(QStringLiteral("TLOText"));
    action.SetOnMakeList([&](TDrawSiteAction& self, TObjectSite&) {
        TDOList asking;
        for (TDrawObject* object : self.Targets().Items())
            if (InputCaption(*object) == caption && static_cast<TLOText*>(object)->Text() != lines)
                asking.Add(*object);
        self.Targets() = std::move(asking);
    });
    action.SetOnEachObject(
        [&lines](TObjectSite&, TDrawObject& object) { static_cast<TLOText&>(object).SetText(lines); });
    if (!action.IsTargetValid(site)) return false;
    action.Execute(site);
    return true;
}

TSelectionFormat ReadSelectionFormat(TObjectSite& site)
{
    TSelectionFormat format;
    for (int i = site.ChildCount() - 1; i >= 0; --i) {
        TDrawObject& object = site.Child(i);
        if (!object.Selected()) continue;
        if (auto* font = dynamic_cast<IDOFont*>(&object); font && !format.fontName) {
            format.fontName = font->DOFont().Name();
            format.fontSize = font->DOFont().Size();
            format.fontStyle = font->DOFont().Style();
        }
        if (auto* align = dynamic_cast<IDOAlign*>(&object); align && !format.align)
            format.align = align->Align();
        if (auto* feed = dynamic_cast<IDOFeedAngle*>(&object); feed && !format.feedAngle)
            format.feedAngle = feed->FeedAngle();
    }
    return format;
}

}  // namespace kestrel
