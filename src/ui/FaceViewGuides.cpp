// The face view's rulers, guide dragging and grid settings.
#include "ui/FaceView.h"

#include <QGridLayout>
#include <algorithm>
#include <QMouseEvent>
#include <QToolTip>

#include "app/AppFrame.h"
#include "edit/GuideEditing.h"
#include "label/LabelData.h"
#include "platform/Canvas.h"
#include "render/DrawSite.h"
#include "render/GridGuide.h"
#include "ui/GridDialog.h"
#include "ui/Ruler.h"
#include "ui/SiteView.h"

namespace kestrel {

namespace {
// How near (in device pixels) the pointer must come to a guide to pick it.
constexpr int kPickTolerance = 2;
}  // namespace

void TFaceView::SetUpRulers()
{
    auto* corner = new QWidget(this);
    corner->setFixedSize(TRuler::Thickness, TRuler::Thickness);
    rulerGrid_->setSpacing(0);
    rulerGrid_->addWidget(corner, 0, 0);
    rulerGrid_->addWidget(horizontalRuler_, 0, 1);
    rulerGrid_->addWidget(verticalRuler_, 1, 0);
    // The top ruler gives horizontal guides, the left one vertical guides.
    for (TRuler* ruler : {horizontalRuler_, verticalRuler_}) {
        const bool vertical = ruler == verticalRuler_;
        ruler->onPress = [this, vertical](QPoint) { PressRuler(vertical); };
        ruler->onDrag = [this](QPoint global, Qt::KeyboardModifiers modifiers) { DragGuide(global, modifiers); };
        ruler->onRelease = [this] { EndGuideDrag(); };
    }
}

void TFaceView::PressRuler(bool verticalGuide)
{
    if (!site_ || !document_) return;
    const int slot = document_->Guide().FirstFreeSlot();
    if (slot < 0) {
        TAppFrame::ShowOkMessage(TooManyGuidesMessage());
        return;
    }
    BeginGuideDrag(slot, verticalGuide, verticalGuide ? QPoint(-1, 0) : QPoint(0, -1));
}

void TFaceView::BeginGuideDrag(int slot, bool vertical, QPoint candidate)
{
    site_->CancelDrag();
    guideDrag_ = TGuideDrag{slot, vertical, candidate};
    site_->Invalidate();
}

void TFaceView::DragGuide(QPoint global, Qt::KeyboardModifiers modifiers)
{
    if (!guideDrag_) return;
    const QPoint logical = site_->DevToLog(view_->Surface().mapFromGlobal(global));
    guideDrag_->candidate = GuideCandidate(logical, guideDrag_->vertical, modifiers.testFlag(Qt::ShiftModifier));
    site_->Invalidate();
    QToolTip::showText(global, GuideHint(guideDrag_->candidate, guideDrag_->vertical, site_->LogicalArea()),
                       &view_->Surface());
}

void TFaceView::EndGuideDrag()
{
    if (!guideDrag_) return;
    PlaceGuide(document_->Guide(), guideDrag_->slot, guideDrag_->candidate, site_->LogicalArea());
    CancelGuideDrag();
    SettingsChanged();
}

void TFaceView::CancelGuideDrag()
{
    if (!guideDrag_) return;
    guideDrag_.reset();
    QToolTip::hideText();
    if (site_) site_->Invalidate();
}

int TFaceView::DeviceToLogical(int pixels) const
{
    return std::max(1, site_->DevToLog(QPoint(pixels, 0)).x() - site_->DevToLog(QPoint(0, 0)).x());
}

// On the site a guide is picked where no object is; while one is dragged the site sees nothing of
// the pointer. Over a guide the cursor tells which way it moves.
bool TFaceView::GuideMouse(QEvent& event)
{
    if (!site_ || !document_) return false;
    switch (event.type()) {
        case QEvent::MouseButtonPress: {
            auto& mouse = static_cast<QMouseEvent&>(event);
            const QPoint logical = site_->DevToLog(mouse.position().toPoint());
            if (mouse.button() != Qt::LeftButton || site_->ObjectAt(logical)) return false;
            const int slot = document_->Guide().GuideAt(logical, DeviceToLogical(kPickTolerance));
            if (slot < 0) return false;
            const QPoint at = document_->Guide().Slot(slot);
            BeginGuideDrag(slot, at.x() != 0, at);
            return true;
        }
        case QEvent::MouseMove: {
            auto& mouse = static_cast<QMouseEvent&>(event);
            if (guideDrag_) {
                DragGuide(mouse.globalPosition().toPoint(), mouse.modifiers());
                return true;
            }
            if (mouse.buttons() != Qt::NoButton) return false;
            const QPoint logical = site_->DevToLog(mouse.position().toPoint());
            if (site_->ObjectAt(logical)) return false;
            const int slot = document_->Guide().GuideAt(logical, DeviceToLogical(kPickTolerance));
            if (slot < 0) return false;
            view_->Surface().setCursor(document_->Guide().Slot(slot).x() != 0 ? Qt::SizeHorCursor : Qt::SizeVerCursor);
            return true;
        }
        case QEvent::MouseButtonRelease:
            if (!guideDrag_) return false;
            EndGuideDrag();
            return true;
        case QEvent::FocusOut:
        case QEvent::WindowDeactivate:
            CancelGuideDrag();
            return false;
        default:
            return false;
    }
}

void TFaceView::PaintGuideDrag(TCanvas& canvas) const
{
    if (!guideDrag_) return;
    const TRect area = site_->LogicalArea();
    TCanvasStateSaver saved(canvas);
    canvas.SetPen({clBlue, 0, TPenStyle::psSolid, TPenMode::pmCopy});
    const QPoint at = guideDrag_->candidate;
    canvas.MoveTo(guideDrag_->vertical ? QPoint(at.x(), area.top) : QPoint(area.left, at.y()));
    canvas.LineTo(guideDrag_->vertical ? QPoint(at.x(), area.bottom) : QPoint(area.right, at.y()));
}

void TFaceView::ToggleGuideSnap()
{
    if (!site_ || !document_) return;
    kestrel::ToggleGuideSnap(document_->Guide(), site_->LogicalArea());
    SettingsChanged();
}

void TFaceView::ToggleGridSnap()
{
    if (!document_) return;
    document_->Grid().SetEnabled(!document_->Grid().Enabled());
    SettingsChanged();
}

void TFaceView::SetGridInterval(int millimetres)
{
    if (!document_ || document_->Grid().Size() == millimetres * 10) return;
    document_->Grid().SetSize(millimetres * 10);
    SettingsChanged();
}

void TFaceView::SetDotGrid(bool dots)
{
    if (!document_ || document_->Grid().LineShape() == !dots) return;
    document_->Grid().SetLineShape(!dots);
    SettingsChanged();
}

void TFaceView::EditGrid()
{
    if (!document_ || !TGridDialog::Edit(document_->Grid(), this)) return;
    SettingsChanged();
}

// Grid and guides are the sheet's settings: the document changes, the face does not.
void TFaceView::SettingsChanged()
{
    document_->SetModified(true);
    if (site_) site_->Invalidate();
    if (onSiteActivity) onSiteActivity();
}

}  // namespace kestrel
