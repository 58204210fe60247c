#pragma once

#include <memory>

#include "document/stream/Persistent.h"
#include "render/GridGuide.h"

namespace kestrel {

// The design settings of one sheet, as its "Info" stream holds them (under the class name of
// the document).
class TSheetInfo : public TComponent {
    KESTREL_PERSISTENT()
public:
    TGuide& Guide() { return guide_; }
    TGrid& Grid() { return grid_; }
    int CurrentLabelNo() const { return currentLabelNo_; }
    void SetCurrentLabelNo(int no) { currentLabelNo_ = no; }
    bool SeparatelyDesign() const { return separatelyDesign_; }
    void SetSeparatelyDesign(bool value) { separatelyDesign_ = value; }
    const QString& SheetName() const { return sheetName_; }
    void SetSheetName(const QString& name) { sheetName_ = name; }

private:
    TGuide* GuidePtr() { return &guide_; }
    TGrid* GridPtr() { return &grid_; }

    TGuide guide_;
    TGrid grid_;
    int currentLabelNo_ = 0;
    bool separatelyDesign_ = true;
    QString sheetName_;
};

}  // namespace kestrel
