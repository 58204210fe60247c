#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "paper/FaceGeometry.h"
#include "render/DrawSite.h"

class QComboBox;

namespace kestrel {

class TLabelData;
class TSiteView;

// The overview of the current sheet: its paper with one selectable object per face, zoomed to
// fit, and a chooser of the document's sheets when it has several. Each face tells what it is
// in a tooltip; the arrow keys move the selection to the neighbouring face.
class TSheetView : public QWidget {
public:
    explicit TSheetView(QWidget* parent = nullptr);
    ~TSheetView() override;

    // Shows the document's current sheet with its current face selected.
    void Load(TLabelData& document);
    // -1 when no face is selected.
    int SelectedFace() const;
    void SelectFace(int face);
    TDrawSite& Site() { return site_; }
    TSiteView& View() const { return *view_; }
    QComboBox& SheetChooser() const { return *sheets_; }
    // Null when there is no such face.
    const TFaceGeometry* FaceGeometry(int face) const;
    // The overview's scale in percent.
    int Zoom() const { return site_.Scaler().Scale(); }

    // The user picked a face (click), asked to edit it (double click, Enter) or chose a sheet.
    std::function<void(int face)> onFaceSelected;
    std::function<void(int face)> onEditFace;
    std::function<void(int sheet)> onSheetChosen;
    // The overview was fitted to a new size.
    std::function<void()> onZoomChanged;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RemoveFaces();
    void ZoomToFit();
    void EditFace(int face);
    void ChooseFace(int face);
    void StepSelection(int key);
    bool ShowFaceTip(const QPoint& device, const QPoint& global);

    TDrawSite site_;
    std::vector<TFaceGeometry> faces_;
    TSiteView* view_;
    // Shown only while the document has several sheets.
    QWidget* sheetBar_;
    QComboBox* sheets_;
};

}  // namespace kestrel
