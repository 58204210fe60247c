#include "ui/AlbumCsvDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/AppFrame.h"
#include "app/ExceptionReport.h"
#include "music/Albums.h"
#include "ui/DialogButtons.h"

namespace kestrel {

namespace {

const QString kCsvFilter = QStringLiteral("CSVファイル (*.csv);;すべてのファイル (*)");

// A scroll bar over pages with its "%d/%d" label.
void SetPages(QScrollBar& bar, QLabel& label, int count)
{
    bar.setRange(0, std::max(0, count - 1));
    label.setText(QStringLiteral("%1/%2").arg(count ? bar.value() + 1 : 0).arg(count));
}

}  // namespace

bool RunCsvProgress(QWidget* parent, const QString& caption, const std::function<void(const TCsvProgress&)>& work,
                    const QString& success, const QString& failure)
{
    QDialog window(parent);
    window.setWindowTitle(caption);
    auto* bar = new QProgressBar(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(bar);
    window.resize(360, window.sizeHint().height());
    window.show();
    bool done = false;
    try {
        work([&](int step, int total) {
            bar->setRange(0, std::max(1, total));
            bar->setValue(step);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            return true;
        });
        done = true;
    } catch (const std::exception& e) {
        window.hide();
        TAppFrame::ShowOkMessage(failure + QStringLiteral("\n%s"), {ExceptionMessage(e)});
    }
    window.hide();
    if (done) TAppFrame::ShowOkMessage(success);
    return done;
}

// --- Export ---

TfrmAlbumExportCSV::TfrmAlbumExportCSV(const TAlbums& albums, int current, TAlbumExportOptions& options, QWidget* parent)
    : QDialog(parent),
      albums_(albums),
      options_(options),
      file_(new QLineEdit(options.file, this)),
      columns_(new QListWidget(this)),
      header_(new QCheckBox(QStringLiteral("1レコード目に項目名を付ける(&I)"), this)),
      albumLine_(new QCheckBox(QStringLiteral("アルバムタイトルを出力する(&T)"), this)),
      allAlbums_(new QCheckBox(QStringLiteral("すべてのアルバムを出力する(&A)"), this)),
      page_(new QScrollBar(Qt::Horizontal, this)),
      pageLabel_(new QLabel(this)),
      preview_(new QPlainTextEdit(this))
{
    setWindowTitle(QStringLiteral("CSVファイルへのエクスポート"));
    options_.order = TAlbumExportOptions().order;
    for (const int column : options_.order) {
        auto* item = new QListWidgetItem(AlbumCsvColumnCaption(column), columns_);
        item->setData(Qt::UserRole, column);
        item->setCheckState(options_.checked[size_t(column)] ? Qt::Checked : Qt::Unchecked);
    }
    header_->setChecked(options_.header);
    albumLine_->setChecked(options_.albumLine);
    allAlbums_->setChecked(options_.allAlbums);
    page_->setRange(0, std::max(0, albums.Count() - 1));
    page_->setValue(current);
    preview_->setReadOnly(true);
    preview_->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* browse = CommandButton(QStringLiteral("参照(&B)..."), this);
    auto* up = CommandButton(QStringLiteral("↑"), this);
    auto* down = CommandButton(QStringLiteral("↓"), this);
    connect(browse, &QPushButton::clicked, this, [this] { ChooseFile(); });
    connect(up, &QPushButton::clicked, this, [this] { MoveColumn(-1); });
    connect(down, &QPushButton::clicked, this, [this] { MoveColumn(1); });
    connect(file_, &QLineEdit::textChanged, this, [this] { ShowPreview(); });
    connect(columns_, &QListWidget::itemChanged, this, [this] { ShowPreview(); });
    for (QCheckBox* box : {header_, albumLine_, allAlbums_}) connect(box, &QCheckBox::toggled, this, [this] { ShowPreview(); });
    connect(page_, &QScrollBar::valueChanged, this, [this] { ShowPreview(); });

    auto* buttons = OkCancelButtons(this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    auto* layout = new QGridLayout(this);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(BuddyLabel(QStringLiteral("出力ファイル(&F)"), file_, this));
    fileRow->addWidget(file_, 1);
    fileRow->addWidget(browse);
    layout->addLayout(fileRow, 0, 0, 1, 3);
    layout->addWidget(columns_, 1, 0, 3, 1);
    layout->addWidget(up, 1, 1);
    layout->addWidget(down, 2, 1);
    auto* checks = new QVBoxLayout;
    for (QCheckBox* box : {header_, albumLine_, allAlbums_}) checks->addWidget(box);
    layout->addLayout(checks, 1, 2, 3, 1);
    auto* pageRow = new QHBoxLayout;
    pageRow->addWidget(page_, 1);
    pageRow->addWidget(pageLabel_);
    layout->addLayout(pageRow, 4, 0, 1, 3);
    layout->addWidget(preview_, 5, 0, 1, 3);
    layout->addWidget(buttons, 6, 0, 1, 3);
    ShowPreview();
}

void TfrmAlbumExportCSV::ReadOptions()
{
    options_.file = file_->text();
    for (int row = 0; row < columns_->count(); ++row) {
        const int column = columns_->item(row)->data(Qt::UserRole).toInt();
        options_.order[size_t(row)] = column;
        options_.checked[size_t(column)] = columns_->item(row)->checkState() == Qt::Checked;
    }
    options_.header = header_->isChecked();
    options_.albumLine = albumLine_->isChecked();
    options_.allAlbums = allAlbums_->isChecked();
}

void TfrmAlbumExportCSV::ShowPreview()
{
    ReadOptions();
    page_->setEnabled(!options_.allAlbums);
    SetPages(*page_, *pageLabel_, albums_.Count());
    const bool anyColumn = std::any_of(options_.checked.begin(), options_.checked.end(), [](bool b) { return b; });
    ok_->setEnabled(!options_.file.isEmpty() && anyColumn);
    preview_->setPlainText(albums_.Count() ? AlbumCsvLines(albums_.Album(page_->value()), options_).join(u'\n') : QString());
}

void TfrmAlbumExportCSV::MoveColumn(int delta)
{
    const int row = columns_->currentRow();
    const int to = row + delta;
    if (row < 0 || to < 0 || to >= columns_->count()) return;
    columns_->insertItem(to, columns_->takeItem(row));
    columns_->setCurrentRow(to);
    ShowPreview();
}

void TfrmAlbumExportCSV::ChooseFile()
{
    const QString file = QFileDialog::getSaveFileName(this, windowTitle(), file_->text(), kCsvFilter);
    if (!file.isEmpty()) file_->setText(file);
}

void TfrmAlbumExportCSV::accept()
{
    ReadOptions();
    if (Export()) QDialog::accept();
}

bool TfrmAlbumExportCSV::Export()
{
    ReadOptions();
    return RunCsvProgress(
        this, windowTitle(), [&](const TCsvProgress& progress) { ExportAlbumsCsv(albums_, page_->value(), options_, progress); },
        QStringLiteral("正常にCSVファイルへ出力しました"), QStringLiteral("CSVファイルへ出力に失敗しました"));
}

// --- Import ---

TfrmAlbumImportCSV::TfrmAlbumImportCSV(TAlbums& albums, QWidget* parent, std::function<QString()> chooseFile)
    : QDialog(parent),
      albums_(albums),
      chooseFile_(std::move(chooseFile)),
      fields_(new QListWidget(this)),
      targets_(new QListWidget(this)),
      record_(new QScrollBar(Qt::Horizontal, this)),
      recordLabel_(new QLabel(this)),
      map_(CommandButton(QStringLiteral("→"), this)),
      unmap_(CommandButton(QStringLiteral("←"), this))
{
    setWindowTitle(QStringLiteral("CSVファイルからのインポート"));
    if (!chooseFile_)
        chooseFile_ = [this] { return QFileDialog::getOpenFileName(this, windowTitle(), QString(), kCsvFilter); };
    connect(map_, &QPushButton::clicked, this, [this] { MapSelected(); });
    connect(unmap_, &QPushButton::clicked, this, [this] { UnmapSelected(); });
    connect(record_, &QScrollBar::valueChanged, this, [this] { ShowRecord(); });
    connect(fields_, &QListWidget::currentRowChanged, this, [this] { UpdateCommands(); });
    connect(targets_, &QListWidget::currentRowChanged, this, [this] { UpdateCommands(); });
    auto* open = CommandButton(QStringLiteral("ファイルを開く(&O)..."), this);
    connect(open, &QPushButton::clicked, this, [this] {
        const QString file = chooseFile_();
        if (!file.isEmpty()) LoadFile(file);
    });

    auto* buttons = OkCancelButtons(this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    auto* layout = new QGridLayout(this);
    layout->addWidget(open, 0, 0);
    layout->addWidget(fields_, 1, 0, 2, 1);
    layout->addWidget(map_, 1, 1);
    layout->addWidget(unmap_, 2, 1);
    layout->addWidget(targets_, 1, 2, 2, 1);
    auto* recordRow = new QHBoxLayout;
    recordRow->addWidget(record_, 1);
    recordRow->addWidget(recordLabel_);
    layout->addLayout(recordRow, 3, 0, 1, 3);
    layout->addWidget(buttons, 4, 0, 1, 3);
    ShowRecord();
}

void TfrmAlbumImportCSV::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (std::exchange(asked_, true)) return;
    // The file dialog opens once the window is up.
    QMetaObject::invokeMethod(this, [this] {
        const QString file = chooseFile_();
        if (!file.isEmpty()) LoadFile(file);
    }, Qt::QueuedConnection);
}

void TfrmAlbumImportCSV::LoadFile(const QString& file)
{
    file_ = TAlbumCsvFile();
    loaded_ = false;
    try {
        file_.Load(file);
        loaded_ = true;
    } catch (const EKestrel&) {
        TAppFrame::ShowOkMessage(QStringLiteral("ファイルの読み込みに失敗しました"));
    }
    record_->setValue(0);
    ShowRecord();
}

// The fields of the record chosen, the album fields with the columns mapped to them; mapped
// columns in bold.
void TfrmAlbumImportCSV::ShowRecord()
{
    const int rows = loaded_ ? file_.RowCount() : 0;
    SetPages(*record_, *recordLabel_, rows);
    const int fieldRow = fields_->currentRow();
    const int targetRow = targets_->currentRow();
    fields_->clear();
    const QStringList fields = rows ? file_.Row(record_->value()) : QStringList();
    for (int i = 0; i < fields.size(); ++i) {
        auto* item = new QListWidgetItem(QStringLiteral("%1：%2").arg(QStringLiteral("項目%1").arg(i + 1), fields[i]), fields_);
        QFont font = item->font();
        font.setBold(std::find(mapping_.column.begin(), mapping_.column.end(), i) != mapping_.column.end());
        item->setFont(font);
    }
    targets_->clear();
    for (int field = 0; field < AlbumCsvColumnCount; ++field) {
        const int column = mapping_.column[size_t(field)];
        const QString mapped = column >= 0 ? QStringLiteral("項目%1").arg(column + 1) : QString();
        targets_->addItem(QStringLiteral("%1：%2").arg(AlbumCsvColumnCaption(field), mapped));
    }
    fields_->setCurrentRow(std::min(fieldRow, fields_->count() - 1));
    targets_->setCurrentRow(targetRow);
    UpdateCommands();
}

void TfrmAlbumImportCSV::MapSelected()
{
    const int column = fields_->currentRow();
    const int field = targets_->currentRow();
    if (column < 0 || field < 0) return;
    mapping_.column[size_t(field)] = column;
    ShowRecord();
}

void TfrmAlbumImportCSV::UnmapSelected()
{
    const int field = targets_->currentRow();
    if (field < 0) return;
    mapping_.column[size_t(field)] = -1;
    ShowRecord();
}

void TfrmAlbumImportCSV::UpdateCommands()
{
    const int column = fields_->currentRow();
    const int field = targets_->currentRow();
    const bool columnMapped = std::find(mapping_.column.begin(), mapping_.column.end(), column) != mapping_.column.end();
    map_->setEnabled(column >= 0 && field >= 0 && !columnMapped);
    unmap_->setEnabled(field >= 0 && mapping_.column[size_t(field)] >= 0);
    ok_->setEnabled(mapping_.Any() && loaded_ && file_.RowCount() > 0);
}

void TfrmAlbumImportCSV::accept()
{
    Import();
    QDialog::accept();
}

int TfrmAlbumImportCSV::Import()
{
    int imported = 0;
    RunCsvProgress(
        this, windowTitle(), [&](const TCsvProgress& progress) { imported = ImportAlbumsCsv(albums_, file_, mapping_, progress); },
        QStringLiteral("正常にCSVファイルから入力しました"), QStringLiteral("CSVファイルからの入力に失敗しました"));
    return imported;
}

}  // namespace kestrel
