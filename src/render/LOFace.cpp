#include "render/LOFace.h"

#include <algorithm>

#include "paper/FaceDescription.h"
#include "paper/PaperInfo.h"
#include "platform/Canvas.h"
#include "platform/Rounding.h"
#include "render/DrawSite.h"

namespace kestrel {
namespace {

constexpr int NumberFontZoomPoints = 1200;
constexpr int FrameWidth = 2;

// Logical pen width that comes out as about `pixels` device pixels on the canvas.
int LogicalWidthOf(const TCanvas& canvas, int pixels)
{
    const double scale = canvas.LogicalToDevice().m11();
    return scale > 0 ? int(RoundHalfAway(pixels / scale)) : pixels;
}

}  // namespace

// ---------------------------------------------------------------- TLOFace

const TClassInfo& TLOFace::StaticClass()
{
    static const TClassInfo info("TLOFace", &TLORectBase::StaticClass(), FactoryOf<TLOFace>(), {});
    return info;
}

TLOFace::TLOFace()
{
    SetMovable(false);
}

void TLOFace::SetFace(const TFaceInfo& info)
{
    if (!editable_ && Site()) return;
    face_ = info;
    TLORectBase::SetBounds(ToRect(face_.OuterRect()));
    Repaint();
}

void TLOFace::SetEditable(bool value)
{
    editable_ = value;
    SetMovable(value);
}

void TLOFace::SetFaceSelected(bool value)
{
    if (value == faceSelected_) return;
    faceSelected_ = value;
    Repaint();
    if (!value || !singleSelection_ || !Site()) return;
    for (int i = 0, n = FaceCount(*Site()); i < n; ++i)
        if (TLOFace* other = FaceAt(*Site(), i); other != this) other->SetFaceSelected(false);
}

void TLOFace::SetShowNumber(bool value)
{
    if (value == showNumber_) return;
    showNumber_ = value;
    Repaint();
}

void TLOFace::SetHighlightColor(TColor color)
{
    if (color == highlightColor_) return;
    highlightColor_ = color;
    Repaint();
}

void TLOFace::SetBounds(const TRect& rect)
{
    if (!editable_ && Site()) return;
    TLORectBase::SetBounds(rect);
    face_.SetOuterRect(ToSheetRect(Rect()));
}

void TLOFace::SetSize(int width, int height)
{
    SetBounds({Left(), Top(), Left() + width, Top() + height});
}

int TLOFace::HitTest(QPoint logical) const
{
    return face_.Region(nullptr, false).Contains(logical) ? 1 : 0;
}

void TLOFace::DrawOutline(TCanvas& canvas)
{
    TCanvasStateSaver saved(canvas);
    face_.DrawFace(canvas, false, false);
}

void TLOFace::CreatePivots()
{
    if (editable_) TLORectBase::CreatePivots();
}

void TLOFace::Paint(TCanvas& canvas)
{
    TCanvasStateSaver saved(canvas);
    PaintShape(canvas);
    PaintCutLine(canvas);
    if (showNumber_) PaintNumber(canvas);
}

void TLOFace::PaintShape(TCanvas& canvas)
{
    canvas.SetBrush({faceSelected_ ? highlightColor_ : clWhite, TBrushStyle::bsSolid});
    canvas.SetPen({clBlack, 1, TPenStyle::psSolid});
    face_.DrawFace(canvas, false, false);
}

void TLOFace::PaintCutLine(TCanvas& canvas) const
{
    // A clear brush: filling the cut hole would cover the printed hole's outline.
    canvas.SetBrush({clWhite, TBrushStyle::bsClear});
    canvas.SetPen({clBlack, 0, TPenStyle::psDot});
    face_.DrawCutLine(canvas, false);
}

void TLOFace::PaintNumber(TCanvas& canvas) const
{
    const TRect bounds = NumberBounds(canvas);
    canvas.IntersectClipRect(bounds);
    canvas.TextOut(bounds.TopLeft(), NumberLabel());
}

QString TLOFace::NumberLabel() const
{
    return QStringLiteral("%1 %2").arg(FaceIndex(*this) + 1).arg(FaceKindName(face_));
}

TRect TLOFace::NumberBounds(TCanvas& canvas) const
{
    const auto* site = dynamic_cast<const TDrawSite*>(Site());
    const int zoom = site ? std::max(1, site->Scaler().Scale()) : 100;
    const TRect area{face_.rect.left, face_.rect.top, face_.rect.right, face_.rect.bottom};
    TFont font = canvas.Font();
    font.color = clBlue;
    font.size = NumberFontZoomPoints / zoom;
    canvas.SetFont(font);
    QSize extent = canvas.TextExtent(NumberLabel());
    if (extent.width() > area.Width() && area.Width() > 0) {
        font.size = std::max(1, font.size * area.Width() / extent.width());
        canvas.SetFont(font);
        extent = canvas.TextExtent(NumberLabel());
    }
    return TRect{area.left, area.top, area.left + extent.width(), area.top + extent.height()}.Intersected(area);
}

void TLOFace::ObjectMouseDown(const TSiteMouseEvent& event)
{
    if (event.button != TMouseButton::mbLeft) return;
    const bool before = faceSelected_;
    SetFaceSelected(singleSelection_ || !faceSelected_);
    if (faceSelected_ != before && onSelectChange_) onSelectChange_(*this);
}

void TLOFace::AssignFrom(const TDrawObject& source)
{
    TLORectBase::AssignFrom(source);
    const auto* other = dynamic_cast<const TLOFace*>(&source);
    if (!other) return;
    face_ = other->face_;
    SetEditable(other->editable_);
    singleSelection_ = other->singleSelection_;
    showNumber_ = other->showNumber_;
    highlightColor_ = other->highlightColor_;
    SetFaceSelected(other->faceSelected_);
}

void TLOFace::Repaint()
{
    if (Site()) Site()->InvalidateElement(*this);
}

// ---------------------------------------------------------------- with preview

const TClassInfo& TLOFaceWithPreview::StaticClass()
{
    static const TClassInfo info("TLOFaceWithPreview", &TLOFace::StaticClass(), FactoryOf<TLOFaceWithPreview>(), {});
    return info;
}

const QImage& TLOFaceWithPreview::Preview()
{
    if (!fetched_ && source_) {
        fetched_ = true;
        preview_ = source_(*this);
    }
    return preview_;
}

void TLOFaceWithPreview::SetPreview(QImage picture)
{
    preview_ = std::move(picture);
    fetched_ = true;
    Repaint();
}

void TLOFaceWithPreview::SetPreviewSource(PreviewSource source)
{
    source_ = std::move(source);
    fetched_ = false;
    Repaint();
}

void TLOFaceWithPreview::PaintShape(TCanvas& canvas)
{
    TLOFace::PaintShape(canvas);
    if (Preview().isNull()) return;
    PaintPreview(canvas);
    canvas.SetBrush({clWhite, TBrushStyle::bsClear});
    DrawOutline(canvas);
}

void TLOFaceWithPreview::PaintPreview(TCanvas& canvas)
{
    const QImage& picture = Preview();
    if (picture.isNull()) return;
    TClipGuard clip(canvas);
    canvas.SelectClipRegion(Face().Region(&canvas, true), TRegionOp::rgnAnd);
    canvas.StretchDraw(ToRect(Face().OuterRect()), picture);
}

void TLOFaceWithPreview::PaintInnerFrame(TCanvas& canvas, TColor color, int devicePixels) const
{
    const int width = LogicalWidthOf(canvas, devicePixels);
    // Half the pen inside the outer edge and the printed hole's edge.
    TFaceInfo inner = Face();
    inner.margin -= width / 2;
    TCanvasStateSaver saved(canvas);
    canvas.SetBrush({clWhite, TBrushStyle::bsClear});
    canvas.SetPen({color, width, TPenStyle::psSolid});
    inner.DrawFace(canvas, false, false);
}

// ---------------------------------------------------------------- screens' faces

const TClassInfo& TLOFaceForSheet::StaticClass()
{
    static const TClassInfo info("TLOFaceForSheet", &TLOFaceWithPreview::StaticClass(), FactoryOf<TLOFaceForSheet>(), {});
    return info;
}

void TLOFaceForSheet::PaintShape(TCanvas& canvas)
{
    TLOFaceWithPreview::PaintShape(canvas);
    if (FaceSelected() && !Preview().isNull()) PaintInnerFrame(canvas, HighlightColor(), FrameWidth);
}

const TClassInfo& TLOFaceForPrintPaper::StaticClass()
{
    static const TClassInfo info("TLOFaceForPrintPaper", &TLOFaceWithPreview::StaticClass(),
                                 FactoryOf<TLOFaceForPrintPaper>(), {});
    return info;
}

void TLOFaceForPrintPaper::PaintShape(TCanvas& canvas)
{
    canvas.SetBrush({clWhite, TBrushStyle::bsSolid});
    canvas.SetPen({clBlack, 0, TPenStyle::psSolid});
    Face().DrawFace(canvas, false, false);
    if (!FaceSelected()) return;
    PaintPreview(canvas);
    PaintInnerFrame(canvas, clBlue, FrameWidth);
}

// ---------------------------------------------------------------- site helpers

void CreateFaces(TDrawSite& site, const TPaperInfo& paper, bool singleSelection, const TFaceFactory& factory,
                 bool editable)
{
    for (int i = 0; i < paper.GetFaceCount(); ++i) {
        std::unique_ptr<TLOFace> face = factory ? factory() : std::make_unique<TLOFace>();
        face->SetSingleSelection(singleSelection);
        face->SetEditable(editable);
        TFaceInfo info;
        paper.FillFaceInfo(i, info);
        face->SetFace(info);
        site.AddObject(std::move(face));
    }
}

int FaceCount(const TObjectSite& site)
{
    int count = 0;
    for (int i = 0; i < site.ChildCount(); ++i) count += dynamic_cast<const TLOFace*>(&site.Child(i)) != nullptr;
    return count;
}

TLOFace* FaceAt(const TObjectSite& site, int index)
{
    if (index < 0) return nullptr;
    for (int i = 0; i < site.ChildCount(); ++i)
        if (auto* face = dynamic_cast<TLOFace*>(&site.Child(i)); face && index-- == 0) return face;
    return nullptr;
}

TLOFace* SelectedFace(const TObjectSite& site)
{
    for (int i = 0; i < site.ChildCount(); ++i)
        if (auto* face = dynamic_cast<TLOFace*>(&site.Child(i)); face && face->FaceSelected()) return face;
    return nullptr;
}

void SelectFace(TObjectSite& site, int index)
{
    if (TLOFace* face = FaceAt(site, index)) face->SetFaceSelected(true);
}

int FaceIndex(const TLOFace& face)
{
    const TObjectSite* site = face.Site();
    if (!site) return -1;
    for (int i = 0, index = 0; i < site->ChildCount(); ++i) {
        const auto* other = dynamic_cast<const TLOFace*>(&site->Child(i));
        if (other == &face) return index;
        index += other != nullptr;
    }
    return -1;
}

}  // namespace kestrel
