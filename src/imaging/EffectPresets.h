#pragma once

// The vocabulary through which users choose picture effects: the focus and monotone choices of
// the effect editors, and the named styles of "Effect.dat".

#include <QImage>
#include <QString>
#include <vector>

#include "platform/Color.h"

namespace kestrel {

struct TFocusChoice {
    QString caption;
    int blurCount;
};
// "ソフト強" (10) ... "なし" (0) ... "シャープ強" (-6), in menu order.
const std::vector<TFocusChoice>& FocusChoices();
// The choice a stored BlurCount selects.
int FocusChoiceIndex(int blurCount);

enum TMonotoneChoice { mcNone, mcGrey, mcSepia, mcCustom };
inline constexpr TColor SepiaColor = 0x6680A0;
inline constexpr TColor DefaultCustomMonotone = 0xC0C0C0;
QString MonotoneCaption(TMonotoneChoice choice);
TMonotoneChoice MonotoneChoiceOf(TColor refColor);

struct TEffectStyle {
    QString title;
    int brightness = 0;
    int contrast = 0;
    int focus = 0;  // BlurCount
    TColor color = clNone;  // RefColor

    bool operator==(const TEffectStyle& other) const = default;
};

// Every section of the INI file is one style; a missing or unreadable file gives no styles.
std::vector<TEffectStyle> ReadEffectStyles(const QString& path);
// The first style whose four values all equal the given ones; -1 when none.
int CurrentEffectStyle(const std::vector<TEffectStyle>& styles, int brightness, int contrast, int focus, TColor color);

// The picture the style list shows: fitted into 200 × 200 and held as a JPEG, as the list keeps it.
QImage StyleListPicture(const QImage& picture);
// A style's four values applied to a picture in the order picture processing uses: focus,
// monotone, then brightness and contrast.
QImage ApplyEffectStyle(const QImage& picture, const TEffectStyle& style);

}  // namespace kestrel
