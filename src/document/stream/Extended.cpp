#include "document/stream/Extended.h"

#include <bit>
#include <cstring>

namespace kestrel {
namespace {

constexpr int ExtendedBias = 16383;
constexpr int DoubleBias = 1023;
constexpr uint16_t ExtendedMaxExponent = 0x7FFF;
constexpr uint64_t IntegerBit = uint64_t(1) << 63;
constexpr uint64_t DoubleFractionMask = (uint64_t(1) << 52) - 1;

TExtended Pack(bool negative, uint16_t exponent, uint64_t significand)
{
    TExtended out{};
    std::memcpy(out.data(), &significand, 8);
    uint16_t top = static_cast<uint16_t>((negative ? 0x8000 : 0) | exponent);
    std::memcpy(out.data() + 8, &top, 2);
    return out;
}

double FromBits(bool negative, uint64_t bits)
{
    return std::bit_cast<double>(bits | (negative ? IntegerBit : 0));
}

// value = significand * 2^(scale), significand with bit 63 set; rounds to the nearest double.
double RoundToDouble(bool negative, uint64_t significand, int scale)
{
    const int exponent = 63 + scale;  // of the leading bit
    if (exponent > DoubleBias) return FromBits(negative, uint64_t(0x7FF) << 52);
    // Bits below the last one the result keeps: 11 for normal results, more for subnormals.
    const int dropped = exponent >= 1 - DoubleBias ? 11 : 11 + (1 - DoubleBias - exponent);
    if (dropped > 64) return FromBits(negative, 0);
    const uint64_t kept = dropped == 64 ? 0 : significand >> dropped;
    const uint64_t rest = dropped == 64 ? significand : significand & ((uint64_t(1) << dropped) - 1);
    const uint64_t half = uint64_t(1) << (dropped - 1);
    const uint64_t rounded = kept + ((rest > half || (rest == half && (kept & 1))) ? 1 : 0);
    if (dropped > 11)  // subnormal: rounding up into the smallest normal carries into the exponent
        return FromBits(negative, rounded);
    // Normal: rounding may carry into bit 53, which raises the exponent by one.
    int biased = exponent + DoubleBias;
    uint64_t fraction = rounded;
    if (fraction >> 53) {
        fraction >>= 1;
        ++biased;
    }
    if (biased >= 0x7FF) return FromBits(negative, uint64_t(0x7FF) << 52);
    return FromBits(negative, (uint64_t(biased) << 52) | (fraction & DoubleFractionMask));
}

}  // namespace

TExtended DoubleToExtended(double value)
{
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    const bool negative = bits >> 63;
    const int exponent = static_cast<int>((bits >> 52) & 0x7FF);
    const uint64_t fraction = bits & DoubleFractionMask;
    if (exponent == 0x7FF)  // infinity, or NaN keeping its payload and quiet bit
        return Pack(negative, ExtendedMaxExponent, IntegerBit | (fraction << 11));
    if (exponent == 0) {
        if (fraction == 0) return Pack(negative, 0, 0);
        const int shift = std::countl_zero(fraction);
        return Pack(negative, static_cast<uint16_t>(ExtendedBias - DoubleBias + 1 + 11 - shift),
                    fraction << shift);
    }
    return Pack(negative, static_cast<uint16_t>(exponent - DoubleBias + ExtendedBias),
                IntegerBit | (fraction << 11));
}

double ExtendedToDouble(const TExtended& bytes)
{
    uint64_t significand;
    uint16_t top;
    std::memcpy(&significand, bytes.data(), 8);
    std::memcpy(&top, bytes.data() + 8, 2);
    const bool negative = top & 0x8000;
    const int exponent = top & ExtendedMaxExponent;
    if (exponent == ExtendedMaxExponent) {
        const uint64_t payload = significand & ~IntegerBit;
        if (payload == 0) return FromBits(negative, uint64_t(0x7FF) << 52);
        return FromBits(negative, (uint64_t(0x7FF) << 52) | (uint64_t(1) << 51) | (payload >> 11));
    }
    if (significand == 0) return FromBits(negative, 0);
    // Denormals and pseudo-denormals (exponent 0) share the scale of exponent 1.
    int scale = (exponent == 0 ? 1 : exponent) - ExtendedBias - 63;
    const int shift = std::countl_zero(significand);
    return RoundToDouble(negative, significand << shift, scale - shift);
}

}  // namespace kestrel
