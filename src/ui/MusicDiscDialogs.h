#pragma once

// The screens of music disc information through plug-ins: import ("曲名データの取得"), export
// ("曲名データの登録"), their shared settings ("サーバー設定"), the wait window and the choice
// among several results.

#include <QDialog>
#include <QPointer>
#include <memory>

#include "music/MusicDiscPlugins.h"

class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;
class QTreeWidget;

namespace kestrel {

class TAlbumInfo;
class TAlbums;
class TfrmInternetEnvironment;

// "検索中です": the plug-in at work, its status line, the progress and "キャンセル".
class TfrmWait : public QDialog, public TMusicRunObserver {
public:
    explicit TfrmWait(QWidget* parent);
    void ShowLabel(const QString& text) override;
    void ShowStatus(const QString& text) override;
    void ShowProgress(int done, int total) override;
    bool Cancelled() const override { return cancelled_; }

private:
    void Cancel();

    QLabel* plugin_;
    QLabel* status_;
    QProgressBar* progress_;
    bool cancelled_ = false;
};

// "曲名データの選択": several albums found; check boxes when several may be taken.
class TfrmResult : public QDialog {
public:
    TfrmResult(const std::vector<TImportedAlbum>& albums, bool several, QWidget* parent);
    std::vector<TImportedAlbum> Chosen() const;

private:
    void ShowDetails();
    void UpdateOk();

    const std::vector<TImportedAlbum>& albums_;
    bool several_;
    QListWidget* list_;
    QTreeWidget* details_;
    QPushButton* ok_;
};

// What the import and export screens share: the plug-ins, the drive box and its readiness, the
// settings screen.
class TMusicDiscScreen : public QDialog {
protected:
    TMusicDiscScreen(const QUuid& category, const QString& title, QWidget* parent);
    // The drive or image chosen.
    QString Target() const;
    bool TargetReady() const;
    void OpenSettings();
    virtual void FillEntries() = 0;
    virtual void UpdateOk() = 0;
    // Stops the readiness timer while a run works.
    void PauseTimer(bool paused);

    // Declared first: the servers keep it until they go.
    TBCAppFrameClient client_;
    TMusicPlugins plugins_;
    QComboBox* target_;
    QLabel* warning_;
    QPushButton* ok_;

private:
    void ChooseImage();

    QTimer* timer_;

protected:
    void CheckTarget();
    // The screen: drive box, warning, the entries, OK, cancel and "設定".
    void BuildScreen(QListWidget* entries);
};

// "曲名データの取得": the checked entries looked up for the drive; several albums (the album
// dialog) or one.
class TfrmMusicDiscImport : public TMusicDiscScreen {
public:
    TfrmMusicDiscImport(bool several, QWidget* parent);
    // After OK.
    int TakeAlbums(TAlbums& albums) const;
    void TakeAlbum(TAlbumInfo& album) const;
    // OK: the import run.
    void accept() override;

private:
    void FillEntries() override;
    void UpdateOk() override;
    std::vector<TMusicSource> Checked() const;

    bool several_;
    QListWidget* entries_;
    std::vector<TMusicSource> sources_;
    std::vector<TImportedAlbum> taken_;
};

// "曲名データの登録": the album sent through the chosen entry.
class TfrmMusicDiscExport : public TMusicDiscScreen {
public:
    explicit TfrmMusicDiscExport(QWidget* parent);
    void SetAlbum(const TAlbumInfo& album);
    // OK: the export run.
    void accept() override;

private:
    void FillEntries() override;
    void UpdateOk() override;

    std::unique_ptr<TAlbumInfo> album_;
    QListWidget* entries_;
    std::vector<TMusicSource> sources_;
};

// "サーバー設定": the proxy settings ("インターネット"), then a tab for each plug-in of the
// calling screen that offers a settings page. The pages' windows are the plug-ins' own: they
// are shown in their tabs and handed back when the screen closes.
class TfrmMusicDiscImporterEnv : public QDialog {
public:
    TfrmMusicDiscImporterEnv(const TMusicPlugins& plugins, QWidget* parent);
    ~TfrmMusicDiscImporterEnv() override;

    void done(int result) override;

private:
    struct TPageTab {
        TPluginSettingsPage page;
        QPointer<QWidget> window;
    };

    void AddPluginPage(const TMusicPlugins& plugins, int plugin);
    // The page shown in a tab, or null for the proxy tab.
    const TPageTab* PageAt(int tab) const;
    void TabChanged(int tab);
    // Proxy settings first, then every page; false (with the message shown) when one failed.
    bool Save();
    void HandBackWindows();

    QTabWidget* tabs_;
    TfrmInternetEnvironment* proxy_;
    std::vector<TPageTab> pages_;
    int shownTab_ = 0;
};

// The album's title, artist and every track title are set; an export needs them.
bool AlbumReadyForExport(const TAlbumInfo& album);

}  // namespace kestrel
