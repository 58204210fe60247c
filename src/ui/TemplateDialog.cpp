#include "ui/TemplateDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/AppFrame.h"
#include "app/MessageBox.h"
#include "label/FacePreview.h"
#include "label/LabelData.h"
#include "platform/Error.h"

namespace kestrel {

namespace {

constexpr int ThumbnailSize = 100;
constexpr int EntryRole = Qt::UserRole;

// Remembered while the program runs.
struct TTemplateDialogState {
    int tab = 0;
    int genre = 0;
};
TTemplateDialogState& State()
{
    static TTemplateDialogState state;
    return state;
}

// The face's preview as the document stores it; a whole file shows a blank square.
QIcon Preview(const TTemplateInfo& entry)
{
    QImage image;
    try {
        if (!entry.wholeFile) ReadPreviewFromFile(entry.fileName, entry.sheetIndex, entry.faceIndex, image, false);
    } catch (const EKestrel&) {
        image = QImage();
    }
    if (image.isNull()) {
        image = QImage(ThumbnailSize, ThumbnailSize, QImage::Format_RGB32);
        image.fill(Qt::white);
    }
    return QIcon(QPixmap::fromImage(image.scaled(ThumbnailSize, ThumbnailSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

QListWidget* NewThumbnailList(QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setViewMode(QListView::IconMode);
    list->setIconSize({ThumbnailSize, ThumbnailSize});
    list->setResizeMode(QListView::Adjust);
    list->setMinimumSize(480, 320);
    return list;
}

QPushButton* AddFavouriteButton(QWidget* parent)
{
    return new QPushButton(QStringLiteral("お気に入りに\r\n追加"), parent);
}

}  // namespace

TfrmTemplate2::TfrmTemplate2(QWidget* parent, const TFaceGeometry& wanted)
    : QDialog(parent), wanted_(wanted), ids_(TIdIndex::Load())
{
    setWindowTitle(QStringLiteral("テンプレートの選択"));
    if (wanted_.purpose.isEmpty()) wanted_.purpose = QStringLiteral("CD");
    group_.SelectPurpose(wanted_.purpose);
    favourites_.SetBaseFolder(group_.Found() ? QFileInfo(group_.FileName()).absolutePath() : QString());

    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->addTab(CollectionTab(), QStringLiteral("テンプレート集"));
    tabs_->addTab(DocumentsTab(), QStringLiteral("ファイル"));
    tabs_->addTab(FavouritesTab(), QStringLiteral("お気に入り"));
    layout->addWidget(tabs_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
        State().tab = tab;
        if (tab == 2) ShowFavourites();
        UpdateButtons();
    });
    for (QListWidget* list : {collection_, documentList_, favouriteList_})
        connect(list, &QListWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    tabs_->setCurrentIndex(std::clamp(State().tab, 0, 2));
    UpdateButtons();
}

QWidget* TfrmTemplate2::CollectionTab()
{
    auto* tab = new QWidget(this);
    auto* layout = new QVBoxLayout(tab);
    auto* top = new QHBoxLayout;
    genre_ = new QComboBox(tab);
    genre_->addItems(group_.GenreNames());
    top->addWidget(new QLabel(QStringLiteral("ジャンル"), tab));
    top->addWidget(genre_, 1);
    id_ = new QLineEdit(tab);
    id_->setMaxLength(4);
    id_->setPlaceholderText(QStringLiteral("ID"));
    auto* find = new QPushButton(QStringLiteral("検索"), tab);
    find->setEnabled(false);
    connect(id_, &QLineEdit::textChanged, find, [find](const QString& text) { find->setEnabled(text.size() == 4); });
    connect(find, &QPushButton::clicked, this, [this] { FindById(id_->text()); });
    top->addWidget(id_);
    top->addWidget(find);
    auto* add = AddFavouriteButton(tab);
    connect(add, &QPushButton::clicked, this, [this] { AddSelectedToFavourites(); });
    top->addWidget(add);
    layout->addLayout(top);
    warning_ = new QLabel(tab);
    warning_->setAlignment(Qt::AlignCenter);
    layout->addWidget(warning_);
    collection_ = NewThumbnailList(tab);
    layout->addWidget(collection_, 1);
    connect(genre_, &QComboBox::currentIndexChanged, this, [this](int index) { ShowGenre(index); });
    if (!group_.Found()) {
        warning_->setText(ExpandMacro(QStringLiteral("テンプレート集が見つかりません。\n\n$(AppName)の\nCDを正しくセットしてください。")));
    } else if (group_.GenreNames().isEmpty()) {
        warning_->setText(QStringLiteral("現在のラベルに適合する\nテンプレートはありません"));
    } else {
        const int genre = std::clamp(State().genre, 0, int(group_.GenreNames().size()) - 1);
        const QSignalBlocker quiet(genre_);
        genre_->setCurrentIndex(genre);
        ShowGenre(genre);
    }
    return tab;
}

QWidget* TfrmTemplate2::DocumentsTab()
{
    auto* tab = new QWidget(this);
    auto* layout = new QVBoxLayout(tab);
    auto* top = new QHBoxLayout;
    auto* folder = new QPushButton(QStringLiteral("フォルダ..."), tab);
    auto* add = AddFavouriteButton(tab);
    connect(add, &QPushButton::clicked, this, [this] { AddSelectedToFavourites(); });
    top->addWidget(folder);
    top->addStretch();
    top->addWidget(add);
    layout->addLayout(top);
    documentList_ = NewThumbnailList(tab);
    layout->addWidget(documentList_, 1);
    connect(folder, &QPushButton::clicked, this, [this] {
        const QString chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("テンプレートのフォルダ"));
        if (chosen.isEmpty()) return;
        documents_.ScanFolder(chosen, &wanted_);
        Fill(*documentList_, documents_, false);
    });
    return tab;
}

QWidget* TfrmTemplate2::FavouritesTab()
{
    auto* tab = new QWidget(this);
    auto* layout = new QVBoxLayout(tab);
    auto* remove = new QPushButton(QStringLiteral("お気に入りに\r\n削除"), tab);
    connect(remove, &QPushButton::clicked, this, [this] { RemoveSelectedFavourite(); });
    layout->addWidget(remove, 0, Qt::AlignRight);
    favouriteList_ = NewThumbnailList(tab);
    layout->addWidget(favouriteList_, 1);
    return tab;
}

void TfrmTemplate2::ShowGenre(int index)
{
    State().genre = index;
    shown_.ScanFolder(group_.GenreFolder(index), &wanted_);
    Fill(*collection_, shown_, true);
    warning_->setText(shown_.Count() == 0 ? QStringLiteral("現在のラベルに適合する\nテンプレートはありません") : QString());
}

void TfrmTemplate2::ShowFavourites()
{
    favourites_.LoadFromFile(ExpandMacro(QStringLiteral("$(FavoriteTemplate)")));
    favourites_.Refresh(&wanted_);
    Fill(*favouriteList_, favourites_, false);
    if (favourites_.Count() == 0) {
        auto* none = new QListWidgetItem(QStringLiteral("登録済みのテンプレートはありません"), favouriteList_);
        none->setFlags(Qt::NoItemFlags);
    }
}

void TfrmTemplate2::Fill(QListWidget& list, const TTemplateList& entries, bool withIds)
{
    list.clear();
    for (int i = 0; i < entries.Count(); ++i) {
        const TTemplateInfo& entry = entries.Item(i);
        const QString id = withIds ? ids_.IdOf(entry) : QString();
        auto* item = new QListWidgetItem(Preview(entry), id, &list);
        item->setData(EntryRole, i);
        item->setToolTip(QFileInfo(entry.fileName).fileName());
    }
}

QListWidget* TfrmTemplate2::CurrentList() const
{
    switch (tabs_->currentIndex()) {
    case 0: return collection_;
    case 1: return documentList_;
    default: return favouriteList_;
    }
}

std::optional<TTemplateInfo> TfrmTemplate2::Chosen() const
{
    const QListWidget* list = CurrentList();
    const QListWidgetItem* item = list ? list->currentItem() : nullptr;
    if (!item || !item->data(EntryRole).isValid()) return std::nullopt;
    const TTemplateList& entries = list == collection_ ? shown_ : list == documentList_ ? documents_ : favourites_;
    const int i = item->data(EntryRole).toInt();
    return i >= 0 && i < entries.Count() ? std::optional(entries.Item(i)) : std::nullopt;
}

void TfrmTemplate2::UpdateButtons()
{
    if (ok_) ok_->setEnabled(Chosen().has_value());
}

void TfrmTemplate2::FindById(const QString& id)
{
    const auto ref = ids_.TemplateOf(id);
    if (!ref) {
        TAppFrame::ShowOkMessage(QStringLiteral("「%s」は見つかりませんでした"), {id});
        return;
    }
    const QString file = TIdIndex::LocateTemplate(*ref);
    if (file.isEmpty()) return;
    const QString folder = QFileInfo(QFileInfo(file).absolutePath()).canonicalFilePath();
    for (int g = 0; g < group_.GenreNames().size(); ++g) {
        if (QFileInfo(group_.GenreFolder(g)).canonicalFilePath().compare(folder, Qt::CaseInsensitive) != 0) continue;
        tabs_->setCurrentIndex(0);
        genre_->setCurrentIndex(g);
        ShowGenre(g);
        for (int i = 0; i < collection_->count(); ++i) {
            const TTemplateInfo& entry = shown_.Item(collection_->item(i)->data(EntryRole).toInt());
            if (QFileInfo(entry.fileName).canonicalFilePath().compare(QFileInfo(file).canonicalFilePath(), Qt::CaseInsensitive) == 0 &&
                entry.sheetIndex == ref->sheet &&
                entry.faceIndex == ref->face) {
                collection_->setCurrentRow(i);
                return;
            }
        }
    }
    TAppFrame::ShowOkMessage(QStringLiteral("「%s」のテンプレートは現在のラベルに適合しません"), {id});
}

void TfrmTemplate2::SaveFavourites()
{
    favourites_.SaveToFile(ExpandMacro(QStringLiteral("$(FavoriteTemplate)")));
}

void TfrmTemplate2::AddSelectedToFavourites()
{
    const std::optional<TTemplateInfo> entry = Chosen();
    if (!entry) return;
    favourites_.LoadFromFile(ExpandMacro(QStringLiteral("$(FavoriteTemplate)")));
    if (!favourites_.Add(*entry)) {
        TAppFrame::ShowOkMessage(QStringLiteral("このテンプレートは登録済みです"));
        return;
    }
    SaveFavourites();
    TAppFrame::ShowOkMessage(QStringLiteral("お気に入りに追加しました"));
}

void TfrmTemplate2::RemoveSelectedFavourite()
{
    if (tabs_->currentIndex() != 2) return;
    const std::optional<TTemplateInfo> entry = Chosen();
    if (!entry) return;
    favourites_.Remove(*entry);
    SaveFavourites();
    ShowFavourites();
}

}  // namespace kestrel
