#include "ui/RetouchDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/AppFrame.h"
#include "document/DOList.h"
#include "document/ObjectSite.h"
#include "edit/StageActions.h"
#include "objects/PictureObject.h"
#include "ui/DialogButtons.h"
#include "ui/PicturePropertiesDialog.h"

namespace kestrel {

namespace {
constexpr int PreviewSide = 320;
constexpr int QuarterTurn = 90;
constexpr int FullTurn = 360;
}  // namespace

TRetouchDialog::TRetouchDialog(const TLOImage& image, QWidget* parent)
    : QDialog(parent),
      copy_(dynamic_cast<TLOImage*>(CloneObject(image).release())),
      tintBeforeGrey_(image.ImageData().MonotoneFilter().RefColor())
{
    setWindowTitle(QStringLiteral("画像レタッチ"));
    preview_ = new QLabel(this);
    preview_->setObjectName("RetouchPreview");
    preview_->setFixedSize(PreviewSide, PreviewSide);
    preview_->setAlignment(Qt::AlignCenter);
    auto* controls = new QVBoxLayout;
    controls->addWidget(EffectControls());
    controls->addWidget(TurnButtons());
    controls->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(preview_);
    body->addLayout(controls, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(OkCancelButtons(this));
    ShowPreview();
}

TRetouchDialog::~TRetouchDialog() = default;

QWidget* TRetouchDialog::EffectControls()
{
    auto* box = new QWidget(this);
    auto* form = new QFormLayout(box);
    const TImageData& data = copy_->ImageData();
    auto* brightnessSlider = new QSlider(Qt::Horizontal, box);
    brightness_ = new QSpinBox(box);
    QWidget* brightnessRow = PairEffectControls(brightnessSlider, brightness_);
    brightness_->setValue(data.LightFilter().Brightness());
    form->addRow(BuddyLabel(QStringLiteral("明るさ(&L)"), brightness_, box), brightnessRow);
    auto* contrastSlider = new QSlider(Qt::Horizontal, box);
    contrast_ = new QSpinBox(box);
    QWidget* contrastRow = PairEffectControls(contrastSlider, contrast_);
    contrast_->setValue(data.LightFilter().Contrast());
    form->addRow(BuddyLabel(QStringLiteral("コントラスト(&C)"), contrast_, box), contrastRow);
    grey_ = new QCheckBox(QStringLiteral("白黒(&G)"), box);
    grey_->setChecked(MonotoneChoiceOf(data.MonotoneFilter().RefColor()) == mcGrey);
    form->addRow(grey_);
    connect(brightness_, &QSpinBox::valueChanged, this, [this] { Apply(); });
    connect(contrast_, &QSpinBox::valueChanged, this, [this] { Apply(); });
    connect(grey_, &QCheckBox::toggled, this, [this] { Apply(); });
    return box;
}

QWidget* TRetouchDialog::TurnButtons()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto add = [&](const QString& caption, void (TRetouchDialog::*step)()) {
        QPushButton* button = CommandButton(caption, row);
        connect(button, &QPushButton::clicked, this, [this, step] { (this->*step)(); });
        layout->addWidget(button);
    };
    add(QStringLiteral("左へ90°回転"), &TRetouchDialog::TurnLeft);
    add(QStringLiteral("右へ90°回転"), &TRetouchDialog::TurnRight);
    add(QStringLiteral("左右反転"), &TRetouchDialog::Mirror);
    return row;
}

void TRetouchDialog::TurnRight()
{
    Turn(QuarterTurn);
}

void TRetouchDialog::TurnLeft()
{
    Turn(FullTurn - QuarterTurn);
}

void TRetouchDialog::Turn(int degrees)
{
    copy_->SetAngle((copy_->Angle() + degrees) % FullTurn);
    ShowPreview();
}

void TRetouchDialog::Mirror()
{
    MirrorPicture(*copy_);
    ShowPreview();
}

void TRetouchDialog::Apply()
{
    TImageData& data = copy_->ImageData();
    data.LightFilter().SetBrightness(brightness_->value());
    data.LightFilter().SetContrast(contrast_->value());
    const bool wasGrey = MonotoneChoiceOf(tintBeforeGrey_) == mcGrey;
    data.MonotoneFilter().SetRefColor(grey_->isChecked() ? clWhite : wasGrey ? clNone : tintBeforeGrey_);
    ShowPreview();
}

void TRetouchDialog::ShowPreview()
{
    const QImage& shown = copy_->ComposedImage();
    preview_->setPixmap(shown.isNull() ? QPixmap()
                                       : QPixmap::fromImage(shown.scaled(PreviewSide, PreviewSide, Qt::KeepAspectRatio,
                                                                         Qt::SmoothTransformation)));
}

bool TRetouchDialog::Run(QWidget* parent, TObjectSite& site)
{
    TLOImage* image = PictureToRetouch(site);
    if (!image || image->ImageData().IsEmpty()) {
        TAppFrame::ShowOkMessage(QStringLiteral("レタッチするイメージがありません。先にイメージを置いてください"), {});
        return false;
    }
    TRetouchDialog dialog(*image, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    ApplyRetouch(*image, dialog.Retouched());
    return true;
}

}  // namespace kestrel
