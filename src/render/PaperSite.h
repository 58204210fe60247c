#pragma once

#include <QSize>
#include <functional>
#include <memory>

#include "render/DrawSite.h"

namespace kestrel {

class TPaperInfo;

// A picture of one paper: the sheet at the largest zoom that fits its parent, with one
// selectable face object per face. The site keeps its own copy of the paper, so the caller's
// paper may go away while it is shown.
class TPaperSite : public TDrawSite {
public:
    static constexpr TColor DefaultFaceColor = 11528191;  // 0x00AFE7FF

    TPaperSite();
    ~TPaperSite() override;

    // Several faces may be selected at once.
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool value);
    // Faces show their numbers.
    bool DrawInfo() const { return drawInfo_; }
    void SetDrawInfo(bool value);
    // The colour of a selected face.
    TColor FaceColor() const { return faceColor_; }
    void SetFaceColor(TColor color);
    // A face was clicked: raised when the button is released over it.
    std::function<void(TPaperSite&)> OnFaceClick;

    // Null shows no paper.
    void ShowPaper(const TPaperInfo* paper);
    const TPaperInfo* Paper() const { return paper_.get(); }
    // -1 when none is selected.
    int SelectedFace() const;
    void SelectFace(int index);
    // The zoom that shows the whole sheet in the parent's client area.
    void FitToParent(QSize clientArea);

private:
    void RemoveFaces();
    void UpdateFaces();

    std::unique_ptr<TPaperInfo> paper_;
    bool multiSelect_ = false;
    bool drawInfo_ = false;
    TColor faceColor_ = DefaultFaceColor;
    QSize clientArea_;
};

}  // namespace kestrel
