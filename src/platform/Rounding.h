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

}  // namespace kestrel
