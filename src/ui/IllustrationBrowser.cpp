#include "ui/IllustrationBrowser.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "imaging/Illustrations.h"
#include "objects/OnePoint.h"
#include "objects/PictureObject.h"
#include "platform/Error.h"
#include "ui/ColorSpecEditor.h"

namespace kestrel {

namespace {

constexpr int ThumbnailSize = 64;

// The genre shown last, while the program runs.
int& LastGenre()
{
    static int genre = 0;
    return genre;
}

class TIllustrationBrowser : public QDialog {
public:
    explicit TIllustrationBrowser(QWidget* parent) : QDialog(parent), genres_(IllustrationGenres())
    {
        setWindowTitle(QStringLiteral("ワンポイントイラスト"));
        auto* layout = new QVBoxLayout(this);
        auto* top = new QHBoxLayout;
        genre_ = new QComboBox(this);
        for (const TIllustrationGenre& genre : genres_) genre_->addItem(genre.caption);
        colour_ = new TColorButton(clBlack, this);
        colour_->setText(QStringLiteral("色の変更"));
        top->addWidget(new QLabel(QStringLiteral("ジャンル"), this));
        top->addWidget(genre_, 1);
        top->addWidget(colour_);
        layout->addLayout(top);
        list_ = new QListWidget(this);
        list_->setViewMode(QListView::IconMode);
        list_->setIconSize({ThumbnailSize, ThumbnailSize});
        list_->setResizeMode(QListView::Adjust);
        list_->setMinimumSize(460, 300);
        layout->addWidget(list_, 1);
        if (genres_.empty()) layout->addWidget(new QLabel(QStringLiteral("イラストデータが見つかりません。"), this));
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        ok_ = buttons->button(QDialogButtonBox::Ok);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        layout->addWidget(buttons);
        connect(genre_, &QComboBox::currentIndexChanged, this, [this](int index) { ShowGenre(index); });
        connect(colour_, &QPushButton::clicked, this, [this] { ShowGenre(genre_->currentIndex()); });
        connect(list_, &QListWidget::itemSelectionChanged, this, [this] { ok_->setEnabled(list_->currentItem() != nullptr); });
        connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
        ok_->setEnabled(false);
        if (!genres_.empty()) {
            const int genre = std::clamp(LastGenre(), 0, int(genres_.size()) - 1);
            const QSignalBlocker quiet(genre_);
            genre_->setCurrentIndex(genre);
            ShowGenre(genre);
        }
    }

    // The chosen illustration on the image; false without a choice.
    bool ApplyTo(TLOImage& image) const
    {
        const QListWidgetItem* item = list_->currentItem();
        if (!item || genre_->currentIndex() < 0) return false;
        const TIllustrationGenre& genre = genres_[size_t(genre_->currentIndex())];
        SetIllustration(image, item->data(Qt::UserRole).toString(), genre.drawingColor, Picked(genre));
        return true;
    }

private:
    TColor Picked(const TIllustrationGenre& genre) const
    {
        return genre.drawingColor == clNone ? clNone : colour_->Colour();
    }

    // The thumbnails in the colour picked, so what is shown is what is inserted.
    void ShowGenre(int index)
    {
        list_->clear();
        if (index < 0 || index >= int(genres_.size())) return;
        LastGenre() = index;
        const TIllustrationGenre& genre = genres_[size_t(index)];
        colour_->setEnabled(genre.drawingColor != clNone);
        if (genre.drawingColor != clNone && !colourTouched_.contains(index)) {
            colour_->SetColour(genre.drawingColor);
            colourTouched_ << index;
        }
        for (const QString& file : genre.files) {
            QImage thumbnail;
            try {
                thumbnail = IllustrationPicture(file, genre.drawingColor, Picked(genre), ThumbnailSize);
            } catch (const EKestrel&) {
                continue;  // not a picture we draw
            }
            auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(thumbnail)), QString(), list_);
            item->setData(Qt::UserRole, file);
            item->setToolTip(QFileInfo(file).completeBaseName());
        }
    }

    std::vector<TIllustrationGenre> genres_;
    QList<int> colourTouched_;
    QComboBox* genre_;
    TColorButton* colour_;
    QListWidget* list_;
    QPushButton* ok_;
};

}  // namespace

bool ChooseIllustration(QWidget* parent, TLOImage& image)
{
    TIllustrationBrowser browser(parent);
    if (browser.exec() != QDialog::Accepted) return false;
    return browser.ApplyTo(image);
}

}  // namespace kestrel
