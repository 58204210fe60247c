#include "ui/ColorSpecEditor.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "ui/PicturePropertiesDialog.h"

namespace kestrel {

namespace {
constexpr int SwatchSize = 16;
constexpr int PicturePreviewSide = 64;

const char* const GradationKindNames[] = {"直線",        "四角 (外へ)",   "四角 (中心へ)", "円 (外へ)",
                                          "円 (中心へ)", "円錐 (右回り)", "円錐 (左回り)"};
}  // namespace

TColorButton::TColorButton(TColor colour, QWidget* parent) : QPushButton(parent)
{
    SetColour(colour);
    connect(this, &QPushButton::clicked, this, [this] { Pick(); });
}

void TColorButton::SetColour(TColor colour)
{
    colour_ = colour;
    QPixmap swatch(SwatchSize, SwatchSize);
    swatch.fill(ToQColor(colour));
    setIcon(swatch);
    setText(ToQColor(colour).name().toUpper());
}

void TColorButton::Pick()
{
    const QColor chosen = QColorDialog::getColor(ToQColor(colour_), this, QStringLiteral("色の選択"));
    if (chosen.isValid()) SetColour(FromQColor(chosen));
}

TColorSpecEditor::TColorSpecEditor(const QString& title, const TColorSpec& spec, QWidget* parent)
    : QGroupBox(title, parent),
      kind_(new QComboBox(this)),
      solid_(new TColorButton(spec.Color(), this)),
      picture_(new QLabel(this)),
      tile_(new QCheckBox(QStringLiteral("並べて敷き詰める"), this)),
      tileShift_(new QCheckBox(QStringLiteral("一段おきに半分ずらす"), this)),
      first_(new TColorButton(spec.GradColors().Count() ? spec.GradColors().Stop(0) : clWhite, this)),
      last_(new TColorButton(spec.GradColors().Count() ? spec.GradColors().Stop(spec.GradColors().Count() - 1)
                                                       : clBlack,
                             this)),
      gradKind_(new QComboBox(this)),
      gradAngle_(new QSpinBox(this))
{
    original_.Assign(spec);
    kind_->addItem(QStringLiteral("単色"), cskSolid);
    kind_->addItem(QStringLiteral("画像"), cskBitmap);
    kind_->addItem(QStringLiteral("グラデーション"), cskGradation);
    kind_->setCurrentIndex(kind_->findData(spec.Kind()));
    for (const char* name : GradationKindNames) gradKind_->addItem(QString::fromUtf8(name));
    gradKind_->setCurrentIndex(spec.GradKind());
    gradAngle_->setRange(0, 359);
    gradAngle_->setWrapping(true);
    gradAngle_->setSuffix(QStringLiteral("°"));
    gradAngle_->setValue(((spec.GradAngle() % 360) + 360) % 360);

    tile_->setChecked(spec.Tile());
    tileShift_->setChecked(spec.TileShift());
    tileShift_->setEnabled(spec.Tile());
    connect(tile_, &QCheckBox::toggled, tileShift_, &QWidget::setEnabled);

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("種類"), kind_);
    form->addRow(QStringLiteral("色"), solid_);
    form->addRow(QStringLiteral("画像"), PictureRow());
    form->addRow(tile_);
    form->addRow(tileShift_);
    form->addRow(QStringLiteral("始めの色"), first_);
    form->addRow(QStringLiteral("終わりの色"), last_);
    form->addRow(QStringLiteral("グラデーション"), gradKind_);
    form->addRow(QStringLiteral("方向"), gradAngle_);
    connect(kind_, &QComboBox::currentIndexChanged, this, [this] { ShowKind(); });
    ShowKind();
}

QWidget* TColorSpecEditor::PictureRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    picture_->setFixedSize(PicturePreviewSide, PicturePreviewSide);
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setFrameShape(QFrame::Box);
    auto* choose = new QPushButton(QStringLiteral("画像の選択..."), row);
    connect(choose, &QPushButton::clicked, this, [this] { ChoosePicture(); });
    layout->addWidget(picture_);
    layout->addWidget(choose, 0, Qt::AlignTop);
    ShowPicture();
    return row;
}

void TColorSpecEditor::ChoosePicture()
{
    if (ChoosePictureFile(this, Picture())) ShowPicture();
}

void TColorSpecEditor::SetLibraryPicture(const QString& file, bool tile)
{
    Picture().LoadFromFile(file);
    kind_->setCurrentIndex(kind_->findData(cskBitmap));
    tile_->setChecked(tile);
    ShowPicture();
}

void TColorSpecEditor::ShowPicture()
{
    const QImage& image = original_.Picture();
    if (image.isNull()) return picture_->setText(QStringLiteral("(なし)"));
    picture_->setPixmap(QPixmap::fromImage(image.scaled(picture_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void TColorSpecEditor::ShowKind()
{
    const auto kind = TColorSpecKind(kind_->currentData().toInt());
    auto* form = static_cast<QFormLayout*>(layout());
    form->setRowVisible(solid_, kind == cskSolid);
    for (QWidget* w : std::initializer_list<QWidget*>{picture_->parentWidget(), tile_, tileShift_})
        form->setRowVisible(w, kind == cskBitmap);
    for (QWidget* w : std::initializer_list<QWidget*>{first_, last_, gradKind_, gradAngle_})
        form->setRowVisible(w, kind == cskGradation);
}

void TColorSpecEditor::ApplyTo(TColorSpec& spec) const
{
    TUpdateScope batch(spec.Notify());
    spec.Assign(original_);
    const auto kind = TColorSpecKind(kind_->currentData().toInt());
    spec.SetKind(kind);
    if (kind == cskBitmap) {
        spec.SetTile(tile_->isChecked());
        spec.SetTileShift(tile_->isChecked() && tileShift_->isChecked());
        return;
    }
    spec.ImageData().Picture().Clear();
    if (kind == cskSolid) {
        spec.SetColor(solid_->Colour());
        return;
    }
    TGradationColors& stops = spec.GradColors();
    if (stops.Count() < 2) stops.SetCount(2);
    stops.SetStop(0, first_->Colour());
    stops.SetStop(stops.Count() - 1, last_->Colour());
    spec.SetGradKind(rgGradationKind(gradKind_->currentIndex()));
    spec.SetGradAngle(gradAngle_->value());
}

}  // namespace kestrel
