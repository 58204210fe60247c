#include "ui/UpdatePaperDialog.h"

#include <QButtonGroup>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "app/AppFrame.h"
#include "paper/CatalogueStartup.h"
#include "paper/VersionUpFile.h"

namespace kestrel {

namespace {

const QString AbortQuestion = QStringLiteral("中断しますか？");
const QString ConnectCaption = QStringLiteral("接続");
const QString UpdateCaption = QStringLiteral("更新");

// How each state of the Internet way looks: its text, the action button and whether it enables it.
struct TStateLook {
    const char* text;
    const char* action;
    bool actionEnabled;
};

const TStateLook StateLooks[] = {
    {"インターネットに接続してよろしいですか？", "接続", true},   // usAskConnect
    {"現在の環境では、インターネットに接続できません。", "接続", false},  // usNoNetwork
    {"更新情報を取得中...", "接続", false},                       // usChecking
    {"更新しますか？", "更新", true},                              // usAskUpdate
    {"新しい更新情報はありません", "更新", false},                 // usNothingNew
    {"アップデートファイルの取得に失敗しました", "再接続", true},  // usFailed
    {"インターネットに接続中...", "更新", false},                  // usDownloading
    {"用紙/メディア情報更新中...", "更新", false},                 // usInstalling
    {"更新の途中でエラーが発生しました", "更新", false},           // usFinished
};

QLabel* NewLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

TPaperUpdateEnvironment TPaperUpdateEnvironment::FromSettings()
{
    return {ProgramCatalogueFiles(), UpdaterURLSetting(), TProxySettings::Load(), NetworkAvailable};
}

TfrmUpdatePaper::TfrmUpdatePaper(TPapersV2& catalogue, TPaperUpdateEnvironment environment, QWidget* parent)
    : QDialog(parent),
      catalogue_(catalogue),
      environment_(std::move(environment)),
      internetWay_(new QRadioButton(QStringLiteral("インターネット自動更新（推奨）"), this)),
      manualWay_(new QRadioButton(QStringLiteral("ファイルから手動更新"), this)),
      action_(new QPushButton(ConnectCaption, this)),
      cancel_(new QPushButton(QStringLiteral("キャンセル"), this)),
      abort_(new QPushButton(QStringLiteral("中断"), this)),
      browse_(new QPushButton(QStringLiteral("参照(&R)..."), this)),
      fileField_(new QLineEdit(this)),
      message_(NewLabel(this)),
      cause_(NewLabel(this)),
      newestNumber_(NewLabel(this)),
      newestDate_(NewLabel(this)),
      question_(NewLabel(this)),
      fileCaption_(new QLabel(QStringLiteral("用紙/メディア情報更新ファイル"), this)),
      fileNumber_(NewLabel(this)),
      fileDate_(NewLabel(this)),
      currentNumber_(NewLabel(this)),
      currentDate_(NewLabel(this)),
      progressBox_(new QWidget(this)),
      counts_(NewLabel(this)),
      status_(NewLabel(this)),
      progress_(new QProgressBar(this))
{
    setObjectName("frmUpdatePaper");
    setWindowTitle(QStringLiteral("用紙/メディア情報の更新"));
    auto* ways = new QButtonGroup(this);
    ways->addButton(internetWay_);
    ways->addButton(manualWay_);
    internetWay_->setChecked(true);
    cause_->setWordWrap(true);
    fileField_->setReadOnly(true);
    action_->setDefault(true);
    for (QPushButton* button : {cancel_, abort_, browse_}) button->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(action_);
    buttons->addWidget(cancel_);
    buttons->addWidget(abort_);
    auto* current = new QHBoxLayout;
    current->addWidget(currentNumber_);
    current->addWidget(currentDate_);
    current->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(internetWay_);
    layout->addWidget(BuildInternetPanel());
    layout->addWidget(manualWay_);
    layout->addWidget(BuildManualPanel());
    layout->addLayout(current);
    layout->addLayout(buttons);

    THTTPDownload& http = download_.HTTP();
    http.SetTimeout(environment_.timeout);
    http.OnConnect = [this] {
        status_->setText(QStringLiteral("接続開始"));
        ShowCounts();
    };
    http.OnPacketRecieved = [this] {
        status_->setText(QStringLiteral("受信中..."));
        ShowCounts();
    };
    http.OnSuccess = [this] { status_->setText(QStringLiteral("受信終了")); };
    connect(action_, &QPushButton::clicked, this, [this] { Act(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(abort_, &QPushButton::clicked, this, [this] { AskToAbort(); });
    connect(browse_, &QPushButton::clicked, this, [this] { Browse(); });
    connect(internetWay_, &QRadioButton::toggled, this, [this] { UpdateControls(); });

    ShowCurrent();
    SetState(environment_.networkAvailable && environment_.networkAvailable() ? usAskConnect : usNoNetwork);
}

TfrmUpdatePaper::~TfrmUpdatePaper() = default;

QWidget* TfrmUpdatePaper::BuildInternetPanel()
{
    auto* panel = new QWidget(this);
    auto* counts = new QHBoxLayout;
    counts->addWidget(new QLabel(QStringLiteral("ダウンロード状況："), progressBox_));
    counts->addWidget(counts_);
    counts->addStretch();
    auto* progressLayout = new QVBoxLayout(progressBox_);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressLayout->addLayout(counts);
    progressLayout->addWidget(progress_);
    progressLayout->addWidget(status_);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(24, 0, 0, 0);
    layout->addWidget(message_);
    layout->addWidget(newestNumber_);
    layout->addWidget(newestDate_);
    layout->addWidget(question_);
    layout->addWidget(progressBox_);
    layout->addWidget(cause_);
    return panel;
}

QWidget* TfrmUpdatePaper::BuildManualPanel()
{
    auto* panel = new QWidget(this);
    auto* layout = new QGridLayout(panel);
    layout->setContentsMargins(24, 0, 0, 0);
    layout->addWidget(fileCaption_, 0, 0, 1, 2);
    layout->addWidget(fileField_, 1, 0);
    layout->addWidget(browse_, 1, 1);
    layout->addWidget(fileNumber_, 2, 0, 1, 2);
    layout->addWidget(fileDate_, 3, 0, 1, 2);
    return panel;
}

void TfrmUpdatePaper::ShowCurrent()
{
    const TPaperUpdate& update = catalogue_.UpdateInfo();
    currentNumber_->setText(QStringLiteral("現在のパターン番号：%1").arg(PatternNumberText(update.PPRNo())));
    currentDate_->setText(QStringLiteral("最終更新日：%1").arg(UpdateDateText(update.LastUpdate())));
}

void TfrmUpdatePaper::ShowCounts()
{
    const THTTPDownload& http = download_.HTTP();
    counts_->setText(QStringLiteral("%1/%2").arg(http.BytesRecieved()).arg(http.BytesTotal()));
    progress_->setMaximum(static_cast<int>(std::min<qint64>(http.BytesTotal(), INT_MAX)));
    progress_->setValue(static_cast<int>(std::min<qint64>(http.BytesRecieved(), progress_->maximum())));
}

void TfrmUpdatePaper::SetState(TState state)
{
    state_ = state;
    const TStateLook& look = StateLooks[state];
    message_->setText(QString::fromUtf8(look.text));
    if (state == usAskUpdate) message_->clear();
    if (state == usFinished && installed_) message_->setText(QStringLiteral("更新処理を終了しました"));
    const bool newest = state == usAskUpdate;
    newestNumber_->setVisible(newest);
    newestDate_->setVisible(newest);
    question_->setVisible(newest);
    newestNumber_->setText(QStringLiteral("最新のパターン番号：%1").arg(PatternNumberText(download_.Version())));
    newestDate_->setText(QStringLiteral("最新のファイル日付：%1").arg(UpdateDateText(download_.Date())));
    question_->setText(QString::fromUtf8(look.text));
    progressBox_->setVisible(state == usDownloading);
    if (state == usDownloading) {
        status_->clear();
        ShowCounts();
    }
    if (state != usFailed && state != usFinished) cause_->clear();
    if (state == usFinished) cancel_->setText(QStringLiteral("閉じる"));
    UpdateControls();
}

void TfrmUpdatePaper::UpdateControls()
{
    const bool manual = manualWay_->isChecked();
    const TStateLook& look = StateLooks[state_];
    action_->setText(manual ? UpdateCaption : QString::fromUtf8(look.action));
    action_->setEnabled(!transferring_ && (manual ? chosen_ != nullptr && !installed_ : look.actionEnabled));
    for (QWidget* control : {static_cast<QWidget*>(fileCaption_), static_cast<QWidget*>(fileField_),
                             static_cast<QWidget*>(browse_)})
        control->setEnabled(manual && !transferring_);
    internetWay_->setEnabled(!transferring_);
    manualWay_->setEnabled(!transferring_);
    cancel_->setVisible(!transferring_);
    abort_->setVisible(transferring_);
}

void TfrmUpdatePaper::Act()
{
    if (transferring_) return;
    if (manualWay_->isChecked()) return InstallChosen();
    if (state_ == usAskConnect || state_ == usFailed) return Check();
    if (state_ == usAskUpdate) return DownloadAndInstall();
}

bool TfrmUpdatePaper::Transfer(const std::function<bool()>& step)
{
    transferring_ = true;
    UpdateControls();
    const bool done = step();
    transferring_ = false;
    UpdateControls();
    if (std::exchange(closeRequested_, false)) QDialog::reject();
    return done;
}

void TfrmUpdatePaper::Fail(const QString& cause)
{
    SetState(usFailed);
    cause_->setText(cause);
}

void TfrmUpdatePaper::Check()
{
    SetState(usChecking);
    download_.UseProxy(environment_.proxy);
    download_.SetUpdaterURL(environment_.updaterURL);
    if (!Transfer([this] { return download_.Check(); })) return Fail(download_.ErrorText());
    SetState(download_.Version() != 0 && download_.Date() != 0 ? usAskUpdate : usNothingNew);
}

void TfrmUpdatePaper::DownloadAndInstall()
{
    SetState(usDownloading);
    if (!Transfer([this] { return download_.Download(); })) return Fail(download_.ErrorText());
    SetState(usInstalling);
    QString error;
    try {
        InstallCatalogueFile(catalogue_, download_.DownloadFileName(), environment_.files);
        installed_ = true;
    } catch (const EKestrel& e) {
        error = e.Message();
    }
    ShowCurrent();
    SetState(usFinished);
    cause_->setText(error);
    Finished();
}

void TfrmUpdatePaper::Finished()
{
    if (!installed_) return;
    TAppFrame::ShowOkMessage(UpdateSucceededText);
    QDialog::accept();
}

void TfrmUpdatePaper::ChooseFile(const QString& file)
{
    fileField_->setText(file);
    chosen_.reset();
    fileNumber_->clear();
    fileDate_->clear();
    try {
        std::unique_ptr<TUpdateTempFile> copy = CopyChosenUpdateFile(file);
        const std::unique_ptr<TPapersV2> opened = OpenCatalogueFile(catalogue_.IO(), copy->FileName(), {});
        fileNumber_->setText(
            QStringLiteral("更新ファイルのパターン番号：%1").arg(PatternNumberText(opened->UpdateInfo().PPRNo())));
        fileDate_->setText(
            QStringLiteral("更新ファイルのファイル日付：%1").arg(UpdateDateText(opened->UpdateInfo().LastUpdate())));
        chosen_ = std::move(copy);
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);
    }
    UpdateControls();
}

void TfrmUpdatePaper::Browse()
{
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral("用紙/メディア情報更新ファイル"), fileField_->text(),
        QStringLiteral("用紙/メディア情報更新ファイル (*.ppz);;すべてのファイル (*)"));
    if (!file.isEmpty()) ChooseFile(file);
}

void TfrmUpdatePaper::InstallChosen()
{
    if (!chosen_) return;
    try {
        CheckUpdateFile(catalogue_.IO(), chosen_->FileName());
    } catch (const ECatalogueUpdate& e) {
        TAppFrame::ShowOkMessage(QStringLiteral("%s"), {e.Message()});
        return;
    }
    if (TAppFrame::ShowMessage(QStringLiteral("用紙/メディア情報を更新します。よろしいですか？"), {mbkYes, mbkNo}, 1, 0) !=
        mrYes)
        return;
    installed_ = TAppFrame::ShowingErrors(
        [this] { InstallCatalogueFile(catalogue_, chosen_->FileName(), environment_.files); });
    chosen_.reset();
    ShowCurrent();
    UpdateControls();
    Finished();
}

void TfrmUpdatePaper::AskToAbort()
{
    if (transferring_ && TAppFrame::ConfirmOkCancel(AbortQuestion)) download_.Abort();
}

void TfrmUpdatePaper::reject()
{
    if (!transferring_) return QDialog::reject();
    if (!TAppFrame::ConfirmOkCancel(AbortQuestion)) return;
    // The transfer may have ended while the question was asked.
    if (!transferring_) return QDialog::reject();
    closeRequested_ = true;
    download_.Abort();
}

}  // namespace kestrel
