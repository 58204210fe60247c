#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "app/AppFrame.h"
#include "imaging/PreviewCache.h"
#include "platform/PictureCodecs.h"
#include "support/MessageRecorder.h"
#include "support/TestEnvironment.h"
#include "ui/CacheSettingsPage.h"

namespace kestrel {
namespace {

class CacheSettingsPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RecordMessages(frame, messages);
        ImageCache().Open(file, false);
    }
    void TearDown() override { ImageCache().Close(); }

    QRadioButton* Radio(QWidget& dialog, const QString& caption)
    {
        for (QRadioButton* radio : dialog.findChildren<QRadioButton*>())
            if (radio->text() == caption) return radio;
        return nullptr;
    }

    TAppFrame frame;
    QStringList messages;
    const QString file = test::TestFolder() + "/ImageCache.ic";
};

TEST_F(CacheSettingsPageTest, SavingStoresTheSettingsAndAppliesTheLimit)
{
    TframeCacheSettings dialog;
    ASSERT_TRUE(Radio(dialog, "キャッシュ機能を使用する(&U)")->isChecked());  // the defaults
    ASSERT_TRUE(Radio(dialog, "無制限(&M)")->isChecked());
    auto* size = dialog.findChild<QSpinBox*>();
    EXPECT_FALSE(size->isEnabled());
    Radio(dialog, "最大サイズを指定する(&L)")->setChecked(true);
    EXPECT_TRUE(size->isEnabled());
    size->setValue(5);  // below the range
    EXPECT_EQ(size->value(), 10);
    size->setValue(120);
    dialog.Save();
    EXPECT_TRUE(TAppFrame::ReadBool("CacheEnabl", false));
    EXPECT_EQ(TAppFrame::ReadInteger("CacheLimit", 0), 120);
    EXPECT_EQ(ImageCache().Limit(), 120);

    TframeCacheSettings again;
    EXPECT_EQ(again.findChild<QSpinBox*>()->value(), 120);
    Radio(again, "キャッシュ機能を使用しない(&N)")->setChecked(true);
    EXPECT_FALSE(Radio(again, "無制限(&M)")->isEnabled());
    again.Save();
    EXPECT_FALSE(TAppFrame::ReadBool("CacheEnabl", true));
    EXPECT_EQ(ImageCache().Limit(), 0);
}

TEST_F(CacheSettingsPageTest, ClearingDeletesEveryRecordAndSaysSo)
{
    TImageCacheItem item;
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    item.picture = TGraphic(TGraphicClass::gcJpeg, EncodeJpeg(picture));
    ImageCache().Write("/photos/cat.jpg", item);
    ImageCache().Commit();
    TframeCacheSettings dialog;
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == "クリア") button->click();
    EXPECT_EQ(messages, QStringList{"キャッシュの内容をクリアしました"});
    TImageCacheItem read;
    EXPECT_FALSE(ImageCache().Read("/photos/cat.jpg", read));
    EXPECT_TRUE(ImageCache().IsOpen());
}

}  // namespace
}  // namespace kestrel
