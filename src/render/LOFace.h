#pragma once

// The draw object that stands for a whole face on a sheet overview: the user picks the face to
// edit, or moves and resizes the faces of a free-layout paper. Faces are never stored.
//
// A face's own selection (the chosen face, highlighted) is separate from the site's object
// selection, which only serves moving and resizing editable faces.

#include <QImage>
#include <functional>
#include <memory>

#include "document/LabelObject.h"
#include "paper/FaceInfo.h"
#include "platform/Color.h"
#include "render/SiteInput.h"

namespace kestrel {

class TDrawSite;
class TObjectSite;
class TPaperInfo;

class TLOFace : public TLORectBase, public IDOMouseDown {
    KESTREL_PERSISTENT()
public:
    using SelectChangeHandler = std::function<void(TLOFace& face)>;
    static constexpr TColor DefaultHighlightColor = 0x00AFE7FF;

    TLOFace();

    const TFaceInfo& Face() const { return face_; }
    // Ignored once placed on a site unless editable; the bounds become the outer rectangle.
    void SetFace(const TFaceInfo& info);
    // Only an editable face moves, resizes and shows handles.
    void SetEditable(bool value);
    bool FaceSelected() const { return faceSelected_; }
    // With single selection, selecting deselects the site's other faces.
    void SetFaceSelected(bool value);
    void SetSingleSelection(bool value) { singleSelection_ = value; }
    bool ShowNumber() const { return showNumber_; }
    void SetShowNumber(bool value);
    // "1 ディスク": numbered from 1 and named as the status bar names faces.
    QString NumberLabel() const;
    // Where the number goes on the canvas (whose font it sets): inside the face, the font made
    // smaller to fit a narrow face, so that neighbouring faces' numbers never meet.
    TRect NumberBounds(TCanvas& canvas) const;
    TColor HighlightColor() const { return highlightColor_; }
    void SetHighlightColor(TColor color);
    // Called when a click changed the selection.
    void SetOnSelectChange(SelectChangeHandler handler) { onSelectChange_ = std::move(handler); }

    // Applied only when editable or not yet placed; the face rectangle follows.
    void SetBounds(const TRect& rect) override;
    // Keeps left and top.
    void SetSize(int width, int height) override;
    // Inside the shape; the hole counts as part of the face.
    int HitTest(QPoint logical) const override;
    void DrawOutline(TCanvas& canvas) override;
    void CreatePivots() override;
    void Paint(TCanvas& canvas) override;
    // A left press selects (single selection) or toggles the face.
    void ObjectMouseDown(const TSiteMouseEvent& event) override;

protected:
    void AssignFrom(const TDrawObject& source) override;
    // The face's fill and outline; the cut line and number follow.
    virtual void PaintShape(TCanvas& canvas);
    void Repaint();

private:
    void PaintCutLine(TCanvas& canvas) const;
    void PaintNumber(TCanvas& canvas) const;

    TFaceInfo face_;
    bool editable_ = false;
    bool faceSelected_ = false;
    bool singleSelection_ = false;
    bool showNumber_ = false;
    TColor highlightColor_ = DefaultHighlightColor;
    SelectChangeHandler onSelectChange_;
};

// A face that shows a picture of its design inside its shape.
class TLOFaceWithPreview : public TLOFace {
    KESTREL_PERSISTENT()
public:
    using PreviewSource = std::function<QImage(const TLOFaceWithPreview& face)>;

    // The picture, fetched from the source the first time it is wanted and kept.
    const QImage& Preview();
    void SetPreview(QImage picture);
    // Asked at most once; SetPreview or a new source ask again.
    void SetPreviewSource(PreviewSource source);

protected:
    void PaintShape(TCanvas& canvas) override;
    // The picture stretched over the outer rectangle, clipped to the face with its hole.
    void PaintPreview(TCanvas& canvas);
    // An outline of the given screen width lying just inside the face's edges.
    void PaintInnerFrame(TCanvas& canvas, TColor color, int devicePixels) const;

private:
    QImage preview_;
    PreviewSource source_;
    bool fetched_ = false;
};

// The sheet screen's face: its design, and while selected a frame in the highlight colour.
class TLOFaceForSheet : public TLOFaceWithPreview {
    KESTREL_PERSISTENT()
protected:
    void PaintShape(TCanvas& canvas) override;
};

// The print dialog's face: white with a hairline outline; a face chosen for printing shows its
// design with a blue frame.
class TLOFaceForPrintPaper : public TLOFaceWithPreview {
    KESTREL_PERSISTENT()
protected:
    void PaintShape(TCanvas& canvas) override;
};

using TFaceFactory = std::function<std::unique_ptr<TLOFace>()>;

// One face object per face of the paper, in order (TLOFace when there is no factory).
void CreateFaces(TDrawSite& site, const TPaperInfo& paper, bool singleSelection, const TFaceFactory& factory = {},
                 bool editable = false);
// The site's face objects counted in z-order.
int FaceCount(const TObjectSite& site);
// None when out of range.
TLOFace* FaceAt(const TObjectSite& site, int index);
// The first selected face, or none.
TLOFace* SelectedFace(const TObjectSite& site);
void SelectFace(TObjectSite& site, int index);
// -1 when the face is on no site.
int FaceIndex(const TLOFace& face);

}  // namespace kestrel
