#include "ui/Screenshots.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTabWidget>
#include <QStatusBar>

#include "label/DocumentFlows.h"
#include "document/DrawObject.h"
#include "label/LabelData.h"
#include "render/DrawSite.h"
#include "ui/FaceView.h"
#include "ui/MainWindow.h"
#include "ui/PaperChooserDialog.h"
#include "ui/SheetView.h"
#include "ui/SiteView.h"
#include "ui/StageHost.h"
#include "ui/TemplateDialog.h"
#include "ui/TemplateStage.h"

namespace kestrel {

namespace {

constexpr QSize WindowSize(1100, 760);
constexpr int FaceZoom = 400;

// Lets the window lay itself out and paint before it is grabbed.
void Settle()
{
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

bool Save(QWidget& widget, const QString& folder, const QString& name)
{
    Settle();
    return widget.grab().save(QDir(folder).filePath(name), "PNG");
}

// Scrolls the face so that its topmost object is in the middle of the view.
void ShowTopObject(TFaceView& face)
{
    const TDrawSite* site = face.Site();
    if (!site || site->ChildCount() == 0) return;
    const TRect bounds = site->Child(site->ChildCount() - 1).GetBounds();
    const QPoint centre = site->LogToDev({(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2});
    TSiteView& view = *face.View();
    view.ensureVisible(centre.x(), centre.y(), view.viewport()->width() / 2, view.viewport()->height() / 2);
}

}  // namespace

bool TakeScreenshots(TfrmMain& window, TPapersV2& catalogue, const QString& folder)
{
    QDir().mkpath(folder);
    window.resize(WindowSize);
    window.show();
    bool saved = true;

    const TLabelData& document = window.Flows().Document();
    TPaperChooserDialog chooser(catalogue, {document.SheetPaper(), &document.ExtraInfo(), &document.ImageInfo()},
                                &window);
    chooser.show();
    saved &= Save(chooser, folder, "paper-chooser.png");
    chooser.close();

    // Each stage for the disc face; the template stage with its first design chosen.
    window.Flows().Document().SetCurrentLabelNo(0);
    const char* stageNames[] = {"stage-menu.png", "stage-template.png", "stage-text.png", "stage-image.png",
                                "stage-layout.png"};
    for (int stage = TStageHost::stMenu; stage < TStageHost::StageCount; ++stage) {
        if (!window.ChangeStage(stage)) return false;
        if (auto* templates = dynamic_cast<TTemplateStage*>(window.StageHost().Screen())) {
            templates->Chooser().Tabs().setCurrentIndex(0);
            templates->Chooser().CollectionList().setCurrentRow(0);
        }
        saved &= Save(window, folder, stageNames[stage]);
    }

    window.ShowSheet();
    window.SheetView().SelectFace(0);
    if (window.SheetView().onFaceSelected) window.SheetView().onFaceSelected(0);
    saved &= Save(window, folder, "sheet-overview.png");

    if (window.EditFace(0)) {
        window.FaceView().SetZoom(FaceZoom);
        Settle();
        ShowTopObject(window.FaceView());
        saved &= Save(window, folder, "face-400.png");
    }
    return saved;
}

}  // namespace kestrel
