#include "ui/PicturePropertiesDialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/AppFrame.h"
#include "objects/PictureObject.h"
#include "platform/Error.h"
#include "platform/PictureCodecs.h"
#include "ui/IllustrationBrowser.h"
#include "ui/FolderHistory.h"
#include "ui/PictureBrowser.h"

namespace kestrel {

namespace {

constexpr int PreviewSide = 200;
constexpr int EffectRange = 100;
constexpr int StyleThumbnailSides[] = {50, 100, 150, 200};

void SetSwatch(QPushButton* button, TColor color)
{
    button->setStyleSheet(QStringLiteral("background-color: %1").arg(ToQColor(color).name()));
}

QWidget* Row(std::initializer_list<QWidget*> widgets)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : widgets) layout->addWidget(w);
    return row;
}

}  // namespace

QWidget* PairEffectControls(QSlider* slider, QSpinBox* spin)
{
    slider->setRange(-EffectRange, EffectRange);
    spin->setRange(-EffectRange, EffectRange);
    spin->setSuffix(QStringLiteral("%"));
    QObject::connect(slider, &QSlider::valueChanged, spin, &QSpinBox::setValue);
    QObject::connect(spin, &QSpinBox::valueChanged, slider, &QSlider::setValue);
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(slider, 1);
    layout->addWidget(spin);
    return row;
}

QString PictureFileFilter(const QString& extensions)
{
    QStringList patterns;
    for (const QString& ext : extensions.split(';', Qt::SkipEmptyParts))
        if (ext.compare(QLatin1String(".pcd"), Qt::CaseInsensitive) != 0) patterns << QLatin1Char('*') + ext.trimmed();
    return QStringLiteral("イメージファイル (%1);;すべてのファイル (*)").arg(patterns.join(' ')) +
           // The patterns must close the entry, or the dialog would take the whole text as them.
           QStringLiteral(";;Photo CD 読み込みには対応していません (*.pcd)");
}

bool LoadPictureFile(TPictureEx& picture, const QString& path)
{
    try {
        picture.LoadFromFile(path, TAppFrame::ReadInteger(QStringLiteral("ImageLimitSize"), 0));
        return true;
    } catch (const EKestrel& e) {
        TAppFrame::ShowOkMessage("%s", {e.Message()});
        return false;
    }
}

QStringList ChoosePicturePaths(QWidget* parent, const QString& title, bool several, const QString& start)
{
    QFileDialog dialog(parent, title, {}, PictureFileFilter(ExpandMacro("$(ImageFileExtentions)")));
    dialog.setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    TFolderHistory history(QStringLiteral("$(UserImageHistory)"));
    history.Prepare(dialog, start);
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    if (!files.isEmpty()) history.Remember(files.first());
    return files;
}

bool ChoosePictureFile(QWidget* parent, TPictureEx& picture)
{
    const QString start = picture.ImageID().isEmpty() ? QString() : QFileInfo(picture.ImageID()).absolutePath();
    const QString path = ChoosePicturePaths(parent, QStringLiteral("イメージの選択"), false, start).value(0);
    return !path.isEmpty() && LoadPictureFile(picture, path);
}

TPicturePropertiesDialog::TPicturePropertiesDialog(TLOImage& image, QWidget* parent)
    : QDialog(parent), image_(image), keyColourValue_(clWhite), monotoneColourValue_(DefaultCustomMonotone)
{
    setWindowTitle(QStringLiteral("イメージの設定"));
    preview_ = new QLabel;
    preview_->setFixedSize(PreviewSide, PreviewSide);
    preview_->setAlignment(Qt::AlignCenter);
    auto* settings = new QVBoxLayout;
    settings->addWidget(PictureGroup());
    settings->addWidget(CropGroup());
    settings->addWidget(EffectGroup());
    settings->addWidget(FrameGroup());
    auto* body = new QHBoxLayout;
    body->addLayout(settings);
    body->addWidget(preview_, 0, Qt::AlignTop);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(buttons);
    ShowValues();
}

QWidget* TPicturePropertiesDialog::PictureGroup()
{
    auto* group = new QGroupBox(QStringLiteral("イメージ"));
    auto* form = new QFormLayout(group);
    fileName_ = new QLabel;
    auto* browse = new QPushButton(QStringLiteral("参照(&B)..."));
    connect(browse, &QPushButton::clicked, this, [this] { ChoosePicture(); });
    auto* list = new QPushButton(QStringLiteral("一覧(&L)..."));
    list->setToolTip(QStringLiteral("フォルダのイメージを一覧から選びます"));
    connect(list, &QPushButton::clicked, this, [this] { ChoosePictureFromList(); });
    auto* scan = new QPushButton(QStringLiteral("TWAIN取り込み(&T)..."));
    scan->setToolTip(QStringLiteral("システムに登録されているスキャナーから取り込みます"));
    connect(scan, &QPushButton::clicked, this, [this] { ScanPicture(); });
    form->addRow(QStringLiteral("ファイル"), Row({fileName_, browse, list, scan}));
    angle_ = new QSpinBox;
    angle_->setRange(-360, 360);
    angle_->setSuffix(QStringLiteral("°"));
    connect(angle_, &QSpinBox::valueChanged, this, [this] { Apply(); });
    form->addRow(QStringLiteral("回転(&R)"), angle_);
    keyed_ = new QCheckBox(QStringLiteral("透明色を使う(&T)"));
    keyColour_ = new QPushButton;
    connect(keyed_, &QCheckBox::toggled, this, [this] { Apply(); });
    connect(keyColour_, &QPushButton::clicked, this, [this] { ChooseColor(keyColour_, keyColourValue_); });
    form->addRow(Row({keyed_, keyColour_}));
    return group;
}

QWidget* TPicturePropertiesDialog::CropGroup()
{
    auto* group = new QGroupBox(QStringLiteral("トリミング"));
    auto* form = new QFormLayout(group);
    const char* captions[] = {"左", "上", "右", "下"};
    for (int i = 0; i < 4; ++i) {
        crop_[i] = new QSpinBox;
        crop_[i]->setRange(0, MaxPictureSide);
        connect(crop_[i], &QSpinBox::valueChanged, this, [this] { Apply(); });
    }
    auto* whole = new QPushButton(QStringLiteral("全体(&W)"));
    connect(whole, &QPushButton::clicked, this, [this] {
        image_.ImageData().ResetClip();
        ShowValues();
    });
    form->addRow(QString::fromUtf8(captions[0]), Row({crop_[0], new QLabel(QString::fromUtf8(captions[1])), crop_[1]}));
    form->addRow(QString::fromUtf8(captions[2]), Row({crop_[2], new QLabel(QString::fromUtf8(captions[3])), crop_[3]}));
    form->addRow(whole);
    return group;
}

QWidget* TPicturePropertiesDialog::EffectGroup()
{
    auto* group = new QGroupBox(QStringLiteral("効果"));
    auto* layout = new QVBoxLayout(group);
    method_ = new QComboBox;
    method_->addItems({QStringLiteral("一覧から選択"), QStringLiteral("詳細指定")});
    auto* methodRow = new QFormLayout;
    methodRow->addRow(QStringLiteral("指定方法(&H)"), method_);
    layout->addLayout(methodRow);
    effectPages_ = new QStackedWidget;
    effectPages_->addWidget(StylePage());
    effectPages_->addWidget(DetailPage());
    layout->addWidget(effectPages_);
    connect(method_, &QComboBox::currentIndexChanged, effectPages_, &QStackedWidget::setCurrentIndex);
    // The list first when the picture's values are one of its styles.
    const TImageData& data = image_.ImageData();
    const bool styled = CurrentEffectStyle(styleList_, data.LightFilter().Brightness(), data.LightFilter().Contrast(),
                                           data.BlurFilter().BlurCount(), data.MonotoneFilter().RefColor()) >= 0;
    method_->setCurrentIndex(styled ? 0 : 1);
    effectPages_->setCurrentIndex(method_->currentIndex());
    return group;
}

QWidget* TPicturePropertiesDialog::StylePage()
{
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    styleList_ = ReadEffectStyles(TAppFrame::FindDataFile(QStringLiteral("Effect.dat")));
    styles_ = new QListWidget;
    styles_->setViewMode(QListView::IconMode);
    styles_->setResizeMode(QListView::Adjust);
    styles_->setMovement(QListView::Static);
    for (const TEffectStyle& style : styleList_) styles_->addItem(style.title);
    connect(styles_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!updating_) ChooseStyle(row);
    });
    missingStyles_ = new QLabel(ExpandMacro(QStringLiteral("画質調整情報が見つかりません。\n\n$(AppName)の\nCDを正しくセットしてください。")));
    missingStyles_->setAlignment(Qt::AlignCenter);
    auto* list = new QStackedWidget;
    list->addWidget(styles_);
    list->addWidget(missingStyles_);
    list->setCurrentWidget(styleList_.empty() ? static_cast<QWidget*>(missingStyles_) : styles_);
    form->addRow(list);
    thumbnailSize_ = new QComboBox;
    for (int side : StyleThumbnailSides) thumbnailSize_->addItem(QStringLiteral("%1x%1").arg(side), side);
    thumbnailSize_->setEnabled(!styleList_.empty());
    connect(thumbnailSize_, &QComboBox::currentIndexChanged, this, [this] { ShowStyleThumbnails(); });
    form->addRow(QStringLiteral("見本の大きさ(&Z)"), thumbnailSize_);
    ShowStyleThumbnails();
    return page;
}

QWidget* TPicturePropertiesDialog::DetailPage()
{
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    focus_ = new QComboBox;
    for (const TFocusChoice& choice : FocusChoices()) focus_->addItem(choice.caption);
    connect(focus_, &QComboBox::currentIndexChanged, this, [this] { Apply(); });
    form->addRow(QStringLiteral("フォーカス(&F)"), focus_);
    brightnessSlider_ = new QSlider(Qt::Horizontal);
    brightness_ = new QSpinBox;
    QWidget* brightnessRow = PairEffectControls(brightnessSlider_, brightness_);
    connect(brightness_, &QSpinBox::valueChanged, this, [this] { Apply(); });
    form->addRow(QStringLiteral("明るさ(&L)"), brightnessRow);
    contrastSlider_ = new QSlider(Qt::Horizontal);
    contrast_ = new QSpinBox;
    QWidget* contrastRow = PairEffectControls(contrastSlider_, contrast_);
    connect(contrast_, &QSpinBox::valueChanged, this, [this] { Apply(); });
    form->addRow(QStringLiteral("コントラスト(&C)"), contrastRow);
    monotone_ = new QComboBox;
    for (TMonotoneChoice choice : {mcNone, mcGrey, mcSepia, mcCustom}) monotone_->addItem(MonotoneCaption(choice));
    monotoneColour_ = new QPushButton;
    connect(monotone_, &QComboBox::currentIndexChanged, this, [this] { Apply(); });
    connect(monotoneColour_, &QPushButton::clicked, this, [this] { ChooseColor(monotoneColour_, monotoneColourValue_); });
    form->addRow(QStringLiteral("単色効果(&M)"), Row({monotone_, monotoneColour_}));
    return page;
}

QWidget* TPicturePropertiesDialog::FrameGroup()
{
    auto* group = new QGroupBox(QStringLiteral("フレーム"));
    auto* form = new QFormLayout(group);
    frameName_ = new QLabel;
    auto* browse = new QPushButton(QStringLiteral("参照..."));
    auto* none = new QPushButton(QStringLiteral("なし"));
    connect(browse, &QPushButton::clicked, this, [this] { ChooseFrame(); });
    connect(none, &QPushButton::clicked, this, [this] {
        image_.FramePicture().Clear();
        ShowValues();
    });
    form->addRow(QStringLiteral("フレーム"), Row({frameName_, browse, none}));
    alphaFrame_ = new QCheckBox(QStringLiteral("不透明度マップとして使う(&A)"));
    connect(alphaFrame_, &QCheckBox::toggled, this, [this] { Apply(); });
    form->addRow(alphaFrame_);
    return group;
}

void TPicturePropertiesDialog::ChoosePicture()
{
    if (ChoosePictureFile(this, image_.ImageData().Picture())) PictureChanged();
}

void TPicturePropertiesDialog::ChoosePictureFromList()
{
    const QString path = TPictureBrowser::Choose(this);
    if (!path.isEmpty() && LoadPictureFile(image_.ImageData().Picture(), path)) PictureChanged();
}

void TPicturePropertiesDialog::PictureChanged()
{
    if (!image_.Site()) image_.ResetSize();
    ShowValues();
}

void TPicturePropertiesDialog::ScanPicture()
{
    TLOImage scanned;
    try {
        AcquireScannedPicture(scanned);
    } catch (const EKestrel& e) {
        TAppFrame::ShowOkMessage("%s", {e.Message()});
        return;
    }
    if (scanned.ImageData().IsEmpty()) return;
    image_.ImageData().Picture().Assign(scanned.ImageData().Picture());
    image_.SetImageSource(isTwain);
    PictureChanged();
}

void TPicturePropertiesDialog::ChooseFrame()
{
    TPictureEx frame;
    if (!ChoosePictureFile(this, frame)) return;
    image_.FramePicture().SetGraphic(frame.Graphic());  // a frame keeps no file name
    ShowValues();
}

void TPicturePropertiesDialog::ChooseColor(QPushButton* button, int& colorValue)
{
    const QColor picked = QColorDialog::getColor(ToQColor(colorValue), this);
    if (!picked.isValid()) return;
    colorValue = FromQColor(picked);
    SetSwatch(button, colorValue);
    Apply();
}

// Controls from the object; their signals are held off meanwhile.
void TPicturePropertiesDialog::ShowValues()
{
    updating_ = true;
    TImageData& data = image_.ImageData();
    fileName_->setText(QFileInfo(data.Picture().ImageID()).fileName());
    const TRect clip = data.EffectiveClip();
    const int values[] = {clip.left, clip.top, clip.right, clip.bottom};
    for (int i = 0; i < 4; ++i) crop_[i]->setValue(values[i]);
    keyed_->setChecked(data.TransparentColor() != clNone);
    if (data.TransparentColor() != clNone) keyColourValue_ = data.TransparentColor();
    SetSwatch(keyColour_, keyColourValue_);
    focus_->setCurrentIndex(FocusChoiceIndex(data.BlurFilter().BlurCount()));
    brightness_->setValue(data.LightFilter().Brightness());
    contrast_->setValue(data.LightFilter().Contrast());
    const TColor ref = data.MonotoneFilter().RefColor();
    monotone_->setCurrentIndex(MonotoneChoiceOf(ref));
    if (MonotoneChoiceOf(ref) == mcCustom) monotoneColourValue_ = ref;
    SetSwatch(monotoneColour_, monotoneColourValue_);
    styles_->setCurrentRow(CurrentEffectStyle(styleList_, data.LightFilter().Brightness(), data.LightFilter().Contrast(),
                                              data.BlurFilter().BlurCount(), ref));
    frameName_->setText(image_.FramePicture().HasGraphic() ? QStringLiteral("あり") : QStringLiteral("なし"));
    alphaFrame_->setChecked(image_.AlphaFrame());
    angle_->setValue(image_.Angle());
    updating_ = false;
    const QImage& processed = image_.FramePicture().HasGraphic() || image_.Angle() ? image_.ComposedImage() : data.ProcessedImage();
    preview_->setPixmap(QPixmap::fromImage(processed.scaled(PreviewSide, PreviewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

// Each style shown on the current picture, at the chosen size.
void TPicturePropertiesDialog::ShowStyleThumbnails()
{
    const int side = thumbnailSize_->currentData().toInt();
    const QImage base = StyleListPicture(image_.ImageData().Picture().Image());
    styles_->setIconSize(QSize(side, side));
    for (size_t i = 0; i < styleList_.size(); ++i) {
        QPixmap thumbnail(side, side);
        thumbnail.fill(Qt::white);
        if (!base.isNull()) {
            const QImage styled = ApplyEffectStyle(base, styleList_[i]).scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            QPainter(&thumbnail).drawImage((side - styled.width()) / 2, (side - styled.height()) / 2, styled);
        }
        styles_->item(int(i))->setIcon(QIcon(thumbnail));
    }
}

void TPicturePropertiesDialog::ChooseStyle(int index)
{
    if (index < 0 || index >= int(styleList_.size())) return;
    const TEffectStyle& style = styleList_[size_t(index)];
    TImageData& data = image_.ImageData();
    data.LightFilter().SetBrightness(style.brightness);
    data.LightFilter().SetContrast(style.contrast);
    data.BlurFilter().SetBlurCount(style.focus);
    data.MonotoneFilter().SetRefColor(style.color);
    ShowValues();
}

// Object from the controls; the preview follows.
void TPicturePropertiesDialog::Apply()
{
    if (updating_) return;
    TImageData& data = image_.ImageData();
    data.ClipFilter().SetClipRect({crop_[0]->value(), crop_[1]->value(), crop_[2]->value(), crop_[3]->value()});
    data.SetTransparentColor(keyed_->isChecked() ? keyColourValue_ : clNone);
    // A stored count between the choices stays until another choice is made.
    if (focus_->currentIndex() != FocusChoiceIndex(data.BlurFilter().BlurCount()))
        data.BlurFilter().SetBlurCount(FocusChoices()[size_t(focus_->currentIndex())].blurCount);
    data.LightFilter().SetBrightness(brightness_->value());
    data.LightFilter().SetContrast(contrast_->value());
    const TColor tints[] = {clNone, clWhite, SepiaColor, monotoneColourValue_};
    data.MonotoneFilter().SetRefColor(tints[monotone_->currentIndex()]);
    image_.SetAlphaFrame(alphaFrame_->isChecked());
    image_.SetAngle(angle_->value());
    ShowValues();
}

bool TPicturePropertiesDialog::Edit(QWidget* parent, TDrawObject& object)
{
    auto* image = dynamic_cast<TLOImage*>(&object);
    if (!image) return false;
    // A scan the user cancelled leaves nothing to insert.
    if (image->ImageData().IsEmpty() && image->ImageSource() == isTwain) return false;
    if (image->ImageData().IsEmpty()) {
        const bool chosen = image->ImageSource() == isOnePoint ? ChooseIllustration(parent, *image)
                                                               : ChoosePictureFile(parent, image->ImageData().Picture());
        if (!chosen) return false;
        if (!image->Site()) image->ResetSize();
    }
    TPicturePropertiesDialog dialog(*image, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace kestrel
