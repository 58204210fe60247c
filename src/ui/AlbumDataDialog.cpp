#include "ui/MusicDiscDialogs.h"
#include "ui/AlbumDataDialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/AppFrame.h"
#include "app/ExceptionReport.h"
#include "app/HistoryManager.h"
#include "music/MusicInfo.h"
#include "ui/AlbumCsvDialogs.h"
#include "ui/InputReplaceDialog.h"
#include "ui/SelectAlbumInfoDialog.h"
#include "ui/WidgetPlacement.h"
#include "ui/DialogButtons.h"

namespace kestrel {

namespace {

constexpr int kDefaultWidth = 820;
constexpr int kDefaultHeight = 600;
constexpr int kEmptyRows = 2;
const QStringList kGridCaptions = {"No.", "タイトル", "時間", "アーティスト", "アルバム"};
// Grid columns 1 to 4 hold these fields of a track.
void (TTrackInfo::*const kSetters[])(const QString&) = {&TTrackInfo::SetTitle, &TTrackInfo::SetTime,
                                                        &TTrackInfo::SetArtist, &TTrackInfo::SetAlbum};
const QString& (TTrackInfo::*const kGetters[])() const = {&TTrackInfo::Title, &TTrackInfo::Time, &TTrackInfo::Artist,
                                                          &TTrackInfo::Album};

// "アルバムの追加": where the new album goes and whether it starts as a copy.
bool AskAddAlbum(QWidget* parent, TAlbumDialogMemory& memory)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("アルバムの追加"));
    const std::pair<const char16_t*, TAddPosition> positions[] = {
        {u"最後尾に追加", TAddPosition::End}, {u"現在の位置に追加", TAddPosition::Current}, {u"先頭に追加", TAddPosition::Top}};
    auto* layout = new QVBoxLayout(&dialog);
    std::vector<std::pair<QRadioButton*, TAddPosition>> choices;
    for (const auto& [caption, position] : positions) {
        auto* choice = new QRadioButton(QString::fromUtf16(caption), &dialog);
        choice->setChecked(memory.addPosition == position);
        layout->addWidget(choice);
        choices.emplace_back(choice, position);
    }
    auto* copy = new QCheckBox(QStringLiteral("現在の内容をコピーする"), &dialog);
    copy->setChecked(memory.copyCurrent);
    layout->addWidget(copy);
    layout->addWidget(OkCancelButtons(&dialog));
    if (dialog.exec() != QDialog::Accepted) return false;
    for (const auto& [choice, position] : choices)
        if (choice->isChecked()) memory.addPosition = position;
    memory.copyCurrent = copy->isChecked();
    return true;
}

enum class TDeleteChoice { None, Current, All };

// "アルバムの削除": the current album or every album, the latter confirmed.
TDeleteChoice AskDeleteAlbum(QWidget* parent)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("アルバムの削除"));
    auto* current = new QRadioButton(QStringLiteral("現在のアルバム"), &dialog);
    auto* all = new QRadioButton(QStringLiteral("すべてのアルバムを削除"), &dialog);
    current->setChecked(true);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(current);
    layout->addWidget(all);
    layout->addWidget(OkCancelButtons(&dialog));
    if (dialog.exec() != QDialog::Accepted) return TDeleteChoice::None;
    if (current->isChecked()) return TDeleteChoice::Current;
    return TAppFrame::ConfirmOkCancel(QStringLiteral("すべてのアルバムを削除します。よろしいですか？")) ? TDeleteChoice::All
                                                                                                   : TDeleteChoice::None;
}

QStringList LocalFiles(const QMimeData& data)
{
    QStringList files;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    return files;
}

bool ShiftHeld()
{
    return QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
}

}  // namespace

IAlbumHolder* FindAlbumHolder(QWidget* widget)
{
    for (; widget; widget = widget->parentWidget())
        if (auto* holder = dynamic_cast<IAlbumHolder*>(widget)) return holder;
    return nullptr;
}

QString DefaultAlbumsFile()
{
    return ExpandMacro(QStringLiteral("$(UserPreferenceFolder)Albums.dat"));
}

TfrmAlbumData::TfrmAlbumData(TAlbums& albums, TAlbumDialogMemory& memory, TPurpose purpose, QWidget* parent)
    : QDialog(parent),
      editor_(albums, memory),
      memory_(memory),
      purpose_(purpose),
      searchHistory_(std::make_unique<THistoryManager>(QStringLiteral("$(FindAlbumHistory)")))
{
    setWindowTitle(QStringLiteral("アルバム情報"));
    setObjectName(QStringLiteral("AlbumsInfo"));
    setAcceptDrops(true);
    pageBar_ = new QScrollBar(Qt::Horizontal, this);
    pageLabel_ = new QLabel(this);
    connect(pageBar_, &QScrollBar::valueChanged, this, [this](int page) {
        if (!showing_ && page != editor_.Current()) Guarded([&] { editor_.Go(page); });
    });
    auto* pageRow = new QHBoxLayout;
    pageRow->addWidget(pageBar_, 1);
    pageRow->addWidget(pageLabel_);

    auto* left = new QVBoxLayout;
    left->addLayout(pageRow);
    left->addWidget(BuildAlbumBox());
    left->addWidget(BuildTrackBox(), 1);
    auto* right = new QVBoxLayout;
    right->addWidget(BuildSearchBox());
    right->addWidget(BuildToolBox());
    right->addStretch();
    right->addWidget(OkCancelButtons(this));
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right);

    ShowPage();
    TWidgetPlacement placement(*this);
    TAppFrame::RestoreFormPlacement(placement, kDefaultWidth, kDefaultHeight);
}

TfrmAlbumData::~TfrmAlbumData()
{
    TWidgetPlacement placement(*this);
    TAppFrame::SaveFormPlacement(placement);
}

QWidget* TfrmAlbumData::BuildAlbumBox()
{
    auto* box = new QGroupBox(QStringLiteral("アルバム"), this);
    title_ = new QLineEdit(box);
    artist_ = new QLineEdit(box);
    connect(title_, &QLineEdit::textEdited, this, [this](const QString& text) { editor_.Working().SetTitle(text); });
    connect(artist_, &QLineEdit::textEdited, this, [this](const QString& text) { editor_.Working().SetArtist(text); });
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("タイトル(&T)"), title_);
    form->addRow(QStringLiteral("アーティスト(&A)"), artist_);
    auto* add = CommandButton(QStringLiteral("アルバムの追加"), box);
    auto* remove = CommandButton(QStringLiteral("アルバムの削除"), box);
    connect(add, &QPushButton::clicked, this, [this] { AddAlbum(); });
    connect(remove, &QPushButton::clicked, this, [this] { DeleteAlbum(); });
    auto* row = new QHBoxLayout;
    row->addWidget(add);
    row->addWidget(remove);
    row->addStretch();
    form->addRow(row);
    return box;
}

QWidget* TfrmAlbumData::BuildTrackBox()
{
    auto* box = new QGroupBox(QStringLiteral("トラック"), this);
    grid_ = new QTableWidget(0, int(kGridCaptions.size()), box);
    grid_->setHorizontalHeaderLabels(kGridCaptions);
    grid_->verticalHeader()->hide();
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->horizontalHeader()->setStretchLastSection(true);
    connect(grid_, &QTableWidget::cellChanged, this, [this](int row, int column) { GridEdited(row, column); });
    connect(grid_, &QTableWidget::currentCellChanged, this, [this] { UpdateCommands(); });
    insertTrack_ = CommandButton(QStringLiteral("挿入(&I)"), box);
    deleteTrack_ = CommandButton(QStringLiteral("削除(&D)"), box);
    moveUp_ = CommandButton(QStringLiteral("上へ(&U)"), box);
    moveDown_ = CommandButton(QStringLiteral("下へ(&N)"), box);
    connect(insertTrack_, &QPushButton::clicked, this, [this] {
        const int row = SelectedTrack();
        editor_.InsertTrack(row);
        FillGrid();
        SelectTrack(row);
    });
    connect(deleteTrack_, &QPushButton::clicked, this, [this] {
        const int row = SelectedTrack();
        editor_.DeleteTrack(row);
        FillGrid();
        SelectTrack(std::min(row, editor_.Working().TrackCount() - 1));
    });
    for (auto [button, delta] : {std::pair{moveUp_, -1}, std::pair{moveDown_, 1}}) {
        connect(button, &QPushButton::clicked, this, [this, delta = delta] {
            const int row = SelectedTrack();
            if (!editor_.MoveTrack(row, delta)) return;
            FillGrid();
            SelectTrack(row + delta);
        });
    }
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {insertTrack_, deleteTrack_, moveUp_, moveDown_}) buttons->addWidget(button);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(grid_, 1);
    layout->addLayout(buttons);
    return box;
}

QWidget* TfrmAlbumData::BuildSearchBox()
{
    auto* box = new QGroupBox(QStringLiteral("キーワードの検索"), this);
    keyword_ = new QComboBox(box);
    keyword_->setEditable(true);
    keyword_->addItems(searchHistory_->Items());
    keyword_->setEditText(QString());
    search_ = CommandButton(QStringLiteral("検索(&S)"), box);
    fuzzy_ = new QRadioButton(QStringLiteral("あいまい検索(&F)"), box);
    strict_ = new QRadioButton(QStringLiteral("厳密に検索(&R)"), box);
    (memory_.fuzzySearch ? fuzzy_ : strict_)->setChecked(true);
    searchProgress_ = new QProgressBar(box);
    searchProgress_->setTextVisible(false);
    connect(keyword_, &QComboBox::editTextChanged, this, [this] { UpdateCommands(); });
    connect(search_, &QPushButton::clicked, this, [this] { Search(); });
    connect(fuzzy_, &QRadioButton::toggled, this, [this](bool on) { memory_.fuzzySearch = on; });
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(keyword_);
    layout->addWidget(fuzzy_);
    layout->addWidget(strict_);
    layout->addWidget(search_);
    layout->addWidget(searchProgress_);
    return box;
}

QWidget* TfrmAlbumData::BuildToolBox()
{
    auto* box = new QGroupBox(this);
    auto* layout = new QVBoxLayout(box);
    const auto add = [&](const QString& caption, void (TfrmAlbumData::*run)()) {
        auto* button = CommandButton(caption, box);
        connect(button, &QPushButton::clicked, this, [this, run] { (this->*run)(); });
        layout->addWidget(button);
        return button;
    };
    add(QStringLiteral("フォルダから読み込む..."), &TfrmAlbumData::ImportFolder)
        ->setToolTip(QStringLiteral("Shift キーを押しながら選ぶと、ファイル名を分けずに曲名にします"));
    add(QStringLiteral("プレイリストから読み込む..."), &TfrmAlbumData::ImportPlaylist);
    add(QStringLiteral("CSVファイルへのエクスポート..."), &TfrmAlbumData::ExportCsv);
    add(QStringLiteral("CSVファイルからのインポート..."), &TfrmAlbumData::ImportCsv);
    replace_ = add(QStringLiteral("文字の置換..."), &TfrmAlbumData::ReplaceCharacters);
    add(QStringLiteral("曲名データの取得..."), &TfrmAlbumData::ImportFromDisc);
    add(QStringLiteral("曲名データの登録..."), &TfrmAlbumData::ExportToDisc);
    return box;
}

void TfrmAlbumData::ShowPage()
{
    const QSignalBlocker blockBar(pageBar_);
    showing_ = true;
    pageBar_->setRange(0, editor_.Count() - 1);
    pageBar_->setValue(editor_.Current());
    pageLabel_->setText(editor_.PageCaption());
    title_->setText(editor_.Working().Title());
    artist_->setText(editor_.Working().Artist());
    showing_ = false;
    FillGrid();
}

// One row per track and two empty rows to type new tracks into.
void TfrmAlbumData::FillGrid()
{
    const QSignalBlocker block(grid_);
    const TAlbumInfo& album = editor_.Working();
    grid_->setRowCount(album.TrackCount() + kEmptyRows);
    for (int row = 0; row < grid_->rowCount(); ++row) {
        auto* number = new QTableWidgetItem(QString::number(row + 1));
        number->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        grid_->setItem(row, 0, number);
        for (int column = 1; column < grid_->columnCount(); ++column)
            grid_->setItem(row, column, new QTableWidgetItem(row < album.TrackCount()
                                                                 ? (album.Track(row).*kGetters[column - 1])()
                                                                 : QString()));
    }
    UpdateCommands();
}

// Typing into a row past the last track first adds the tracks up to it.
void TfrmAlbumData::GridEdited(int row, int column)
{
    if (column < 1) return;
    const QString text = grid_->item(row, column)->text();
    const bool added = row >= editor_.Working().TrackCount();
    editor_.EnsureTrack(row);
    (editor_.Working().Track(row).*kSetters[column - 1])(text);
    // The grid gets its new rows once the edit is over.
    if (added) QMetaObject::invokeMethod(this, [this] { FillGrid(); }, Qt::QueuedConnection);
    UpdateCommands();
}

int TfrmAlbumData::SelectedTrack() const
{
    const int row = grid_->currentRow();
    return row < editor_.Working().TrackCount() ? row : -1;
}

void TfrmAlbumData::SelectTrack(int row)
{
    if (row >= 0) grid_->setCurrentCell(row, std::max(1, grid_->currentColumn()));
    UpdateCommands();
}

void TfrmAlbumData::UpdateCommands()
{
    const int row = SelectedTrack();
    const int tracks = editor_.Working().TrackCount();
    insertTrack_->setEnabled(row >= 0);
    deleteTrack_->setEnabled(row >= 0);
    moveUp_->setEnabled(row >= 1);
    moveDown_->setEnabled(row >= 0 && row < tracks - 1);
    search_->setEnabled(!keyword_->currentText().isEmpty());
    replace_->setEnabled(tracks > 0);
}

bool TfrmAlbumData::Guarded(const std::function<void()>& step)
{
    if (QWidget* focus = QApplication::focusWidget(); focus && grid_->isAncestorOf(focus)) focus->clearFocus();
    bool done = false;
    try {
        editor_.LeavePage();
        step();
        done = true;
    } catch (const std::exception& e) {
        TAppFrame::ShowOkMessage(ExceptionMessage(e));
    }
    ShowPage();
    return done;
}

void TfrmAlbumData::AddAlbum()
{
    if (!AskAddAlbum(this, memory_)) return;
    Guarded([this] { editor_.AddAlbum(memory_.addPosition, memory_.copyCurrent); });
}

void TfrmAlbumData::DeleteAlbum()
{
    const TDeleteChoice choice = AskDeleteAlbum(this);
    if (choice == TDeleteChoice::Current) Guarded([this] { editor_.DeleteCurrent(); });
    if (choice == TDeleteChoice::All) Guarded([this] { editor_.DeleteAll(); });
}

void TfrmAlbumData::Search()
{
    const QString keyword = keyword_->currentText();
    if (keyword.isEmpty()) return;
    searchHistory_->Add(keyword);
    std::optional<TAlbumMatch> found;
    Guarded([&] {
        found = editor_.Search(keyword, strict_->isChecked(), [this](int done, int total) {
            searchProgress_->setRange(0, total);
            searchProgress_->setValue(done);
            return true;
        });
    });
    searchProgress_->reset();
    if (!found) return TAppFrame::ShowOkMessage(QStringLiteral("%sは見つかりませんでした"), {keyword});
    if (found->field == TAlbumMatch::Title) return title_->setFocus();
    if (found->field == TAlbumMatch::Artist) return artist_->setFocus();
    grid_->setFocus();
    SelectTrack(found->track);
}

void TfrmAlbumData::ImportFolder()
{
    const bool noNameParsing = ShiftHeld();
    const QString folder = chooseFolder ? chooseFolder() : QFileDialog::getExistingDirectory(this, windowTitle());
    if (folder.isEmpty()) return;
    Guarded([&] { editor_.AddMusic(ReadFolder(folder, noNameParsing)); });
}

void TfrmAlbumData::ImportPlaylist()
{
    const QString file = choosePlaylist ? choosePlaylist()
                                        : QFileDialog::getOpenFileName(this, windowTitle(), QString(),
                                                                       QStringLiteral("プレイリスト (*.m3u *.m3u8 *.asx);;すべてのファイル (*)"));
    if (file.isEmpty()) return;
    Guarded([&] { editor_.AddMusic(ReadPlaylist(file)); });
}

void TfrmAlbumData::AddDroppedMusic(const QStringList& paths)
{
    const bool noNameParsing = ShiftHeld();
    Guarded([&] {
        TAlbumInfo album;
        MusicToAlbum(ReadMusicPaths(paths, noNameParsing), album);
        editor_.AppendAlbum(album);
    });
}

void TfrmAlbumData::ExportCsv()
{
    if (!Guarded([] {})) return;
    TfrmAlbumExportCSV dialog(editor_.Albums(), editor_.Current(), memory_.csvExport, this);
    dialog.exec();
}

void TfrmAlbumData::ImportCsv()
{
    if (!Guarded([] {})) return;
    TfrmAlbumImportCSV dialog(editor_.Albums(), this);
    if (dialog.exec() == QDialog::Accepted) Guarded([this] { editor_.Reload(); });
}

void TfrmAlbumData::ImportFromDisc()
{
    if (!Guarded([] {})) return;
    TfrmMusicDiscImport import(true, this);
    if (import.exec() != QDialog::Accepted) return;
    Guarded([&] {
        const int last = import.TakeAlbums(editor_.Albums());
        editor_.Reload();
        editor_.Go(last);
    });
    ShowPage();
}

void TfrmAlbumData::ExportToDisc()
{
    if (!AlbumReadyForExport(editor_.Working())) {
        TAppFrame::ShowOkMessage(QStringLiteral("タイトル・アーティスト・各トラックタイトルは、必ず設定してください"));
        return;
    }
    TfrmMusicDiscExport exporter(this);
    exporter.SetAlbum(editor_.Working());
    exporter.exec();
}

void TfrmAlbumData::ReplaceCharacters()
{
    TfrmInputReplace dialog(AlbumToTable(editor_.Working()), memory_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    TableToAlbum(dialog.Table(), editor_.Working());
    ShowPage();
}

void TfrmAlbumData::accept()
{
    if (!Guarded([] {})) return;
    if (purpose_ == TPurpose::InsertLines) {
        TfrmSelectAlbumInfo select(editor_.Working(), memory_.insertion, this);
        if (select.exec() != QDialog::Accepted) return;
        memory_.insertion = select.Options();
        lines_ = select.Lines();
    }
    QDialog::accept();
}

// Edits are never thrown away: the page is stored on Cancel too.
void TfrmAlbumData::reject()
{
    Guarded([] {});
    QDialog::reject();
}

void TfrmAlbumData::dragEnterEvent(QDragEnterEvent* event)
{
    if (!LocalFiles(*event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TfrmAlbumData::dropEvent(QDropEvent* event)
{
    AddDroppedMusic(LocalFiles(*event->mimeData()));
    event->acceptProposedAction();
}

bool TfrmAlbumData::Run(QWidget* parent, TPurpose purpose, TAlbumInfo& album, QStringList& lines)
{
    IAlbumHolder* holder = FindAlbumHolder(parent);
    TAlbumDialogMemory ownMemory;
    TAlbums albums;
    try {
        albums.Open(holder ? holder->AlbumsFile() : DefaultAlbumsFile());
        if (!albums.Skipped().isEmpty())
            TAppFrame::ShowOkMessage(QStringLiteral("読み込めないアルバムがあったため、とばしました\n%s"), {albums.Skipped().join(u'\n')});
        TfrmAlbumData dialog(albums, holder ? holder->AlbumMemory() : ownMemory, purpose, parent);
        if (dialog.exec() != QDialog::Accepted) return false;
        album = dialog.CurrentAlbum();
        lines = dialog.Lines();
        albums.Close();
        return true;
    } catch (const std::exception& e) {
        TAppFrame::ShowOkMessage(ExceptionMessage(e));
        return false;
    }
}

}  // namespace kestrel
