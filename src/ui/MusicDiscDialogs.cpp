#include "ui/MusicDiscDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/AppFrame.h"
#include "app/XMLIniFile.h"
#include "music/Albums.h"
#include "platform/ProgramPaths.h"
#include "ui/DialogButtons.h"
#include "ui/InternetEnvironmentPanel.h"

namespace kestrel {

namespace {

const QString TargetSetting = QStringLiteral("MusicDiscTarget");
const QString DisabledSetting = QStringLiteral("MusicDiscDisableImporters");
const QString DefaultExporterSetting = QStringLiteral("MusicDiscDefaultExporter");
const QString NotReady = QStringLiteral("ドライブの準備ができていません");

// The system's optical drives, as the kernel names them.
QStringList OpticalDrives()
{
    QStringList drives;
    for (const QFileInfo& device : QDir(QStringLiteral("/dev")).entryInfoList({QStringLiteral("sr*")}, QDir::System))
        drives << device.absoluteFilePath();
    return drives;
}

bool IsImage(const QString& target)
{
    return target.endsWith(QLatin1String(".cue"), Qt::CaseInsensitive) ||
           target.endsWith(QLatin1String(".toc"), Qt::CaseInsensitive);
}

QPushButton* AddButtons(QDialog* dialog, QVBoxLayout* layout, QPushButton** settings)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    *settings = buttons->addButton(QStringLiteral("設定"), QDialogButtonBox::ResetRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return buttons->button(QDialogButtonBox::Ok);
}

}  // namespace

bool AlbumReadyForExport(const TAlbumInfo& album)
{
    if (album.Title().isEmpty() || album.Artist().isEmpty() || album.TrackCount() == 0) return false;
    for (int i = 0; i < album.TrackCount(); ++i)
        if (album.Track(i).Title().isEmpty()) return false;
    return true;
}

TfrmWait::TfrmWait(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("検索中です"));
    setModal(true);
    plugin_ = new QLabel(this);
    status_ = new QLabel(this);
    progress_ = new QProgressBar(this);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    connect(cancel, &QPushButton::clicked, this, [this] { Cancel(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(plugin_);
    layout->addWidget(status_);
    layout->addWidget(progress_);
    layout->addWidget(cancel, 0, Qt::AlignRight);
    setMinimumWidth(360);
}

void TfrmWait::ShowLabel(const QString& text)
{
    plugin_->setText(text);
}

void TfrmWait::ShowStatus(const QString& text)
{
    status_->setText(text);
    repaint();
    QApplication::processEvents();
}

void TfrmWait::ShowProgress(int done, int total)
{
    progress_->setRange(0, total);
    progress_->setValue(done);
}

void TfrmWait::Cancel()
{
    cancelled_ = true;
    if (CancelRunning) CancelRunning();
}

TfrmResult::TfrmResult(const std::vector<TImportedAlbum>& albums, bool several, QWidget* parent)
    : QDialog(parent), albums_(albums), several_(several)
{
    setWindowTitle(QStringLiteral("曲名データの選択"));
    list_ = new QListWidget(this);
    for (const TImportedAlbum& album : albums) {
        auto* item = new QListWidgetItem(album.Title, list_);
        if (several) item->setCheckState(Qt::Checked);
    }
    details_ = new QTreeWidget(this);
    details_->setHeaderLabels({QStringLiteral("項目"), QStringLiteral("内容"), QStringLiteral("時間"),
                               QStringLiteral("アーティスト")});
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::currentRowChanged, this, [this] {
        ShowDetails();
        UpdateOk();
    });
    connect(list_, &QListWidget::itemChanged, this, [this] { UpdateOk(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(details_);
    layout->addWidget(buttons);
    UpdateOk();
}

std::vector<TImportedAlbum> TfrmResult::Chosen() const
{
    std::vector<TImportedAlbum> chosen;
    for (int i = 0; i < list_->count(); ++i) {
        const bool taken = several_ ? list_->item(i)->checkState() == Qt::Checked : i == list_->currentRow();
        if (taken) chosen.push_back(albums_[size_t(i)]);
    }
    return chosen;
}

void TfrmResult::ShowDetails()
{
    details_->clear();
    const int row = list_->currentRow();
    if (row < 0) return;
    const TImportedAlbum& album = albums_[size_t(row)];
    for (const auto& [caption, value] : {std::pair{QStringLiteral("取得元"), album.Source},
                                         std::pair{QStringLiteral("アルバム"), album.Title},
                                         std::pair{QStringLiteral("アーティスト"), album.Artist},
                                         std::pair{QStringLiteral("ジャンル"), album.Genre}})
        new QTreeWidgetItem(details_, {caption, value});
    for (size_t i = 0; i < album.Tracks.size(); ++i)
        new QTreeWidgetItem(details_, {QStringLiteral("トラック%1").arg(i + 1), album.Tracks[i].Title,
                                       album.Tracks[i].Time, album.Tracks[i].Artist});
}

void TfrmResult::UpdateOk()
{
    ok_->setEnabled(!Chosen().empty());
}

TMusicDiscScreen::TMusicDiscScreen(const QUuid& category, const QString& title, QWidget* parent)
    : QDialog(parent), plugins_(category)
{
    setWindowTitle(title);
    client_.activeWindow = [this] { return quint64(winId()); };
    plugins_.Load(PlugInDir(), client_);
    target_ = new QComboBox(this);
    target_->setEditable(true);
    target_->addItems(OpticalDrives());
    const QString last = TAppFrame::ReadString(TargetSetting, {});
    if (!last.isEmpty()) target_->setCurrentText(last);
    warning_ = new QLabel(this);
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, [this] { CheckTarget(); });
    connect(target_, &QComboBox::currentTextChanged, this, [this] {
        CheckTarget();
        UpdateOk();
    });
    timer_->start(500);
}

QString TMusicDiscScreen::Target() const
{
    return target_->currentText().trimmed();
}

bool TMusicDiscScreen::TargetReady() const
{
    const QFileInfo target(Target());
    if (Target().isEmpty() || !target.exists()) return false;
    return IsImage(Target()) ? target.isFile() : target.isReadable();
}

void TMusicDiscScreen::CheckTarget()
{
    warning_->setText(TargetReady() ? QString() : NotReady);
}

void TMusicDiscScreen::PauseTimer(bool paused)
{
    if (paused) timer_->stop();
    else timer_->start(500);
}

void TMusicDiscScreen::ChooseImage()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("ディスクイメージ"), {},
                                                      QStringLiteral("ディスクイメージ (*.cue *.toc)"));
    if (!file.isEmpty()) target_->setCurrentText(file);
}

void TMusicDiscScreen::OpenSettings()
{
    TfrmMusicDiscImporterEnv settings(plugins_, this);
    if (settings.exec() != QDialog::Accepted) return;
    TAppFrame::ShowingErrors([this] { plugins_.Redescribe(); });
    FillEntries();
}

void TMusicDiscScreen::BuildScreen(QListWidget* entries)
{
    // A disc image may stand in for the drive.
    auto* image = new QPushButton(QStringLiteral("イメージ..."), this);
    connect(image, &QPushButton::clicked, this, [this] { ChooseImage(); });
    auto* row = new QHBoxLayout;
    row->addWidget(BuddyLabel(QStringLiteral("ドライブ(&D)"), target_, this));
    row->addWidget(target_, 1);
    row->addWidget(image);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(warning_);
    layout->addWidget(entries);
    QPushButton* settings = nullptr;
    ok_ = AddButtons(this, layout, &settings);
    connect(settings, &QPushButton::clicked, this, [this] { OpenSettings(); });
}

TfrmMusicDiscImport::TfrmMusicDiscImport(bool several, QWidget* parent)
    : TMusicDiscScreen(ToUuid(KESTREL_CATID_MUSIC_IMPORTERS), QStringLiteral("曲名データの取得"), parent),
      several_(several)
{
    entries_ = new QListWidget(this);
    connect(entries_, &QListWidget::itemChanged, this, [this] { UpdateOk(); });
    BuildScreen(entries_);
    FillEntries();
    CheckTarget();
}

void TfrmMusicDiscImport::FillEntries()
{
    // A rebuilt list keeps what the user unchecked on the screen.
    QStringList disabled;
    if (entries_->count() == 0)
        disabled = TAppFrame::ReadString(DisabledSetting, {}).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (int i = 0; i < entries_->count(); ++i)
        if (entries_->item(i)->checkState() == Qt::Unchecked) disabled << entries_->item(i)->text();
    const QSignalBlocker block(entries_);
    entries_->clear();
    sources_ = plugins_.Sources();
    for (const TMusicSource& source : sources_) {
        auto* item = new QListWidgetItem(source.Text(), entries_);
        item->setCheckState(disabled.contains(source.Text()) ? Qt::Unchecked : Qt::Checked);
    }
    UpdateOk();
}

std::vector<TMusicSource> TfrmMusicDiscImport::Checked() const
{
    std::vector<TMusicSource> checked;
    for (int i = 0; i < entries_->count(); ++i)
        if (entries_->item(i)->checkState() == Qt::Checked) checked.push_back(sources_[size_t(i)]);
    return checked;
}

void TfrmMusicDiscImport::UpdateOk()
{
    ok_->setEnabled(!Target().isEmpty() && !Checked().empty());
}

void TfrmMusicDiscImport::accept()
{
    if (!TargetReady()) {
        TAppFrame::ShowOkMessage(NotReady);
        return;
    }
    PauseTimer(true);
    std::vector<TImportedAlbum> found;
    QStringList warnings;
    {
        TfrmWait wait(this);
        wait.show();
        try {
            RunImport(plugins_, Checked(), Target(), TProxySettings::Load(), wait, &found, &warnings);
        } catch (const EKestrel& e) {
            wait.close();
            PauseTimer(false);
            TAppFrame::ShowOkMessage("%s", {e.Message()});
            return;
        }
    }
    PauseTimer(false);
    if (!warnings.isEmpty()) TAppFrame::ShowOkMessage("%s", {warnings.join(u'\n')});
    if (found.empty()) {
        TAppFrame::ShowOkMessage(QStringLiteral("曲名データが見つかりませんでした"));
    } else if (found.size() == 1) {
        taken_ = found;
    } else {
        TfrmResult result(found, several_, this);
        if (result.exec() == QDialog::Accepted) taken_ = result.Chosen();
    }
    TAppFrame::WriteString(TargetSetting, Target());
    QStringList disabled;
    for (int i = 0; i < entries_->count(); ++i)
        if (entries_->item(i)->checkState() != Qt::Checked) disabled << entries_->item(i)->text() + QStringLiteral("\r\n");
    TAppFrame::WriteString(DisabledSetting, disabled.join(QString()));
    if (!taken_.empty()) QDialog::accept();
}

int TfrmMusicDiscImport::TakeAlbums(TAlbums& albums) const
{
    return kestrel::TakeAlbums(albums, taken_);
}

void TfrmMusicDiscImport::TakeAlbum(TAlbumInfo& album) const
{
    if (!taken_.empty()) album = AlbumFromImport(taken_.front());
}

TfrmMusicDiscExport::TfrmMusicDiscExport(QWidget* parent)
    : TMusicDiscScreen(ToUuid(KESTREL_CATID_MUSIC_EXPORTERS), QStringLiteral("曲名データの登録"), parent)
{
    entries_ = new QListWidget(this);
    connect(entries_, &QListWidget::currentRowChanged, this, [this] { UpdateOk(); });
    BuildScreen(entries_);
    FillEntries();
    CheckTarget();
}

void TfrmMusicDiscExport::SetAlbum(const TAlbumInfo& album)
{
    album_ = std::make_unique<TAlbumInfo>(album);
}

void TfrmMusicDiscExport::FillEntries()
{
    // A rebuilt list keeps the entry chosen on the screen.
    const QString chosen = entries_->currentItem() ? entries_->currentItem()->text()
                                                   : TAppFrame::ReadString(DefaultExporterSetting, {});
    entries_->clear();
    sources_ = plugins_.Sources();
    for (const TMusicSource& source : sources_) entries_->addItem(source.Text());
    const QList<QListWidgetItem*> found = entries_->findItems(chosen, Qt::MatchExactly);
    entries_->setCurrentRow(found.isEmpty() ? 0 : entries_->row(found.front()));
    UpdateOk();
}

void TfrmMusicDiscExport::UpdateOk()
{
    ok_->setEnabled(!Target().isEmpty() && entries_->currentRow() >= 0);
}

void TfrmMusicDiscExport::accept()
{
    if (!TargetReady()) {
        TAppFrame::ShowOkMessage(NotReady);
        return;
    }
    const TMusicSource& entry = sources_.at(size_t(entries_->currentRow()));
    bool registered = false;
    PauseTimer(true);
    try {
        TfrmWait wait(this);
        wait.show();
        registered = RunExport(plugins_, entry, album_ ? *album_ : TAlbumInfo(), Target(), TProxySettings::Load(), wait);
    } catch (const EKestrel& e) {
        PauseTimer(false);
        TAppFrame::ShowOkMessage("%s", {e.Message()});
        return;
    }
    PauseTimer(false);
    TAppFrame::ShowOkMessage(registered ? QStringLiteral("情報を登録しました") : QStringLiteral("情報を登録できませんでした"));
    TAppFrame::WriteString(TargetSetting, Target());
    TAppFrame::WriteString(DefaultExporterSetting, entry.Text());
    if (registered) QDialog::accept();
}

TfrmMusicDiscImporterEnv::TfrmMusicDiscImporterEnv(const TMusicPlugins& plugins, QWidget* parent)
    : QDialog(parent), tabs_(new QTabWidget(this)), proxy_(new TfrmInternetEnvironment(tabs_))
{
    setWindowTitle(QStringLiteral("サーバー設定"));
    tabs_->addTab(proxy_, QStringLiteral("インターネット"));
    for (int plugin = 0; plugin < plugins.Count(); ++plugin)
        TAppFrame::ShowingErrors([&] { AddPluginPage(plugins, plugin); });
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) { TabChanged(tab); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (Save()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
}

TfrmMusicDiscImporterEnv::~TfrmMusicDiscImporterEnv()
{
    disconnect(tabs_, nullptr, this, nullptr);  // the tabs go after the pages
    HandBackWindows();
}

void TfrmMusicDiscImporterEnv::AddPluginPage(const TMusicPlugins& plugins, int plugin)
{
    TPluginRef<IPluginSettingsPage> offered = plugins.SettingsPage(plugin);
    if (!offered) return;
    TPluginSettingsPage page(std::move(offered));
    auto* window = reinterpret_cast<QWidget*>(static_cast<uintptr_t>(page.Window()));
    if (!window) return;
    auto* tab = new QWidget(tabs_);
    // The screen grows to what the page asks for.
    tab->setMinimumSize(page.Size());
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(window);
    window->show();
    pages_.push_back({std::move(page), window});
    tabs_->addTab(tab, plugins.Description(plugin).Name);
}

const TfrmMusicDiscImporterEnv::TPageTab* TfrmMusicDiscImporterEnv::PageAt(int tab) const
{
    return tab >= 1 && tab <= int(pages_.size()) ? &pages_[size_t(tab - 1)] : nullptr;
}

void TfrmMusicDiscImporterEnv::TabChanged(int tab)
{
    if (const TPageTab* left = PageAt(std::exchange(shownTab_, tab)))
        TAppFrame::ShowingErrors([left] { left->page.Deactivate(); });
    const TPageTab* entered = PageAt(tab);
    if (!entered) return;
    TAppFrame::ShowingErrors([entered] { entered->page.Activate(); });
    if (entered->window) entered->window->setFocus();
}

bool TfrmMusicDiscImporterEnv::Save()
{
    return TAppFrame::ShowingErrors([this] {
        proxy_->Save();
        for (const TPageTab& tab : pages_) tab.page.Apply();
    });
}

void TfrmMusicDiscImporterEnv::done(int result)
{
    if (const TPageTab* shown = PageAt(shownTab_)) TAppFrame::ShowingErrors([shown] { shown->page.Deactivate(); });
    shownTab_ = 0;
    HandBackWindows();
    QDialog::done(result);
}

void TfrmMusicDiscImporterEnv::HandBackWindows()
{
    for (TPageTab& tab : pages_)
        if (QWidget* window = tab.window.data()) {
            window->hide();
            window->setParent(nullptr);
        }
    pages_.clear();
}

}  // namespace kestrel
