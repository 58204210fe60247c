#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "paper/FaceGeometry.h"

class QComboBox;
class QMimeData;
class QVBoxLayout;

namespace kestrel {

class TCanvas;
class TDrawSite;
class TLabelData;
class TMoveModeBar;
class TSiteView;

// One face of the current sheet in a draw site whose logical area is the face's outer
// rectangle, with a zoom choice. Leaving the face writes its objects back when they changed.
class TFaceView : public QWidget {
public:
    static constexpr int ZoomLevels[] = {25, 50, 75, 100, 150, 200, 400};

    explicit TFaceView(QWidget* parent = nullptr);
    ~TFaceView() override;

    // Writes the face being shown back first.
    void Load(TLabelData& document, int face);
    // Writes the site's objects into the document when the site was modified.
    void Flush();
    // Forgets the face without writing it (the document is being replaced).
    void Unload();

    int Face() const { return face_; }
    // Null while no face is shown.
    TDrawSite* Site() const { return site_.get(); }
    TSiteView* View() const { return view_; }

    int Zoom() const;
    // The nearest level at or above the percentage, at most the highest.
    void SetZoom(int percent);
    void ZoomIn();
    void ZoomOut();

    // Something the user did on the site may have changed the selection or the history.
    std::function<void()> onSiteActivity;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowSite(std::unique_ptr<TDrawSite> site);
    static QStringList PictureFiles(const QMimeData& data);
    void DropPictures(const QStringList& files, QPoint device);
    void PaintUnderlay(TCanvas& canvas) const;
    void PaintOverlay(TCanvas& canvas) const;
    void ZoomChosen(int index);

    TLabelData* document_ = nullptr;
    int face_ = -1;
    TFaceGeometry geometry_;
    std::unique_ptr<TDrawSite> site_;
    TSiteView* view_ = nullptr;
    QComboBox* zoomBox_;
    TMoveModeBar* moveModes_;
    QVBoxLayout* layout_;
};

}  // namespace kestrel
