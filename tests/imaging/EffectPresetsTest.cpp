#include <gtest/gtest.h>

#include "imaging/EffectPresets.h"
#include "imaging/ImageFilters.h"
#include "render/ImageData.h"

namespace kestrel {
namespace {

TEST(EffectPresets, StoredValuesSelectTheirChoices)
{
    const std::vector<std::pair<int, QString>> cases = {
        {-9, "シャープ強"}, {-4, "シャープ強"}, {-3, "シャープ中"}, {-2, "シャープ中"}, {-1, "シャープ弱"},
        {0, "なし"},        {1, "ソフト弱"},    {2, "ソフト中"},    {5, "ソフト中"},    {6, "ソフト強"},
    };
    for (const auto& [count, caption] : cases) EXPECT_EQ(FocusChoices()[size_t(FocusChoiceIndex(count))].caption, caption) << count;
    EXPECT_EQ(MonotoneChoiceOf(clNone), mcNone);
    EXPECT_EQ(MonotoneChoiceOf(0xFFFFFF), mcGrey);
    EXPECT_EQ(MonotoneChoiceOf(6717600), mcSepia);
    EXPECT_EQ(MonotoneChoiceOf(0x123456), mcCustom);
}

TEST(EffectPresets, TheShippedStylesReadFromCodePage932)
{
    const auto styles = ReadEffectStyles(QStringLiteral(KESTREL_TEST_SOURCE_DIR "/../data/effects/Effect.dat"));
    ASSERT_GE(styles.size(), 10u);
    EXPECT_EQ(styles[0], (TEffectStyle{"標準", 0, 0, 0, clNone}));
    const int sepia = CurrentEffectStyle(styles, 0, 0, 0, 0x6680A0);
    ASSERT_GE(sepia, 0);
    EXPECT_EQ(styles[size_t(sepia)].title, "セピア");
    EXPECT_EQ(CurrentEffectStyle(styles, 1, 2, 3, 4), -1);
    EXPECT_TRUE(ReadEffectStyles(QStringLiteral("/nonexistent/Effect.dat")).empty());
}

// Each style's thumbnail shows the picture as processing with the style's values would.
TEST(EffectPresets, StyleThumbnailsShowWhatProcessingWouldGive)
{
    InstallImageFilters();
    QImage photo(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x) photo.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    const QImage base = StyleListPicture(photo);
    EXPECT_EQ(base.size(), QSize(200, 150));
    for (const TEffectStyle& style : {TEffectStyle{"a", 30, -20, 3, 0x6680A0}, TEffectStyle{"b", -10, 40, -3, clNone}}) {
        TImageData data;
        data.Picture().SetImage(base);
        data.LightFilter().SetBrightness(style.brightness);
        data.LightFilter().SetContrast(style.contrast);
        data.BlurFilter().SetBlurCount(style.focus);
        data.MonotoneFilter().SetRefColor(style.color);
        const QImage expected = data.ProcessedImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(ApplyEffectStyle(base, style), expected) << style.title.toStdString();
        EXPECT_NE(ApplyEffectStyle(base, style), base.convertToFormat(QImage::Format_RGB32));
    }
}

}  // namespace
}  // namespace kestrel
