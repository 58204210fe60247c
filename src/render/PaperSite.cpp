#include "render/PaperSite.h"

#include "paper/PaperInfo.h"
#include "render/LOFace.h"

namespace kestrel {

TPaperSite::TPaperSite()
{
    Scaler().SetUnitDPI(LogicalUnitsPerInch);
    SetColor(clWhite);
    // Told when the button is released over the face it was pressed on.
    SetOnObjectClick([this](TDrawSite&, TDrawObject* object) {
        if (OnFaceClick && dynamic_cast<TLOFace*>(object)) OnFaceClick(*this);
    });
}

TPaperSite::~TPaperSite()
{
    RemoveFaces();
}

void TPaperSite::SetMultiSelect(bool value)
{
    multiSelect_ = value;
    UpdateFaces();
}

void TPaperSite::SetDrawInfo(bool value)
{
    drawInfo_ = value;
    UpdateFaces();
}

void TPaperSite::SetFaceColor(TColor color)
{
    faceColor_ = color;
    UpdateFaces();
}

void TPaperSite::RemoveFaces()
{
    while (ChildCount() > 0) ExtractChild(Child(ChildCount() - 1));
}

void TPaperSite::UpdateFaces()
{
    for (int i = 0, n = FaceCount(*this); i < n; ++i) {
        TLOFace& face = *FaceAt(*this, i);
        face.SetSingleSelection(!multiSelect_);
        face.SetShowNumber(drawInfo_);
        face.SetHighlightColor(faceColor_);
    }
}

void TPaperSite::ShowPaper(const TPaperInfo* paper)
{
    RemoveFaces();
    paper_ = paper ? paper->Clone() : nullptr;
    if (!paper_) {
        SetLogSize(1, 1);
        Invalidate();
        return;
    }
    SetLogSize(paper_->Width(), paper_->Height());
    CreateFaces(*this, *paper_, !multiSelect_);
    UpdateFaces();
    if (clientArea_.isValid()) FitToParent(clientArea_);
    Invalidate();
}

int TPaperSite::SelectedFace() const
{
    const TLOFace* face = kestrel::SelectedFace(*this);
    return face ? FaceIndex(*face) : -1;
}

void TPaperSite::SelectFace(int index)
{
    kestrel::SelectFace(*this, index);
}

void TPaperSite::FitToParent(QSize clientArea)
{
    clientArea_ = clientArea.expandedTo(QSize(1, 1));
    Scaler().SetScale(FitScale(clientArea_, true, true));
}

}  // namespace kestrel
