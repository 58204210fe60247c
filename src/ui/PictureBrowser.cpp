#include "ui/PictureBrowser.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppFrame.h"
#include "imaging/ImagePack.h"
#include "imaging/PreviewLoader.h"
#include "render/PictureEx.h"
#include "ui/FolderHistory.h"

namespace kestrel {

namespace {

// Cache lookups run on the window's thread in slices this long, so that it keeps answering.
constexpr int kSliceMilliseconds = 15;
constexpr int kIconSide = 128;
// Enough for what one slice asks for to stay in the pack until it is shown.
constexpr int kPackCacheLimit = 512;
const QString kFolderHistory = QStringLiteral("$(UserImageHistory)");

QIcon IconOf(const TPictureEx& picture)
{
    return QIcon(QPixmap::fromImage(picture.Graphic().Image()));
}

}  // namespace

TPictureBrowser::TPictureBrowser(TImageCacheStorage* userCache, QWidget* parent)
    : QDialog(parent), userCache_(userCache), folderBox_(new QLineEdit(this)), list_(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("イメージ一覧"));
    list_->setViewMode(QListView::IconMode);
    list_->setIconSize({kIconSide, kIconSide});
    list_->setResizeMode(QListView::Adjust);
    list_->setUniformItemSizes(true);
    list_->setMovement(QListView::Static);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    asking_.setInterval(0);
    connect(&asking_, &QTimer::timeout, this, [this] { AskSome(); });

    auto* folderLabel = new QLabel(QStringLiteral("フォルダ(&F)"), this);
    folderLabel->setBuddy(folderBox_);
    connect(folderBox_, &QLineEdit::returnPressed, this, [this] { ShowFolder(folderBox_->text()); });
    auto* browse = new QPushButton(QStringLiteral("参照..."), this);
    connect(browse, &QPushButton::clicked, this, [this] { ChooseFolder(); });
    auto* row = new QHBoxLayout;
    row->addWidget(folderLabel);
    row->addWidget(folderBox_, 1);
    row->addWidget(browse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (!ChosenFile().isEmpty()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    resize(760, 560);
}

TPictureBrowser::~TPictureBrowser() = default;

void TPictureBrowser::ShowFolder(const QString& folder)
{
    asking_.stop();
    loader_.reset();
    folder_ = folder;
    folderBox_->setText(folder);
    pack_ = std::make_unique<TFolderImagePack>();
    pack_->SetCacheLimit(kPackCacheLimit);
    pack_->SetFileMask(QDir(folder).filePath(QStringLiteral("*")));
    pack_->FilterByExtensions(DefaultImageFileExtensions());
    loader_ = std::make_unique<TPreviewLoader>(*pack_, userCache_);
    loader_->OnReady = [this](int row) {
        ShowPreview(row);
        CheckFinished();
    };
    next_ = 0;
    finished_ = false;
    firstPreview_ = -1;
    sinceShown_.start();
    list_->clear();
    const QIcon waiting = QIcon(QPixmap::fromImage(PreviewPlaceholder().Image().scaled(kIconSide, kIconSide)));
    for (const QString& file : pack_->FileList()) list_->addItem(new QListWidgetItem(waiting, QFileInfo(file).fileName()));
    asking_.start();
}

const TThumbnailCounts& TPictureBrowser::Counts() const
{
    static const TThumbnailCounts none;
    return loader_ ? loader_->Counts() : none;
}

bool TPictureBrowser::Finished() const
{
    return finished_;
}

QString TPictureBrowser::ChosenFile() const
{
    const int row = list_->currentRow();
    return pack_ && row >= 0 && row < pack_->GetCount() ? pack_->FileList()[row] : QString();
}

void TPictureBrowser::ChooseFolder()
{
    const QString chosen = QFileDialog::getExistingDirectory(this, windowTitle(), folder_);
    if (!chosen.isEmpty()) ShowFolder(chosen);
}

void TPictureBrowser::AskSome()
{
    QElapsedTimer slice;
    slice.start();
    while (next_ < pack_->GetCount() && slice.elapsed() < kSliceMilliseconds) {
        const int row = next_++;
        const int foundBefore = Counts().fromCache;
        TPictureEx picture;
        pack_->GetImage(picture, row);
        if (Counts().fromCache > foundBefore) ShowPreview(row);
    }
    if (next_ >= pack_->GetCount()) asking_.stop();
    CheckFinished();
}

void TPictureBrowser::ShowPreview(int row)
{
    if (firstPreview_ < 0) firstPreview_ = sinceShown_.elapsed();
    list_->item(row)->setIcon(IconOf(pack_->CachedPicture(row)));
}

void TPictureBrowser::CheckFinished()
{
    if (finished_ || next_ < pack_->GetCount() || !loader_->Idle()) return;
    finished_ = true;
    if (userCache_ && userCache_->IsOpen()) TAppFrame::ShowingErrors([this] { userCache_->Commit(); });
    Q_EMIT AllShown();
}

QString TPictureBrowser::Choose(QWidget* parent)
{
    TFolderHistory history(kFolderHistory);
    const QStringList folders = history.Folders();
    TPictureBrowser browser(ImageCache().IsOpen() ? &ImageCache() : nullptr, parent);
    browser.ShowFolder(folders.isEmpty() ? QDir::homePath() : folders.front());
    if (browser.exec() != QDialog::Accepted) return {};
    const QString chosen = browser.ChosenFile();
    history.Remember(chosen);
    return chosen;
}

}  // namespace kestrel
