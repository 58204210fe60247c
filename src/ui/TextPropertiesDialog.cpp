#include "ui/TextPropertiesDialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include "app/AppFrame.h"
#include "platform/Canvas.h"
#include "platform/Cp932.h"
#include "platform/FontServices.h"
#include "text/CDDFile.h"
#include "text/LOText.h"

namespace kestrel {

namespace {

const int FontSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 32, 36, 48, 72};
const QSize PreviewSize(200, 100);

// A colour button keeps its colour in its palette's button role.
void ShowColor(QPushButton* button, TColor color)
{
    button->setProperty("kestrelColor", color);
    button->setStyleSheet(QStringLiteral("background-color: %1").arg(ToQColor(color).name()));
}

TColor ButtonColor(const QPushButton* button)
{
    return button->property("kestrelColor").toInt();
}

QPushButton* ColorButton(QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setFixedWidth(48);
    QObject::connect(button, &QPushButton::clicked, parent, [button, parent] {
        const QColor chosen = QColorDialog::getColor(ToQColor(ButtonColor(button)), parent);
        if (chosen.isValid()) ShowColor(button, FromQColor(chosen));
    });
    return button;
}

QSpinBox* Spin(int low, int high, QWidget* parent)
{
    auto* spin = new QSpinBox(parent);
    spin->setRange(low, high);
    return spin;
}

// A solid colour replaces the fill only when the user picked another colour.
void ApplyColor(TColorSpec& spec, TColor color)
{
    if (spec.Kind() == cskSolid && spec.Color() == color) return;
    spec.SetKind(cskSolid);
    spec.SetColor(color);
}

// The first character code page 932 cannot hold, if any.
std::optional<QString> FirstUnstorable(const QString& text)
{
    for (char32_t code : text.toUcs4()) {
        const QString character = QString::fromUcs4(&code, 1);
        if (!CanEncodeCp932(character)) return character;
    }
    return std::nullopt;
}

}  // namespace

TTextPropertiesDialog::TTextPropertiesDialog(TLOText& text, QWidget* parent)
    : QDialog(parent), text_(text), presets_(std::make_unique<TCDDFile>())
{
    setWindowTitle(QStringLiteral("テキストの設定"));
    try {
        presets_->Open(ExpandMacro(QStringLiteral("$(CoonsDistortionData)")));
    } catch (const EKestrel&) {
        presets_->Close();  // no presets to offer; distortion stays as it is
    }
    BuildControls();
    LoadFrom(text);
    UpdatePreview();
}

TTextPropertiesDialog::~TTextPropertiesDialog() = default;

void TTextPropertiesDialog::BuildControls()
{
    auto* form = new QFormLayout;
    lines_ = new QPlainTextEdit(this);
    lines_->setMinimumHeight(90);
    form->addRow(QStringLiteral("テキスト(&T)"), lines_);

    font_ = new QComboBox(this);
    font_->setEditable(true);
    for (const TFaceSubstitute& s : FaceSubstitutes()) font_->addItem(s.storedName);
    for (const TInstalledFont& f : InstalledFonts())
        if (f.outline) font_->addItem(f.family);
    size_ = new QComboBox(this);
    size_->setEditable(true);
    for (int s : FontSizes) size_->addItem(QString::number(s));
    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(font_, 1);
    fontRow->addWidget(size_);
    form->addRow(QStringLiteral("フォント(&F)"), fontRow);

    bold_ = new QCheckBox(QStringLiteral("太字(&B)"), this);
    italic_ = new QCheckBox(QStringLiteral("斜体(&I)"), this);
    underline_ = new QCheckBox(QStringLiteral("下線(&U)"), this);
    strikeOut_ = new QCheckBox(QStringLiteral("取り消し線(&K)"), this);
    textColor_ = ColorButton(this);
    auto* styleRow = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{bold_, italic_, underline_, strikeOut_}) styleRow->addWidget(w);
    styleRow->addWidget(new QLabel(QStringLiteral("色"), this));
    styleRow->addWidget(textColor_);
    form->addRow(QStringLiteral("スタイル"), styleRow);

    align_ = new QComboBox(this);
    align_->addItems({QStringLiteral("左(上)揃え"), QStringLiteral("中央揃え"), QStringLiteral("右(下)揃え"),
                      QStringLiteral("均等割り付け")});
    vertical_ = new QCheckBox(QStringLiteral("縦書き(&V)"), this);
    auto* alignRow = new QHBoxLayout;
    alignRow->addWidget(align_);
    alignRow->addWidget(vertical_);
    form->addRow(QStringLiteral("配置"), alignRow);

    charSpacing_ = Spin(-99, 99, this);
    lineSpacing_ = Spin(-99, 99, this);
    feedAngle_ = new QComboBox(this);
    feedAngle_->addItem(QStringLiteral("まっすぐ"), 0);
    feedAngle_->addItem(QStringLiteral("右へずらす"), -45);
    feedAngle_->addItem(QStringLiteral("左へずらす"), 45);
    auto* spacingRow = new QHBoxLayout;
    spacingRow->addWidget(new QLabel(QStringLiteral("文字"), this));
    spacingRow->addWidget(charSpacing_);
    spacingRow->addWidget(new QLabel(QStringLiteral("行"), this));
    spacingRow->addWidget(lineSpacing_);
    spacingRow->addWidget(feedAngle_);
    form->addRow(QStringLiteral("間隔"), spacingRow);

    bulge_ = Spin(-4000, 4000, this);
    form->addRow(QStringLiteral("円弧のふくらみ(&A)"), bulge_);

    distort_ = new QCheckBox(QStringLiteral("変形する"), this);
    preset_ = new QComboBox(this);
    for (int i = 0; i < presets_->Count(); ++i) preset_->addItem(presets_->Name(i));
    ratio_ = Spin(0, 100, this);
    preview_ = new QLabel(this);
    preview_->setFixedSize(PreviewSize);
    preview_->setFrameShape(QFrame::Box);
    auto* distortRow = new QHBoxLayout;
    distortRow->addWidget(distort_);
    distortRow->addWidget(preset_, 1);
    distortRow->addWidget(new QLabel(QStringLiteral("変形量(&D)"), this));
    distortRow->addWidget(ratio_);
    form->addRow(QStringLiteral("変形"), distortRow);
    form->addRow(QString(), preview_);
    distort_->setEnabled(presets_->Count() > 0);
    connect(distort_, &QCheckBox::toggled, this, [this] { UpdatePreview(); });
    connect(preset_, &QComboBox::currentIndexChanged, this, [this] { UpdatePreview(); });
    connect(ratio_, &QSpinBox::valueChanged, this, [this] { UpdatePreview(); });

    outline_ = new QCheckBox(QStringLiteral("縁取り(&O)"), this);
    outlineWidth_ = Spin(0, 100, this);
    outlineColor_ = ColorButton(this);
    auto* outlineRow = new QHBoxLayout;
    outlineRow->addWidget(outline_);
    outlineRow->addWidget(outlineWidth_);
    outlineRow->addWidget(outlineColor_);
    form->addRow(QStringLiteral("縁取り"), outlineRow);

    shadow_ = new QComboBox(this);
    shadow_->addItems({QStringLiteral("なし"), QStringLiteral("左上"), QStringLiteral("上"), QStringLiteral("右上"),
                       QStringLiteral("左"), QStringLiteral("右"), QStringLiteral("左下"), QStringLiteral("下"),
                       QStringLiteral("右下")});
    shadowColor_ = ColorButton(this);
    auto* shadowRow = new QHBoxLayout;
    shadowRow->addWidget(shadow_, 1);
    shadowRow->addWidget(shadowColor_);
    form->addRow(QStringLiteral("影(&S)"), shadowRow);

    hanToZen_ = new QCheckBox(QStringLiteral("半角を全角に変換(&Z)"), this);
    minusExc_ = new QCheckBox(QStringLiteral("マイナス記号を除く(&M)"), this);
    numToKnj_ = new QCheckBox(QStringLiteral("全角数字を漢数字に変換(&N)"), this);
    auto* convertRow = new QHBoxLayout;
    convertRow->addWidget(hanToZen_);
    convertRow->addWidget(minusExc_);
    convertRow->addWidget(numToKnj_);
    form->addRow(QStringLiteral("表示"), convertRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void TTextPropertiesDialog::LoadFrom(const TLOText& text)
{
    lines_->setPlainText(text.Text().join(u'\n'));
    font_->setCurrentText(text.Font().Name());
    size_->setCurrentText(QString::number(text.Font().Size()));
    bold_->setChecked(text.Font().HasStyle(fsBold));
    italic_->setChecked(text.Font().HasStyle(fsItalic));
    underline_->setChecked(text.Font().HasStyle(fsUnderline));
    strikeOut_->setChecked(text.Font().HasStyle(fsStrikeOut));
    ShowColor(textColor_, text.TextColor().Color());
    align_->setCurrentIndex(std::clamp(text.Align(), 0, 3));
    vertical_->setChecked(text.Vertical());
    charSpacing_->setValue(text.CharSpacing());
    lineSpacing_->setValue(text.LineSpacing());
    feedAngle_->setCurrentIndex(std::max(0, feedAngle_->findData(text.FeedAngle())));
    bulge_->setValue(text.Bulge());
    const int preset = text.CoonsDistortion().IsEmpty() ? -1 : presets_->IndexOf(text.CoonsDistortion());
    distort_->setChecked(!text.CoonsDistortion().IsEmpty());
    if (preset >= 0) preset_->setCurrentIndex(preset);
    ratio_->setValue(text.DistortionRatio());
    outline_->setChecked(text.Outline());
    outlineWidth_->setValue(text.OutLineWidth());
    ShowColor(outlineColor_, text.OutlineColor().Color());
    shadow_->setCurrentIndex(text.Shadow() < shadow_->count() ? text.Shadow() : 0);
    ShowColor(shadowColor_, text.ShadowColor().Color());
    hanToZen_->setChecked(text.HanToZen());
    minusExc_->setChecked(text.MinusExc());
    numToKnj_->setChecked(text.NumToKnj());
}

TCoonsDistortion TTextPropertiesDialog::ChosenDistortion() const
{
    TCoonsDistortion chosen;
    if (!distort_->isChecked()) return chosen;
    // The object's own distortion stays when it is no shipped preset and the choice is unchanged.
    const int stored = presets_->IndexOf(text_.CoonsDistortion());
    if (!text_.CoonsDistortion().IsEmpty() && (stored < 0 ? preset_->currentIndex() < 0 : stored == preset_->currentIndex()))
        chosen.Assign(text_.CoonsDistortion());
    else if (preset_->currentIndex() >= 0)
        presets_->Load(chosen, preset_->currentIndex());
    return chosen;
}

void TTextPropertiesDialog::ApplyTo(TLOText& text) const
{
    text.SetText(lines_->toPlainText().isEmpty() ? QStringList() : lines_->toPlainText().split(u'\n'));
    TPointBasedFont& font = text.EditFont();
    font.SetName(font_->currentText());
    bool sizeOk = false;
    const int size = size_->currentText().toInt(&sizeOk);
    if (sizeOk && size > 0) font.SetSize(size);
    font.SetStyleFlag(fsBold, bold_->isChecked());
    font.SetStyleFlag(fsItalic, italic_->isChecked());
    font.SetStyleFlag(fsUnderline, underline_->isChecked());
    font.SetStyleFlag(fsStrikeOut, strikeOut_->isChecked());
    ApplyColor(text.EditTextColor(), ButtonColor(textColor_));
    text.SetAlign(align_->currentIndex());
    text.SetVertical(vertical_->isChecked());
    text.SetCharSpacing(charSpacing_->value());
    text.SetLineSpacing(lineSpacing_->value());
    text.SetFeedAngle(feedAngle_->currentData().toInt());
    text.SetBulge(bulge_->value());
    text.SetCoonsDistortion(ChosenDistortion());
    text.SetDistortionRatio(ratio_->value());
    text.SetOutline(outline_->isChecked());
    text.SetOutLineWidth(outlineWidth_->value());
    ApplyColor(text.EditOutlineColor(), ButtonColor(outlineColor_));
    text.SetShadow(shadow_->currentIndex());
    ApplyColor(text.EditShadowColor(), ButtonColor(shadowColor_));
    text.SetHanToZen(hanToZen_->isChecked());
    text.SetMinusExc(minusExc_->isChecked());
    text.SetNumToKnj(numToKnj_->isChecked());
}

void TTextPropertiesDialog::UpdatePreview()
{
    preset_->setEnabled(distort_->isChecked());
    ratio_->setEnabled(distort_->isChecked());
    QImage image(PreviewSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    try {
        TLOText sample;
        sample.SetText({QStringLiteral("Aあ")});
        sample.SetBounds({10, 10, PreviewSize.width() - 10, PreviewSize.height() - 10});
        sample.SetCoonsDistortion(ChosenDistortion());
        sample.SetDistortionRatio(ratio_->value());
        TCanvas canvas(image);
        canvas.SetFontResolution(LogicalUnitsPerInch);
        sample.Paint(canvas);
    } catch (const EKestrel&) {
        // A damaged preset shows an empty preview; choosing it reports the error.
    }
    preview_->setPixmap(QPixmap::fromImage(image));
}

void TTextPropertiesDialog::accept()
{
    // What is saved must be what is shown: refuse characters the documents cannot hold.
    if (const auto bad = FirstUnstorable(lines_->toPlainText() + font_->currentText())) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("「%1」は保存できない文字です。別の文字に置き換えてください。").arg(*bad));
        return;
    }
    try {
        ApplyTo(text_);
    } catch (const EKestrel& e) {
        QMessageBox::warning(this, windowTitle(), e.Message());
        return;
    }
    QDialog::accept();
}

bool TTextPropertiesDialog::Edit(QWidget* parent, TDrawObject& object)
{
    auto* text = dynamic_cast<TLOText*>(&object);
    if (!text) return false;
    TTextPropertiesDialog dialog(*text, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace kestrel
