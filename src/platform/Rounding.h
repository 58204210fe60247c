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

// a * b / c in 64 bits, rounded half away from zero; 0 when c is 0 (callers that can meet a zero
// divisor decide themselves what it means).
inline int MulDiv(int a, int b, int c)
{
    if (c == 0) return 0;
    return static_cast<int>(RoundHalfAway(static_cast<double>(static_cast<int64_t>(a) * b) / c));
}

}  // namespace kestrel
