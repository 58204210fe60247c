#pragma once

#include <QWidget>
#include <functional>

#include "render/DrawSite.h"

class QComboBox;

namespace kestrel {

class TLabelData;
class TSiteView;

// The overview of the current sheet: its paper with one selectable object per face, zoomed to
// fit, and a chooser of the document's sheets when it has several.
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

    // The user picked a face (click), asked to edit it (double click, Enter) or chose a sheet.
    std::function<void(int face)> onFaceSelected;
    std::function<void(int face)> onEditFace;
    std::function<void(int sheet)> onSheetChosen;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RemoveFaces();
    void ZoomToFit();
    void EditFace(int face);

    TDrawSite site_;
    TSiteView* view_;
    // Shown only while the document has several sheets.
    QWidget* sheetBar_;
    QComboBox* sheets_;
};

}  // namespace kestrel
