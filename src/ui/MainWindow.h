#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "music/AlbumEditor.h"
#include "platform/Signal.h"
#include "print/PrintSpec.h"
#include "ui/AlbumDataDialog.h"
#include "ui/TextPropertiesDialog.h"

class QAction;
class QLabel;
class QSpinBox;

namespace kestrel {

class TAppFrame;
class TDirectPrintPaperAdapter;
class TDocumentFlows;
class TPaperPrintSetting;
class THistoryManager;
class THistoryMenu;
class TEditCommands;
class TFormatToolBar;
class TObjectCommands;
class TPaperCommands;
class TFaceView;
class TGlobalNotify;
class TLayoutSession;
class TSheetEditing;
class TPapersV2;
class TProductDB;
class TSheetView;
class TStageHost;

// The main window: owns the document through its flows and shows either the overview of the
// current sheet or one face being edited. Titled after the program until a document names it;
// remembers its placement.
class TfrmMain : public QMainWindow, public IInformationHolder, public IAlbumHolder {
    Q_OBJECT
public:
    // catalogue and productDB may be null (no paper to choose from, default product records).
    // The paper chooser adds a document's paper the catalogue does not know as a user paper.
    TfrmMain(TAppFrame& frame, TPapersV2* catalogue, TProductDB* productDB,
             QWidget* parent = nullptr);
    ~TfrmMain() override;

    TDocumentFlows& Flows() { return *flows_; }
    TLayoutSession& Session() const { return *session_; }
    TSheetView& SheetView() const { return *sheetView_; }
    // The host panel with the stage or classic screen shown.
    TStageHost& StageHost() const { return *host_; }
    TFaceView& FaceView() const { return *faceView_; }
    TEditCommands& EditCommands() const { return *editCommands_; }
    TFormatToolBar& FormatToolBar() const { return *formatBar_; }
    // The recently opened documents ("最近使ったファイル").
    THistoryManager& RecentFiles() const { return *recentFiles_; }
    bool IsEditingFace() const;
    // The face shown or selected, its size and the zoom, in the status bar.
    QString FaceStatus() const;

    // The start-up hooks: the command line's document, or a new one with the default paper.
    bool OpenDocument(const QString& file);
    void NewDocument();

    // Shows face n of the current sheet for editing; false when it could not be loaded.
    bool EditFace(int face);
    // Back to the overview; the face's objects are written back first.
    bool ShowSheet();
    // The change-stage command: 0 menu, 1 template, 2 text input, 3 image, 4 layout of the
    // current face. Other numbers do nothing; false when the stage was not changed.
    bool ChangeStage(int stage);
    // "他形式保存": the face being edited (or chosen on a sheet screen), or the whole sheet,
    // as a PNG, JPEG, BMP or PDF file named by its extension; false after an error.
    bool ExportLabel(const QString& file, bool wholeSheet);
    // Changes the current sheet's paper to one the user chooses, the chooser opened on the genre
    // whose name holds the keyword; false when none was chosen.
    bool ChoosePaper(const QString& genreKeyword = {});
    bool ChooseSheet(int sheet);

    // "プリンタ設定": the printer setting dialog (or the printer's own with the setting
    // "UseSystemPrinterDialog"); true when a setting was confirmed.
    bool PrinterSetup();
    // "外円・内円のサイズ調整" of a disc printed directly; true when the adjustment changed.
    bool AdjustDiscSize();

    QStringList InformationTexts(TFieldType set) override;
    TAlbumDialogMemory& AlbumMemory() override { return albumMemory_; }
    QString AlbumsFile() const override { return DefaultAlbumsFile(); }

    // The album dialog; its album fills the input items of the face being edited.
    void ShowAlbums();
    // Dropped music becomes an album of the database and fills the face's input items.
    void AddMusicAlbum(const QStringList& paths);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildFileMenu();
    void BuildRecentFilesMenu(QMenu& menu);
    void OpenRecentFile(const QString& file);
    void BuildEditMenu();
    void BuildViewMenu();
    void BuildLayoutToolBar();
    void BuildInsertMenu();
    void AddPictureGridCommand(QMenu& menu);
    // Runs an information dialog on the document; the face shown takes what it changed.
    void EditInformation(QDialog& dialog);
    void BuildFormatMenu();
    void BuildSheetMenu();
    void BuildToolMenu();
    void BuildHelpMenu();
    void ShowHelp();
    // F1: the help page of the screen shown.
    void ShowScreenHelp();
    void ShowAbout();
    void ExportFromDialog();
    void PrintSheet();
    // The stage screens and their commands (StageScreens.cpp).
    std::unique_ptr<QWidget> CreateStageScreen(int stage);
    std::unique_ptr<QWidget> CreateMenuStage();
    std::unique_ptr<QWidget> CreateTextInputStage(int face);
    std::unique_ptr<QWidget> CreateImageStage();
    // "フォルダ...": the music files of a folder become an album that fills the face.
    void AddMusicFolder();
    // "音楽CD...": the album of a music CD fills the face's input items.
    void ImportMusicDisc();
    // "写真の変更...": another picture file in the face's picture object, or a new one.
    void ChangeFacePicture();
    // "一括編集".
    void BulkEditItems();
    // "画像レタッチ...".
    void RetouchPicture();
    // "複数画像(&R)...".
    void AddPictureGrid();
    void BuildScreenCommands(QMenu& menu);
    // The environment settings, opened on a page of TfrmEnvironment.
    void EditEnvironment(int page);
    QAction* AddCommand(QMenu& menu, const QString& caption, const QKeySequence& shortcut,
                        const QString& hint, std::function<void()> run);
    void DocumentChanged();
    // Follows what the document tells: sheets, paper, faces, grid and guides.
    void ListenToDocument();
    void SheetContentChanged();
    // Sets the current printer up for the document's paper, as after every change of paper.
    void SetUpPrinterForPaper();
    // Shows the document's paper again as laid out now (another printer, another ring).
    void RefreshPaperDisplay();
    void OpenFromDialog();
    QString ChooseSaveFile(const QString& filter);
    // Runs a sheet operation of the sheet screen as one undo step.
    void EditSheets(const std::function<void(TSheetEditing&)>& operation);
    void RenameSheet();
    void UpdateCommands();
    void UpdateLayoutAids();
    // Catches up with what changed outside the window's own steps (a selection made by the
    // model, the clipboard) when the program waits for input; the clipboard is asked at most
    // every kIdleUpdateMilliseconds.
    void UpdateOnIdle();
    void UpdateStatus();
    // The title names the document, marked while it has unsaved changes (also on the face shown).
    void ShowDocumentName(const QString& name);
    void ShowModified();
    void ReportPdfWritten(const QString& file);
    // The commands that apply to the selection, beside the pointer.
    void ShowContextMenu(QPoint global);
    // Runs a step of the window; an error is shown and false returned.
    bool Guarded(const std::function<void()>& step);

    // Fills the input items of the face being edited in one undo step; the number of items.
    int FillFaceInputItems(const TAlbumInfo& album);

    TAppFrame& frame_;
    TPapersV2* catalogue_;
    TProductDB* productDB_;
    // Owned by the flows, with the document.
    TLayoutSession* session_ = nullptr;
    TAlbumDialogMemory albumMemory_;
    TStageHost* host_ = nullptr;
    TSheetView* sheetView_;
    TFaceView* faceView_ = nullptr;
    TEditCommands* editCommands_ = nullptr;
    TObjectCommands* objectCommands_ = nullptr;
    TFormatToolBar* formatBar_ = nullptr;
    std::vector<QAction*> sheetCommands_;
    // Background and template of the face being edited.
    std::vector<QAction*> faceDesignCommands_;
    TPaperCommands* paperCommands_;
    QAction* editFaceCommand_ = nullptr;
    QAction* templateCommand_ = nullptr;
    QAction* exportCommand_ = nullptr;
    QAction* sheetCommand_ = nullptr;
    QAction* zoomInCommand_ = nullptr;
    QAction* zoomOutCommand_ = nullptr;
    QLabel* faceStatus_;
    // Where the pointer is on the face being edited.
    QLabel* pointerStatus_;
    QAction* gridCommand_ = nullptr;
    QAction* gridSnapCommand_ = nullptr;
    QAction* guideSnapCommand_ = nullptr;
    QSpinBox* gridInterval_ = nullptr;
    QAction* dotGridCommand_ = nullptr;
    QAction* discSizeCommand_ = nullptr;
    std::unique_ptr<TPaperPrintSetting> printSettings_;
    std::shared_ptr<TDirectPrintPaperAdapter> paperAdapter_;
    std::unique_ptr<TDocumentFlows> flows_;
    std::vector<TSignalConnection> documentConnections_;
    TPrintOptions printOptions_;
    // The menu goes after the history that fills it.
    std::unique_ptr<THistoryMenu> recentFilesMenu_;
    std::unique_ptr<THistoryManager> recentFiles_;
    std::unique_ptr<TGlobalNotify> idle_;
    QElapsedTimer sinceIdleUpdate_;
    QTimer idleCatchUp_;
};

}  // namespace kestrel
