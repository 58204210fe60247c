#pragma once

#include <cmath>
#include <cstdint>

namespace kestrel {

// Half away from zero: 2.5 -> 3, -2.5 -> -3. Used for rotated and scaled coordinates.
inline int64_t RoundHalfAway(double v)
{
    return static_cast<int64_t>(v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5));
}

// Half to even: 2.5 -> 2, 3.5 -> 4. Used where a rule asks for banker's rounding.
inline int64_t RoundHalfEven(double v)
{
    return static_cast<int64_t>(std::nearbyint(v));  // default FE_TONEAREST is ties-to-even
}

// a * b / c rounded half away from zero, in 64 bits (as the platform's MulDiv); 0 when c is 0.
inline int MulDiv(int a, int b, int c)
{
    if (c == 0) return 0;
    const int64_t product = int64_t(a) * b;
    const int64_t half = (c < 0 ? -int64_t(c) : int64_t(c)) / 2;
    const bool negative = (product < 0) != (c < 0);
    const int64_t magnitude = ((product < 0 ? -product : product) + half) / (c < 0 ? -int64_t(c) : int64_t(c));
    return static_cast<int>(negative ? -magnitude : magnitude);
}

}  // namespace kestrel
