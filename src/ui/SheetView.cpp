#include "ui/SheetView.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QHelpEvent>
#include <QSignalBlocker>
#include <QToolTip>
#include <QVBoxLayout>
#include <optional>

#include "document/DrawObject.h"
#include "label/LabelData.h"
#include "paper/FaceDescription.h"
#include "paper/PaperInfo.h"
#include "ui/FaceParts.h"
#include "ui/SiteView.h"

namespace kestrel {

namespace {
// The paper on a darker ground, so that its edges show.
constexpr TColor kPaper = clWhite;
constexpr int kFitMargin = 8;

// A face whose objects cannot be read shows no picture here; opening it says why.
QImage PreviewOf(TLabelData& document, int face)
{
    try {
        return document.FacePreview(face);
    } catch (const std::exception&) {
        return {};
    }
}

std::optional<TFaceDirection> DirectionOf(int key)
{
    switch (key) {
        case Qt::Key_Left:
            return TFaceDirection::Left;
        case Qt::Key_Right:
            return TFaceDirection::Right;
        case Qt::Key_Up:
            return TFaceDirection::Up;
        case Qt::Key_Down:
            return TFaceDirection::Down;
        default:
            return std::nullopt;
    }
}
}  // namespace

TSheetView::TSheetView(QWidget* parent)
    : QWidget(parent),
      view_(new TSiteView(site_, this)),
      sheetBar_(new QWidget(this)),
      sheets_(new QComboBox(sheetBar_))
{
    setObjectName("SheetView");
    sheets_->setObjectName("SheetChooser");
    site_.Scaler().SetUnitDPI(LogicalUnitsPerInch);
    site_.SetColor(kPaper);
    site_.SetOnKeyDown([this](TDrawSite&, const TSiteKeyEvent& key) {
        if (key.key == Qt::Key_Return || key.key == Qt::Key_Enter) EditFace(SelectedFace());
        StepSelection(key.key);
    });
    view_->setAlignment(Qt::AlignCenter);
    view_->setBackgroundRole(QPalette::Dark);
    view_->Surface().installEventFilter(this);
    view_->viewport()->installEventFilter(this);
    connect(sheets_, &QComboBox::activated, this, [this](int sheet) {
        if (onSheetChosen) onSheetChosen(sheet);
    });

    auto* bar = new QHBoxLayout(sheetBar_);
    auto* label = new QLabel("シート(&G)", sheetBar_);
    label->setBuddy(sheets_);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(label);
    bar->addWidget(sheets_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(sheetBar_);
    layout->addWidget(view_, 1);
}

TSheetView::~TSheetView()
{
    // Its widgets are half gone while it is deleted; they must not report to us then.
    view_->viewport()->removeEventFilter(this);
    view_->Surface().removeEventFilter(this);
    delete view_;  // it is the site's host and must leave before the site
}

void TSheetView::Load(TLabelData& document)
{
    {
        const QSignalBlocker quiet(sheets_);
        sheets_->clear();
        sheets_->addItems(document.SheetNames());
        sheets_->setCurrentIndex(document.CurrentSheet());
    }
    sheetBar_->setVisible(sheets_->count() > 1);

    RemoveFaces();
    faces_.clear();
    const TPaperInfo* paper = document.SheetPaper();
    if (!paper) return;
    for (int n = 0; n < document.FaceCount(); ++n) faces_.push_back(document.Face(n));
    site_.SetLogSize(paper->Width(), paper->Height());
    CreateSheetFaces(
        site_, *paper,
        [this](int face) {
            if (onFaceSelected) onFaceSelected(face);
        },
        [&document](int face) { return PreviewOf(document, face); });
    SelectFace(document.CurrentLabelNo());
    ZoomToFit();
}

void TSheetView::RemoveFaces()
{
    while (site_.ChildCount() > 0) site_.ExtractChild(site_.Child(site_.ChildCount() - 1));
}

int TSheetView::SelectedFace() const
{
    return SelectedSheetFace(site_);
}

void TSheetView::SelectFace(int face)
{
    SelectSheetFace(site_, face);
}

const TFaceGeometry* TSheetView::FaceGeometry(int face) const
{
    return face >= 0 && face < int(faces_.size()) ? &faces_[face] : nullptr;
}

void TSheetView::ZoomToFit()
{
    const QSize area = view_->viewport()->size() - QSize(kFitMargin, kFitMargin);
    site_.Scaler().SetScale(site_.FitScale(area.expandedTo(QSize(1, 1)), true, true));
    if (onZoomChanged) onZoomChanged();
}

void TSheetView::ChooseFace(int face)
{
    SelectFace(face);
    if (onFaceSelected) onFaceSelected(face);
}

void TSheetView::StepSelection(int key)
{
    const std::optional<TFaceDirection> direction = DirectionOf(key);
    if (!direction || faces_.empty()) return;
    std::vector<TSheetRect> rects;
    for (const TFaceGeometry& face : faces_) rects.push_back(face.rect);
    const int from = SelectedFace();
    const int to = from < 0 ? 0 : NeighbourFace(rects, from, *direction);
    if (to != from) ChooseFace(to);
}

bool TSheetView::ShowFaceTip(const QPoint& device, const QPoint& global)
{
    const int face = SheetFaceAt(site_, site_.DevToLog(device));
    if (const TFaceGeometry* geometry = FaceGeometry(face))
        QToolTip::showText(global, FaceDescription(*geometry, face), &view_->Surface());
    else
        QToolTip::hideText();
    return true;
}

bool TSheetView::eventFilter(QObject* watched, QEvent* event)
{
    // The viewport learns its size after this widget does, and only once shown.
    if (watched == view_->viewport() && event->type() == QEvent::Resize) ZoomToFit();
    if (watched == &view_->Surface() && event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        return ShowFaceTip(help->pos(), help->globalPos());
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        const QPoint device = static_cast<QMouseEvent*>(event)->position().toPoint();
        EditFace(SheetFaceAt(site_, site_.DevToLog(device)));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TSheetView::EditFace(int face)
{
    if (face >= 0 && onEditFace) onEditFace(face);
}

}  // namespace kestrel
