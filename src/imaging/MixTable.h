#pragma once

#include <array>
#include <cstdint>

namespace kestrel {

// M[k][d + 255] = trunc(k * d / 255) for opacity k = 0..255 and difference d = -255..255, kept
// as a byte: t + M[k][s - t] wraps back into 0..255 and always lies between t and s.
using TMixRow = std::array<uint8_t, 511>;
using TMixTable = std::array<TMixRow, 256>;

const TMixTable& MixTable();

// Moves the channel value t towards s by the opacity row's share.
inline uint8_t MixChannel(const TMixRow& row, uint8_t t, uint8_t s)
{
    return static_cast<uint8_t>(t + row[s - t + 255]);
}

// The same value computed instead of looked up: cheaper where the opacity changes from pixel to
// pixel and the table rows would fall out of the cache.
inline uint8_t MixToward(uint8_t t, uint8_t s, int opacity)
{
    return static_cast<uint8_t>(t + opacity * (s - t) / 255);
}

}  // namespace kestrel
