#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "app/InternetEnvironment.h"
#include "paper/CatalogueUpdate.h"
#include "paper/PPRDownload.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace kestrel {

class TPapersV2;

// What the update dialog works with besides the catalogue in use.
struct TPaperUpdateEnvironment {
    TCatalogueFileNames files;
    QString updaterURL;
    TProxySettings proxy;
    std::function<bool()> networkAvailable;
    // How long a transfer may wait for the server.
    int timeout = THTTPDownload::DefaultTimeoutMilliseconds;

    // The program's: its catalogue files, the update address and the proxy of the settings.
    static TPaperUpdateEnvironment FromSettings();
};

// "用紙/メディア情報の更新": either over the Internet (the version-up file is read, its catalogue
// offered, downloaded and installed) or from a file the user picks. While a transfer runs the
// action button and the choice of way are disabled, "キャンセル" gives way to "中断", and the
// dialog closes only once the user agreed to abort.
class TfrmUpdatePaper : public QDialog {
public:
    enum TState {
        usAskConnect,
        usNoNetwork,
        usChecking,
        usAskUpdate,
        usNothingNew,
        usFailed,
        usDownloading,
        usInstalling,
        usFinished,
    };

    TfrmUpdatePaper(TPapersV2& catalogue, TPaperUpdateEnvironment environment, QWidget* parent = nullptr);
    ~TfrmUpdatePaper() override;

    TState State() const { return state_; }
    bool TransferRunning() const { return transferring_; }
    // A new catalogue is in use.
    bool Installed() const { return installed_; }
    // The manual way with a file chosen: copied (unpacked) into a temporary file and shown.
    void ChooseFile(const QString& file);
    TPPRDownload& Download() { return download_; }

    QRadioButton& InternetWay() const { return *internetWay_; }
    QRadioButton& ManualWay() const { return *manualWay_; }
    QPushButton& ActionButton() const { return *action_; }
    QPushButton& CancelButton() const { return *cancel_; }
    QPushButton& AbortButton() const { return *abort_; }
    QPushButton& BrowseButton() const { return *browse_; }
    QLineEdit& FileField() const { return *fileField_; }
    // The texts shown: the state, the cause of a failure, the newest version, the chosen file's
    // version, the current version, and the progress of a download.
    QLabel& Message() const { return *message_; }
    QLabel& Cause() const { return *cause_; }
    QLabel& NewestNumber() const { return *newestNumber_; }
    QLabel& NewestDate() const { return *newestDate_; }
    QLabel& FileNumber() const { return *fileNumber_; }
    QLabel& FileDate() const { return *fileDate_; }
    QLabel& CurrentNumber() const { return *currentNumber_; }
    QLabel& CurrentDate() const { return *currentDate_; }
    QLabel& Counts() const { return *counts_; }
    QLabel& Status() const { return *status_; }
    QProgressBar& Progress() const { return *progress_; }

    void reject() override;

private:
    QWidget* BuildInternetPanel();
    QWidget* BuildManualPanel();
    void SetState(TState state);
    void UpdateControls();
    void ShowCurrent();
    void ShowCounts();
    void Act();
    void Check();
    void DownloadAndInstall();
    void InstallChosen();
    void Browse();
    void AskToAbort();
    void Fail(const QString& cause);
    // Runs a transfer step with the controls locked; closes the dialog afterwards when the user
    // asked to while it ran.
    bool Transfer(const std::function<bool()>& step);
    void Finished();

    TPapersV2& catalogue_;
    TPaperUpdateEnvironment environment_;
    TPPRDownload download_;
    std::unique_ptr<TUpdateTempFile> chosen_;
    TState state_ = usAskConnect;
    bool transferring_ = false;
    bool closeRequested_ = false;
    bool installed_ = false;

    QRadioButton* internetWay_;
    QRadioButton* manualWay_;
    QPushButton* action_;
    QPushButton* cancel_;
    QPushButton* abort_;
    QPushButton* browse_;
    QLineEdit* fileField_;
    QLabel* message_;
    QLabel* cause_;
    QLabel* newestNumber_;
    QLabel* newestDate_;
    QLabel* question_;
    QLabel* fileCaption_;
    QLabel* fileNumber_;
    QLabel* fileDate_;
    QLabel* currentNumber_;
    QLabel* currentDate_;
    QWidget* progressBox_;
    QLabel* counts_;
    QLabel* status_;
    QProgressBar* progress_;
};

}  // namespace kestrel
