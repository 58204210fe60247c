#include "edit/GuideEditing.h"

#include <cstdlib>

#include "app/MessageFormat.h"
#include "render/GridGuide.h"

namespace kestrel {

namespace {
// Half-way rounding on truncating division, as the ruler has always placed guides.
int WholeMillimetres(int v)
{
    return (v + 5) / 10 * 10;
}

QString Length(int v)
{
    const int magnitude = std::abs(v);
    return FormatText(QStringLiteral("%s%d.%dmm"), {v < 0 ? "-" : "", magnitude / 10, magnitude % 10});
}

bool LiesIn(QPoint candidate, bool vertical, const TRect& area)
{
    return vertical ? area.left <= candidate.x() && candidate.x() <= area.right
                    : area.top <= candidate.y() && candidate.y() <= area.bottom;
}
}  // namespace

QString TooManyGuidesMessage()
{
    return FormatText(QStringLiteral("ガイドは%d本までです"), {TGuide::SlotCount});
}

QPoint GuideCandidate(QPoint logical, bool vertical, bool exact)
{
    const int v = vertical ? logical.x() : logical.y();
    const int placed = exact ? v : WholeMillimetres(v);
    return vertical ? QPoint(placed, 0) : QPoint(0, placed);
}

QString GuideHint(QPoint candidate, bool vertical, const TRect& area)
{
    if (!LiesIn(candidate, vertical, area)) return QStringLiteral("ｶﾞｲﾄﾞ削除");
    if (vertical)
        return FormatText(QStringLiteral("左から%s 右から%s"),
                          {Length(candidate.x()), Length(area.Width() - candidate.x())});
    return FormatText(QStringLiteral("上から%s 下から%s"),
                      {Length(candidate.y()), Length(area.Height() - candidate.y())});
}

void PlaceGuide(TGuide& guide, int slot, QPoint candidate, const TRect& area)
{
    guide.SetSlot(slot, candidate);
    guide.SetEnabled(true);
    guide.ClipTo(area);
    guide.SetVisible(guide.Enabled());
}

void ToggleGuideSnap(TGuide& guide, const TRect& area)
{
    guide.SetEnabled(!guide.Enabled());
    guide.SetVisible(guide.Enabled());
    if (!guide.Enabled() || !guide.IsEmpty()) return;
    guide.SetSlot(0, {0, area.Height() / 2});
    guide.SetSlot(1, {area.Width() / 2, 0});
    guide.SetVisible(true);
}

}  // namespace kestrel
