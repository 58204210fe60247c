#include <gtest/gtest.h>

#include <QComboBox>
#include <QSpinBox>

#include "objects/PictureObject.h"
#include "platform/PictureCodecs.h"
#include "ui/PicturePropertiesDialog.h"

namespace kestrel {
namespace {

TEST(PicturePropertiesDialog, ControlsEditThePictureAndItsEffects)
{
    TLOImage image;
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(qRgb(100, 100, 100));
    image.ImageData().Picture().SetGraphic(TGraphic(TGraphicClass::gcBitmap, EncodeBmp24(picture)));
    image.ImageData().BlurFilter().SetBlurCount(2);
    TPicturePropertiesDialog dialog(image, nullptr);
    const auto spins = dialog.findChildren<QSpinBox*>();
    const auto combos = dialog.findChildren<QComboBox*>();
    // Crop left, top, right, bottom come first and show the whole picture.
    ASSERT_GE(spins.size(), 7);
    QSpinBox* right = nullptr;
    for (QSpinBox* spin : spins)
        if (spin->value() == 40) right = spin;
    ASSERT_TRUE(right);
    right->setValue(30);
    EXPECT_EQ(image.ImageData().EffectiveClip(), (TRect{0, 0, 30, 20}));
    // An unrelated change keeps a stored focus between the choices.
    EXPECT_EQ(image.ImageData().BlurFilter().BlurCount(), 2);
    for (QSpinBox* spin : spins)
        if (spin->suffix() == "°") spin->setValue(90);
    EXPECT_EQ(image.Angle(), 90);
    for (QComboBox* combo : combos)
        if (combo->count() == 4 && combo->itemText(2) == "セピア") combo->setCurrentIndex(2);
    EXPECT_EQ(image.ImageData().MonotoneFilter().RefColor(), 0x6680A0);
}

TEST(PicturePropertiesDialog, TheFileFilterNamesTheExtensionsAndLeavesPhotoCdOut)
{
    const QString filter = PictureFileFilter(".bmp;.jpg;.pcd;.PNG");
    EXPECT_TRUE(filter.startsWith("イメージファイル (*.bmp *.jpg *.PNG)"));
    // Each entry ends with its patterns in parentheses, the Photo CD one included.
    EXPECT_TRUE(filter.endsWith("読み込みには対応していません (*.pcd)"));
}

}  // namespace
}  // namespace kestrel
