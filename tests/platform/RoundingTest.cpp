#include "platform/Rounding.h"

#include <gtest/gtest.h>

namespace kestrel {

TEST(Rounding, HalfAwayFromZeroAndHalfToEvenDifferOnTies)
{
    EXPECT_EQ(RoundHalfAway(2.5), 3);
    EXPECT_EQ(RoundHalfAway(-2.5), -3);
    EXPECT_EQ(RoundHalfAway(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
}

}  // namespace kestrel
