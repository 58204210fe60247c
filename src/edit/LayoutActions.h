#pragma once

#include <QPoint>
#include <functional>
#include <vector>

#include "edit/DrawSiteActions.h"

namespace kestrel {

class TObjectSite;

// The commands of the layout screen with their undo step names; undo and redo step through the
// given history.
struct TLayoutActions {
    explicit TLayoutActions(TActionList& history);
    TLayoutActions(const TLayoutActions&) = delete;
    TLayoutActions& operator=(const TLayoutActions&) = delete;

    TDSAUndo undo;
    TDSARedo redo;
    TDSACut cut;
    TDSACopy copy;
    TDSAPaste paste;
    TDSAClear clear;
    TDSASelectAll selectAll;
    TDSABringToFront bringToFront;
    TDSASendToBack sendToBack;
    TDrawSiteAction group;
    TDrawSiteAction ungroup;
    TDSALock lock;
    TDSAUnlock unlock;
    TDSADontPrint dontPrint;
    TDSADoPrint doPrint;
    TDSAVertText vertText;
    TDSAHorzText horzText;
    TDSAOffsetAngle rotateRight{90};
    TDSAOffsetAngle rotate180{180};
    TDSAOffsetAngle rotateLeft{270};
    TDSAEditProperty properties;
    TDrawSiteAction splitText;
};

// A selected object that may move, and where it is.
struct TPlaced {
    TDrawObject* object;
    TRect bounds;
};
// Moves the selected movable objects in one undo step named caption, each by the shift the plan
// gives it (one per object, in the order given); false when none may move.
bool MoveSelected(TObjectSite& site, const QString& caption,
                  const std::function<std::vector<QPoint>(const std::vector<TPlaced>&)>& plan);

// Moves the selected movable objects by the offset in one undo step ("移動").
void NudgeSelection(TObjectSite& site, int dx, int dy);

}  // namespace kestrel
