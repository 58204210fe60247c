#include "ui/PrinterSettingDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/EnvIniIO.h"
#include "platform/PrinterConfiguration.h"
#include "print/PaperPrintSetting.h"
#include "ui/PrinterPropertiesDialog.h"
#include "ui/WidgetPlacement.h"

namespace kestrel {

namespace {

const QString NoVendorText = QStringLiteral(
    "このプリンタではTamarind印刷設定をご使用になれません。プロパティボタンを押して設定変更をしてください。");
const QString PlacementKey = QStringLiteral("PrinterSetting");

// Fills a box with names and selects the entry of the current value.
void FillBox(QComboBox& box, const QStringList& names, const std::vector<int>& values, int current)
{
    const QSignalBlocker quiet(&box);
    box.clear();
    box.addItems(names);
    const auto found = std::find(values.begin(), values.end(), current);
    box.setCurrentIndex(found == values.end() ? -1 : int(found - values.begin()));
}

}  // namespace

// --- Epson panel --------------------------------------------------------------------------------

TframeEpsonPrinterSetting::TframeEpsonPrinterSetting(QWidget* parent)
    : QWidget(parent),
      media_(new QComboBox(this)),
      quality_(new QSlider(Qt::Horizontal, this)),
      qualityRow_(new QWidget(this)),
      detail_(new QLabel(this))
{
    setObjectName("frameEpsonPrinterSetting");
    quality_->setObjectName("Quality");
    auto* row = new QHBoxLayout(qualityRow_);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("きれい"), qualityRow_));
    row->addWidget(quality_, 1);
    row->addWidget(new QLabel(QStringLiteral("はやい"), qualityRow_));
    detail_->setWordWrap(true);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("用紙種類:"), media_);
    form->addRow(QStringLiteral("印刷品質:"), qualityRow_);
    form->addRow(detail_);
    connect(media_, &QComboBox::currentIndexChanged, this, [this] { WriteChoices(); });
    connect(quality_, &QSlider::valueChanged, this, [this] { WriteChoices(); });
}

TframeEpsonPrinterSetting::~TframeEpsonPrinterSetting() = default;

void TframeEpsonPrinterSetting::Bind(IPrinterConfiguration* printer)
{
    epson_ = printer ? std::make_unique<TEPDI>(*printer) : nullptr;
}

void TframeEpsonPrinterSetting::Refresh()
{
    if (!Available()) return;
    refreshing_ = true;
    mediaIds_ = epson_->Range(eiMedia);
    QStringList names;
    for (int id : mediaIds_) names << epson_->MediaName(id);
    const TEpsonQualitySetting setting = epson_->Quality();
    FillBox(*media_, names, mediaIds_, setting.media);
    const int levels = epson_->QualityLevels();
    quality_->setRange(1, levels);
    quality_->setValue(std::max(setting.level, 1));
    // A custom setting cannot be shown on the bar; a single level has nothing to choose.
    qualityRow_->setVisible(setting.level != 0 && levels > 1);
    detail_->setVisible(setting.level == 0);
    detail_->setText(
        QStringLiteral("詳細設定されています。プロパティボタンを押して設定変更してください。\n%1")
            .arg(epson_->MediaName(setting.media)));
    refreshing_ = false;
}

void TframeEpsonPrinterSetting::WriteChoices()
{
    if (refreshing_ || !Available() || media_->currentIndex() < 0) return;
    if (epson_->Quality().mode != 1) return;
    epson_->SetQuality({1, quality_->value(), mediaIds_.at(size_t(media_->currentIndex()))});
    epson_->Commit();
}

// --- Canon panel --------------------------------------------------------------------------------

TframeCanonPrinterSetting::TframeCanonPrinterSetting(QWidget* parent)
    : QWidget(parent),
      cartridge_(new QComboBox(this)),
      media_(new QComboBox(this)),
      quality_(new QComboBox(this))
{
    setObjectName("frameCanonPrinterSetting");
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("カートリッジ:"), cartridge_);
    form->addRow(QStringLiteral("用紙種類:"), media_);
    form->addRow(QStringLiteral("印字品質:"), quality_);
    for (QComboBox* box : {cartridge_, media_, quality_})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { WriteChoices(); });
}

TframeCanonPrinterSetting::~TframeCanonPrinterSetting() = default;

QComboBox& TframeCanonPrinterSetting::Box(TCanonItem item) const
{
    return item == ciCartridge ? *cartridge_ : item == ciMediaType ? *media_ : *quality_;
}

void TframeCanonPrinterSetting::Bind(IPrinterConfiguration* printer)
{
    canon_ = printer ? std::make_unique<TCanonExtDDI>(*printer) : nullptr;
}

void TframeCanonPrinterSetting::Refresh()
{
    if (!Available()) return;
    refreshing_ = true;
    for (TCanonItem item : {ciCartridge, ciMediaType, ciQuality})
        FillBox(Box(item), canon_->Names(item), canon_->Values(item), canon_->Value(item));
    refreshing_ = false;
}

void TframeCanonPrinterSetting::WriteChoices()
{
    if (refreshing_ || !Available()) return;
    for (TCanonItem item : {ciCartridge, ciMediaType, ciQuality}) {
        const std::vector<int> values = canon_->Values(item);
        const int index = Box(item).currentIndex();
        if (index >= 0 && index < int(values.size())) canon_->SetValue(item, values[size_t(index)]);
    }
}

// --- Dialog -------------------------------------------------------------------------------------

TfrmPrinterSetting::TfrmPrinterSetting(const TPaperPrintSetting& settings, const TPaperInfo& paper,
                                       QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      paper_(paper),
      printer_(TPrinterConfiguration::Current()),
      printers_(new QComboBox(this)),
      port_(new QLabel(this)),
      papers_(new QComboBox(this)),
      portrait_(new QRadioButton(QStringLiteral("縦"), this)),
      landscape_(new QRadioButton(QStringLiteral("横"), this)),
      vendorPages_(new QStackedWidget(this)),
      canon_(new TframeCanonPrinterSetting(vendorPages_)),
      epson_(new TframeEpsonPrinterSetting(vendorPages_)),
      noVendor_(new QLabel(NoVendorText, vendorPages_))
{
    setObjectName("frmPrinterSetting");
    setWindowTitle(QStringLiteral("プリンタの設定"));
    InstallPrinterPropertiesDialog();
    printers_->setObjectName("Printers");
    papers_->setObjectName("Papers");
    noVendor_->setWordWrap(true);
    vendorPages_->addWidget(canon_);
    vendorPages_->addWidget(epson_);
    vendorPages_->addWidget(noVendor_);

    auto* properties = new QPushButton(QStringLiteral("プロパティ..."), this);
    auto* printerRow = new QHBoxLayout;
    printerRow->addWidget(printers_, 1);
    printerRow->addWidget(properties);
    auto* orientation = new QGroupBox(QStringLiteral("印刷の向き"), this);
    auto* orientationRow = new QHBoxLayout(orientation);
    orientationRow->addWidget(portrait_);
    orientationRow->addWidget(landscape_);
    auto* vendor = new QGroupBox(QStringLiteral("Tamarind印刷設定"), this);
    (new QVBoxLayout(vendor))->addWidget(vendorPages_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("プリンタ名:"), printerRow);
    form->addRow(QStringLiteral("場所:"), port_);
    form->addRow(QStringLiteral("用紙"), papers_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(orientation);
    layout->addWidget(vendor);
    layout->addWidget(buttons);

    printers_->addItems(InstalledPrinterNames());
    printers_->setCurrentText(printer_->GetDeviceName());
    connect(printers_, &QComboBox::currentTextChanged, this,
            [this](const QString& name) { ChoosePrinter(name); });
    connect(papers_, &QComboBox::currentIndexChanged, this, [this] { PaperOrOrientationChosen(); });
    connect(portrait_, &QRadioButton::toggled, this, [this] { PaperOrOrientationChosen(); });
    connect(properties, &QPushButton::clicked, this, [this] { ShowProperties(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        printer_->MakeCurrent();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Bind();
    Refresh();
    adjustSize();
    TWidgetPlacement placement(*this);
    TEnvIniIO(PlacementKey).RestoreBounds(placement);
}

TfrmPrinterSetting::~TfrmPrinterSetting()
{
    try {
        TEnvIniIO(PlacementKey).SaveBounds(TWidgetPlacement(*this));
    } catch (const std::exception&) {
        // A settings store that cannot be written forgets where the dialog was; nothing else.
    }
}

void TfrmPrinterSetting::Bind()
{
    canon_->Bind(printer_.get());
    epson_->Bind(printer_.get());
}

void TfrmPrinterSetting::ChoosePrinter(const QString& name)
{
    if (refreshing_ || name.isEmpty()) return;
    printer_ = TPrinterConfiguration::Named(name);
    Bind();
    settings_.ApplyForPrinter(*printer_, paper_);
    Refresh();
}

void TfrmPrinterSetting::Refresh()
{
    refreshing_ = true;
    port_->setText(printer_->GetPort());
    const IPrinterForm& forms = printer_->GetForms();
    {
        const QSignalBlocker quiet(papers_);
        papers_->clear();
        for (const TFormInfo& form : forms.GetFormList()) papers_->addItem(form.GetName(), form.GetID());
        papers_->setCurrentIndex(forms.FindByID(printer_->GetDeviceMode().paperSize));
    }
    const bool portrait = printer_->GetDeviceMode().orientation == TDeviceMode::Portrait;
    {
        const QSignalBlocker quietPortrait(portrait_), quietLandscape(landscape_);
        (portrait ? portrait_ : landscape_)->setChecked(true);
    }
    if (canon_->Available()) {
        canon_->Refresh();
        vendorPages_->setCurrentWidget(canon_);
    } else if (epson_->Available()) {
        epson_->Refresh();
        vendorPages_->setCurrentWidget(epson_);
    } else {
        vendorPages_->setCurrentWidget(noVendor_);
    }
    refreshing_ = false;
}

void TfrmPrinterSetting::PaperOrOrientationChosen()
{
    if (refreshing_ || papers_->currentIndex() < 0) return;
    TDeviceMode& mode = printer_->GetDeviceMode();
    mode.paperSize = papers_->currentData().toInt();
    mode.orientation = portrait_->isChecked() ? TDeviceMode::Portrait : TDeviceMode::Landscape;
    mode.fields |= TDeviceMode::dmPaperSize | TDeviceMode::dmOrientation;
    printer_->MergeDeviceMode();
    if (vendorPages_->currentWidget() == canon_) canon_->WriteChoices();
    if (vendorPages_->currentWidget() == epson_) epson_->WriteChoices();
    Refresh();
}

void TfrmPrinterSetting::ShowProperties()
{
    if (!printer_->ShowProperties(this)) return;
    printer_->MergeDeviceMode();
    Refresh();
}

}  // namespace kestrel
