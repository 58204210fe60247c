#include <gtest/gtest.h>

#include "imaging/EffectPresets.h"

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

}  // namespace
}  // namespace kestrel
