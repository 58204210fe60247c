#include "ui/TextPropertiesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <algorithm>

#include "app/AppFrame.h"
#include "music/LabelMusic.h"
#include "music/MusicInfo.h"
#include "paper/ProductInfo.h"
#include "platform/Canvas.h"
#include "platform/Cp932.h"
#include "platform/FontServices.h"
#include "text/CDDFile.h"
#include "text/LOText.h"
#include "text/ShadeText.h"
#include "ui/AlbumDataDialog.h"
#include "ui/ColorSpecEditor.h"
#include "ui/DialogButtons.h"

namespace kestrel {

namespace {

const int FontSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 32, 36, 48, 72};
const QSize PreviewSize(200, 100);

QSpinBox* Spin(int low, int high, QWidget* parent)
{
    auto* spin = new QSpinBox(parent);
    spin->setRange(low, high);
    return spin;
}

// A stored value beyond the range offered is shown as it is, never cut to the range.
void ShowValue(QSpinBox& spin, int value)
{
    spin.setRange(std::min(spin.minimum(), value), std::max(spin.maximum(), value));
    spin.setValue(value);
}

// Selects the item holding the value, adding one captioned for a value the choice does not offer.
void ShowChoice(QComboBox& box, int value, const QString& otherCaption)
{
    if (box.findData(value) < 0) box.addItem(otherCaption, value);
    box.setCurrentIndex(box.findData(value));
}

const TSpacingPreset CharSpacingPresets[] = {
    {u"もっと狭く", -4}, {u"狭く", -2}, {u"普通", 0}, {u"広く", 10}, {u"もっと広く", 20}};
const TSpacingPreset LineSpacingPresets[] = {
    {u"もっと狭く", -20}, {u"狭く", -10}, {u"普通", 0}, {u"広く", 10}, {u"もっと広く", 20}};
constexpr int SpacingDetailLimit = 99;

// The information sets a text can show, in the order of the choice after free input.
const TFieldType FieldSets[] = {ftProduct, ftCreatorJapanese, ftCreatorEnglish};

// The captions of a set's items, as a new record of that set has them.
QStringList FieldCaptions(TFieldType set)
{
    TProductInfo record;
    if (set != ftProduct) record.ApplyCreatorCaptions();
    QStringList captions;
    for (int i = 0; i < record.Items().Count(); ++i) captions << record.Items().Item(i).FieldName();
    return captions;
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

TSpacingChooser::TSpacingChooser(std::span<const TSpacingPreset> presets, QWidget* parent)
    : QWidget(parent), presets_(presets.begin(), presets.end()), preset_(new QComboBox(this)),
      detail_(Spin(-SpacingDetailLimit, SpacingDetailLimit, this))
{
    for (const TSpacingPreset& p : presets_) preset_->addItem(QString::fromUtf16(p.caption));
    preset_->addItem(QStringLiteral("詳細設定"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(preset_);
    row->addWidget(detail_);
    connect(preset_, &QComboBox::currentIndexChanged, this, [this](int index) {
        const bool detailed = index >= int(presets_.size());
        detail_->setEnabled(detailed);
        if (!detailed) detail_->setValue(presets_[index].value);
    });
}

int TSpacingChooser::Value() const
{
    const int index = preset_->currentIndex();
    return index < int(presets_.size()) ? presets_[index].value : detail_->value();
}

void TSpacingChooser::SetValue(int value)
{
    // A stored value beyond the detail range is shown as it is, never cut to the range.
    detail_->setRange(std::min(-SpacingDetailLimit, value), std::max(SpacingDetailLimit, value));
    const auto preset = std::find_if(presets_.begin(), presets_.end(), [value](const TSpacingPreset& p) { return p.value == value; });
    preset_->setCurrentIndex(int(preset - presets_.begin()));
    detail_->setEnabled(preset == presets_.end());
    detail_->setValue(value);
}

std::span<const TNamedChoice> TextAlignChoices()
{
    static constexpr TNamedChoice choices[] = {{u"左(上)揃え", 0}, {u"中央揃え", 1}, {u"右(下)揃え", 2}, {u"均等割り付け", 3}};
    return choices;
}

std::span<const TNamedChoice> FeedAngleChoices()
{
    static constexpr TNamedChoice choices[] = {{u"まっすぐ", 0}, {u"右へずらす", -45}, {u"左へずらす", 45}};
    return choices;
}

TFontChooser::TFontChooser(QWidget* parent) : QWidget(parent), face_(new QComboBox(this)), size_(new QComboBox(this))
{
    face_->setEditable(true);
    for (const TFaceSubstitute& s : FaceSubstitutes()) face_->addItem(s.storedName);
    for (const TInstalledFont& f : InstalledFonts())
        if (f.outline) face_->addItem(f.family);
    size_->setEditable(true);
    for (int s : FontSizes) size_->addItem(QString::number(s));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(face_, 1);
    row->addWidget(size_);
}

void TFontChooser::Load(const TPointBasedFont& font)
{
    face_->setCurrentText(font.Name());
    size_->setCurrentText(QString::number(font.Size()));
}

void TFontChooser::ApplyTo(TPointBasedFont& font) const
{
    font.SetName(face_->currentText());
    bool sizeOk = false;
    const int size = size_->currentText().toInt(&sizeOk);
    if (sizeOk && size > 0) font.SetSize(size);
}

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

void TTextPropertiesDialog::InsertAlbum()
{
    TAlbumInfo album;
    QStringList lines;
    if (TfrmAlbumData::Run(this, TfrmAlbumData::TPurpose::InsertLines, album, lines)) lines_->setPlainText(lines.join(u'\n'));
}

void TTextPropertiesDialog::InsertFolder()
{
    const bool noNameParsing = QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
    const QString folder = chooseFolder ? chooseFolder() : QFileDialog::getExistingDirectory(this, windowTitle());
    if (folder.isEmpty()) return;
    TAlbumInfo album;
    MusicToAlbum(ReadFolder(folder, noNameParsing), album);
    lines_->setPlainText(MusicLines(album).join(u'\n'));
}

void TTextPropertiesDialog::BuildControls()
{
    auto* form = new QFormLayout;
    lines_ = new QPlainTextEdit(this);
    lines_->setMinimumHeight(90);
    form->addRow(QStringLiteral("テキスト(&T)"), lines_);
    auto* albums = CommandButton(QStringLiteral("アルバム情報(&M)..."), this);
    auto* folder = CommandButton(QStringLiteral("フォルダ(&D)..."), this);
    folder->setToolTip(QStringLiteral("Shift キーを押しながら選ぶと、ファイル名を分けずに曲名にします"));
    connect(albums, &QPushButton::clicked, this, [this] { InsertAlbum(); });
    connect(folder, &QPushButton::clicked, this, [this] { InsertFolder(); });
    auto* musicRow = new QHBoxLayout;
    musicRow->addWidget(albums);
    musicRow->addWidget(folder);
    musicRow->addStretch();
    form->addRow(QString(), musicRow);

    fontChooser_ = new TFontChooser(this);
    font_ = &fontChooser_->FaceBox();
    size_ = &fontChooser_->SizeBox();
    form->addRow(BuddyLabel(QStringLiteral("フォント(&F)"), font_, this), fontChooser_);

    bold_ = new QCheckBox(QStringLiteral("太字(&B)"), this);
    italic_ = new QCheckBox(QStringLiteral("斜体(&I)"), this);
    underline_ = new QCheckBox(QStringLiteral("下線(&U)"), this);
    strikeOut_ = new QCheckBox(QStringLiteral("取り消し線(&K)"), this);
    auto* styleRow = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{bold_, italic_, underline_, strikeOut_}) styleRow->addWidget(w);
    form->addRow(QStringLiteral("スタイル"), styleRow);

    align_ = new QComboBox(this);
    for (const TNamedChoice& choice : TextAlignChoices()) align_->addItem(QString::fromUtf16(choice.caption), choice.value);
    vertical_ = new QCheckBox(QStringLiteral("縦書き(&V)"), this);
    auto* alignRow = new QHBoxLayout;
    alignRow->addWidget(align_);
    alignRow->addWidget(vertical_);
    form->addRow(QStringLiteral("配置"), alignRow);

    charSpacing_ = new TSpacingChooser(CharSpacingPresets, this);
    lineSpacing_ = new TSpacingChooser(LineSpacingPresets, this);
    feedAngle_ = new QComboBox(this);
    for (const TNamedChoice& choice : FeedAngleChoices()) feedAngle_->addItem(QString::fromUtf16(choice.caption), choice.value);
    form->addRow(QStringLiteral("文字間隔(&C)"), charSpacing_);
    auto* lineRow = new QHBoxLayout;
    lineRow->addWidget(lineSpacing_);
    lineRow->addWidget(feedAngle_);
    form->addRow(BuddyLabel(QStringLiteral("行間隔(&L)"), lineSpacing_, this), lineRow);

    bulge_ = Spin(-4000, 4000, this);
    form->addRow(QStringLiteral("円弧のふくらみ(&A)"), bulge_);

    distort_ = new QRadioButton(QStringLiteral("す  る"), this);
    noDistort_ = new QRadioButton(QStringLiteral("しない"), this);
    preset_ = new QComboBox(this);
    for (int i = 0; i < presets_->Count(); ++i) preset_->addItem(presets_->Name(i));
    // Shown while the text keeps a distortion of its own that no preset is.
    preset_->setPlaceholderText(QStringLiteral("(プリセット以外の変形)"));
    ratio_ = Spin(0, 100, this);
    preview_ = new QLabel(this);
    preview_->setFixedSize(PreviewSize);
    preview_->setFrameShape(QFrame::Box);
    auto* distortRow = new QHBoxLayout;
    distortRow->addWidget(distort_);
    distortRow->addWidget(noDistort_);
    distortRow->addWidget(preset_, 1);
    distortRow->addWidget(BuddyLabel(QStringLiteral("変形量(&D)"), ratio_, this));
    distortRow->addWidget(ratio_);
    form->addRow(QStringLiteral("変形"), distortRow);
    form->addRow(QString(), preview_);
    connect(distort_, &QRadioButton::toggled, this, [this] { UpdatePreview(); });
    connect(preset_, &QComboBox::currentIndexChanged, this, [this] { UpdatePreview(); });
    connect(ratio_, &QSpinBox::valueChanged, this, [this] { UpdatePreview(); });
    connect(vertical_, &QCheckBox::toggled, this, [this] { UpdatePreview(); });
    for (QCheckBox* style : {bold_, italic_}) connect(style, &QCheckBox::toggled, this, [this] { UpdatePreview(); });
    for (QComboBox* font : {font_, size_}) connect(font, &QComboBox::currentTextChanged, this, [this] { UpdatePreview(); });

    outline_ = new QCheckBox(QStringLiteral("縁取り(&O)"), this);
    outlineWidth_ = Spin(0, 100, this);
    auto* outlineRow = new QHBoxLayout;
    outlineRow->addWidget(outline_);
    outlineRow->addWidget(outlineWidth_);
    form->addRow(QStringLiteral("縁取り"), outlineRow);

    shadow_ = new QComboBox(this);
    const QString shadowCaptions[] = {QStringLiteral("なし"), QStringLiteral("左上"), QStringLiteral("上"),
                                      QStringLiteral("右上"), QStringLiteral("左"),   QStringLiteral("右"),
                                      QStringLiteral("左下"), QStringLiteral("下"),   QStringLiteral("右下")};
    for (int preset = 0; preset < TLOText::CustomShadow; ++preset) shadow_->addItem(shadowCaptions[preset], preset);
    form->addRow(QStringLiteral("影(&S)"), shadow_);
    const bool shaded = dynamic_cast<TLOShadeText*>(&text_) != nullptr;
    if (shaded) BuildSoftShadowControls(*form);

    textColor_ = new TColorSpecEditor(QStringLiteral("文字の色"), text_.TextColor(), this);
    outlineColor_ = new TColorSpecEditor(QStringLiteral("縁取りの色"), text_.OutlineColor(), this);
    shadowColor_ = new TColorSpecEditor(QStringLiteral("影の色"), text_.ShadowColor(), this);
    auto* colourRow = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{textColor_, outlineColor_, shadowColor_}) colourRow->addWidget(w);
    form->addRow(colourRow);

    hanToZen_ = new QCheckBox(QStringLiteral("半角を全角に変換(&Z)"), this);
    minusExc_ = new QCheckBox(QStringLiteral("マイナス記号を除く(&M)"), this);
    numToKnj_ = new QCheckBox(QStringLiteral("全角数字を漢数字に変換(&N)"), this);
    auto* convertRow = new QHBoxLayout;
    convertRow->addWidget(hanToZen_);
    convertRow->addWidget(minusExc_);
    convertRow->addWidget(numToKnj_);
    form->addRow(QStringLiteral("表示"), convertRow);

    fieldSet_ = new QComboBox(this);
    fieldSet_->addItems({QStringLiteral("自由入力"), QStringLiteral("プロダクト"), QStringLiteral("クリエーター"),
                         QStringLiteral("クリエーター(英語)")});
    fieldItem_ = new QComboBox(this);
    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(fieldSet_);
    fieldRow->addWidget(fieldItem_, 1);
    form->addRow(BuddyLabel(QStringLiteral("情報(&J)"), fieldSet_, this), fieldRow);
    connect(fieldSet_, &QComboBox::currentIndexChanged, this, [this] { ShowFieldItems(0); });
    connect(fieldSet_, &QComboBox::activated, this, [this] { FillChosenField(); });
    connect(fieldItem_, &QComboBox::activated, this, [this] { FillChosenField(); });
    if (shaded) BuildInputPromptControls(*form);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void TTextPropertiesDialog::BuildSoftShadowControls(QFormLayout& form)
{
    softShadow_ = new QCheckBox(QStringLiteral("ぼかす(&H)"), this);
    softShadowBold_ = new QCheckBox(QStringLiteral("太くする(&G)"), this);
    auto* row = new QHBoxLayout;
    row->addWidget(softShadow_);
    row->addWidget(softShadowBold_);
    row->addStretch();
    form.addRow(QStringLiteral("ぼかし影"), row);
    connect(softShadow_, &QCheckBox::toggled, softShadowBold_, &QCheckBox::setEnabled);
    for (QCheckBox* box : {softShadow_, softShadowBold_}) connect(box, &QCheckBox::toggled, this, [this] { UpdatePreview(); });
    connect(shadow_, &QComboBox::currentIndexChanged, this, [this] { UpdatePreview(); });
}

void TTextPropertiesDialog::BuildInputPromptControls(QFormLayout& form)
{
    inputEnable_ = new QCheckBox(QStringLiteral("入力画面で入力する(&W)"), this);
    inputCaption_ = new QLineEdit(this);
    inputCaption_->setPlaceholderText(QStringLiteral("入力画面に出す項目名 (例: タイトル)"));
    connect(inputEnable_, &QCheckBox::toggled, inputCaption_, &QLineEdit::setEnabled);
    auto* inputRow = new QHBoxLayout;
    inputRow->addWidget(inputEnable_);
    inputRow->addWidget(inputCaption_, 1);
    form.addRow(QStringLiteral("入力項目"), inputRow);
}

void TTextPropertiesDialog::LoadShadeFrom(const TLOShadeText& text)
{
    softShadow_->setChecked(text.ShadeShadowEnable());
    softShadowBold_->setChecked(text.ShadeShadowBold());
    softShadowBold_->setEnabled(text.ShadeShadowEnable());
    inputEnable_->setChecked(text.WizInputEnable());
    inputCaption_->setText(text.WizInputCaption());
    inputCaption_->setEnabled(text.WizInputEnable());
}

void TTextPropertiesDialog::ApplyShadeTo(TLOShadeText& text) const
{
    if (!softShadow_) return;
    text.SetShadeShadowEnable(softShadow_->isChecked());
    text.SetShadeShadowBold(softShadowBold_->isChecked());
    text.SetWizInputEnable(inputEnable_->isChecked());
    text.SetWizInputCaption(inputCaption_->text().trimmed());
}

void TTextPropertiesDialog::LoadFrom(const TLOText& text)
{
    lines_->setPlainText(text.Text().join(u'\n'));
    fontChooser_->Load(text.Font());
    bold_->setChecked(text.Font().HasStyle(fsBold));
    italic_->setChecked(text.Font().HasStyle(fsItalic));
    underline_->setChecked(text.Font().HasStyle(fsUnderline));
    strikeOut_->setChecked(text.Font().HasStyle(fsStrikeOut));
    ShowChoice(*align_, text.Align(), QStringLiteral("その他 (%1)").arg(text.Align()));
    vertical_->setChecked(text.Vertical());
    charSpacing_->SetValue(text.CharSpacing());
    lineSpacing_->SetValue(text.LineSpacing());
    ShowChoice(*feedAngle_, text.FeedAngle(), QStringLiteral("%1°").arg(text.FeedAngle()));
    ShowValue(*bulge_, text.Bulge());
    // A distortion no preset is (from an older or another program's document) is kept as it is
    // until the user picks a preset.
    const bool distorted = !text.CoonsDistortion().IsEmpty();
    (distorted ? distort_ : noDistort_)->setChecked(true);
    distort_->setEnabled(distorted || presets_->Count() > 0);
    preset_->setCurrentIndex(distorted ? presets_->IndexOf(text.CoonsDistortion()) : std::min(0, presets_->Count() - 1));
    ShowValue(*ratio_, text.DistortionRatio());
    outline_->setChecked(text.Outline());
    ShowValue(*outlineWidth_, text.OutLineWidth());
    ShowChoice(*shadow_, text.Shadow(),
               QStringLiteral("その他 (横 %1%, 縦 %2%)").arg(text.ShadowOffsetX()).arg(text.ShadowOffsetY()));
    hanToZen_->setChecked(text.HanToZen());
    minusExc_->setChecked(text.MinusExc());
    numToKnj_->setChecked(text.NumToKnj());
    const auto set = std::find(std::begin(FieldSets), std::end(FieldSets), text.FieldType());
    fieldSet_->setCurrentIndex(text.FieldNo() < 1 || set == std::end(FieldSets) ? 0 : int(set - FieldSets) + 1);
    ShowFieldItems(text.FieldNo());
    if (const auto* shade = dynamic_cast<const TLOShadeText*>(&text); shade && softShadow_) LoadShadeFrom(*shade);
}

void TTextPropertiesDialog::ShowFieldItems(int fieldNo)
{
    fieldItem_->clear();
    const int set = fieldSet_->currentIndex() - 1;
    fieldItem_->setEnabled(set >= 0);
    if (set < 0) return;
    const QStringList captions = FieldCaptions(FieldSets[set]);
    // A stored number beyond the set's captions stays choosable.
    for (int n = 1; n <= std::max<qsizetype>(captions.size(), fieldNo); ++n)
        fieldItem_->addItem(n <= captions.size() ? QStringLiteral("%1: %2").arg(n).arg(captions[n - 1])
                                                 : QStringLiteral("%1").arg(n));
    fieldItem_->setCurrentIndex(std::max(0, fieldNo - 1));
}

void TTextPropertiesDialog::FillChosenField()
{
    auto* holder = parentWidget() ? dynamic_cast<IInformationHolder*>(parentWidget()->window()) : nullptr;
    const int set = fieldSet_->currentIndex() - 1;
    if (!holder || set < 0) return;
    const QStringList texts = holder->InformationTexts(FieldSets[set]);
    const int item = fieldItem_->currentIndex();
    if (item >= 0 && item < texts.size()) lines_->setPlainText(texts[item]);
}

TCoonsDistortion TTextPropertiesDialog::ChosenDistortion() const
{
    // The object's own distortion (its points and identifier as they are) stays unless the user
    // switches it off or picks another preset.
    const TCoonsDistortion& own = text_.CoonsDistortion();
    const int index = preset_->currentIndex();
    const bool keep = distort_->isChecked() ? index < 0 || index == presets_->IndexOf(own) : own.IsEmpty();
    TCoonsDistortion chosen;
    if (keep)
        chosen.Assign(own);
    else if (distort_->isChecked())
        presets_->Load(chosen, index);
    return chosen;
}

void TTextPropertiesDialog::ApplyTo(TLOText& text) const
{
    if (lines_->toPlainText() != text.Text().join(u'\n'))
        text.SetText(lines_->toPlainText().isEmpty() ? QStringList() : lines_->toPlainText().split(u'\n'));
    TPointBasedFont& font = text.EditFont();
    fontChooser_->ApplyTo(font);
    font.SetStyleFlag(fsBold, bold_->isChecked());
    font.SetStyleFlag(fsItalic, italic_->isChecked());
    font.SetStyleFlag(fsUnderline, underline_->isChecked());
    font.SetStyleFlag(fsStrikeOut, strikeOut_->isChecked());
    textColor_->ApplyTo(text.EditTextColor());
    text.SetAlign(align_->currentData().toInt());
    text.SetVertical(vertical_->isChecked());
    text.SetCharSpacing(charSpacing_->Value());
    text.SetLineSpacing(lineSpacing_->Value());
    text.SetFeedAngle(feedAngle_->currentData().toInt());
    text.SetBulge(bulge_->value());
    text.SetCoonsDistortion(ChosenDistortion());
    text.SetDistortionRatio(ratio_->value());
    text.SetOutline(outline_->isChecked());
    text.SetOutLineWidth(outlineWidth_->value());
    outlineColor_->ApplyTo(text.EditOutlineColor());
    // Custom offsets stay as they are; a preset sets both.
    text.SetShadow(shadow_->currentData().toInt());
    shadowColor_->ApplyTo(text.EditShadowColor());
    text.SetHanToZen(hanToZen_->isChecked());
    text.SetMinusExc(minusExc_->isChecked());
    text.SetNumToKnj(numToKnj_->isChecked());
    const int set = fieldSet_->currentIndex() - 1;
    if (set >= 0) text.SetFieldType(FieldSets[set]);
    text.SetFieldNo(set >= 0 ? fieldItem_->currentIndex() + 1 : 0);
    if (auto* shade = dynamic_cast<TLOShadeText*>(&text)) ApplyShadeTo(*shade);
}

// A sample in the chosen font, size, writing direction and distortion, at half its printed size.
void TTextPropertiesDialog::UpdatePreview()
{
    preset_->setEnabled(distort_->isChecked());
    ratio_->setEnabled(distort_->isChecked());
    QImage image(PreviewSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    try {
        TLOTextObject sample;
        ApplyTo(sample);
        sample.SetText({QStringLiteral("Aあ")});
        const QSize logical = PreviewSize * 2;
        sample.SetBounds({10, 10, logical.width() - 10, logical.height() - 10});
        TCanvas canvas(image);
        canvas.SetMapping({{}, logical, {}, PreviewSize});
        canvas.SetFontResolution(LogicalUnitsPerInch);
        sample.PaintTo(canvas);  // through the blended drawing a soft shadow needs
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
