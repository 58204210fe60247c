#pragma once

#include <QColor>
#include <cstdint>

namespace kestrel {

// 0x00BBGGRR; 0x80000000 + n are system colours; clNone means no colour at all.
using TColor = int32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clSystemBase = static_cast<TColor>(0x80000000u);
inline constexpr TColor clWindow = clSystemBase + 5;
inline constexpr TColor clWindowText = clSystemBase + 8;

inline constexpr TColor RGBColor(int r, int g, int b) { return (b << 16) | (g << 8) | r; }
inline constexpr bool IsSystemColor(TColor c) { return (static_cast<uint32_t>(c) & 0xFF000000u) == 0x80000000u; }

// System colours resolve to the light desktop scheme the labels were designed against; clNone
// becomes fully transparent.
QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);

}  // namespace kestrel
