#include "ui/MainWindow.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>

#include "app/AppFrame.h"
#include "edit/DocumentFlows.h"
#include "edit/LabelData.h"
#include "paper/PapersV2.h"
#include "platform/Error.h"
#include "ui/CacheSettingsDialog.h"
#include "ui/EditCommands.h"
#include "ui/FaceView.h"
#include "ui/ObjectCommands.h"
#include "ui/PaperChooserDialog.h"
#include "ui/PrintCommands.h"
#include "ui/SheetView.h"
#include "ui/SiteView.h"
#include "ui/WidgetPlacement.h"

namespace kestrel {

namespace {
constexpr int kDefaultWidth = 1024;
constexpr int kDefaultHeight = 740;

// "description|patterns|..." as the settings write filters, in the form file dialogs take.
QString DialogFilter(const QString& pairs)
{
    const QStringList parts = pairs.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(';', ' ');
        filters << (parts[i].contains('(') ? parts[i] : QString("%1 (%2)").arg(parts[i], patterns));
    }
    return filters.join(";;");
}

QString DocumentFilter(const TAppFrame& frame)
{
    return FormatText(frame.Expand("$(OpenDataFilter)"), {frame.Title(), "mld", "mld"});
}
}  // namespace

TfrmMain::TfrmMain(TAppFrame& frame, const TPapersV2* catalogue, const TProductDB* productDB, QWidget* parent)
    : QMainWindow(parent),
      frame_(frame),
      catalogue_(catalogue),
      stack_(new QStackedWidget(this)),
      sheetView_(new TSheetView(stack_)),
      faceView_(new TFaceView(stack_)),
      editCommands_(new TEditCommands(this)),
      objectCommands_(new TObjectCommands(this))
{
    setObjectName("frmMain");
    setWindowTitle(ExpandMacro("$(AppName)"));
    stack_->addWidget(sheetView_);
    stack_->addWidget(faceView_);
    setCentralWidget(stack_);
    statusBar();

    sheetView_->onEditFace = [this](int face) { EditFace(face); };
    sheetView_->onSheetChosen = [this](int sheet) { ChooseSheet(sheet); };
    sheetView_->onFaceSelected = [this](int) { UpdateCommands(); };
    faceView_->onSiteActivity = [this] { UpdateCommands(); };

    TDocumentWindow window;
    window.flushEditor = [this] { faceView_->Flush(); };
    window.chooseSaveFile = [this](const QString& filter) { return ChooseSaveFile(filter); };
    window.choosePaper = [this]() -> const TPaperInfo* {
        return catalogue_ ? TPaperChooserDialog::Choose(*catalogue_, this) : nullptr;
    };
    window.documentChanged = [this] { DocumentChanged(); };
    window.setTitle = [this](const QString& title) { setWindowTitle(title); };
    flows_ = std::make_unique<TDocumentFlows>(frame, catalogue, productDB, std::move(window));

    BuildFileMenu();
    BuildEditMenu();
    BuildViewMenu();
    BuildInsertMenu();
    BuildToolMenu();
    InstallPropertiesDialogs(this);
    DocumentChanged();

    TWidgetPlacement placement(*this);
    TAppFrame::RestoreFormPlacement(placement, kDefaultWidth, kDefaultHeight);
}

TfrmMain::~TfrmMain()
{
    // The face view's site must go before the document it was loaded from.
    faceView_->Unload();
}

QAction* TfrmMain::AddCommand(QMenu& menu, const QString& caption, const QKeySequence& shortcut,
                              const QString& hint, std::function<void()> run)
{
    QAction* action = menu.addAction(caption);
    action->setShortcut(shortcut);
    action->setStatusTip(hint);
    connect(action, &QAction::triggered, this, [this, run = std::move(run)] { Guarded(run); });
    return action;
}

void TfrmMain::BuildFileMenu()
{
    QMenu& menu = *menuBar()->addMenu("ファイル(&F)");
    AddCommand(menu, "新規作成(&N)...", QKeySequence("Ctrl+N"), "新しくラベルシートを開きます", [this] {
        flows_->New(true);
    })->setObjectName("actNew");
    AddCommand(menu, "開く(&O)...", QKeySequence("Ctrl+O"), "保存されているデータを開きます",
               [this] { OpenFromDialog(); });
    AddCommand(menu, "保存(&S)", QKeySequence("Ctrl+S"), "編集したデータを保存します",
               [this] { flows_->Save(); });
    AddCommand(menu, "名前を付けて保存(&A)...", {}, {}, [this] { flows_->SaveAs(); });
    menu.addSeparator();
    AddCommand(menu, "印刷(&P)...", QKeySequence("Ctrl+P"), "ラベルシートを印刷します", [this] {
        faceView_->Flush();
        PrintSheetFromWindow(flows_->Document(), this);
    });
    menu.addSeparator();
    AddCommand(menu, ExpandMacro("$(AppName)の終了(&X)"), {}, {}, [this] { close(); });
}

void TfrmMain::BuildEditMenu()
{
    QMenu& menu = *menuBar()->addMenu("編集(&E)");
    editCommands_->AddTo(menu);
    connect(&menu, &QMenu::aboutToShow, this, [this] { UpdateCommands(); });
}

void TfrmMain::BuildViewMenu()
{
    QMenu& menu = *menuBar()->addMenu("表示(&V)");
    sheetCommand_ =
        AddCommand(menu, "ラベルシート表示(&S)", {}, "シート表示画面に切替えます", [this] { ShowSheet(); });
    editFaceCommand_ =
        AddCommand(menu, "ラベル表示(&L)", QKeySequence("Ctrl+E"), "ラベル表示画面に切替えます",
                   [this] { EditFace(sheetView_->SelectedFace()); });
    menu.addSeparator();
    zoomInCommand_ = AddCommand(menu, "拡大(&I)", QKeySequence::ZoomIn, {}, [this] { faceView_->ZoomIn(); });
    zoomOutCommand_ =
        AddCommand(menu, "縮小(&U)", QKeySequence::ZoomOut, {}, [this] { faceView_->ZoomOut(); });
    connect(&menu, &QMenu::aboutToShow, this, [this] { UpdateCommands(); });
}

// The insert menu stays hidden until some kind can be inserted.
void TfrmMain::BuildInsertMenu()
{
    if (objectCommands_->Actions().empty()) return;
    QMenu& menu = *menuBar()->addMenu("挿入(&I)");
    objectCommands_->AddTo(menu);
    connect(&menu, &QMenu::aboutToShow, this, [this] { UpdateCommands(); });
}

void TfrmMain::BuildToolMenu()
{
    QMenu& menu = *menuBar()->addMenu("ツール(&T)");
    AddCommand(menu, "キャッシュの設定(&C)...", {}, "イメージのキャッシュを設定します", [this] {
        TfrmCacheSettings dialog(this);
        dialog.exec();
    });
}

bool TfrmMain::IsEditingFace() const
{
    return stack_->currentWidget() == faceView_;
}

bool TfrmMain::OpenDocument(const QString& file)
{
    bool opened = false;
    Guarded([&] { opened = flows_->Open(file); });
    return opened;
}

void TfrmMain::NewDocument()
{
    Guarded([this] { flows_->New(false); });
}

// Opening asks to save the changes itself; asking before the dialog too would ask twice.
void TfrmMain::OpenFromDialog()
{
    const QString file = QFileDialog::getOpenFileName(this, "開く", {}, DialogFilter(DocumentFilter(frame_)));
    if (!file.isEmpty()) flows_->Open(file);
}

QString TfrmMain::ChooseSaveFile(const QString& filter)
{
    QFileDialog dialog(this, "名前を付けて保存", {}, DialogFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("mld");
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

void TfrmMain::DocumentChanged()
{
    faceView_->Unload();
    stack_->setCurrentWidget(sheetView_);
    Guarded([this] { sheetView_->Load(flows_->Document()); });
    UpdateCommands();
}

bool TfrmMain::EditFace(int face)
{
    TLabelData& document = flows_->Document();
    if (face < 0 || face >= document.FaceCount()) return false;
    const bool loaded = Guarded([&] {
        faceView_->Load(document, face);
        document.SetCurrentLabelNo(face);
    });
    if (loaded) {
        stack_->setCurrentWidget(faceView_);
        faceView_->View()->Surface().setFocus();
    }
    UpdateCommands();
    return loaded;
}

bool TfrmMain::ShowSheet()
{
    const bool left = Guarded([this] {
        faceView_->Flush();
        faceView_->Unload();
        sheetView_->Load(flows_->Document());
    });
    if (left) stack_->setCurrentWidget(sheetView_);
    UpdateCommands();
    return left;
}

bool TfrmMain::ChooseSheet(int sheet)
{
    TLabelData& document = flows_->Document();
    return Guarded([&] {
               faceView_->Flush();
               faceView_->Unload();
               document.SelectSheet(sheet);
           }) &&
           ShowSheet();
}

void TfrmMain::UpdateCommands()
{
    const bool editing = IsEditingFace();
    editCommands_->SetSite(editing ? faceView_->Site() : nullptr);
    objectCommands_->SetSite(editing ? faceView_->Site() : nullptr);
    sheetCommand_->setEnabled(editing);
    editFaceCommand_->setEnabled(!editing && sheetView_->SelectedFace() >= 0);
    zoomInCommand_->setEnabled(editing);
    zoomOutCommand_->setEnabled(editing);
}

bool TfrmMain::Guarded(const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const EKestrel& e) {
        TAppFrame::ShowOkMessage(e.Message());
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);
    }
    return false;
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    bool mayClose = false;
    // A document that could not be saved keeps the window open.
    Guarded([&] { mayClose = flows_->AskToSave(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    TWidgetPlacement placement(*this);
    try {
        TAppFrame::SaveFormPlacement(placement);
    } catch (const std::exception& e) {
        ReportUnexpectedException(
            e);  // a settings store that cannot be written must not keep the window open
    }
    event->accept();
}

}  // namespace kestrel
