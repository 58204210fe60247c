#pragma once

// The layout screen's operations on the look and place of objects (its format tool bar). Each
// acts on the objects that have the property it sets, is one undo step, and answers false when
// there was nothing to act on.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "platform/Color.h"
#include "text/PointBasedFont.h"

namespace kestrel {

class TDrawObject;
class TObjectSite;

// One undo step named caption changing every target that accepts by step: the selected objects,
// or every object of the site; false when none accepts.
bool ChangeObjects(TObjectSite& site, const QString& caption, const std::function<bool(TDrawObject&)>& accepts,
                   const std::function<void(TDrawObject&)>& step, bool selectedOnly = true);

// Refuses text the labels cannot hold (outside code page 932), naming the field, so that what
// is saved is what is shown.
void CheckLabelText(const QString& field, const QString& text);

bool SetFontName(TObjectSite& site, const QString& name);
bool SetFontSize(TObjectSite& site, int points);
bool SetFontStyle(TObjectSite& site, TFontStyle style, bool on);
// 0 start, 1 centre, 2 end, 3 spread.
bool SetTextAlign(TObjectSite& site, int align);
// The colour of texts and of lines and frames, as a plain colour.
bool SetPenColor(TObjectSite& site, TColor color);
// The inside of shapes as a plain colour; none leaves them unfilled.
bool SetFillColor(TObjectSite& site, std::optional<TColor> color);
bool SetFeedAngle(TObjectSite& site, int degrees);

// Where "位置合わせ" puts each selected object in the face, along one axis.
enum class TPlace { Keep, Start, Centre, End };
bool PlaceInFace(TObjectSite& site, TPlace horizontal, TPlace vertical);

// "位置揃え": the selected objects lined up along the bounds of them all, or spread so that
// the gaps between them are equal (at least three objects).
enum class TLineUp { Left, HCentre, Right, Top, VCentre, Bottom, SpreadAcross, SpreadDown };
bool LineUp(TObjectSite& site, TLineUp how);

// Every background of the face takes the design (a background object), keeping its own place.
bool ChangeBackgrounds(TObjectSite& site, const TDrawObject& design);

// Every text of the face that asks for the input item takes its new lines.
bool ChangeField(TObjectSite& site, const QString& caption, const QStringList& lines);

// What the format tool bar shows: the properties of the front-most selected object that has each.
struct TSelectionFormat {
    std::optional<QString> fontName;
    int fontSize = 0;
    TFontStyles fontStyle = 0;
    std::optional<int> align;
    std::optional<int> feedAngle;
};
TSelectionFormat ReadSelectionFormat(TObjectSite& site);

}  // namespace kestrel
