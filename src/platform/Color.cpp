#include "platform/Color.h"

#include <array>

namespace kestrel {

namespace {
// Indexed by the system colour number (clScrollBar .. clInfoBk).
constexpr std::array<TColor, 25> SystemColors = {
    0xC8C8C8,  // clScrollBar
    0x000000,  // clBackground
    0xD1B499,  // clActiveCaption
    0xDBCDBF,  // clInactiveCaption
    0xF0F0F0,  // clMenu
    0xFFFFFF,  // clWindow
    0x646464,  // clWindowFrame
    0x000000,  // clMenuText
    0x000000,  // clWindowText
    0x000000,  // clCaptionText
    0xB4B4B4,  // clActiveBorder
    0xFCF7F4,  // clInactiveBorder
    0xABABAB,  // clAppWorkSpace
    0xFF9933,  // clHighlight
    0xFFFFFF,  // clHighlightText
    0xF0F0F0,  // clBtnFace
    0xA0A0A0,  // clBtnShadow
    0x6D6D6D,  // clGrayText
    0x000000,  // clBtnText
    0x000000,  // clInactiveCaptionText
    0xFFFFFF,  // clBtnHighlight
    0x696969,  // cl3DDkShadow
    0xE3E3E3,  // cl3DLight
    0x000000,  // clInfoText
    0xE1FFFF,  // clInfoBk
};
}  // namespace

QColor ToQColor(TColor color)
{
    if (color == clNone) return QColor(0, 0, 0, 0);
    if (IsSystemColor(color)) {
        const uint32_t index = static_cast<uint32_t>(color) & 0xFFu;
        color = index < SystemColors.size() ? SystemColors[index] : clBlack;
    }
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TColor FromQColor(const QColor& color)
{
    if (color.alpha() == 0) return clNone;
    return RGBColor(color.red(), color.green(), color.blue());
}

}  // namespace kestrel
