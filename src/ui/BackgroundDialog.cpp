#include "ui/BackgroundDialog.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include "app/AppFrame.h"
#include "imaging/PreviewCache.h"
#include "label/Templates.h"
#include "objects/BackImage.h"
#include "objects/BackgroundLibrary.h"
#include "ui/CodeDialog.h"
#include "ui/ColorSpecEditor.h"
#include "ui/PicturePropertiesDialog.h"

namespace kestrel {

namespace {

constexpr int ThumbnailSize = 72;
const QString BackgroundIdFile = QStringLiteral("Data\\BackGrnd\\BackGrnd.ids");

// The chooser keeps its genre and sub-genre while the program runs.
struct TLastChoice {
    int genre = -1;
    int subGenre = 0;
};
TLastChoice& LastChoice()
{
    static TLastChoice choice;
    return choice;
}

// From the user's picture cache when it holds the file's preview, made and stored there otherwise.
QIcon Thumbnail(const QString& file)
{
    try {
        const TGraphic preview = LoadPreview(file, ImageCache().IsOpen() ? &ImageCache() : nullptr);
        return QIcon(QPixmap::fromImage(
            preview.Image().scaled(ThumbnailSize, ThumbnailSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    } catch (const EKestrel&) {
        return {};  // a picture that cannot be read shows no thumbnail; choosing it says why
    }
}

class TBackgroundDialog : public TCodeDialog {
public:
    TBackgroundDialog(QWidget* parent, TDrawObject& object)
        : TCodeDialog(parent, QStringLiteral("背景柄"), object),
          background_(static_cast<TLOBackImage&>(Working())),
          genres_(ReadBackgroundGenres(TAppFrame::FindDataFile(BackgroundGenreFile))),
          ids_(TIdIndex::Load(BackgroundIdFile))
    {
        genre_ = new QComboBox(this);
        subGenre_ = new QComboBox(this);
        pictures_ = new QListWidget(this);
        pictures_->setViewMode(QListView::IconMode);
        pictures_->setIconSize({ThumbnailSize, ThumbnailSize});
        pictures_->setResizeMode(QListView::Adjust);
        pictures_->setMinimumSize(420, 220);
        if (genres_.empty()) {
            Form().addRow(new QLabel(QStringLiteral("背景柄データが見つかりません。"), this));
        } else {
            for (const TBackgroundGenre& genre : genres_) genre_->addItem(genre.caption);
            Form().addRow(QStringLiteral("ジャンル"), genre_);
            Form().addRow(QStringLiteral("サブジャンル"), subGenre_);
            Form().addRow(pictures_);
        }
        fill_ = new TColorSpecEditor(QStringLiteral("背景"), background_.FillColor(), this);
        Form().addRow(fill_);
        frame_ = new TColorSpecEditor(QStringLiteral("枠"), background_.FrameColor(), this);
        Form().addRow(frame_);
        frameWidth_ = new QSpinBox(this);
        frameWidth_->setRange(0, 20);
        frameWidth_->setSuffix(QStringLiteral(" mm"));
        frameWidth_->setValue(std::clamp(background_.FrameWidth() / 10, 0, 20));
        Form().addRow(QStringLiteral("枠の幅"), frameWidth_);
        blend_ = new TColorSpecEditor(QStringLiteral("ブレンドする色"), background_.BlendColor(), this);
        Form().addRow(blend_);
        auto* blendRow = new QHBoxLayout;
        auto* choose = new QPushButton(QStringLiteral("ブレンド画像..."), this);
        auto* clear = new QPushButton(QStringLiteral("ブレンドしない"), this);
        blendRatio_ = new QSpinBox(this);
        blendRatio_->setRange(0, 100);
        blendRatio_->setSuffix(QStringLiteral(" %"));
        blendRatio_->setValue(background_.BlendRatio());
        blendRow->addWidget(choose);
        blendRow->addWidget(clear);
        blendRow->addWidget(blendRatio_);
        Form().addRow(QStringLiteral("ブレンド"), blendRow);
        auto* preview = new QPushButton(QStringLiteral("プレビュー"), this);
        Form().addRow(preview);

        connect(genre_, &QComboBox::currentIndexChanged, this, [this](int index) { ShowGenre(index); });
        connect(subGenre_, &QComboBox::currentIndexChanged, this, [this](int index) { ShowFolder(index); });
        connect(pictures_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { ChooseLibraryPicture(*item); });
        connect(choose, &QPushButton::clicked, this, [this] {
            if (ChoosePictureFile(this, background_.BlendPicture())) ApplyEntries();
        });
        connect(clear, &QPushButton::clicked, this, [this] {
            background_.BlendPicture().Clear();
            ApplyEntries();
        });
        connect(preview, &QPushButton::clicked, this, [this] { ApplyEntries(); });
        SelectStartingGenre();
        Refresh();
    }

protected:
    void accept() override
    {
        ApplyEntries();
        TCodeDialog::accept();
    }

private:
    void SelectStartingGenre()
    {
        if (genres_.empty()) return;
        int genre = LastChoice().genre;
        if (genre < 0 || genre >= int(genres_.size()))
            genre = std::max(0, DefaultBackgroundGenre(genres_, background_.FaceInfo().purpose));
        const int subGenre = LastChoice().subGenre;
        genre_->setCurrentIndex(genre);
        ShowGenre(genre);
        if (subGenre < subGenre_->count()) subGenre_->setCurrentIndex(subGenre);
    }

    void ShowGenre(int index)
    {
        if (index < 0 || index >= int(genres_.size())) return;
        LastChoice().genre = index;
        folders_ = genres_[size_t(index)].Folders();
        const QSignalBlocker quiet(subGenre_);
        subGenre_->clear();
        for (const TBackgroundFolder& folder : folders_) subGenre_->addItem(folder.caption.isEmpty() ? genre_->currentText() : folder.caption);
        subGenre_->setEnabled(folders_.size() > 1 || !folders_.front().caption.isEmpty());
        ShowFolder(0);
    }

    void ShowFolder(int index)
    {
        pictures_->clear();
        if (index < 0 || index >= int(folders_.size())) return;
        LastChoice().subGenre = index;
        const QString located = LocateBackgroundFolder(folders_[size_t(index)].folder);
        for (const QString& file : BackgroundPictures(located)) {
            const QFileInfo picture(file);
            auto* item = new QListWidgetItem(Thumbnail(file), ids_.IdOf(file, picture.completeBaseName()), pictures_);
            item->setData(Qt::UserRole, file);
            item->setToolTip(picture.fileName());
        }
    }

    void ChooseLibraryPicture(const QListWidgetItem& item)
    {
        const bool tile = folders_.at(size_t(std::max(0, subGenre_->currentIndex()))).tile;
        fill_->SetLibraryPicture(item.data(Qt::UserRole).toString(), tile);
        ApplyEntries();
    }

    void ApplyEntries()
    {
        fill_->ApplyTo(background_.FillColor());
        frame_->ApplyTo(background_.FrameColor());
        blend_->ApplyTo(background_.BlendColor());
        background_.SetFrameWidth(frameWidth_->value() * 10);
        background_.SetBlendRatio(blendRatio_->value());
        Refresh();
    }

    TLOBackImage& background_;
    std::vector<TBackgroundGenre> genres_;
    std::vector<TBackgroundFolder> folders_;
    TIdIndex ids_;
    QComboBox* genre_;
    QComboBox* subGenre_;
    QListWidget* pictures_;
    TColorSpecEditor* fill_;
    TColorSpecEditor* frame_;
    TColorSpecEditor* blend_;
    QSpinBox* frameWidth_;
    QSpinBox* blendRatio_;
};

}  // namespace

bool EditBackground(QWidget* parent, TDrawObject& object)
{
    if (!dynamic_cast<TLOBackImage*>(&object)) return false;
    return TBackgroundDialog(parent, object).Run();
}

}  // namespace kestrel
