#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "document/stream/Extended.h"

namespace kestrel {
namespace {

TExtended Make(uint16_t signAndExponent, uint64_t significand)
{
    TExtended e{};
    std::memcpy(e.data(), &significand, 8);
    std::memcpy(e.data() + 8, &signAndExponent, 2);
    return e;
}

uint64_t Bits(double d)
{
    return std::bit_cast<uint64_t>(d);
}

TEST(Extended, ExactBytesOfKnownValues)
{
    EXPECT_EQ(DoubleToExtended(1.0), Make(0x3FFF, 0x8000000000000000));
    EXPECT_EQ(DoubleToExtended(-2.5), Make(0xC000, 0xA000000000000000));
    EXPECT_EQ(DoubleToExtended(0.0), Make(0x0000, 0));
    EXPECT_EQ(DoubleToExtended(-0.0), Make(0x8000, 0));
    EXPECT_EQ(DoubleToExtended(std::numeric_limits<double>::infinity()), Make(0x7FFF, 0x8000000000000000));
    EXPECT_EQ(DoubleToExtended(-std::numeric_limits<double>::infinity()), Make(0xFFFF, 0x8000000000000000));
    // Subnormal doubles become normal extendeds.
    EXPECT_EQ(DoubleToExtended(std::numeric_limits<double>::denorm_min()),
              Make(16383 - 1074, 0x8000000000000000));
    EXPECT_EQ(DoubleToExtended(3 * std::numeric_limits<double>::denorm_min()),
              Make(16383 - 1073, 0xC000000000000000));
    const TExtended nan = DoubleToExtended(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(nan[9] & 0x7F, 0x7F);
    EXPECT_EQ(nan[8], 0xFF);
    EXPECT_EQ(nan[7] & 0xC0, 0xC0);
}

TEST(Extended, EveryKindOfDoubleSurvivesTheRoundTrip)
{
    const double values[] = {1.0,
                             -1.0,
                             0.1,
                             1.0 / 3.0,
                             123456789.125,
                             -0.0,
                             0.0,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::lowest(),
                             std::numeric_limits<double>::min(),
                             std::numeric_limits<double>::denorm_min(),
                             -std::numeric_limits<double>::denorm_min(),
                             std::bit_cast<double>(uint64_t(0x000FFFFFFFFFFFFF)),
                             std::bit_cast<double>(uint64_t(0x0000000123456789)),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()};
    for (double v : values) EXPECT_EQ(Bits(ExtendedToDouble(DoubleToExtended(v))), Bits(v)) << v;
    EXPECT_TRUE(std::isnan(ExtendedToDouble(DoubleToExtended(std::numeric_limits<double>::quiet_NaN()))));
    uint64_t x = 0x9E3779B97F4A7C15;  // a spread of bit patterns, all finite
    for (int i = 0; i < 2000; ++i) {
        x = x * 6364136223846793005ULL + 1442695040888963407ULL;
        const double v = std::bit_cast<double>((x & ~(uint64_t(0x7FF) << 52)) | (uint64_t(i % 0x7FF) << 52));
        ASSERT_EQ(Bits(ExtendedToDouble(DoubleToExtended(v))), Bits(v)) << std::hex << Bits(v);
    }
}

TEST(Extended, ReadingRoundsToNearestEven)
{
    // 1 + half an ulp: tie, even neighbour is 1.
    EXPECT_EQ(ExtendedToDouble(Make(0x3FFF, 0x8000000000000400)), 1.0);
    // 1 + 1.5 ulp: tie, even neighbour is 1 + 2 ulp.
    EXPECT_EQ(ExtendedToDouble(Make(0x3FFF, 0x8000000000000C00)), 1.0 + 2 * std::ldexp(1.0, -52));
    // Just above the tie rounds up.
    EXPECT_EQ(ExtendedToDouble(Make(0x3FFF, 0x8000000000000401)), 1.0 + std::ldexp(1.0, -52));
    // All ones carries into the next power of two.
    EXPECT_EQ(ExtendedToDouble(Make(0x3FFF, 0xFFFFFFFFFFFFFFFF)), 2.0);
    EXPECT_EQ(ExtendedToDouble(Make(0xBFFF, 0xFFFFFFFFFFFFFFFF)), -2.0);
}

TEST(Extended, OverflowGivesInfinityAndUnderflowSubnormalOrZero)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ExtendedToDouble(Make(0x7FFE, 0x8000000000000000)), inf);
    EXPECT_EQ(ExtendedToDouble(Make(0xFFFE, 0x8000000000000000)), -inf);
    // Halfway between the largest double and 2^1024 ties away from the odd largest double.
    EXPECT_EQ(ExtendedToDouble(Make(16383 + 1023, 0xFFFFFFFFFFFFFC00)), inf);
    EXPECT_EQ(ExtendedToDouble(Make(16383 + 1023, 0xFFFFFFFFFFFFFBFF)), std::numeric_limits<double>::max());

    const double tiny = std::numeric_limits<double>::denorm_min();
    EXPECT_EQ(Bits(ExtendedToDouble(Make(16383 - 1075, 0x8000000000000000))), Bits(0.0));  // tie to even zero
    EXPECT_EQ(ExtendedToDouble(Make(16383 - 1075, 0xC000000000000000)), tiny);
    EXPECT_EQ(ExtendedToDouble(Make(16383 - 1075, 0x8000000000000001)), tiny);
    EXPECT_EQ(ExtendedToDouble(Make(16383 - 1074, 0xC000000000000000)), 2 * tiny);  // 1.5: tie to even 2
    EXPECT_EQ(Bits(ExtendedToDouble(Make(0x8001, 0x8000000000000000))), Bits(-0.0));
    // Just below the smallest normal rounds up into it.
    EXPECT_EQ(ExtendedToDouble(Make(16383 - 1023, 0xFFFFFFFFFFFFFFFF)), std::numeric_limits<double>::min());
    EXPECT_EQ(ExtendedToDouble(Make(16383 - 1023, 0x8000000000000000)),
              std::numeric_limits<double>::min() / 2);
}

TEST(Extended, DenormalPseudoDenormalAndUnnormalInputsReadByValue)
{
    EXPECT_EQ(Bits(ExtendedToDouble(Make(0x0000, 0x0000000000000001))), Bits(0.0));
    EXPECT_EQ(Bits(ExtendedToDouble(Make(0x8000, 0x8000000000000000))), Bits(-0.0));  // pseudo-denormal
    EXPECT_EQ(ExtendedToDouble(Make(0x4000, 0x4000000000000000)), 1.0);               // unnormal 2^62 * 2^-62
    EXPECT_EQ(ExtendedToDouble(Make(0x3FFF + 63, 0x0000000000000003)), 3.0);
    EXPECT_TRUE(std::isnan(ExtendedToDouble(Make(0x7FFF, 0x0000000000000001))));
    EXPECT_EQ(ExtendedToDouble(Make(0x7FFF, 0x0000000000000000)), std::numeric_limits<double>::infinity());
}

}  // namespace
}  // namespace kestrel
