#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QWidgetAction>
#include <algorithm>

#include "app/AppFrame.h"
#include "app/HistoryManager.h"
#include "edit/LayoutSession.h"
#include "edit/StageActions.h"
#include "label/DocumentFlows.h"
#include "label/InformationFields.h"
#include "label/LabelData.h"
#include "label/LabelExport.h"
#include "label/SheetEditing.h"
#include "music/MusicInfo.h"
#include "paper/FaceDescription.h"
#include "paper/FaceInfo.h"
#include "paper/PaperInfo.h"
#include "paper/PapersV2.h"
#include "platform/Cp932.h"
#include "platform/Error.h"
#include "platform/PrinterConfiguration.h"
#include "print/DirectPrint.h"
#include "print/PaperPrintSetting.h"
#include "render/DrawSite.h"
#include "render/GridGuide.h"
#include "ui/BackgroundDialog.h"
#include "ui/CommandIcons.h"
#include "ui/DiscPrintDialogs.h"
#include "ui/EditCommands.h"
#include "ui/FaceDesignCommands.h"
#include "ui/EnvironmentDialog.h"
#include "ui/FaceView.h"
#include "ui/FolderHistory.h"
#include "ui/FormatToolBar.h"
#include "ui/GlobalNotify.h"
#include "ui/HistoryMenu.h"
#include "ui/InformationDialogs.h"
#include "ui/MenuStage.h"
#include "ui/ObjectCommands.h"
#include "ui/PaperChooserDialog.h"
#include "ui/PaperCommands.h"
#include "ui/PrintCommands.h"
#include "ui/PrintPaperDialog.h"
#include "ui/PrinterSettingDialog.h"
#include "ui/SheetView.h"
#include "ui/SiteView.h"
#include "ui/StageHost.h"
#include "ui/WidgetPlacement.h"

namespace kestrel {

namespace {
constexpr int kDefaultWidth = 1024;
constexpr int kDefaultHeight = 740;
constexpr int kIdleUpdateMilliseconds = 100;
const QString DocumentFolderHistory = QStringLiteral("$(LabelDataHistory)");
const QString ExportFolderHistory = QStringLiteral("$(SysRegistryKey)\\ExportPictureHistory");
// Sharp enough for print shops and photo prints.
constexpr int ExportDpi = 300;

// Opens the chooser on the first genre whose name holds the keyword.
void ShowGenre(QTreeWidget& genres, const QString& keyword)
{
    for (int i = 0; i < genres.topLevelItemCount(); ++i)
        if (genres.topLevelItem(i)->text(0).contains(keyword)) return genres.setCurrentItem(genres.topLevelItem(i));
}

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

TfrmMain::TfrmMain(TAppFrame& frame, TPapersV2* catalogue, TProductDB* productDB, QWidget* parent)
    : QMainWindow(parent),
      frame_(frame),
      catalogue_(catalogue),
      productDB_(productDB),
      sheetView_(new TSheetView(this)),
      paperCommands_(new TPaperCommands(*this, catalogue)),
      faceStatus_(new QLabel(this)),
      pointerStatus_(new QLabel(this)),
      printSettings_(std::make_unique<TPaperPrintSetting>(catalogue)),
      paperAdapter_(std::make_shared<TDirectPrintPaperAdapter>(
          catalogue, [] { return CurrentPrinterName(); },
          [](const QString& name) -> std::unique_ptr<IPrinterConfiguration> {
              return TPrinterConfiguration::Named(name);
          }))
{
    auto session = std::make_unique<TLayoutSession>();
    session_ = session.get();
    session_->History().SetLimit(UndoLimitSetting());
    faceView_ = new TFaceView(*session_, this);
    editCommands_ = new TEditCommands(session_->History(), this);
    objectCommands_ = new TObjectCommands(this);
    setObjectName("frmMain");
    setWindowTitle(ExpandMacro("$(AppName)"));
    host_ = new TStageHost(session_->History(), [this](int stage) { return CreateStageScreen(stage); }, this);
    host_->AddClassicScreen(*sheetView_);
    host_->AddClassicScreen(*faceView_);
    host_->onScreenChanged = [this] { UpdateCommands(); };
    setCentralWidget(host_);
    faceStatus_->setObjectName("FaceStatus");
    pointerStatus_->setObjectName("PointerStatus");
    statusBar()->addPermanentWidget(pointerStatus_);
    statusBar()->addPermanentWidget(faceStatus_);

    sheetView_->onEditFace = [this](int face) { EditFace(face); };
    sheetView_->onSheetChosen = [this](int sheet) { ChooseSheet(sheet); };
    sheetView_->onFaceSelected = [this](int) { UpdateCommands(); };
    faceView_->onSiteActivity = [this] { UpdateCommands(); };
    faceView_->onZoomChanged = [this] { UpdateStatus(); };
    sheetView_->onZoomChanged = [this] { UpdateStatus(); };
    faceView_->onModifiedChanged = [this] { ShowModified(); };
    faceView_->onPointerStatus = [this](const QString& text) { pointerStatus_->setText(text); };
    faceView_->onContextMenu = [this](QPoint global) { ShowContextMenu(global); };
    faceView_->onMusicDropped = [this](const QStringList& paths) { Guarded([&] { AddMusicAlbum(paths); }); };

    TDocumentWindow window;
    window.flushEditor = [this] { faceView_->Flush(); };
    window.chooseSaveFile = [this](const QString& filter) { return ChooseSaveFile(filter); };
    window.choosePaper = [this]() -> std::optional<TPaperChoice> {
        if (!catalogue_) return std::nullopt;
        const TLabelData& document = flows_->Document();
        return TPaperChooserDialog::Choose(*catalogue_,
                                           {document.SheetPaper(), &document.ExtraInfo(), &document.ImageInfo()},
                                           this, paperCommands_->ExtendedSelection());
    };
    window.fileNamed = [this](const QString& file) {
        Guarded([&] { recentFiles_->Add(QFileInfo(file).absoluteFilePath()); });
    };
    window.documentChanged = [this] { DocumentChanged(); };
    window.showName = [this](const QString& name) { ShowDocumentName(name); };
    flows_ = std::make_unique<TDocumentFlows>(frame, catalogue, productDB, std::move(window), std::move(session));

    BuildFileMenu();
    BuildEditMenu();
    BuildViewMenu();
    BuildInsertMenu();
    BuildFormatMenu();
    BuildSheetMenu();
    BuildToolMenu();
    BuildHelpMenu();
    // An updated catalogue brings its own printer settings per paper.
    paperCommands_->onPatternChanged = [this] { printSettings_ = std::make_unique<TPaperPrintSetting>(catalogue_); };
    InstallPropertiesDialogs(*session_, this);
    DocumentChanged();
    idle_ = std::make_unique<TGlobalNotify>();
    idle_->OnIdle = [this](TGlobalNotify&) { UpdateOnIdle(); };
    idleCatchUp_.setSingleShot(true);

    GiveCommandIcons(*this);

    TWidgetPlacement placement(*this);
    TAppFrame::RestoreFormPlacement(placement, kDefaultWidth, kDefaultHeight);
}

TfrmMain::~TfrmMain()
{
    // The views show the document and edit in its session, which go with the flows.
    idle_.reset();
    delete host_;
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
    BuildRecentFilesMenu(menu);
    menu.addSeparator();
    templateCommand_ = AddCommand(menu, "ラベルテンプレートの呼び出し(&T)...", {}, "ラベルのテンプレートを呼び出します",
                                  [this] { CallUpTemplate(this, flows_->Document(), *faceView_); });
    AddCommand(menu, "用紙/メディア選択(&L)...", {}, "ラベルシートの用紙またはメディアを選びます", [this] { ChoosePaper(); })
        ->setObjectName("actChoosePaper");
    exportCommand_ = AddCommand(menu, "他形式保存(&H)...", {}, "ラベルを画像やPDFのファイルに保存します",
                                [this] { ExportFromDialog(); });
    exportCommand_->setObjectName("actExport");
    menu.addSeparator();
    AddCommand(menu, "環境設定(&E)...", {}, "環境を設定します", [this] { EditEnvironment(TfrmEnvironment::epGeneral); })
        ->setObjectName("actEnvironment");
    AddCommand(menu, "プリンタ設定(&R)...", {}, "印刷するプリンタと用紙を設定します", [this] { PrinterSetup(); })
        ->setObjectName("actPrinterSetup");
    discSizeCommand_ = AddCommand(menu, "外円・内円のサイズ調整...", {}, "外円・内円のサイズ調整をします",
                                  [this] { AdjustDiscSize(); });
    discSizeCommand_->setObjectName("actDiscSize");
    AddCommand(menu, "印刷(&P)...", QKeySequence("Ctrl+P"), "ラベルシートを印刷します", [this] { PrintSheet(); });
    menu.addSeparator();
    menu.addActions(paperCommands_->FileActions());
    menu.addSeparator();
    AddCommand(menu, ExpandMacro("$(AppName)の終了(&X)"), {}, {}, [this] { close(); });
}

// The stage and classic screens. In the file menu their keys would clash with those of saving
// and of the paper.
void TfrmMain::BuildScreenCommands(QMenu& menu)
{
    AddCommand(menu, "スタートメニュー(&W)...", {}, "メニュー画面に戻ります", [this] { ChangeStage(TStageHost::stMenu); })
        ->setObjectName("actStartMenu");
    sheetCommand_ =
        AddCommand(menu, "ラベルシート表示(&S)", {}, "シート表示画面に切替えます", [this] { ShowSheet(); });
    sheetCommand_->setObjectName("actSheetView");
    editFaceCommand_ = AddCommand(menu, "ラベル表示(&L)", {}, "ラベル表示画面に切替えます", [this] {
        const int chosen = sheetView_->SelectedFace();
        EditFace(chosen >= 0 ? chosen : flows_->Document().CurrentLabelNo());
    });
    editFaceCommand_->setObjectName("actLabelView");
}

void TfrmMain::PrintSheet()
{
    faceView_->Flush();
    const QString pdfFile = PrintSheetFromWindow(flows_->Document(), printOptions_,
                                                 {printSettings_.get(), catalogue_, [this] { return PrinterSetup(); },
                                                  [this] { return AdjustDiscSize(); }},
                                                 this);
    if (!pdfFile.isEmpty()) ReportPdfWritten(pdfFile);
}

void TfrmMain::BuildHelpMenu()
{
    QMenu& help = *menuBar()->addMenu("ヘルプ(&H)");
    AddCommand(help, ExpandMacro("$(AppName)の使い方(&C)"), {}, {}, [this] { ShowHelp(); })->setObjectName("actHelp");
    help.addAction(paperCommands_->UpdaterURLAction());
    help.addSeparator();
    AddCommand(help, "バージョン情報(&A)...", {}, {}, [this] { ShowAbout(); })->setObjectName("actAbout");
    auto* screenHelp = new QAction(this);
    screenHelp->setShortcut(QKeySequence::HelpContents);
    connect(screenHelp, &QAction::triggered, this, [this] { ShowScreenHelp(); });
    addAction(screenHelp);
}

void TfrmMain::ShowAbout()
{
    QMessageBox::about(this, "バージョン情報",
                       frame_.Expand("$(AppName) $(LongVer)$(CRLF)$(CRLF)音楽ディスクのラベルをデザインして印刷します"));
}

void TfrmMain::ShowScreenHelp()
{
    if (!frame_.Help("context", host_->HelpContext()))
        TAppFrame::ShowOkMessage(QStringLiteral("ヘルプ「%s」を開けませんでした"), {frame_.HelpFile()});
}

void TfrmMain::ShowHelp()
{
    // The pages open in the user's browser; without one (or without the pages) say which file it was.
    if (!frame_.Help("topic", {}))
        TAppFrame::ShowOkMessage(QStringLiteral("ヘルプ「%s」を開けませんでした"), {frame_.HelpFile()});
}

void TfrmMain::EditEnvironment(int page)
{
    TfrmEnvironment dialog(this, static_cast<TfrmEnvironment::TPage>(page));
    // The history keeps its newest steps when the limit shrinks.
    if (dialog.exec() == QDialog::Accepted) session_->History().SetLimit(UndoLimitSetting());
}

void TfrmMain::BuildRecentFilesMenu(QMenu& menu)
{
    QMenu* recent = menu.addMenu("最近使ったファイル(&D)");
    recent->setObjectName("mnuRecentFiles");
    QAction* anchor = recent->addAction(QString());
    recentFilesMenu_ = std::make_unique<THistoryMenu>(*recent, *anchor);
    recentFiles_ = std::make_unique<THistoryManager>(QStringLiteral("$(OpenFileHistory)"));
    recentFiles_->SetClearHistoryCaption(ClearHistoryMenuCaption);
    recentFiles_->OnMenuClick = [this](THistoryManager&, const QString& file) { OpenRecentFile(file); };
    Guarded([this] { recentFiles_->SetMenuItem(recentFilesMenu_.get()); });
}

// A document that has gone since it was listed leaves the list.
void TfrmMain::OpenRecentFile(const QString& file)
{
    if (flows_->Open(file) || QFileInfo::exists(file)) return;
    Guarded([&] { recentFiles_->Remove(file); });
}

void TfrmMain::BuildEditMenu()
{
    QMenu& menu = *menuBar()->addMenu("編集(&E)");
    editCommands_->AddTo(menu);
    connect(&menu, &QMenu::aboutToShow, this, [this] { UpdateCommands(); });
    QToolBar& bar = *addToolBar("編集");
    bar.setObjectName("EditToolBar");
    editCommands_->AddTo(bar);
}

void TfrmMain::ShowContextMenu(QPoint global)
{
    UpdateCommands();
    auto* menu = new QMenu(this);
    menu->setObjectName("FaceContextMenu");
    menu->setAttribute(Qt::WA_DeleteOnClose);
    editCommands_->AddApplicableTo(*menu);
    if (menu->isEmpty()) {
        delete menu;
        return;
    }
    connect(menu, &QMenu::aboutToHide, this, [this] { UpdateCommands(); });
    menu->popup(global);
}

void TfrmMain::BuildViewMenu()
{
    QMenu& menu = *menuBar()->addMenu("表示(&V)");
    BuildScreenCommands(menu);
    menu.addSeparator();
    zoomInCommand_ = AddCommand(menu, "拡大(&I)", QKeySequence::ZoomIn, {}, [this] { faceView_->ZoomIn(); });
    zoomOutCommand_ =
        AddCommand(menu, "縮小(&U)", QKeySequence::ZoomOut, {}, [this] { faceView_->ZoomOut(); });
    menu.addSeparator();
    gridCommand_ = AddCommand(menu, "グリッド設定(&G)...", {}, "グリッドの間隔と表示を設定します",
                              [this] { faceView_->EditGrid(); });
    gridSnapCommand_ = AddCommand(menu, "グリッドに吸着(&R)", {}, {}, [this] { faceView_->ToggleGridSnap(); });
    guideSnapCommand_ =
        AddCommand(menu, "ガイドバーに吸着(&B)", {}, {}, [this] { faceView_->ToggleGuideSnap(); });
    gridSnapCommand_->setCheckable(true);
    guideSnapCommand_->setCheckable(true);
    connect(&menu, &QMenu::aboutToShow, this, [this] { UpdateCommands(); });
    BuildLayoutToolBar();
}

void TfrmMain::BuildLayoutToolBar()
{
    QToolBar& bar = *addToolBar("レイアウト");
    bar.setObjectName("LayoutToolBar");
    gridInterval_ = new QSpinBox(&bar);
    gridInterval_->setObjectName("GridInterval");
    gridInterval_->setRange(1, 100);
    gridInterval_->setSuffix(" mm");
    gridInterval_->setStatusTip("グリッドの升目の大きさを指定します");
    gridInterval_->setToolTip(gridInterval_->statusTip());
    connect(gridInterval_, &QSpinBox::valueChanged, this, [this](int mm) { faceView_->SetGridInterval(mm); });
    bar.addWidget(gridInterval_);
    dotGridCommand_ = bar.addAction("点グリッド", this, [this](bool dots) { faceView_->SetDotGrid(dots); });
    dotGridCommand_->setObjectName("DotGrid");
    dotGridCommand_->setCheckable(true);
    dotGridCommand_->setStatusTip("グリッドを点で表示します");
    formatBar_ = new TFormatToolBar(this);
    addToolBar(formatBar_);
    formatBar_->editBackground = [this](TDrawObject& background) { return EditBackground(this, background); };
    formatBar_->onEdited = [this] { UpdateCommands(); };
}

// The insert menu stays hidden until some kind can be inserted.
void TfrmMain::BuildInsertMenu()
{
    if (objectCommands_->Actions().empty()) return;
    QMenu& menu = *menuBar()->addMenu("挿入(&I)");
    objectCommands_->AddTo(menu);
    AddPictureGridCommand(menu);
    menu.addSeparator();
    faceDesignCommands_.push_back(AddCommand(menu, "背景柄(&B)...", {}, "ラベルの背景柄を設定します", [this] {
        EditFaceBackground(this, *faceView_, TFaceInfo(flows_->Document().Face(faceView_->Face())));
    }));
    menu.addAction(templateCommand_);
    menu.addSeparator();
    AddCommand(menu, "クリエーター情報の編集(&C)...", {}, "ラベルのクリエーター情報を編集します", [this] {
        TfrmCreatorInfo dialog(flows_->Document(), productDB_, this);
        EditInformation(dialog);
    });
    AddCommand(menu, "プロダクト情報の編集(&P)...", {}, "ラベルのプロダクト情報を編集します", [this] {
        TfrmProductInfo dialog(flows_->Document(), productDB_, this);
        EditInformation(dialog);
    });
    connect(&menu, &QMenu::aboutToShow, this, [this] { UpdateCommands(); });
}

// "複数画像" places no object kind of its own, so it joins the kinds' commands after the fill
// illustrations.
void TfrmMain::AddPictureGridCommand(QMenu& menu)
{
    QAction* command = AddCommand(menu, "複数画像(&R)...", {}, "複数のイメージファイルを並べて置きます", [this] { AddPictureGrid(); });
    const QList<QAction*> entries = menu.actions();
    const auto fill = std::find_if(entries.begin(), entries.end(),
                                   [](const QAction* entry) { return entry->text() == "塗りつぶしイラスト(&A)"; });
    if (fill != entries.end() && fill + 1 != entries.end()) {
        menu.removeAction(command);
        menu.insertAction(*(fill + 1), command);
    }
    faceDesignCommands_.push_back(command);
}

// The dialog rewrites the texts showing the information on every face, the face shown included:
// what is edited there goes to the document first, and the face is shown again afterwards.
void TfrmMain::EditInformation(QDialog& dialog)
{
    const bool editing = IsEditingFace();
    if (editing) faceView_->Flush();
    if (dialog.exec() == QDialog::Accepted && editing) faceView_->Load(flows_->Document(), faceView_->Face());
    UpdateCommands();
}

// The format tools in a menu too, so that the keyboard reaches them; the boxes stay on the bar.
void TfrmMain::BuildFormatMenu()
{
    QMenu& menu = *menuBar()->addMenu("書式(&O)");
    for (QAction* action : formatBar_->actions())
        if (!qobject_cast<QWidgetAction*>(action)) menu.addAction(action);
}

// The sheets of the document, on the sheet screen; each change is one undo step.
void TfrmMain::BuildSheetMenu()
{
    QMenu& menu = *menuBar()->addMenu("シート(&S)");
    const auto add = [&](const QString& caption, const QString& hint, std::function<void(TSheetEditing&)> run) {
        sheetCommands_.push_back(AddCommand(menu, caption, {}, hint, [this, run = std::move(run)] { EditSheets(run); }));
    };
    add("新しいシート(&N)", "新しいシートを追加します", [](TSheetEditing& sheets) { sheets.NewSheet(); });
    add("シートの複製(&D)", "表示しているシートを複製します", [](TSheetEditing& sheets) { sheets.DuplicateSheet(); });
    add("シートの削除(&L)", "表示しているシートを削除します", [this](TSheetEditing& sheets) {
        sheets.DeleteSheet(flows_->Document().CurrentSheet());
    });
    add("前へ移動(&B)", "表示しているシートをひとつ前へ移動します", [this](TSheetEditing& sheets) {
        sheets.MoveSheet(std::max(flows_->Document().CurrentSheet() - 1, 0));
    });
    add("後ろへ移動(&F)", "表示しているシートをひとつ後ろへ移動します", [this](TSheetEditing& sheets) {
        const TLabelData& document = flows_->Document();
        sheets.MoveSheet(std::min(document.CurrentSheet() + 1, document.SheetCount() - 1));
    });
    sheetCommands_.push_back(
        AddCommand(menu, "シート名の変更(&R)...", {}, "表示しているシートの名前を変更します", [this] { RenameSheet(); }));
    connect(&menu, &QMenu::aboutToShow, this, [this] { UpdateCommands(); });
}

void TfrmMain::EditSheets(const std::function<void(TSheetEditing&)>& operation)
{
    TSheetEditing sheets(flows_->Document(), session_->History());
    operation(sheets);
    UpdateCommands();
}

void TfrmMain::RenameSheet()
{
    bool accepted = false;
    const QString name = QInputDialog::getText(this, "シート名の変更", "シート名(&N):", QLineEdit::Normal,
                                               flows_->Document().SheetName(), &accepted);
    if (!accepted) return;
    if (!CanEncodeCp932(name)) throw EKestrel(QStringLiteral("シート名にラベルで使えない文字が含まれています"));
    EditSheets([&](TSheetEditing& sheets) { sheets.RenameSheet(name); });
}

void TfrmMain::BuildToolMenu()
{
    QMenu& menu = *menuBar()->addMenu("ツール(&T)");
    AddCommand(menu, "キャッシュの設定(&C)...", {}, "イメージのキャッシュを設定します",
               [this] { EditEnvironment(TfrmEnvironment::epCache); });
    AddCommand(menu, "アルバム情報(&M)...", {}, "アルバム情報を編集し、面の入力項目に入れます", [this] { ShowAlbums(); });
}

void TfrmMain::ShowAlbums()
{
    TAlbumInfo album;
    QStringList lines;
    if (TfrmAlbumData::Run(this, TfrmAlbumData::TPurpose::ChooseAlbum, album, lines)) FillFaceInputItems(album);
}

void TfrmMain::AddMusicAlbum(const QStringList& paths)
{
    TAlbumInfo album;
    MusicToAlbum(ReadMusicPaths(paths, QGuiApplication::keyboardModifiers() & Qt::ShiftModifier), album);
    TAlbums albums;
    albums.Open(AlbumsFile());
    albums.Store(album, -1);
    albumMemory_.currentPage = albums.Count() - 1;
    albums.Close();
    if (FillFaceInputItems(album) == 0)
        TAppFrame::ShowOkMessage(QStringLiteral("アルバム「%s」(%d曲)をアルバム情報に加えました"), {album.Title(), album.TrackCount()});
}

int TfrmMain::FillFaceInputItems(const TAlbumInfo& album)
{
    TDrawSite* site = IsEditingFace() ? faceView_->Site() : nullptr;
    if (!site) return 0;
    const int items = FillInputItemsInOneStep(*site, faceView_->Face(), album);
    if (items) UpdateCommands();
    return items;
}

bool TfrmMain::IsEditingFace() const
{
    const QWidget* screen = host_->Screen();
    return screen && (screen == faceView_ || screen->isAncestorOf(faceView_));
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
    QFileDialog dialog(this, "開く", {}, DialogFilter(DocumentFilter(frame_)));
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QString file = TFolderHistory(DocumentFolderHistory).Run(dialog);
    if (!file.isEmpty()) flows_->Open(file);
}

QString TfrmMain::ChooseSaveFile(const QString& filter)
{
    QFileDialog dialog(this, "名前を付けて保存", {}, DialogFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("mld");
    return TFolderHistory(DocumentFolderHistory).Run(dialog);
}

// A new document shows the classic sheet screen when the user works with the classic screens,
// otherwise the menu stage (as at start).
void TfrmMain::DocumentChanged()
{
    const bool classic = host_->Screen() && host_->Stage() < 0;
    faceView_->Unload();
    if (classic) host_->ShowClassicScreen(*sheetView_);
    flows_->Document().SetPaperAdapter(paperAdapter_);
    SetUpPrinterForPaper();
    ListenToDocument();
    Guarded([this] { sheetView_->Load(flows_->Document()); });
    if (!classic) ChangeStage(TStageHost::stMenu);
    UpdateLayoutAids();
    UpdateCommands();
}

void TfrmMain::SetUpPrinterForPaper()
{
    const TPaperInfo* paper = flows_->Document().SheetPaper();
    if (!paper) return;
    Guarded([&] {
        std::unique_ptr<TPrinterConfiguration> printer = TPrinterConfiguration::Current();
        printSettings_->ApplyForPrinter(*printer, *paper);
        printer->MakeCurrent();
    });
}

bool TfrmMain::PrinterSetup()
{
    bool confirmed = false;
    Guarded([&] {
        if (TAppFrame::ReadBool(QStringLiteral("UseSystemPrinterDialog"), false)) {
            std::unique_ptr<TPrinterConfiguration> printer = TPrinterConfiguration::Current();
            confirmed = printer->ShowProperties(this);
            if (confirmed) printer->MakeCurrent();
        } else if (const TPaperInfo* paper = flows_->Document().SheetPaper()) {
            TfrmPrinterSetting dialog(*printSettings_, *paper, this);
            confirmed = dialog.exec() == QDialog::Accepted;
        }
    });
    if (confirmed && flows_->Document().IsDirectPrintPaper()) RefreshPaperDisplay();
    return confirmed;
}

bool TfrmMain::AdjustDiscSize()
{
    TLabelData& document = flows_->Document();
    if (!document.IsDirectPrintPaper()) return false;
    bool changed = false;
    Guarded([&] {
        const TRingAdjustment before = ReadRingAdjustment(*document.SheetPaper());
        TfrmAdjustDiscSize dialog(document, catalogue_, this);
        dialog.exec();
        changed = ReadRingAdjustment(*document.SheetPaper()) != before;
    });
    if (changed) RefreshPaperDisplay();
    return changed;
}

void TfrmMain::RefreshPaperDisplay()
{
    if (IsEditingFace()) {
        EditFace(faceView_->Face());
        return;
    }
    Guarded([this] { sheetView_->Load(flows_->Document()); });
    UpdateLayoutAids();
    UpdateCommands();
}

void TfrmMain::ListenToDocument()
{
    TLabelDataSignals& signals = flows_->Document().Signals();
    documentConnections_.clear();
    for (TSignal<>* sheetContent : {&signals.currentSheetChanged, &signals.sheetsChanged, &signals.paperChanged})
        documentConnections_.push_back(sheetContent->Connect([this] { SheetContentChanged(); }));
    documentConnections_.push_back(signals.facesChanged.Connect([this](int) { SheetContentChanged(); }));
    documentConnections_.push_back(signals.modifiedChanged.Connect([this](bool) { ShowModified(); }));
    documentConnections_.push_back(signals.layoutAidsChanged.Connect([this] {
        UpdateLayoutAids();
        if (faceView_->Site()) faceView_->Site()->Invalidate();
    }));
}

// The sheet screen shows what the document holds now; the face screen is left alone (its face
// is written back when the user leaves it).
void TfrmMain::SheetContentChanged()
{
    if (!IsEditingFace()) Guarded([this] { sheetView_->Load(flows_->Document()); });
    if (auto* menu = dynamic_cast<TMenuStage*>(host_->Screen())) Guarded([menu] { menu->Reload(); });
    UpdateStatus();
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
        // A stage that shows the face keeps it in its own frame.
        if (!IsEditingFace()) host_->ShowClassicScreen(*faceView_);
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
    if (left) host_->ShowClassicScreen(*sheetView_);
    UpdateCommands();
    return left;
}

bool TfrmMain::ChangeStage(int stage)
{
    bool changed = false;
    Guarded([&] { changed = host_->ChangeStage(stage); });
    return changed;
}

bool TfrmMain::ChoosePaper(const QString& genreKeyword)
{
    if (!catalogue_) return false;
    faceView_->Flush();
    TLabelData& document = flows_->Document();
    TPaperChooserDialog dialog(*catalogue_, {document.SheetPaper(), &document.ExtraInfo(), &document.ImageInfo()}, this);
    if (paperCommands_->ExtendedSelection()) dialog.ShowExtendedFunctions();
    if (!genreKeyword.isEmpty()) ShowGenre(dialog.GenreTree(), genreKeyword);
    if (dialog.exec() != QDialog::Accepted) return false;
    const std::optional<TPaperChoice> choice = dialog.Choice();
    if (!choice || !choice->paper) return false;
    flows_->ChangeSheetPaper(*choice);
    UpdateCommands();
    SetUpPrinterForPaper();
    if (IsEditingFace()) EditFace(std::min(faceView_->Face(), document.FaceCount() - 1));
    return true;
}

void TfrmMain::ExportFromDialog()
{
    const bool face = IsEditingFace() || sheetView_->SelectedFace() >= 0;
    QFileDialog dialog(this, "他形式保存", {},
                       "PNG (*.png);;JPEG (*.jpg *.jpeg);;BMP (*.bmp);;PDF (*.pdf)");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("png");
    auto* wholeSheet = new QCheckBox("シート全体を保存する", &dialog);
    wholeSheet->setChecked(!face);
    wholeSheet->setEnabled(face);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (auto* layout = qobject_cast<QGridLayout*>(dialog.layout())) layout->addWidget(wholeSheet, layout->rowCount(), 0, 1, -1);
    const QString file = TFolderHistory(ExportFolderHistory).Run(dialog);
    if (!file.isEmpty()) ExportLabel(file, wholeSheet->isChecked());
}

bool TfrmMain::ExportLabel(const QString& file, bool wholeSheet)
{
    return Guarded([&] {
        faceView_->Flush();
        TLabelData& document = flows_->Document();
        const int face = wholeSheet ? -1 : IsEditingFace() ? faceView_->Face() : sheetView_->SelectedFace();
        QStringList problems;
        kestrel::ExportLabel(document, face, ExportDpi, file, &problems);
        statusBar()->showMessage(FormatText("「%s」に保存しました", {QDir::toNativeSeparators(file)}));
        if (!problems.isEmpty())
            TAppFrame::ShowOkMessage("%s", {QString("次のものは保存したとおりに描けませんでした:\n" + problems.join('\n'))});
    });
}

bool TfrmMain::ChooseSheet(int sheet)
{
    TLabelData& document = flows_->Document();
    const bool chosen = Guarded([&] {
        faceView_->Flush();
        faceView_->Unload();
        document.SelectSheet(sheet);
    });
    // A sheet that could not be read leaves the chooser on the sheet that stayed current.
    return ShowSheet() && chosen;
}

QStringList TfrmMain::InformationTexts(TFieldType set)
{
    return kestrel::InformationTexts(flows_->Document(), set);
}

void TfrmMain::UpdateOnIdle()
{
    const qint64 since = sinceIdleUpdate_.isValid() ? sinceIdleUpdate_.elapsed() : kIdleUpdateMilliseconds;
    if (since < kIdleUpdateMilliseconds) {
        // Wakes the loop for one late update, in case nothing else does.
        if (!idleCatchUp_.isActive()) idleCatchUp_.start(int(kIdleUpdateMilliseconds - since));
        return;
    }
    sinceIdleUpdate_.start();
    UpdateCommands();
}

void TfrmMain::UpdateCommands()
{
    const bool editing = IsEditingFace();
    editCommands_->SetSite(editing ? faceView_->Site() : nullptr);
    objectCommands_->SetSite(editing ? faceView_->Site() : nullptr);
    formatBar_->SetSite(editing ? faceView_->Site() : nullptr, faceView_->Face());
    sheetCommand_->setEnabled(host_->Screen() != sheetView_);
    editFaceCommand_->setEnabled(!editing);
    zoomInCommand_->setEnabled(editing);
    zoomOutCommand_->setEnabled(editing);
    for (QAction* command : {gridCommand_, gridSnapCommand_, guideSnapCommand_}) command->setEnabled(editing);
    gridInterval_->setEnabled(editing);
    dotGridCommand_->setEnabled(editing);
    discSizeCommand_->setEnabled(flows_->Document().IsDirectPrintPaper());
    for (QAction* command : sheetCommands_) command->setEnabled(!editing);
    for (QAction* command : faceDesignCommands_) command->setEnabled(editing);
    templateCommand_->setEnabled(editing);
    exportCommand_->setEnabled(flows_->Document().SheetPaper() != nullptr);
    UpdateStatus();
}

void TfrmMain::UpdateLayoutAids()
{
    TLabelData& document = flows_->Document();
    const TGrid& grid = document.Grid();
    gridSnapCommand_->setChecked(grid.Enabled());
    const QSignalBlocker quietInterval(gridInterval_);
    const QSignalBlocker quietDots(dotGridCommand_);
    gridInterval_->setValue(grid.Size() / 10);
    dotGridCommand_->setChecked(!grid.LineShape());
    guideSnapCommand_->setChecked(document.Guide().Enabled());
}

QString TfrmMain::FaceStatus() const
{
    const bool editing = IsEditingFace();
    const int face = editing ? faceView_->Face() : sheetView_->SelectedFace();
    const int zoom = editing ? faceView_->Zoom() : sheetView_->Zoom();
    const QString zoomText = QStringLiteral("表示倍率 %1%").arg(zoom);
    const TFaceGeometry* geometry = sheetView_->FaceGeometry(face);
    return geometry ? FaceDescription(*geometry, face) + QStringLiteral("　") + zoomText : zoomText;
}

// A file has no printer to watch: the window says where it went.
void TfrmMain::ReportPdfWritten(const QString& file)
{
    const QString text = FormatText("PDFファイル「%s」に印刷しました", {QString(QDir::toNativeSeparators(file))});
    statusBar()->showMessage(text);
    TAppFrame::ShowOkMessage("%s", {text});
}

void TfrmMain::ShowDocumentName(const QString& name)
{
    // Qt shows "*" in place of "[*]" while the window is marked modified.
    const QString marked = "[*]" + name;
    setWindowTitle(FormatText(frame_.Expand("$(TitleBarFormat)"), {marked}));
    ShowModified();
}

// Until a document names the title it has no place for the mark.
void TfrmMain::ShowModified()
{
    if (!windowTitle().contains("[*]")) return;
    setWindowModified(flows_->Document().IsModified() || faceView_->IsModified());
}

void TfrmMain::UpdateStatus()
{
    faceStatus_->setText(FaceStatus());
    if (!IsEditingFace()) pointerStatus_->clear();
}

bool TfrmMain::Guarded(const std::function<void()>& step)
{
    return TAppFrame::ShowingErrors(step);
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
