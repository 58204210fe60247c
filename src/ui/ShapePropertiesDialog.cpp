#include "ui/ShapePropertiesDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <memory>

#include "objects/DecoLinePatterns.h"
#include "objects/LOAlphaMask.h"
#include "objects/LODecoLine.h"
#include "objects/LOLine.h"
#include "objects/LORect.h"
#include "platform/Rounding.h"
#include "render/PictureEx.h"
#include "ui/ColorSpecEditor.h"
#include "ui/PicturePropertiesDialog.h"

namespace kestrel {

namespace {
constexpr int UnitsPerMillimetre = 10;
constexpr double MaxLength = 1000;  // millimetres
constexpr int PatternPreviewScale = 2;
constexpr int ShadePreviewSide = 120;
constexpr int MaxShadeSize = 500;  // pixels of the picture

QDoubleSpinBox* LengthBox(QWidget* parent, int units, double minimum)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setDecimals(1);
    box->setSingleStep(0.1);
    box->setRange(minimum, MaxLength);
    box->setSuffix(QStringLiteral(" mm"));
    box->setValue(double(units) / UnitsPerMillimetre);
    return box;
}

int Units(const QDoubleSpinBox& box)
{
    return int(RoundHalfAway(box.value() * UnitsPerMillimetre));
}

QSpinBox* IntBox(QWidget* parent, int value, int minimum, int maximum, const QString& suffix)
{
    auto* box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setSuffix(suffix);
    box->setValue(value);
    return box;
}
}  // namespace

TShapePropertiesDialog* TShapePropertiesDialog::Create(TDrawObject& object, QWidget* parent)
{
    auto* line = dynamic_cast<TLOLine*>(&object);
    auto* rect = dynamic_cast<TLORect*>(&object);
    auto* shade = dynamic_cast<TLOAlphaMask*>(&object);
    if (!line && !rect && !shade) return nullptr;
    return new TShapePropertiesDialog(object, line, rect, shade, parent);
}

TShapePropertiesDialog::~TShapePropertiesDialog() = default;

TShapePropertiesDialog::TShapePropertiesDialog(TDrawObject& object, TLOLine* line, TLORect* rect,
                                               TLOAlphaMask* shade, QWidget* parent)
    : QDialog(parent),
      object_(object),
      line_(line),
      rect_(rect),
      curve_(dynamic_cast<TLOCurve*>(line)),
      decoLine_(dynamic_cast<TLODecoLine*>(line)),
      shade_(shade),
      chosenPicture_(std::make_unique<TPictureEx>())
{
    setObjectName("dlgShapeProperties");
    setWindowTitle(QStringLiteral("図形の設定"));
    auto* layout = new QVBoxLayout(this);
    if (decoLine_) BuildPatternRows();
    if (line) BuildLineRows(*line);
    if (rect) BuildRectRows(*rect);
    if (shade) BuildShadeRows(*shade);

    auto* blendable = dynamic_cast<IBlendable*>(&object);
    auto* common = new QFormLayout;
    common->addRow(QStringLiteral("角度"), angle_);
    if (bulge_) common->addRow(QStringLiteral("ふくらみ"), bulge_);
    opacity_ = IntBox(this, blendable ? blendable->BlendRatio() : 100, 0, 100, QStringLiteral(" %"));
    common->addRow(QStringLiteral("不透明度"), opacity_);
    layout->addLayout(common);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // A new decorated line is nothing without a pattern.
    if (decoLine_ && decoLine_->Image().isNull()) {
        QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
        ok->setEnabled(false);
        connect(patterns_, &QListWidget::currentItemChanged, ok,
                [ok](QListWidgetItem* item) { ok->setEnabled(item); });
    }
    // Nor is a new shade shape without a picture.
    if (shade_ && !shade_->Picture().HasGraphic()) buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
}

void TShapePropertiesDialog::BuildLineRows(TLOLine& line)
{
    lineColor_ = new TColorSpecEditor(QStringLiteral("線の色"), line.LineColor(), this);
    width_ = LengthBox(this, line.LineWidth(), 0);
    angle_ = IntBox(this, line.Angle(), -180, 180, QStringLiteral("°"));
    if (curve_) bulge_ = LengthBox(this, curve_->Bulge(), -MaxLength);
    auto* rows = new QFormLayout;
    rows->addRow(QStringLiteral("線の太さ"), width_);
    // A decorated line is painted with its pattern only.
    static_cast<QVBoxLayout*>(layout())->addWidget(lineColor_);
    lineColor_->setVisible(!decoLine_);
    static_cast<QVBoxLayout*>(layout())->addLayout(rows);
}

void TShapePropertiesDialog::BuildPatternRows()
{
    patterns_ = new QListWidget(this);
    patterns_->setViewMode(QListView::IconMode);
    patterns_->setMovement(QListView::Static);
    patterns_->setResizeMode(QListView::Adjust);
    for (const QString& file : DecoLinePatternFiles()) {
        const QImage pattern(file);
        if (pattern.isNull()) continue;
        auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(pattern)), QString(), patterns_);
        item->setData(Qt::UserRole, file);
        item->setToolTip(QFileInfo(file).completeBaseName());
        patterns_->setIconSize(pattern.size() * PatternPreviewScale);
    }
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    layout->addWidget(new QLabel(QStringLiteral("模様"), this));
    if (patterns_->count() == 0)
        layout->addWidget(new QLabel(QStringLiteral("「飾り罫線データ」が見つかりません"), this));
    layout->addWidget(patterns_);
}

void TShapePropertiesDialog::ApplyPattern(TLODecoLine& line) const
{
    const QListWidgetItem* chosen = patterns_->currentItem();
    if (!chosen) return;
    const QImage pattern(chosen->data(Qt::UserRole).toString());
    if (pattern.isNull()) return;
    const bool isNew = line.Image().isNull();
    line.SetImage(pattern);
    if (isNew) line.ApplyPatternDefaults();
}

void TShapePropertiesDialog::BuildRectRows(TLORect& rect)
{
    lineColor_ = new TColorSpecEditor(QStringLiteral("枠の色"), rect.FrameColor(), this);
    fillColor_ = new TColorSpecEditor(QStringLiteral("塗りの色"), rect.FillColor(), this);
    width_ = LengthBox(this, rect.FrameWidth(), 0);
    angle_ = IntBox(this, rect.Angle(), -360, 360, QStringLiteral("°"));
    fillInside_ = new QCheckBox(QStringLiteral("内側を塗る"), this);
    fillInside_->setChecked(rect.FillInside());
    auto* rows = new QFormLayout;
    rows->addRow(QStringLiteral("枠の太さ"), width_);
    rows->addRow(fillInside_);
    if (!dynamic_cast<TLOCircle*>(&rect)) {
        roundRect_ = new QCheckBox(QStringLiteral("角を丸くする"), this);
        roundRect_->setChecked(rect.RoundRect());
        rows->addRow(roundRect_);
    }
    auto* colours = new QHBoxLayout;
    colours->addWidget(lineColor_);
    colours->addWidget(fillColor_);
    static_cast<QVBoxLayout*>(layout())->addLayout(colours);
    static_cast<QVBoxLayout*>(layout())->addLayout(rows);
}

void TShapePropertiesDialog::BuildShadeRows(TLOAlphaMask& shade)
{
    fillColor_ = new TColorSpecEditor(QStringLiteral("塗りの色"), shade.FillColor(), this);
    angle_ = IntBox(this, shade.Angle(), -360, 360, QStringLiteral("°"));
    shadeSize_ = IntBox(this, shade.ShadeSize(), 0, MaxShadeSize, QStringLiteral(" ピクセル"));
    shadePreview_ = new QLabel(this);
    shadePreview_->setFixedSize(ShadePreviewSide, ShadePreviewSide);
    shadePreview_->setAlignment(Qt::AlignCenter);
    shadePreview_->setStyleSheet(QStringLiteral("background-color: black"));
    ShowShadePicture(shade.Picture());
    auto* choose = new QPushButton(QStringLiteral("図形選択..."), this);
    connect(choose, &QPushButton::clicked, this, [this] { ChooseShadePicture(); });

    auto* picture = new QHBoxLayout;
    picture->addWidget(shadePreview_);
    picture->addWidget(choose, 0, Qt::AlignTop);
    auto* rows = new QFormLayout;
    rows->addRow(QStringLiteral("図形"), picture);
    rows->addRow(QStringLiteral("ぼかしの大きさ"), shadeSize_);
    static_cast<QVBoxLayout*>(layout())->addLayout(rows);
    static_cast<QVBoxLayout*>(layout())->addWidget(fillColor_);
}

void TShapePropertiesDialog::ShowShadePicture(const TPictureEx& picture)
{
    const QImage& image = picture.Image();
    if (image.isNull()) return shadePreview_->setText(QStringLiteral("(なし)"));
    shadePreview_->setPixmap(QPixmap::fromImage(
        image.scaled(shadePreview_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void TShapePropertiesDialog::ChooseShadePicture()
{
    if (!ChoosePictureFile(this, *chosenPicture_)) return;
    // The document keeps the picture itself, not where it lay among the user's files.
    chosenPicture_->SetImageID({});
    ShowShadePicture(*chosenPicture_);
    findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->setEnabled(true);
}

void TShapePropertiesDialog::ApplyShade(TLOAlphaMask& shade) const
{
    fillColor_->ApplyTo(shade.FillColor());
    shade.SetShadeSize(shadeSize_->value());
    shade.SetAngle(angle_->value());
    if (!chosenPicture_->HasGraphic()) return;
    // A first picture brings its natural size; a replaced one keeps the shape's place.
    const bool fitted = shade.Picture().HasGraphic();
    shade.Picture().Assign(*chosenPicture_);
    shade.ResetSize(fitted);
}

void TShapePropertiesDialog::Apply()
{
    if (auto* blendable = dynamic_cast<IBlendable*>(&object_)) blendable->SetBlendRatio(opacity_->value());
    if (line_) {
        lineColor_->ApplyTo(line_->LineColor());
        line_->SetLineWidth(Units(*width_));
        if (curve_) curve_->SetBulge(Units(*bulge_));
        line_->SetAngle(angle_->value());
        if (decoLine_) ApplyPattern(*decoLine_);
    }
    if (rect_) {
        lineColor_->ApplyTo(rect_->FrameColor());
        fillColor_->ApplyTo(rect_->FillColor());
        rect_->SetFrameWidth(Units(*width_));
        rect_->SetFillInside(fillInside_->isChecked());
        if (roundRect_) rect_->SetRoundRect(roundRect_->isChecked());
        rect_->SetAngle(angle_->value());
    }
    if (shade_) ApplyShade(*shade_);
}

bool EditShapeProperties(QWidget* parent, TDrawObject& object)
{
    std::unique_ptr<TShapePropertiesDialog> dialog(TShapePropertiesDialog::Create(object, parent));
    if (!dialog || dialog->exec() != QDialog::Accepted) return false;
    dialog->Apply();
    return true;
}

}  // namespace kestrel
