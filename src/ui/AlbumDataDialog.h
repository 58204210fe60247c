#pragma once

// The album dialog ("アルバム情報"): one album per page of the user's album database, its tracks
// in a grid, albums added, deleted and searched, music read from folders and playlists, CSV
// export and import and the replace dialog. Opened from the text editor, OK then asks which
// fields to insert; opened for a face, the caller takes the current album.

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

#include "music/AlbumEditor.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTableWidget;

namespace kestrel {

class THistoryManager;

// What the album dialogs need from the window they are opened over: the memory kept while the
// program runs and the database file. The main window offers it; without one, a dialog keeps
// its own memory for as long as it is open.
class IAlbumHolder {
public:
    virtual ~IAlbumHolder() = default;
    virtual TAlbumDialogMemory& AlbumMemory() = 0;
    virtual QString AlbumsFile() const = 0;
};

// The holder among widget and its ancestors, or null.
IAlbumHolder* FindAlbumHolder(QWidget* widget);
// "$(UserPreferenceFolder)Albums.dat".
QString DefaultAlbumsFile();

class TfrmAlbumData : public QDialog {
public:
    enum class TPurpose { ChooseAlbum, InsertLines };

    // The database must be open; it is never left without an album.
    TfrmAlbumData(TAlbums& albums, TAlbumDialogMemory& memory, TPurpose purpose, QWidget* parent = nullptr);
    ~TfrmAlbumData() override;

    // After OK: the album of the current page, and for InsertLines the lines chosen.
    const TAlbumInfo& CurrentAlbum() const { return editor_.Working(); }
    const QStringList& Lines() const { return lines_; }
    TAlbumEditor& Editor() { return editor_; }

    // Opens the database of the holder over parent (or the default one) and runs the dialog;
    // false when the user cancelled or the database could not be opened (the reason shown).
    static bool Run(QWidget* parent, TPurpose purpose, TAlbumInfo& album, QStringList& lines);

    // Music from files, a folder or a playlist becomes a new album, shown.
    void AddDroppedMusic(const QStringList& paths);
    void ImportFolder();
    void ImportPlaylist();
    void AddAlbum();
    void DeleteAlbum();
    void Search();
    void ExportCsv();
    void ImportCsv();
    void ReplaceCharacters();
    // Albums from disc-information plug-ins join the database; the last one is shown.
    void ImportFromDisc();
    // The current album sent through an exporter plug-in.
    void ExportToDisc();

    // Where the folder and playlist come from (file dialogs unless set).
    std::function<QString()> chooseFolder;
    std::function<QString()> choosePlaylist;

    void accept() override;
    void reject() override;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* BuildAlbumBox();
    QWidget* BuildTrackBox();
    QWidget* BuildSearchBox();
    QWidget* BuildToolBox();
    // Shows the working copy: page, title, artist and grid.
    void ShowPage();
    void FillGrid();
    void UpdateCommands();
    void GridEdited(int row, int column);
    int SelectedTrack() const;
    void SelectTrack(int row);
    // Leaves the page (the grid's editor closed first) and runs step; an error is shown.
    bool Guarded(const std::function<void()>& step);

    TAlbumEditor editor_;
    TAlbumDialogMemory& memory_;
    TPurpose purpose_;
    QStringList lines_;
    std::unique_ptr<THistoryManager> searchHistory_;
    bool showing_ = false;
    QLabel* pageLabel_ = nullptr;
    QScrollBar* pageBar_ = nullptr;
    QLineEdit* title_ = nullptr;
    QLineEdit* artist_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QPushButton* insertTrack_ = nullptr;
    QPushButton* deleteTrack_ = nullptr;
    QPushButton* moveUp_ = nullptr;
    QPushButton* moveDown_ = nullptr;
    QComboBox* keyword_ = nullptr;
    QPushButton* search_ = nullptr;
    QRadioButton* fuzzy_ = nullptr;
    QRadioButton* strict_ = nullptr;
    QProgressBar* searchProgress_ = nullptr;
    QPushButton* replace_ = nullptr;
};

}  // namespace kestrel
