#pragma once

#include <array>
#include <cstdint>

namespace kestrel {

// The 80-bit extended floating-point value of component streams: bytes 0-7 the significand with
// an explicit integer bit, bytes 8-9 the sign (bit 15) and the exponent (bias 16383).
using TExtended = std::array<uint8_t, 10>;

// Exact: every double, subnormals included, has an extended representation.
TExtended DoubleToExtended(double value);
// Rounds to nearest, ties to even; too large gives infinity, too small a subnormal or zero.
// Denormal, pseudo-denormal and unnormal encodings are read by their numeric value.
double ExtendedToDouble(const TExtended& bytes);

}  // namespace kestrel
