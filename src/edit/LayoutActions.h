#pragma once

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

// Moves the selected movable objects by the offset in one undo step ("移動").
void NudgeSelection(TObjectSite& site, int dx, int dy);

}  // namespace kestrel
