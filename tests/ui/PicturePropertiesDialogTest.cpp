#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QStackedWidget>

#include "app/AppFrame.h"
#include "objects/PictureObject.h"
#include "platform/Cp932.h"
#include "platform/PictureCodecs.h"
#include "support/MessageRecorder.h"
#include "support/TestEnvironment.h"
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

class PictureEffectStylesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RecordMessages(frame, messages);
        // Data folders of the test's own, so the styles the build ships are not found.
        frame.Macro().SetValue("ExeDir", test::TestFolder() + "/bin/");
        QImage picture(40, 20, QImage::Format_RGB32);
        picture.fill(qRgb(100, 100, 100));
        image.ImageData().Picture().SetGraphic(TGraphic(TGraphicClass::gcBitmap, EncodeBmp24(picture)));
    }
    void TearDown() override { TAppFrame::WriteString("CDPath", {}); }

    // Effect.dat with two styles in a folder the program is told to look in.
    void WriteStyles()
    {
        const QString folder = test::TestFolder() + "/cd";
        QDir().mkpath(folder);
        QFile file(folder + "/Effect.dat");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ToCp932(QStringLiteral("[Plain]\nTitle=標準\n[Bright]\nTitle=明るく\nBrightness=30\nFocus=-2\n")));
        file.close();
        TAppFrame::WriteString("CDPath", folder + "/");
    }

    TAppFrame frame;
    QStringList messages;
    TLOImage image;
};

TEST_F(PictureEffectStylesTest, WithoutTheStyleFileTheListSaysWhereToFindItAndDetailsAreShown)
{
    TPicturePropertiesDialog dialog(image, nullptr);
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains(ExpandMacro("画質調整情報が見つかりません。\n\n$(AppName)の\nCDを正しくセットしてください。")))
        << texts.join(" / ").toStdString();
    EXPECT_FALSE(texts.join("").contains("$("));
    auto* method = dialog.findChild<QComboBox*>();
    ASSERT_TRUE(method);
    EXPECT_EQ(method->currentText(), "詳細指定");
}

TEST_F(PictureEffectStylesTest, TheListOpensOnTheCurrentStyleAndAChosenStyleSetsItsValues)
{
    WriteStyles();
    TPicturePropertiesDialog dialog(image, nullptr);  // no effects: the plain style
    auto* method = dialog.findChild<QComboBox*>();
    auto* list = dialog.findChild<QListWidget*>();
    ASSERT_TRUE(method && list);
    EXPECT_EQ(method->currentText(), "一覧から選択");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text(), "明るく");
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_FALSE(list->item(1)->icon().isNull());

    list->setCurrentRow(1);
    EXPECT_EQ(image.ImageData().LightFilter().Brightness(), 30);
    EXPECT_EQ(image.ImageData().BlurFilter().BlurCount(), -2);

    method->setCurrentIndex(1);
    auto* pages = dialog.findChild<QStackedWidget*>();
    ASSERT_TRUE(pages);
    EXPECT_EQ(pages->currentIndex(), 1);
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
