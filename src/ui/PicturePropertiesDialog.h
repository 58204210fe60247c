#pragma once

#include <QDialog>
#include <vector>

#include "imaging/EffectPresets.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSlider;
class QSpinBox;
class QStackedWidget;
class QWidget;

namespace kestrel {

class TDrawObject;
class TLOImage;
class TPictureEx;

// A slider and a spin box kept in step over the effects' -100..100 percent ("明るさ", "コントラスト"),
// side by side in the row returned.
QWidget* PairEffectControls(QSlider* slider, QSpinBox* spin);
// "Images (*.bmp *.jpg ...)" for the extensions of the setting; Photo CD is named as not read.
QString PictureFileFilter(const QString& extensions);
// The picture-file dialog, opening at start or in the folder used last: the files chosen (one
// unless several), empty when cancelled.
QStringList ChoosePicturePaths(QWidget* parent, const QString& title, bool several, const QString& start = {});
// Asks for a picture file and reads it into the holder (with the configured size limit); false
// when the user cancelled or the file could not be read (the error has been shown).
bool ChoosePictureFile(QWidget* parent, TPictureEx& picture);
// Reads a file the user dropped; the error is shown on failure.
bool LoadPictureFile(TPictureEx& picture, const QString& path);

// Picture, crop, key colour, effects with a live preview, frame picture and rotation of one
// picture object. A picture without a picture asks for a file first.
class TPicturePropertiesDialog : public QDialog {
public:
    TPicturePropertiesDialog(TLOImage& image, QWidget* parent);

    // The table's editor: false when cancelled.
    static bool Edit(QWidget* parent, TDrawObject& object);

private:
    QWidget* PictureGroup();
    QWidget* CropGroup();
    // The effects, chosen from the named styles or set one by one ("指定方法").
    QWidget* EffectGroup();
    QWidget* StylePage();
    QWidget* DetailPage();
    QWidget* FrameGroup();
    void ChoosePicture();
    // "一覧": the picture browser on the folder last used.
    void ChoosePictureFromList();
    // A new picture: sized afresh while not yet placed, and shown.
    void PictureChanged();
    // A picture from the scanner in place of the current one.
    void ScanPicture();
    void ChooseFrame();
    void ChooseColor(QPushButton* button, int& colorValue);
    void ShowValues();
    void ChooseStyle(int index);
    void ShowStyleThumbnails();
    void Apply();

    TLOImage& image_;
    std::vector<TEffectStyle> styleList_;
    bool updating_ = false;
    QLabel* preview_;
    QLabel* fileName_;
    QSpinBox* crop_[4];
    QCheckBox* keyed_;
    QPushButton* keyColour_;
    int keyColourValue_;
    QComboBox* method_;
    QStackedWidget* effectPages_;
    QListWidget* styles_;
    QLabel* missingStyles_;
    QComboBox* thumbnailSize_;
    QComboBox* focus_;
    QSlider* brightnessSlider_;
    QSpinBox* brightness_;
    QSlider* contrastSlider_;
    QSpinBox* contrast_;
    QComboBox* monotone_;
    QPushButton* monotoneColour_;
    int monotoneColourValue_;
    QLabel* frameName_;
    QCheckBox* alphaFrame_;
    QSpinBox* angle_;
};

}  // namespace kestrel
