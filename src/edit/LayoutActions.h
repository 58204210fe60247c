#pragma once

#include <vector>

#include "edit/DrawSiteActions.h"

namespace kestrel {

class TObjectSite;

// The commands of the layout screen with their captions, shortcuts and undo group names.
struct TLayoutActions {
    TLayoutActions();
    TLayoutActions(const TLayoutActions&) = delete;
    TLayoutActions& operator=(const TLayoutActions&) = delete;

    // Every command, in menu order.
    std::vector<TDrawSiteActionBase*> All();

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
    TDSAOffsetAngle rotateRight;
    TDSAOffsetAngle rotate180;
    TDSAOffsetAngle rotateLeft;
    TDSAEditProperty properties;
    TDrawSiteAction splitText;
};

// Moves the selected movable objects by the offset in one undo step ("移動").
void NudgeSelection(TObjectSite& site, int dx, int dy);

}  // namespace kestrel
