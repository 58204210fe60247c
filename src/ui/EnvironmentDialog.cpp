#include "ui/EnvironmentDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/AppFrame.h"
#include "app/HistoryManager.h"
#include "app/RuntimeFlags.h"
#include "document/ActionList.h"
#include "ui/CacheSettingsPage.h"
#include "ui/InternetEnvironmentPanel.h"

namespace kestrel {

namespace {

constexpr int MinUndoLimit = 1;
constexpr int MaxUndoLimit = 100;
const QString UndoLimitValue = QStringLiteral("UndoLimit");
const QString AntiAliasValue = QStringLiteral("AntiAliasDistortionText");
const QString CDPathValue = QStringLiteral("CDPath");
const QString BandingValue = QStringLiteral("Banding");
const QString CDPathHistoryKey = QStringLiteral("$(CDPathHistory)");

enum TBanding { bdNone = 0, bd254 = 1, bdPrinter = 2 };

QWidget* PageOf(QWidget* parent, QLayout* content)
{
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(content);
    layout->addStretch();
    return page;
}

}  // namespace

int UndoLimitSetting()
{
    return std::clamp(TAppFrame::ReadInteger(UndoLimitValue, TActionList::DefaultLimit), MinUndoLimit, MaxUndoLimit);
}

TfrmEnvironment::TfrmEnvironment(QWidget* parent, TPage page)
    : QDialog(parent),
      pages_(new QTabWidget(this)),
      undoLimit_(new QSpinBox(this)),
      antiAlias_(new QCheckBox(QStringLiteral("変形した文字をなめらかに描く(&A)"), this)),
      cdPath_(new QComboBox(this)),
      banding_(new QButtonGroup(this)),
      cache_(new TframeCacheSettings(this)),
      internet_(new TfrmInternetEnvironment(this))
{
    setObjectName("frmEnvironment");
    setWindowTitle(QStringLiteral("環境設定"));
    pages_->addTab(GeneralPage(), QStringLiteral("全般"));
    pages_->addTab(FoldersPage(), QStringLiteral("フォルダ"));
    pages_->addTab(cache_, QStringLiteral("キャッシュ"));
    pages_->addTab(PrintingPage(), QStringLiteral("印刷"));
    pages_->addTab(internet_, QStringLiteral("インターネット"));
    pages_->setCurrentIndex(page);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addWidget(buttons);
}

QWidget* TfrmEnvironment::GeneralPage()
{
    undoLimit_->setRange(MinUndoLimit, MaxUndoLimit);
    undoLimit_->setValue(UndoLimitSetting());
    undoLimit_->setSuffix(QStringLiteral(" 回"));
    antiAlias_->setChecked(TAppFrame::ReadBool(AntiAliasValue, true));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("元に戻せる操作の数(&U):"), undoLimit_);
    form->addRow(antiAlias_);
    return PageOf(this, form);
}

QWidget* TfrmEnvironment::FoldersPage()
{
    cdPath_->setEditable(true);
    cdPath_->setInsertPolicy(QComboBox::NoInsert);
    cdPath_->addItems(THistoryManager(CDPathHistoryKey).Items());
    cdPath_->setEditText(TAppFrame::ReadString(CDPathValue, {}));
    auto* browse = new QPushButton(QStringLiteral("参照(&R)..."), this);
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, [this] { ChooseCDPath(); });
    auto* row = new QHBoxLayout;
    row->addWidget(cdPath_, 1);
    row->addWidget(browse);
    auto* label = new QLabel(QStringLiteral("データのCD-ROMのフォルダ(&C):"), this);
    label->setBuddy(cdPath_);
    auto* content = new QVBoxLayout;
    content->addWidget(label);
    content->addLayout(row);
    content->addWidget(new QLabel(QStringLiteral("プログラムのフォルダにないデータをここから探します"), this));
    return PageOf(this, content);
}

void TfrmEnvironment::ChooseCDPath()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("フォルダの選択"), cdPath_->currentText());
    if (!folder.isEmpty()) cdPath_->setEditText(folder);
}

QWidget* TfrmEnvironment::PrintingPage()
{
    auto* content = new QVBoxLayout;
    const std::pair<TBanding, const char*> choices[] = {
        {bdNone, "バンドに分けずに印刷する(&N)"},
        {bd254, "254dpiのバンドに分けて印刷する(&B)"},
        {bdPrinter, "プリンタの解像度のバンドに分けて印刷する(&P)"},
    };
    for (const auto& [id, caption] : choices) {
        auto* button = new QRadioButton(QString::fromUtf8(caption), this);
        banding_->addButton(button, id);
        content->addWidget(button);
    }
    const int stored = TAppFrame::ReadInteger(BandingValue, bd254);
    banding_->button(stored == bdNone || stored == bd254 ? stored : bdPrinter)->setChecked(true);
    return PageOf(this, content);
}

void TfrmEnvironment::accept()
{
    const bool saved = TAppFrame::ShowingErrors([this] {
        TAppFrame::WriteInteger(UndoLimitValue, undoLimit_->value());
        TAppFrame::WriteBool(AntiAliasValue, antiAlias_->isChecked());
        SetAntiAliasDistortionText(antiAlias_->isChecked());
        const QString cdPath = cdPath_->currentText().trimmed();
        TAppFrame::WriteString(CDPathValue, cdPath);
        if (!cdPath.isEmpty()) THistoryManager(CDPathHistoryKey).Add(cdPath);
        TAppFrame::WriteInteger(BandingValue, banding_->checkedId());
        cache_->Save();
        internet_->Save();
    });
    if (saved) QDialog::accept();
}

}  // namespace kestrel
