#include "ui/QRSettingsBox.h"

#include <QComboBox>
#include <QFormLayout>
#include <QSpinBox>

#include "codes/LOQRCode.h"

namespace kestrel {

namespace {
const char kLevels[] = "LMQH";
const char* const kLevelCaptions[] = {"L(7%)", "M(15%)", "Q(25%)", "H(30%)"};
}  // namespace

QSpinBox* NewAngleBox(QWidget* parent, int angle)
{
    auto* box = new QSpinBox(parent);
    box->setRange(0, 359);
    box->setWrapping(true);
    box->setSingleStep(90);
    box->setSuffix(QStringLiteral("°"));
    box->setValue(((angle % 360) + 360) % 360);
    return box;
}

TQRSettingsBox::TQRSettingsBox(TLOQRCode& object, std::function<void()> onChange, QWidget* parent)
    : QGroupBox(QStringLiteral("QRコードの設定"), parent), object_(object), onChange_(std::move(onChange))
{
    auto* form = new QFormLayout(this);
    level_ = new QComboBox(this);
    form->addRow(QStringLiteral("誤り訂正レベル"), level_);
    ShowLevel();
    connect(level_, &QComboBox::activated, this, [this] {
        object_.SetErrorCorrectLevel(static_cast<char>(level_->currentData().toInt()));
        onChange_();
    });

    mask_ = new QComboBox(this);
    mask_->addItem(QStringLiteral("自動選択"), -1);
    for (int m = 0; m < 8; ++m) mask_->addItem(QString::number(m), m);
    mask_->setCurrentIndex(object_.AutoMask() ? 0 : object_.MaskNo() + 1);
    form->addRow(QStringLiteral("マスク"), mask_);
    connect(mask_, &QComboBox::activated, this, [this] {
        const int mask = mask_->currentData().toInt();
        object_.SetAutoMask(mask < 0);
        if (mask >= 0) object_.SetMaskNo(mask);
        onChange_();
    });

    margin_ = new QSpinBox(this);
    margin_->setRange(0, 20);
    margin_->setValue(object_.Mergin());
    margin_->setSuffix(QStringLiteral(" モジュール"));
    form->addRow(QStringLiteral("余白"), margin_);
    connect(margin_, &QSpinBox::valueChanged, this, [this](int value) {
        object_.SetMergin(value);
        onChange_();
    });

    angle_ = NewAngleBox(this, object_.Angle());
    form->addRow(QStringLiteral("角度"), angle_);
    connect(angle_, &QSpinBox::valueChanged, this, [this](int value) {
        object_.SetAngle(value);
        onChange_();
    });
}

void TQRSettingsBox::OfferLevelL(bool offer)
{
    if (offer == offerL_) return;
    offerL_ = offer;
    if (!offer && object_.ErrorCorrectLevel() == 'L') object_.SetErrorCorrectLevel('M');
    ShowLevel();
}

void TQRSettingsBox::ShowLevel()
{
    level_->clear();
    for (int i = offerL_ ? 0 : 1; i < 4; ++i) level_->addItem(QString::fromLatin1(kLevelCaptions[i]), int(kLevels[i]));
    level_->setCurrentIndex(std::max(0, level_->findData(int(object_.ErrorCorrectLevel()))));
}

}  // namespace kestrel
