#pragma once

#include <cstdint>

namespace kestrel {

// Cursor numbers as documents store them.
using TCursor = int32_t;

inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

}  // namespace kestrel
