#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <set>
#include <optional>

#include "paper/FaceGeometry.h"
#include "platform/Geometry.h"

class QComboBox;
class QGridLayout;
class QMimeData;
class QMouseEvent;
class QVBoxLayout;

namespace kestrel {

class TCanvas;
class TDrawObject;
class TDrawSite;
class TLabelData;
class TLayoutSession;
class TMoveModeBar;
class TSiteView;
class TRuler;
struct TSiteKeyEvent;

// One face of the current sheet in a draw site whose logical area is the face's outer
// rectangle, with a zoom choice. Leaving the face writes its objects back when they changed.
class TFaceView : public QWidget {
public:
    static constexpr int ZoomLevels[] = {25, 50, 75, 100, 150, 200, 400};

    // The faces shown are edited in the session.
    explicit TFaceView(TLayoutSession& session, QWidget* parent = nullptr);
    ~TFaceView() override;

    // Writes the face being shown back first.
    void Load(TLabelData& document, int face);
    // Writes the site's objects into the document when the site was modified.
    void Flush();
    // Forgets the face without writing it (the document is being replaced).
    void Unload();

    int Face() const { return face_; }
    // The face shown has changes not yet written into the document.
    bool IsModified() const;
    // Null while no face is shown.
    TDrawSite* Site() const { return site_.get(); }
    TSiteView* View() const { return view_; }

    // The percentage shown; with "自動", the one that fits the face in the view.
    int Zoom() const;
    // The nearest level at or above the percentage, at most the highest. The menu, the keys and
    // the zoom box keep the middle of the view where it is; the wheel the point under the pointer.
    void SetZoom(int percent);
    // "自動": the whole face in the view, fitted again whenever the view changes size.
    void SetAutoZoom();
    bool IsAutoZoom() const;
    // From "自動" too: the next level above or below the percentage shown.
    void ZoomIn();
    void ZoomOut();

    TRuler& HorizontalRuler() const { return *horizontalRuler_; }
    TRuler& VerticalRuler() const { return *verticalRuler_; }
    // Snapping to the guides on or off ("ガイドバーに吸着"), and the grid dialog.
    void ToggleGuideSnap();
    void EditGrid();
    void ToggleGridSnap();
    // The layout tool bar's grid choices: the interval in millimetres, dots or lines.
    void SetGridInterval(int millimetres);
    void SetDotGrid(bool dots);

    // Something the user did on the site may have changed the selection or the history.
    std::function<void()> onSiteActivity;
    // Where the pointer is, or during a drag where the object goes, for the status bar.
    std::function<void(const QString& text)> onPointerStatus;
    // IsModified changed.
    std::function<void()> onModifiedChanged;
    // The zoom level changed.
    std::function<void()> onZoomChanged;
    // The user asked for the context menu at a global position; the object under the pointer is
    // selected by then.
    std::function<void(QPoint global)> onContextMenu;
    // Picture files placed in the middle of the face, each one undo step, the last one selected.
    void AddPictureFiles(const QStringList& files);

    // Music files, folders or a playlist were dropped on the face.
    std::function<void(const QStringList& paths)> onMusicDropped;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowSite(std::unique_ptr<TDrawSite> site);
    static QStringList PictureFiles(const QMimeData& data);
    // Audio files, playlists and folders among the dropped paths.
    static QStringList MusicPaths(const QMimeData& data);
    void DropPictures(const QStringList& files, QPoint device);
    void PlacePictures(const QStringList& files, const std::function<QPoint(const TRect& natural)>& topLeft);
    void PaintUnderlay(TCanvas& canvas) const;
    void PaintOverlay(TCanvas& canvas) const;
    void ZoomChosen(int index);
    // Zooms keeping the site point under a viewport position where it is.
    void ZoomAround(int index, QPoint viewportPoint);
    int LevelAbove() const;
    int LevelBelow() const;
    int FittingZoom() const;
    QPoint ViewportCentre() const;
    bool WheelZoom(QEvent& event);
    void SiteKey(const TSiteKeyEvent& event);
    bool ContextMenuAt(QPoint device, QPoint global);
    void ShowPointer(QPoint device);

    // Guide dragging (FaceViewGuides.cpp).
    struct TGuideDrag {
        int slot;
        bool vertical;
        QPoint candidate;
    };
    void SetUpRulers();
    void PressRuler(bool verticalGuide);
    void BeginGuideDrag(int slot, bool vertical, QPoint candidate);
    void DragGuide(QPoint global, Qt::KeyboardModifiers modifiers);
    void EndGuideDrag();
    void CancelGuideDrag();
    bool GuideMouse(QEvent& event);
    int DeviceToLogical(int pixels) const;
    void PaintGuideDrag(TCanvas& canvas) const;
    void SettingsChanged();

    TLayoutSession& session_;
    TLabelData* document_ = nullptr;
    int face_ = -1;
    TFaceGeometry geometry_;
    std::unique_ptr<TDrawSite> site_;
    // The paper's pattern under the face: shown, never edited or saved with the face.
    std::set<const TDrawObject*> patternObjects_;
    TSiteView* view_ = nullptr;
    QComboBox* zoomBox_;
    TMoveModeBar* moveModes_;
    QVBoxLayout* layout_;
    QGridLayout* rulerGrid_;
    TRuler* horizontalRuler_;
    TRuler* verticalRuler_;
    std::optional<TGuideDrag> guideDrag_;
};

}  // namespace kestrel
