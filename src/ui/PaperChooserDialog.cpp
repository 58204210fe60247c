#include "ui/PaperChooserDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/ExceptionReport.h"
#include "paper/PaperInfo.h"
#include "paper/PapersV2.h"
#include "text/CharConvert.h"
#include "ui/PaperSelectExFunc.h"
#include "ui/SiteView.h"

namespace kestrel {

namespace {

const QString AllEntry = QStringLiteral("すべて");
const QString AllPapersCaption = QStringLiteral("すべての用紙");
constexpr int UsedPaperLimit = 20;
constexpr int MaxNewSheets = 99;
constexpr int PreviewMargin = 8;
// The genre of a tree item: a genre index, or one of these.
constexpr int AllGenres = -1;
constexpr int NoOwnGenre = -2;
constexpr int GenreRole = Qt::UserRole;
constexpr int IndexRole = Qt::UserRole;

enum TPaperColumn { pcName, pcGroup, pcMaker, pcFaces };

QString SizeText(const TPaperInfo& paper)
{
    return QStringLiteral("%1 × %2 mm").arg(paper.Width() / 10.0).arg(paper.Height() / 10.0);
}

QString ToolTipOf(const TPaperInfoUI& row, const TPaperInfo& paper)
{
    return QStringLiteral("%1\nグループ: %2\nメーカー: %3\n用途: %4\n%5、%6面")
        .arg(row.paperName, row.groupName, row.maker, row.purpose, SizeText(paper))
        .arg(paper.GetFaceCount());
}

// The genres of an item and of everything under it.
void CollectGenres(const QTreeWidgetItem& item, std::vector<int>& genres)
{
    const int genre = item.data(0, GenreRole).toInt();
    if (genre != NoOwnGenre) genres.push_back(genre);
    for (int i = 0; i < item.childCount(); ++i) CollectGenres(*item.child(i), genres);
}

}  // namespace

TPaperChooserDialog::TPaperChooserDialog(TPapersV2& catalogue, const TCurrentPaper& current, QWidget* parent)
    : QDialog(parent),
      catalogue_(catalogue),
      model_(catalogue),
      usedPapers_(QStringLiteral("$(UsedPaperHistory)"), UsedPaperLimit),
      usedMedia_(QStringLiteral("$(UsedMediaHistory)"), UsedPaperLimit),
      searches_(QStringLiteral("$(FindPaperHistory)")),
      search_(new QComboBox(this)),
      makers_(new QComboBox(this)),
      groups_(new QComboBox(this)),
      genres_(new QTreeWidget(this)),
      papers_(new QTreeWidget(this)),
      previewView_(new TSiteView(preview_, this)),
      size_(new QLabel(this)),
      landscape_(new QCheckBox("横向き(&L)", this)),
      sheets_(new QSpinBox(this))
{
    setObjectName("dlgPaperChooser");
    setWindowTitle("用紙/メディアの選択");
    usedPapers_.SetUseAccelerator(false);
    usedMedia_.SetUseAccelerator(false);
    searches_.SetUseAccelerator(false);

    model_.SetSearchFold(FoldForSearch);
    model_.SetRecentPapers(RecentNames());
    const TStandardGenres genres = StandardGenres(catalogue_);
    model_.SetSpecialGenres(genres.userGenre, genres.defaultGenre, genres.recentGenre);
    model_.SetGenres(genres.genres, genres.groupToGenre);

    std::unique_ptr<TPaperInfo> matched;
    const int currentIndex =
        current.paper ? model_.MatchDocumentPaper(*current.paper, current.extra, current.images, matched) : -1;

    genres_->setHeaderLabel("ジャンル");
    papers_->setHeaderLabels({"用紙名", "グループ", "メーカー", "面数"});
    papers_->setRootIsDecorated(false);
    papers_->setAllColumnsShowFocus(true);
    papers_->setTextElideMode(Qt::ElideNone);  // names differ only at their ends
    papers_->header()->setStretchLastSection(false);
    papers_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    papers_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    landscape_->setChecked(current.paper && current.paper->Landscape());
    sheets_->setRange(1, MaxNewSheets);

    auto* split = new QSplitter(this);
    split->addWidget(genres_);
    split->addWidget(papers_);
    split->addWidget(BuildPreview());
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 6);
    split->setStretchFactor(2, 3);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText("キャンセル");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout_ = new QVBoxLayout(this);
    layout_->addWidget(BuildFilters());
    layout_->addWidget(split, 1);
    layout_->addWidget(buttons);
    resize(1000, 560);

    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(papers_, &QTreeWidget::currentItemChanged, this, [this] { SelectionChanged(); });
    connect(papers_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(genres_, &QTreeWidget::currentItemChanged, this, [this] { ShowGenre(); });
    connect(search_, &QComboBox::editTextChanged, this, [this](const QString& text) { ShowSearch(text); });
    connect(makers_, &QComboBox::currentIndexChanged, this, [this] { ShowRows(shownRows_); });
    connect(groups_, &QComboBox::currentIndexChanged, this, [this] { ShowRows(shownRows_); });
    connect(landscape_, &QCheckBox::toggled, this, [this] { SelectionChanged(); });

    FillGenreTree();
    const bool anyRecent = !model_.Rows(genres.recentGenre).empty();
    genres_->setCurrentItem(anyRecent ? genres_->topLevelItem(0) : GenreItem(AllPapersCaption));
    if (currentIndex >= 0) SelectPaper(currentIndex);
    SelectionChanged();
}

TPaperChooserDialog::~TPaperChooserDialog()
{
    delete previewView_;  // the site's host leaves before the site
}

QWidget* TPaperChooserDialog::BuildFilters()
{
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    search_->setEditable(true);
    search_->setInsertPolicy(QComboBox::NoInsert);
    search_->addItems(searches_.Items());
    search_->setCurrentIndex(-1);
    search_->lineEdit()->setPlaceholderText("用紙名の一部 (ひらがな・カタカナ・全角半角を区別しません)");
    const auto addLabelled = [&](const QString& caption, QWidget* field, int stretch) {
        auto* label = new QLabel(caption, bar);
        label->setBuddy(field);
        row->addWidget(label);
        row->addWidget(field, stretch);
    };
    addLabelled("検索(&F)", search_, 3);
    addLabelled("メーカー(&M)", makers_, 1);
    addLabelled("グループ(&G)", groups_, 1);
    return bar;
}

QWidget* TPaperChooserDialog::BuildPreview()
{
    auto* panel = new QWidget(this);
    previewView_->setParent(panel);
    previewView_->setAlignment(Qt::AlignCenter);
    previewView_->setBackgroundRole(QPalette::Dark);
    previewView_->setMinimumSize(220, 220);
    previewView_->viewport()->installEventFilter(this);
    preview_.SetDrawInfo(true);
    auto* form = new QFormLayout;
    form->addRow("用紙サイズ:", size_);
    form->addRow(landscape_);
    form->addRow("シート数(&N):", sheets_);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(previewView_, 1);
    layout->addLayout(form);
    return panel;
}

QTreeWidgetItem* TPaperChooserDialog::GenreItem(const QString& path)
{
    const QStringList parts = path.split(u'\\', Qt::SkipEmptyParts);
    QTreeWidgetItem* parent = nullptr;
    for (const QString& part : parts) {
        QTreeWidgetItem* found = nullptr;
        const int count = parent ? parent->childCount() : genres_->topLevelItemCount();
        for (int i = 0; i < count && !found; ++i) {
            QTreeWidgetItem* item = parent ? parent->child(i) : genres_->topLevelItem(i);
            if (item->text(0) == part) found = item;
        }
        if (!found) {
            found = parent ? new QTreeWidgetItem(parent, {part}) : new QTreeWidgetItem(genres_, {part});
            found->setData(0, GenreRole, NoOwnGenre);
        }
        parent = found;
    }
    return parent;
}

// Genres without papers are left out; "すべての用紙" follows the recently used papers.
void TPaperChooserDialog::FillGenreTree()
{
    const QStringList& names = model_.Genres();
    for (int genre = 0; genre < names.size(); ++genre) {
        if (!model_.Rows(genre).empty()) GenreItem(names[genre])->setData(0, GenreRole, genre);
        if (genre == model_.RecentGenre()) GenreItem(AllPapersCaption)->setData(0, GenreRole, AllGenres);
    }
    GenreItem(AllPapersCaption)->setData(0, GenreRole, AllGenres);
    genres_->expandAll();
}

void TPaperChooserDialog::FillFilters(const std::vector<int>& genres)
{
    const QSignalBlocker quietMakers(makers_);
    const QSignalBlocker quietGroups(groups_);
    makers_->clear();
    groups_->clear();
    const bool one = genres.size() == 1 && genres.front() >= 0;
    makers_->addItems(one ? model_.GenreMakers(genres.front(), AllEntry) : model_.DistinctMakers(AllEntry));
    groups_->addItems(one ? model_.GenreGroups(genres.front(), AllEntry) : model_.DistinctGroups(AllEntry));
}

void TPaperChooserDialog::ShowGenre()
{
    const QTreeWidgetItem* item = genres_->currentItem();
    if (!item) return;
    std::vector<int> genres;
    CollectGenres(*item, genres);
    std::vector<int> rows;
    for (const int genre : genres) {
        const std::vector<int> more = model_.Rows(genre);
        rows.insert(rows.end(), more.begin(), more.end());
    }
    // The recently used papers keep their order; others are listed once, in catalogue order.
    if (!(genres.size() == 1 && genres.front() == model_.RecentGenre())) {
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    }
    FillFilters(genres);
    ShowRows(std::move(rows));
}

void TPaperChooserDialog::ShowSearch(const QString& text)
{
    if (text.isEmpty()) {
        // Back to the genres, with every paper when the search had left them.
        if (genres_->currentItem())
            ShowGenre();
        else
            genres_->setCurrentItem(GenreItem(AllPapersCaption));
        return;
    }
    {
        const QSignalBlocker quiet(genres_);
        genres_->setCurrentItem(nullptr);
        genres_->clearSelection();
    }
    FillFilters({AllGenres});
    ShowRows(model_.Search(text));
}

bool TPaperChooserDialog::PassesFilters(const TPaperInfoUI& row) const
{
    const auto passes = [](const QComboBox& filter, const QString& value) {
        return filter.currentIndex() <= 0 || filter.currentText() == value;
    };
    return passes(*makers_, row.maker) && passes(*groups_, row.groupName);
}

QStringList TPaperChooserDialog::RecentNames()
{
    return usedPapers_.Items() + usedMedia_.Items();
}

// Recently used papers come first, most recent first, then recently used media; the rest keep
// their order.
void TPaperChooserDialog::ShowRows(std::vector<int> rows)
{
    shownRows_ = rows;
    const QStringList recent = RecentNames();
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        const auto rank = [&](int row) {
            const qsizetype at = recent.indexOf(model_.Row(row).paperName);
            return at < 0 ? recent.size() : at;
        };
        return rank(a) < rank(b);
    });
    const int selected = SelectedIndex();
    QSignalBlocker quiet(papers_);
    papers_->clear();
    QTreeWidgetItem* keep = nullptr;
    for (const int index : rows) {
        const TPaperInfoUI& row = model_.Row(index);
        if (!PassesFilters(row)) continue;
        const TPaperInfo& paper = catalogue_.Paper(index);
        auto* item = new QTreeWidgetItem(papers_, {row.paperName, row.groupName, row.maker,
                                                   QString::number(paper.GetFaceCount())});
        item->setData(pcName, IndexRole, index);
        for (int column = pcName; column <= pcFaces; ++column) item->setToolTip(column, ToolTipOf(row, paper));
        if (index == selected) keep = item;
    }
    papers_->setCurrentItem(keep ? keep : papers_->topLevelItem(0));
    quiet.unblock();
    SelectionChanged();
}

int TPaperChooserDialog::SelectedIndex() const
{
    const QTreeWidgetItem* item = papers_->currentItem();
    return item ? item->data(pcName, IndexRole).toInt() : -1;
}

const TPaperInfo* TPaperChooserDialog::SelectedPaper() const
{
    const int index = SelectedIndex();
    return index >= 0 && index < catalogue_.Count() ? &catalogue_.Paper(index) : nullptr;
}

void TPaperChooserDialog::SelectPaper(int index)
{
    const auto find = [&]() -> QTreeWidgetItem* {
        for (int i = 0; i < papers_->topLevelItemCount(); ++i)
            if (papers_->topLevelItem(i)->data(pcName, IndexRole).toInt() == index) return papers_->topLevelItem(i);
        return nullptr;
    };
    QTreeWidgetItem* item = find();
    if (!item) {
        search_->setEditText({});
        genres_->setCurrentItem(GenreItem(AllPapersCaption));
        makers_->setCurrentIndex(0);
        groups_->setCurrentIndex(0);
        item = find();
    }
    papers_->setCurrentItem(item);
    if (item) papers_->scrollToItem(item);
}

QStringList TPaperChooserDialog::ListedPapers() const
{
    QStringList names;
    for (int i = 0; i < papers_->topLevelItemCount(); ++i) names << papers_->topLevelItem(i)->text(pcName);
    return names;
}

void TPaperChooserDialog::SelectionChanged()
{
    const TPaperInfo* selected = SelectedPaper();
    ok_->setEnabled(selected != nullptr);
    if (!selected) {
        preview_.ShowPaper(nullptr);
        size_->clear();
        return;
    }
    std::unique_ptr<TPaperInfo> shown = selected->Clone();
    shown->SetLandscape(landscape_->isChecked());
    preview_.ShowPaper(shown.get());
    size_->setText(SizeText(*shown));
}

std::optional<TPaperChoice> TPaperChooserDialog::Choice() const
{
    const TPaperInfo* paper = SelectedPaper();
    if (!paper) return std::nullopt;
    return TPaperChoice{paper, landscape_->isChecked(), sheets_->value()};
}

void TPaperChooserDialog::accept()
{
    const TPaperInfo* paper = SelectedPaper();
    if (!paper) return;
    try {
        (IsDirectPrintPaper(catalogue_, *paper) ? usedMedia_ : usedPapers_).Add(paper->PaperName());
        if (const QString text = search_->currentText().trimmed(); !text.isEmpty()) searches_.Add(text);
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);  // the choice stands even when the settings cannot record it
    }
    QDialog::accept();
}

bool TPaperChooserDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == previewView_->viewport() && event->type() == QEvent::Resize)
        preview_.FitToParent(previewView_->viewport()->size() - QSize(PreviewMargin, PreviewMargin));
    return QDialog::eventFilter(watched, event);
}

void TPaperChooserDialog::ShowExtendedFunctions()
{
    if (findChild<TframePaperSelectExFunc*>()) return;
    layout_->insertWidget(layout_->count() - 1, new TframePaperSelectExFunc(catalogue_, this));
}

std::optional<TPaperChoice> TPaperChooserDialog::Choose(TPapersV2& catalogue, const TCurrentPaper& current,
                                                        QWidget* parent, bool extendedFunctions)
{
    TPaperChooserDialog dialog(catalogue, current, parent);
    if (extendedFunctions) dialog.ShowExtendedFunctions();
    return dialog.exec() == QDialog::Accepted ? dialog.Choice() : std::nullopt;
}

}  // namespace kestrel
