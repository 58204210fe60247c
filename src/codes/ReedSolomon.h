#pragma once

#include <cstdint>
#include <span>

namespace kestrel {

inline constexpr int kMaxReedSolomonDegree = 30;

// Error-correction codewords of a QR block: the remainder of data(x)·x^n divided by the generator
// polynomial of degree n, over GF(256) with x^8 + x^4 + x^3 + x^2 + 1. ec.size() is n (1..30).
void ReedSolomonRemainder(std::span<const uint8_t> data, std::span<uint8_t> ec);

// Coefficients of the generator polynomial of degree n, highest power first, the leading 1
// left out (n values).
std::span<const uint8_t> ReedSolomonGenerator(int degree);

}  // namespace kestrel
