#include "ui/PrintPaperDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "app/AppFrame.h"
#include "label/LabelData.h"
#include "paper/PaperInfo.h"
#include "platform/PrinterConfiguration.h"
#include "print/DirectPrint.h"
#include "print/PaperPrintSetting.h"
#include "print/PrintSpec.h"
#include "print/VendorNames.h"
#include "render/LOFace.h"
#include "ui/DiscPrintDialogs.h"
#include "ui/PrinterPropertiesDialog.h"
#include "ui/SiteView.h"

namespace kestrel {

namespace {

constexpr double kMaxOffsetMm = 99.9;
constexpr int kViewSize = 240;

QDoubleSpinBox* OffsetBox(QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(-kMaxOffsetMm, kMaxOffsetMm);
    box->setSingleStep(0.1);
    box->setDecimals(1);
    box->setSuffix(" mm");
    return box;
}

QImage PreviewOf(TLabelData& document, int face)
{
    try {
        return document.FacePreview(face);
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

TfrmPrintPaper::TfrmPrintPaper(TLabelData& document, TPrintOptions& remembered, TPrintDialogContext context,
                               QWidget* parent)
    : QDialog(parent),
      document_(document),
      remembered_(remembered),
      context_(std::move(context)),
      printer_(TPrinterConfiguration::Current()),
      view_(new TSiteView(site_, this)),
      printers_(new QComboBox(this)),
      properties_(new QPushButton("プロパティ(&R)...", this)),
      printerSetup_(new QPushButton("プリンタ設定(&P)...", this)),
      discSize_(new QPushButton("外円・内円のサイズ調整(&D)...", this)),
      pdfFile_(new QLineEdit(this)),
      browse_(new QPushButton("参照(&W)...", this)),
      copies_(new QSpinBox(this)),
      allFaces_(new QRadioButton("全ラベル(&A)", this)),
      chosenFaces_(new QRadioButton("指定ラベル(&S)", this)),
      frame_(new QCheckBox("ラベル枠線を印刷(&F)", this)),
      cutLine_(new QCheckBox("切り取り線を印刷(&C)", this)),
      paperImage_(new QCheckBox("用紙柄を印刷(&I)", this)),
      blurEdge_(new QCheckBox("ラベルのフチをぼかす(&B)", this)),
      offsetEnabled_(new QCheckBox("印刷位置を調整する(&O)", this)),
      leftOffset_(OffsetBox(this)),
      topOffset_(OffsetBox(this))
{
    setObjectName("frmPrintPaper");
    printers_->setObjectName("Printers");
    pdfFile_->setObjectName("PdfFile");
    printerSetup_->setObjectName("PrinterSetup");
    discSize_->setObjectName("DiscSize");
    setWindowTitle("ラベルシートの印刷");
    InstallPrinterPropertiesDialog();

    auto* printerBox = new QGroupBox("プリンタ", this);
    auto* printerForm = new QFormLayout(printerBox);
    auto* printerRow = new QHBoxLayout;
    printerRow->addWidget(printers_, 1);
    printerRow->addWidget(properties_);
    printerRow->addWidget(printerSetup_);
    printerForm->addRow("プリンタ名:", printerRow);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(pdfFile_, 1);
    fileRow->addWidget(browse_);
    printerForm->addRow("PDFファイル:", fileRow);
    printers_->addItems(InstalledPrinterNames());
    printers_->setCurrentText(printer_->GetDeviceName());

    auto* facesBox = new QGroupBox("印刷するラベル", this);
    auto* facesLayout = new QVBoxLayout(facesBox);
    auto* radios = new QHBoxLayout;
    radios->addWidget(allFaces_);
    radios->addWidget(chosenFaces_);
    facesLayout->addLayout(radios);
    facesLayout->addWidget(view_, 1);
    facesLayout->addWidget(new QLabel("青色の枠で表示されているラベルを印刷します", facesBox));
    BuildFaceView();

    auto* options = new QFormLayout;
    copies_->setRange(MinCopies, MaxCopies);
    options->addRow("部数(&N):", copies_);
    for (QCheckBox* box : {frame_, cutLine_, paperImage_, blurEdge_}) options->addRow(box);
    options->addRow(offsetEnabled_);
    options->addRow("左から(&L):", leftOffset_);
    options->addRow("上から(&T):", topOffset_);
    options->addRow(discSize_);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("印刷開始", QDialogButtonBox::AcceptRole);
    buttons->addButton("キャンセル", QDialogButtonBox::RejectRole);

    auto* columns = new QHBoxLayout;
    columns->addWidget(facesBox, 1);
    columns->addLayout(options);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(printerBox);
    layout->addLayout(columns, 1);
    layout->addWidget(buttons);

    connect(printers_, &QComboBox::currentTextChanged, this, [this](const QString& name) { ChoosePrinter(name); });
    connect(properties_, &QPushButton::clicked, this, [this] { printer_->ShowProperties(this); });
    connect(printerSetup_, &QPushButton::clicked, this, [this] { RunPrinterSetup(); });
    connect(discSize_, &QPushButton::clicked, this, [this] { RunDiscSize(); });
    connect(browse_, &QPushButton::clicked, this, [this] { ChoosePdfFile(); });
    connect(allFaces_, &QRadioButton::toggled, this, [this](bool all) { ShowAllFaces(all); });
    connect(offsetEnabled_, &QCheckBox::toggled, this, [this] { OffsetSwitched(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (Start()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    LoadRemembered();
    ChoosePrinter(printer_->GetDeviceName());
    // Frames, cut lines and a paper's pattern make no sense on a disc printed directly.
    const bool direct = document_.IsDirectPrintPaper();
    for (QCheckBox* box : {frame_, cutLine_, paperImage_}) box->setEnabled(!direct);
    discSize_->setEnabled(direct && context_.discSize);
    printerSetup_->setEnabled(bool(context_.printerSetup));
}

TfrmPrintPaper::~TfrmPrintPaper()
{
    delete view_;  // the site's host leaves before the site
}

void TfrmPrintPaper::BuildFaceView()
{
    const TPaperInfo& paper = *document_.EffectivePaper();
    site_.Scaler().SetUnitDPI(LogicalUnitsPerInch);
    site_.SetColor(clWhite);
    site_.SetLogSize(paper.Width(), paper.Height());
    CreateFaces(site_, paper, false, [] { return std::make_unique<TLOFaceForPrintPaper>(); });
    for (int i = 0; i < FaceCount(site_); ++i)
        static_cast<TLOFaceWithPreview*>(FaceAt(site_, i))->SetPreviewSource([this, i](const TLOFaceWithPreview&) {
            return PreviewOf(document_, i);
        });
    view_->setMinimumSize(kViewSize, kViewSize);
    site_.Scaler().SetScale(site_.FitScale(QSize(kViewSize - 8, kViewSize - 8), true, true));
}

void TfrmPrintPaper::LoadRemembered()
{
    const TPrintOptions& remembered = remembered_;
    const TPrintSettings settings = ReadPrintSettings();
    copies_->setValue(remembered.copies);
    frame_->setChecked(remembered.printFrame);
    cutLine_->setChecked(remembered.printCutLine);
    paperImage_->setChecked(remembered.printPaperImage);
    blurEdge_->setChecked(remembered.blurEdge);
    leftOffset_->setValue(settings.leftOffset / 10.0);
    topOffset_->setValue(settings.topOffset / 10.0);
    offsetEnabled_->setChecked(settings.offsetEnabled);
    OffsetSwitched();

    const int faceCount = document_.FaceCount();
    QByteArray selection = remembered.selection;
    if (selection.size() != faceCount) selection = ViewSelection();
    ShowSelection(selection);
    // A sheet of one face has nothing to choose.
    const bool oneFace = faceCount <= 1;
    allFaces_->setEnabled(!oneFace);
    chosenFaces_->setEnabled(!oneFace);
    const bool all = oneFace || !remembered.selectedOnly;
    (all ? allFaces_ : chosenFaces_)->setChecked(true);
    ShowAllFaces(all);
}

QByteArray TfrmPrintPaper::ViewSelection() const
{
    QByteArray selection(FaceCount(site_), 0);
    for (int i = 0; i < selection.size(); ++i) selection[i] = FaceAt(site_, i)->FaceSelected() ? 1 : 0;
    return selection;
}

void TfrmPrintPaper::ShowSelection(const QByteArray& selection)
{
    for (int i = 0; i < FaceCount(site_); ++i) FaceAt(site_, i)->SetFaceSelected(i < selection.size() && selection[i]);
}

void TfrmPrintPaper::ShowAllFaces(bool all)
{
    TPrintOptions& remembered = remembered_;
    if (all) {
        if (view_->isEnabled()) remembered.selection = ViewSelection();
        ShowSelection(QByteArray(FaceCount(site_), 1));
    } else {
        QByteArray selection = remembered.selection.size() == FaceCount(site_) ? remembered.selection : ViewSelection();
        if (!selection.contains(char(1)) && !selection.isEmpty()) selection[0] = 1;
        ShowSelection(selection);
    }
    view_->setEnabled(!all);
}

void TfrmPrintPaper::OffsetSwitched()
{
    leftOffset_->setEnabled(offsetEnabled_->isChecked());
    topOffset_->setEnabled(offsetEnabled_->isChecked());
}

void TfrmPrintPaper::ChoosePrinter(const QString& name)
{
    if (name != printer_->GetDeviceName()) printer_ = TPrinterConfiguration::Named(name);
    const TPaperPrintSetting plain(nullptr);
    (context_.settings ? *context_.settings : plain).ApplyForPrinter(*printer_, *document_.SheetPaper());
    const bool pdf = printer_->IsPdf();
    pdfFile_->setEnabled(pdf);
    browse_->setEnabled(pdf);
}

void TfrmPrintPaper::RunPrinterSetup()
{
    if (!context_.printerSetup || !context_.printerSetup()) return;
    printer_ = TPrinterConfiguration::Current();
    const QSignalBlocker quiet(printers_);
    printers_->setCurrentText(printer_->GetDeviceName());
    const bool pdf = printer_->IsPdf();
    pdfFile_->setEnabled(pdf);
    browse_->setEnabled(pdf);
}

// The faces keep their previews once fetched: changed rings need the faces made anew.
void TfrmPrintPaper::RunDiscSize()
{
    if (!context_.discSize || !context_.discSize()) return;
    const QByteArray selection = ViewSelection();
    BuildFaceView();
    ShowSelection(selection);
    view_->update();
}

bool TfrmPrintPaper::CheckDirectPrint()
{
    while (DirectPrintRefused(document_, *printer_, context_.catalogue)) {
        TfrmConfirmPrinter confirm(this);
        confirm.exec();
        if (confirm.Choice() == TfrmConfirmPrinter::cpPrintAnyway) return true;
        if (confirm.Choice() == TfrmConfirmPrinter::cpCancel) return false;
        RunPrinterSetup();
    }
    return true;
}

// A Canon printer already set to a printable disc needs no reminder to load one; a PDF file
// needs no paper at all.
bool TfrmPrintPaper::ConfirmStart()
{
    if (printer_->IsPdf()) return true;
    const TCanonExtDDI canon(*printer_);
    const int media = canon.Value(ciMediaType);
    if (canon.Available() && (media == CanonDiscMedia || media == CanonOtherDiscMedia)) return true;
    const std::unique_ptr<TPaperInfo> paper = PaperOnTray(*printer_, *document_.SheetPaper(), context_.catalogue);
    const QString sizeName = PaperSizeName(*printer_, *paper);
    return TAppFrame::ConfirmOkCancel(StartConfirmationTemplate(sizeName), {sizeName});
}

bool TfrmPrintPaper::ChoosePdfFile()
{
    const QString file = QFileDialog::getSaveFileName(this, "PDFファイルに印刷", pdfFile_->text(),
                                                      "PDFファイル (*.pdf)");
    if (file.isEmpty()) return false;
    pdfFile_->setText(file.endsWith(".pdf", Qt::CaseInsensitive) ? file : file + ".pdf");
    return true;
}

QString TfrmPrintPaper::PdfFile() const
{
    return printer_->IsPdf() ? pdfFile_->text() : QString();
}

TPrintRequest TfrmPrintPaper::Request() const
{
    TPrintRequest request;
    request.copies = copies_->value();
    request.printFrame = frame_->isChecked();
    request.printCutLine = cutLine_->isChecked();
    request.printPaperImage = paperImage_->isChecked();
    request.blurEdge = blurEdge_->isChecked();
    request.allFaces = allFaces_->isChecked();
    request.selection = request.allFaces ? QByteArray() : ViewSelection();
    request.leftOffset = int(std::lround(leftOffset_->value() * 10));
    request.topOffset = int(std::lround(topOffset_->value() * 10));
    request.offsetEnabled = offsetEnabled_->isChecked();
    return request;
}

bool TfrmPrintPaper::Start()
{
    if (!CheckDirectPrint()) return false;
    const TPrintRequest request = Request();
    const QString problem = PrintRequestProblem(request);
    if (!problem.isEmpty()) {
        TAppFrame::ShowOkMessage("%s", {problem});
        return false;
    }
    if (printer_->IsPdf() && pdfFile_->text().isEmpty() && !ChoosePdfFile()) return false;
    if (!ConfirmStart()) return false;
    RememberPrintRequest(request, remembered_);
    WritePrintSettings({request.topOffset, request.leftOffset, request.offsetEnabled, 0});
    printer_->MakeCurrent();
    return true;
}

}  // namespace kestrel
