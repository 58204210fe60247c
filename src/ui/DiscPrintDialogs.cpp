#include "ui/DiscPrintDialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cmath>
#include <tuple>

#include "app/AppFrame.h"
#include "app/ExceptionReport.h"
#include "label/LabelData.h"
#include "paper/PaperInfo.h"
#include "print/PrintCommand.h"

namespace kestrel {

namespace {

constexpr int PreviewSize = 160;

QString SizeText(const char* format, int tenths)
{
    return QString::fromUtf8(format).arg(tenths / 10.0, 0, 'f', 1);
}

// The first face's ring as it will be printed, in the middle of a small square.
class TRingPreview : public QWidget {
public:
    explicit TRingPreview(TLabelData& document, QWidget* parent) : QWidget(parent), document_(document)
    {
        setObjectName("RingPreview");
        setFixedSize(PreviewSize, PreviewSize);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        if (document_.FaceCount() == 0) return;
        const TFaceGeometry face = document_.Face(0);
        const double scale = (PreviewSize - 8) / double(MaxPrintedFace);
        const QPointF centre(width() / 2.0, height() / 2.0);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::black);
        painter.setBrush(Qt::white);
        painter.drawEllipse(centre, face.rect.Width() * scale / 2, face.rect.Height() * scale / 2);
        if (HasHole(face.shape)) {
            painter.setBrush(palette().window());
            painter.drawEllipse(centre, face.cutCenterWidth * scale / 2, face.cutCenterHeight * scale / 2);
        }
    }

private:
    TLabelData& document_;
};

}  // namespace

TfrmConfirmPrinter::TfrmConfirmPrinter(QWidget* parent) : QDialog(parent)
{
    setObjectName("frmConfirmPrinter");
    setWindowTitle(ExpandMacro(QStringLiteral("$(AppName)")));
    auto* text = new QLabel(
        QString(DirectPrintRefusedText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), this);
    auto* buttons = new QDialogButtonBox(this);
    const auto add = [this, buttons](const char* caption, TChoice choice, QDialogButtonBox::ButtonRole role) {
        QPushButton* button = buttons->addButton(QString::fromUtf8(caption), role);
        connect(button, &QPushButton::clicked, this, [this, choice] {
            choice_ = choice;
            choice == cpCancel ? reject() : accept();
        });
        return button;
    };
    add("プリンタ設定変更(&S)...", cpChangePrinter, QDialogButtonBox::ActionRole);
    add("印刷(&P)", cpPrintAnyway, QDialogButtonBox::AcceptRole)->setDefault(true);
    add("キャンセル", cpCancel, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
}

TSignedMillimetreBox::TSignedMillimetreBox(QWidget* parent) : QDoubleSpinBox(parent)
{
    setDecimals(1);
    setSingleStep(0.1);
    setSuffix(QStringLiteral(" mm"));
}

QString TSignedMillimetreBox::textFromValue(double value) const
{
    return (value >= 0 ? QStringLiteral("+") : QString()) + QString::number(value, 'f', 1);
}

int TSignedMillimetreBox::Tenths() const
{
    return int(std::lround(value() * 10));
}

void TSignedMillimetreBox::SetTenthsRange(int minimum, int maximum)
{
    const QSignalBlocker quiet(this);
    setRange(minimum / 10.0, std::max(minimum, maximum) / 10.0);
}

TfrmAdjustDiscSize::TfrmAdjustDiscSize(TLabelData& document, const TPapersV2* catalogue, QWidget* parent)
    : QDialog(parent),
      document_(document),
      kept_(ReadRingAdjustment(*document.SheetPaper())),
      outerGroup_(new QGroupBox(QStringLiteral("外円"), this)),
      innerGroup_(new QGroupBox(QStringLiteral("内円"), this)),
      outer_(new TSignedMillimetreBox(outerGroup_)),
      inner_(new TSignedMillimetreBox(innerGroup_)),
      outerSizes_(new QLabel(outerGroup_)),
      innerSizes_(new QLabel(innerGroup_)),
      preview_(new TRingPreview(document, this))
{
    setObjectName("frmAdjustDiscSize");
    setWindowTitle(QStringLiteral("外円・内円のサイズ調整"));
    outer_->setObjectName("Outer");
    inner_->setObjectName("Inner");
    const TPaperInfo& paper = *document.SheetPaper();
    TDirectPrinterInfo data(catalogue);
    data.SelectPrinter(paper.GroupName());
    const std::optional<TRingLimits> limits = data.GetLimits();
    limited_ = limits.has_value();
    boxes_ = RingBoxes(paper, limits, kept_);

    for (auto [group, box, sizes] :
         {std::tuple{outerGroup_, outer_, outerSizes_}, std::tuple{innerGroup_, inner_, innerSizes_}}) {
        auto* form = new QFormLayout(group);
        form->addRow(QStringLiteral("調整(&%1):").arg(group == outerGroup_ ? u'O' : u'I'), box);
        form->addRow(sizes);
    }
    outer_->SetTenthsRange(boxes_.outerMin, boxes_.outerMax);
    inner_->SetTenthsRange(boxes_.innerMin, boxes_.innerMax);
    {
        const QSignalBlocker quietOuter(outer_), quietInner(inner_);
        outer_->setValue(kept_.outer / 10.0);
        inner_->setValue(kept_.inner / 10.0);
    }
    outer_->setEnabled(boxes_.outerEnabled);
    inner_->setEnabled(boxes_.innerEnabled);
    outerGroup_->setVisible(boxes_.outerShown);
    innerGroup_->setVisible(boxes_.innerShown);

    auto* explanation = new QLabel(RingLimitsText(limits.value_or(TRingLimits{})), this);
    explanation->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    auto* groups = new QVBoxLayout;
    groups->addWidget(outerGroup_);
    groups->addWidget(innerGroup_);
    groups->addStretch();
    auto* row = new QHBoxLayout;
    row->addLayout(groups, 1);
    row->addWidget(preview_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(row);
    layout->addWidget(buttons);

    connect(outer_, &QDoubleSpinBox::valueChanged, this, [this] { Write(); });
    connect(inner_, &QDoubleSpinBox::valueChanged, this, [this] { Write(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        accepted_ = true;
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Refresh();
}

TfrmAdjustDiscSize::~TfrmAdjustDiscSize()
{
    if (accepted_) return;
    try {
        WriteRingAdjustment(*document_.SheetPaper(), kept_);
        document_.InvalidateEffectivePaper();
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);
    }
}

void TfrmAdjustDiscSize::Write()
{
    const TRingAdjustment adjustment{inner_->Tenths(), outer_->Tenths()};
    WriteRingAdjustment(*document_.SheetPaper(), adjustment);
    document_.InvalidateEffectivePaper();
    if (limited_) {
        const TRingBoxes boxes = RingBoxes(*document_.SheetPaper(), TRingLimits{}, adjustment);
        inner_->SetTenthsRange(boxes_.innerMin, boxes.innerMax);
        outer_->SetTenthsRange(boxes.outerMin, boxes_.outerMax);
    }
    Refresh();
}

void TfrmAdjustDiscSize::Refresh()
{
    const TRingAdjustment adjustment{inner_->Tenths(), outer_->Tenths()};
    outerSizes_->setText(SizeText("初期値 %1 mm", boxes_.nativeOuter) + u'\n' +
                         SizeText("調整後のサイズ %1 mm", boxes_.nativeOuter + adjustment.outer));
    innerSizes_->setText(SizeText("初期値 %1 mm", boxes_.nativeInner) + u'\n' +
                         SizeText("調整後のサイズ %1 mm", boxes_.nativeInner + adjustment.inner));
    preview_->update();
}

}  // namespace kestrel
