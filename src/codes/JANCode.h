#pragma once

#include <QString>
#include <vector>

#include "document/Transformer.h"
#include "platform/Canvas.h"
#include "platform/Geometry.h"
#include "text/SimpleText.h"

namespace kestrel {

// Check digit of a JAN code from its first 7 (lengths 7, 8) or 12 (lengths 12, 13) digits; -1 for
// any other length or a non-digit among them.
int JANCheckDigit(const QString& digits);
// 8 or 13 digits whose last one is the check digit of the others.
bool IsValidJAN(const QString& code);
// The data digits of a 7, 8, 12 or 13 character text with the computed check digit appended;
// empty for any other length or when a data character is not a digit.
QString CompleteJAN(const QString& text);
// What the entry of a code accepts: digits only, 7 or 12 of them, or 8 or 13 with the right check
// digit. The code to store, or empty when the entry is refused.
QString AcceptedJANEntry(const QString& text);

// One bar pattern of a symbol: a guard or a character with its digit.
struct TJANPattern {
    int firstModule = 0;
    const char* bits = "";  // '0' light, '1' dark
    bool guard = false;
    char digit = 0;  // the digit printed under it; 0 for guards
};

// The patterns of an 8 or 13 digit code in drawing order; empty for any other code.
std::vector<TJANPattern> JANPatterns(const QString& code);
// The whole module row, quiet zones included (109 or 81 characters of '0'/'1'); empty when the
// code cannot be drawn.
QString JANModules(const QString& code);

// Paints one symbol: white background, bars and the digits in the digit font (unless digitFont is
// null), all turned by the angle about the centre of the object rectangle. Made for one paint.
class TJANCode {
public:
    TJANCode(TCanvas& canvas, const TRect& objectRect, int angle, bool showFrame, const TPointBasedFont* digitFont);
    // Nothing at all for a code that is not 8 or 13 digits.
    void Paint(const QString& code);

private:
    int ModuleLeft(int module) const;
    void PaintBackground();
    void PaintBars(const TJANPattern& pattern, int digitHeight);
    void PaintDigit(char digit, int firstModule);
    // The rectangle turned, with the canvas's pen and brush.
    void DrawTurned(const TRect& rect);

    TCanvas& canvas_;
    TRect objectRect_;
    TRect barArea_;
    int modules_ = 0;
    TRotator rotator_;
    bool showNumber_;
    bool showFrame_;
    // Lays out one digit at a time, turned by the angle.
    TSimpleText digits_;
};

}  // namespace kestrel
