#include "ui/FaceView.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <iterator>

#include "document/DOActions.h"
#include "document/DOList.h"
#include "document/DrawObject.h"
#include "document/EditSession.h"
#include "edit/GhostList.h"
#include "edit/LayoutActions.h"
#include "edit/LayoutSession.h"
#include "edit/LayoutSnap.h"
#include "label/LabelData.h"
#include "label/PaperPattern.h"
#include "music/MusicInfo.h"
#include "objects/PictureObject.h"
#include "paper/FaceInfo.h"
#include "platform/Canvas.h"
#include "render/DrawSite.h"
#include "render/GridGuide.h"
#include "ui/FaceParts.h"
#include "ui/MoveModeBar.h"
#include "ui/PicturePropertiesDialog.h"
#include "ui/Ruler.h"
#include "ui/SiteView.h"

namespace kestrel {

namespace {
constexpr int kDefaultZoomIndex = 3;  // 100 %
// Around the face, so that its shape stands out against the white face.
constexpr TColor kOutsideFace = RGBColor(0xD4, 0xD4, 0xD4);
constexpr int kZoomCount = static_cast<int>(std::size(TFaceView::ZoomLevels));

QString Millimetres(int units)
{
    return QString::number(units / 10.0, 'f', 1) + QStringLiteral(" mm");
}

QString PointerText(QPoint logical)
{
    return QStringLiteral("X: %1  Y: %2").arg(Millimetres(logical.x()), Millimetres(logical.y()));
}

QString ShapeText(const TDraggedShape& shape)
{
    const TRect r = shape.bounds.Normalized();
    QString text = QStringLiteral("左: %1  上: %2  幅: %3  高さ: %4")
                       .arg(Millimetres(r.left), Millimetres(r.top), Millimetres(r.Width()), Millimetres(r.Height()));
    if (shape.angle) text += QStringLiteral("  角度: %1°").arg(*shape.angle);
    return text;
}
}  // namespace

TFaceView::TFaceView(TLayoutSession& session, QWidget* parent)
    : QWidget(parent),
      session_(session),
      zoomBox_(new QComboBox(this)),
      moveModes_(new TMoveModeBar(
          session.MoveSettings(), [this] { return document_ ? &document_->Grid() : nullptr; }, this)),
      layout_(new QVBoxLayout(this)),
      rulerGrid_(new QGridLayout),
      horizontalRuler_(new TRuler(Qt::Horizontal, this)),
      verticalRuler_(new TRuler(Qt::Vertical, this))
{
    setObjectName("FaceView");
    zoomBox_->setObjectName("ZoomBox");
    for (int level : ZoomLevels) zoomBox_->addItem(QString("%1%").arg(level));
    zoomBox_->addItem(QStringLiteral("自動"));
    zoomBox_->setCurrentIndex(kDefaultZoomIndex);
    connect(zoomBox_, &QComboBox::activated, this, [this](int index) { ZoomChosen(index); });

    auto* bar = new QHBoxLayout;
    auto* label = new QLabel("表示倍率(&Z)", this);
    label->setBuddy(zoomBox_);
    bar->addWidget(label);
    bar->addWidget(zoomBox_);
    bar->addWidget(moveModes_);
    bar->addStretch();
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->addLayout(bar);
    layout_->addLayout(rulerGrid_, 1);
    SetUpRulers();
}

TFaceView::~TFaceView()
{
    session_.Ghosts().RemoveSnapHook(this);
    ShowSite(nullptr);
}

void TFaceView::Load(TLabelData& document, int face)
{
    Flush();
    Unload();
    const TFaceGeometry geometry = document.Face(face);
    const TSheetRect outer = geometry.OuterRect();
    auto site = std::make_unique<TDrawSite>();
    session_.Attach(*site);
    site->Scaler().SetUnitDPI(LogicalUnitsPerInch);
    site->Scaler().SetScale(Zoom());
    site->SetColor(kOutsideFace);
    site->SetLogSize(outer.Width(), outer.Height());
    const TFaceInfo info(geometry);
    site->SetNewObjectPlacement(TDrawSite::TPlacement{info.NewObjectCentre(), ToRect(info.AtOrigin().rect)});
    site->SetOnPaint([this](TDrawSite&, TCanvas& canvas) { PaintUnderlay(canvas); });
    site->SetOnPaintAfter([this](TDrawSite&, TCanvas& canvas) { PaintOverlay(canvas); });
    site->SetOnModifyChanged([this](TDrawSite&) {
        if (onModifiedChanged) onModifiedChanged();
    });
    site->SetOnKeyDown([this](TDrawSite&, const TSiteKeyEvent& event) { SiteKey(event); });
    document.Guide().ClipTo(site->LogicalArea());

    TDOList objects;
    document.LoadFaceObjects(face, objects);
    for (std::unique_ptr<TDrawObject>& object : objects.ReleaseAll()) site->AddObject(std::move(object));
    for (std::unique_ptr<TDrawObject>& object : FacePatternObjects(document, face)) {
        object->SetSelectable(false);
        object->SetEnabled(false);
        patternObjects_.insert(&site->AddObject(std::move(object)));
    }
    site->SetModified(false);
    document_ = &document;
    face_ = face;
    geometry_ = geometry;
    session_.Ghosts().SetSnapHook(this, LayoutSnapHook(document.Grid(), document.Guide()));
    moveModes_->Refresh();
    ShowSite(std::move(site));
}

void TFaceView::Flush()
{
    if (!site_ || !document_ || !site_->Modified()) return;
    std::vector<TDrawObject*> frontToBack;
    site_->Objects(frontToBack, false);
    TDOList list;
    for (TDrawObject* object : frontToBack)
        if (!patternObjects_.count(object)) list.Add(*object);
    document_->SaveFaceObjects(face_, list);
    site_->SetModified(false);
}

bool TFaceView::IsModified() const
{
    return site_ && site_->Modified();
}

// Records of the face being left would act on objects that are no longer shown.
void TFaceView::Unload()
{
    session_.Ghosts().RemoveSnapHook(this);
    ShowSite(nullptr);
    patternObjects_.clear();
    session_.History().Clear();
    document_ = nullptr;
    face_ = -1;
}

// The view goes before the site it shows.
void TFaceView::ShowSite(std::unique_ptr<TDrawSite> site)
{
    CancelGuideDrag();
    horizontalRuler_->SetView(nullptr);
    verticalRuler_->SetView(nullptr);
    delete view_;
    view_ = nullptr;
    site_ = std::move(site);
    if (!site_) return;
    view_ = new TSiteView(*site_, this);
    view_->setAlignment(Qt::AlignCenter);
    view_->setBackgroundRole(QPalette::Dark);
    view_->Surface().installEventFilter(this);
    view_->viewport()->installEventFilter(this);
    view_->Surface().setAcceptDrops(true);
    view_->SetOnPointer([this](QPoint device) { ShowPointer(device); });
    rulerGrid_->addWidget(view_, 1, 1);
    horizontalRuler_->SetView(view_);
    verticalRuler_->SetView(view_);
    for (QScrollBar* bar : {view_->horizontalScrollBar(), view_->verticalScrollBar()}) {
        connect(bar, &QScrollBar::valueChanged, horizontalRuler_, qOverload<>(&QWidget::update));
        connect(bar, &QScrollBar::valueChanged, verticalRuler_, qOverload<>(&QWidget::update));
    }
    view_->Surface().setFocus();
    if (IsAutoZoom()) SetAutoZoom();
}

bool TFaceView::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (view_ && watched == view_->viewport()) {
        if (type == QEvent::Resize && IsAutoZoom()) SetAutoZoom();
        return false;
    }
    if (GuideMouse(*event) || WheelZoom(*event)) return true;
    if (onSiteActivity && (type == QEvent::MouseButtonRelease || type == QEvent::KeyRelease))
        onSiteActivity();
    if (type == QEvent::ContextMenu) {
        auto* menu = static_cast<QContextMenuEvent*>(event);
        return ContextMenuAt(menu->pos(), menu->globalPos());
    }
    if (type == QEvent::DragEnter || type == QEvent::DragMove) {
        auto* drag = static_cast<QDropEvent*>(event);
        const bool music = onMusicDropped && !MusicPaths(*drag->mimeData()).isEmpty();
        if (music || !PictureFiles(*drag->mimeData()).isEmpty()) drag->acceptProposedAction();
        return true;
    }
    if (type == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList music = MusicPaths(*drop->mimeData());
        if (onMusicDropped && !music.isEmpty())
            onMusicDropped(music);
        else
            DropPictures(PictureFiles(*drop->mimeData()), drop->position().toPoint());
        drop->acceptProposedAction();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QStringList TFaceView::PictureFiles(const QMimeData& data)
{
    QStringList files;
    for (const QUrl& url : data.urls()) {
        TGraphicClass graphicClass;
        if (url.isLocalFile() && GraphicClassForExtension(QFileInfo(url.toLocalFile()).suffix(), graphicClass))
            files << url.toLocalFile();
    }
    return files;
}

QStringList TFaceView::MusicPaths(const QMimeData& data)
{
    QStringList paths;
    for (const QUrl& url : data.urls()) {
        const QString path = url.toLocalFile();
        if (url.isLocalFile() && (IsAudioFile(path) || IsPlaylistFile(path) || QFileInfo(path).isDir())) paths << path;
    }
    return paths;
}

// Each picture at its natural size with its top-left corner where it was dropped, one undo step each.
void TFaceView::DropPictures(const QStringList& files, QPoint device)
{
    if (!site_) return;
    const QPoint at = site_->DevToLog(device);
    PlacePictures(files, [at](const TRect&) { return at; });
}

void TFaceView::AddPictureFiles(const QStringList& files)
{
    if (!site_) return;
    const TRect area = site_->LogicalArea();
    PlacePictures(files, [area](const TRect& natural) {
        return QPoint(area.left + (area.Width() - natural.Width()) / 2, area.top + (area.Height() - natural.Height()) / 2);
    });
}

void TFaceView::PlacePictures(const QStringList& files, const std::function<QPoint(const TRect& natural)>& topLeft)
{
    for (const QString& path : files) {
        auto image = std::make_unique<TLOImage>();
        if (!LoadPictureFile(image->ImageData().Picture(), path)) continue;
        image->ResetSize();
        const QPoint at = topLeft(image->Rect());
        image->SetBounds(image->Rect().Translated(at.x(), at.y()));
        TDrawObject& object = site_->AddObject(std::move(image));
        Record(*site_, std::make_unique<TDOAddAction>(object, QStringLiteral("追加")));
        site_->SelectAll(false);
        object.SetSelected(true);
        site_->UpdatePivots();
    }
    if (onSiteActivity) onSiteActivity();
}

void TFaceView::PaintUnderlay(TCanvas& canvas) const
{
    DrawFaceUnderlay(canvas, geometry_);
}

void TFaceView::PaintOverlay(TCanvas& canvas) const
{
    DrawFaceOverlay(canvas, geometry_, kOutsideFace);
    DrawLayoutOverlay(canvas, document_->Grid(), document_->Guide(), site_->LogicalArea());
    PaintGuideDrag(canvas);
}

// Arrows nudge the selection by one unit, with Shift by one grid step.
void TFaceView::SiteKey(const TSiteKeyEvent& event)
{
    const int step = event.shift & ssShift ? std::max(1, document_->Grid().Size()) : 1;
    int dx = 0;
    int dy = 0;
    switch (event.key) {
        case Qt::Key_Left: dx = -step; break;
        case Qt::Key_Right: dx = step; break;
        case Qt::Key_Up: dy = -step; break;
        case Qt::Key_Down: dy = step; break;
        default: return;
    }
    NudgeSelection(*site_, dx, dy);
    site_->UpdatePivots();
    if (onSiteActivity) onSiteActivity();
}

// The object under the pointer joins no selection: it becomes the selection, so that the
// commands offered act on it; a click beside every object offers the commands of the site.
bool TFaceView::ContextMenuAt(QPoint device, QPoint global)
{
    if (!site_ || !onContextMenu) return false;
    TDrawObject* object = site_->ObjectAt(site_->DevToLog(device));
    if (!object || !object->Selected()) {
        site_->SelectAll(false);
        if (object) object->SetSelected(true);
        site_->UpdatePivots();
    }
    onContextMenu(global);
    return true;
}

void TFaceView::ShowPointer(QPoint device)
{
    if (!onPointerStatus || !site_) return;
    const std::optional<TDraggedShape> shape = session_.Ghosts().DraggedShape();
    onPointerStatus(shape ? ShapeText(*shape) : PointerText(site_->DevToLog(device)));
}

int TFaceView::Zoom() const
{
    if (!IsAutoZoom()) return ZoomLevels[zoomBox_->currentIndex()];
    return site_ ? site_->Scaler().Scale() : ZoomLevels[kDefaultZoomIndex];
}

void TFaceView::SetZoom(int percent)
{
    const int* level = std::lower_bound(std::begin(ZoomLevels), std::end(ZoomLevels), percent);
    ZoomChosen(std::min(static_cast<int>(level - std::begin(ZoomLevels)), kZoomCount - 1));
}

void TFaceView::SetAutoZoom()
{
    ZoomChosen(kZoomCount);
}

bool TFaceView::IsAutoZoom() const
{
    return zoomBox_->currentIndex() == kZoomCount;
}

int TFaceView::LevelAbove() const
{
    const int* above = std::upper_bound(std::begin(ZoomLevels), std::end(ZoomLevels), Zoom());
    return std::min(static_cast<int>(above - std::begin(ZoomLevels)), kZoomCount - 1);
}

int TFaceView::LevelBelow() const
{
    const int* notBelow = std::lower_bound(std::begin(ZoomLevels), std::end(ZoomLevels), Zoom());
    return std::max(static_cast<int>(notBelow - std::begin(ZoomLevels)) - 1, 0);
}

void TFaceView::ZoomIn()
{
    ZoomChosen(LevelAbove());
}

void TFaceView::ZoomOut()
{
    ZoomChosen(LevelBelow());
}

// The largest whole percentage at which the face fits the view with a margin, within the
// levels' range. The margin also keeps a rounded-up size from calling up scroll bars, whose
// room taken would make the face fit again smaller, and so on.
int TFaceView::FittingZoom() const
{
    constexpr int Margin = 8;
    const TRect shown = site_->LogToDevRect(site_->LogicalArea());
    const QSize room = view_->viewport()->size().shrunkBy({Margin, Margin, Margin, Margin});
    if (shown.Width() <= 0 || shown.Height() <= 0 || room.isEmpty()) return Zoom();
    const double scale = site_->Scaler().Scale();
    const double fit = std::min(room.width() * scale / shown.Width(), room.height() * scale / shown.Height());
    return std::clamp(static_cast<int>(fit), ZoomLevels[0], ZoomLevels[kZoomCount - 1]);
}

void TFaceView::ZoomChosen(int index)
{
    ZoomAround(index, ViewportCentre());
}

QPoint TFaceView::ViewportCentre() const
{
    return view_ ? view_->viewport()->rect().center() : QPoint();
}

void TFaceView::ZoomAround(int index, QPoint viewportPoint)
{
    {
        const QSignalBlocker quiet(zoomBox_);
        zoomBox_->setCurrentIndex(index);
    }
    if (!site_) return;
    QWidget& surface = view_->Surface();
    const QPoint fixed = site_->DevToLog(surface.mapFrom(view_->viewport(), viewportPoint));
    site_->Scaler().SetScale(index == kZoomCount ? FittingZoom() : ZoomLevels[index]);
    // The scroll range follows the new size only once the scroll box has seen it.
    QCoreApplication::sendPostedEvents(&surface, QEvent::Resize);
    const QPoint device = site_->LogToDev(fixed);
    view_->horizontalScrollBar()->setValue(device.x() - viewportPoint.x());
    view_->verticalScrollBar()->setValue(device.y() - viewportPoint.y());
    horizontalRuler_->update();
    verticalRuler_->update();
    if (onZoomChanged) onZoomChanged();
}

// Ctrl with the wheel zooms one level per notch about the pointer.
bool TFaceView::WheelZoom(QEvent& event)
{
    if (event.type() != QEvent::Wheel || !view_) return false;
    auto& wheel = static_cast<QWheelEvent&>(event);
    if (!(wheel.modifiers() & Qt::ControlModifier)) return false;
    const int delta = wheel.angleDelta().y();
    if (delta == 0) return true;
    const int index = delta > 0 ? LevelAbove() : LevelBelow();
    const QPoint pointer = view_->Surface().mapTo(view_->viewport(), wheel.position().toPoint());
    ZoomAround(index, pointer);
    return true;
}

}  // namespace kestrel
