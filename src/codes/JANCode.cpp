#include "codes/JANCode.h"

#include "platform/Rounding.h"

namespace kestrel {

namespace {

constexpr int kFrameInset = 10;
constexpr int kFramePenWidth = 3;
constexpr int kCharacterModules = 7;
constexpr int kQuietModules = 7;

// Symbol character sets A (odd parity), B (even parity) and C (right half), by digit.
constexpr const char* kSetA[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                   "0110001", "0101111", "0111011", "0110111", "0001011"};
constexpr const char* kSetB[10] = {"0100111", "0110011", "0011011", "0100001", "0011101",
                                   "0111001", "0000101", "0010001", "0001001", "0010111"};
constexpr const char* kSetC[10] = {"1110010", "1100110", "1101100", "1000010", "1011100",
                                   "1001110", "1010000", "1000100", "1001000", "1110100"};
// Sets of the six left characters of a 13-digit code, by its leading digit.
constexpr const char* kLeadingParity[10] = {"AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB",
                                            "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA"};
constexpr const char* kEdgeGuard = "101";
constexpr const char* kCentreGuard = "01010";
constexpr const char* kQuiet = "0000000";

bool AllDigits(const QString& text)
{
    for (const QChar c : text)
        if (c < u'0' || c > u'9') return false;
    return true;
}

int DataLength(qsizetype length)
{
    return length == 7 || length == 8 ? 7 : length == 12 || length == 13 ? 12 : 0;
}

}  // namespace

int JANCheckDigit(const QString& digits)
{
    const int data = DataLength(digits.size());
    if (!data || !AllDigits(digits.left(data))) return -1;
    int sum = 0;
    // Weights 3, 1, 3, ... from the digit next to the check digit.
    for (int i = 0; i < data; ++i) sum += (digits[data - 1 - i].unicode() - u'0') * (i % 2 == 0 ? 3 : 1);
    return (10 - sum % 10) % 10;
}

bool IsValidJAN(const QString& code)
{
    if (code.size() != 8 && code.size() != 13) return false;
    const int check = JANCheckDigit(code);
    return check >= 0 && code.back() == QChar(u'0' + check);
}

QString CompleteJAN(const QString& text)
{
    const int check = JANCheckDigit(text);
    return check < 0 ? QString() : text.left(DataLength(text.size())) + QChar(u'0' + check);
}

QString AcceptedJANEntry(const QString& text)
{
    const QString complete = CompleteJAN(text);
    if (complete.isEmpty() || ((text.size() == 8 || text.size() == 13) && complete != text)) return {};
    return complete;
}

std::vector<TJANPattern> JANPatterns(const QString& code)
{
    if ((code.size() != 8 && code.size() != 13) || !AllDigits(code)) return {};
    const bool long13 = code.size() == 13;
    const int half = long13 ? 6 : 4;
    const int firstData = long13 ? 1 : 0;
    auto digit = [&](int i) { return code[i].unicode() - u'0'; };
    const char* parity = long13 ? kLeadingParity[digit(0)] : "AAAA";

    std::vector<TJANPattern> patterns;
    int module = 0;
    if (long13) patterns.push_back({0, kQuiet, false, char(code[0].unicode())});
    module = kQuietModules;
    patterns.push_back({module, kEdgeGuard, true});
    module += 3;
    for (int i = 0; i < half; ++i, module += kCharacterModules) {
        const int d = digit(firstData + i);
        patterns.push_back({module, parity[i] == 'A' ? kSetA[d] : kSetB[d], false, char(code[firstData + i].unicode())});
    }
    patterns.push_back({module, kCentreGuard, true});
    module += 5;
    for (int i = 0; i < half; ++i, module += kCharacterModules) {
        const int index = firstData + half + i;
        patterns.push_back({module, kSetC[digit(index)], false, char(code[index].unicode())});
    }
    patterns.push_back({module, kEdgeGuard, true});
    return patterns;
}

QString JANModules(const QString& code)
{
    const std::vector<TJANPattern> patterns = JANPatterns(code);
    if (patterns.empty()) return {};
    QString modules(code.size() == 13 ? 109 : 81, u'0');
    for (const TJANPattern& pattern : patterns)
        for (int i = 0; pattern.bits[i]; ++i) modules[pattern.firstModule + i] = QChar::fromLatin1(pattern.bits[i]);
    return modules;
}

TJANCode::TJANCode(TCanvas& canvas, const TRect& objectRect, int angle, bool showFrame, const TPointBasedFont* digitFont)
    : canvas_(canvas),
      objectRect_(objectRect),
      barArea_(showFrame ? objectRect.Inflated(-kFrameInset) : objectRect),
      rotator_(angle, QPoint((objectRect.left + objectRect.right) / 2, (objectRect.top + objectRect.bottom) / 2)),
      showNumber_(digitFont != nullptr),
      showFrame_(showFrame)
{
    if (!digitFont) return;
    digits_.Font().Assign(*digitFont);
    digits_.SetTextColor(digitFont->Color());
    digits_.SetAngle(angle);
}

int TJANCode::ModuleLeft(int module) const
{
    return barArea_.left + int(RoundHalfAway(double(module) * barArea_.Width() / modules_));
}

void TJANCode::Paint(const QString& code)
{
    const std::vector<TJANPattern> patterns = JANPatterns(code);
    if (patterns.empty()) return;
    modules_ = code.size() == 13 ? 109 : 81;
    TCanvasStateSaver saver(canvas_);
    PaintBackground();
    const int digitHeight = showNumber_ ? digits_.LineHeight() : 0;
    for (const TJANPattern& pattern : patterns) {
        if (showNumber_ && pattern.digit) PaintDigit(pattern.digit, pattern.firstModule);
        PaintBars(pattern, digitHeight);
    }
}

void TJANCode::PaintBackground()
{
    canvas_.SetBrush({clWhite, TBrushStyle::bsSolid});
    canvas_.SetPen(showFrame_ ? TPen{clBlack, kFramePenWidth, TPenStyle::psInsideFrame} : TPen{clWhite, 1});
    DrawTurned(objectRect_);
}

void TJANCode::DrawTurned(const TRect& rect)
{
    QPolygon turned;
    for (const QPoint corner : {rect.TopLeft(), QPoint(rect.right, rect.top), rect.BottomRight(), QPoint(rect.left, rect.bottom)})
        turned << rotator_.TransformPoint(corner);
    canvas_.Polygon(turned);
}

void TJANCode::PaintBars(const TJANPattern& pattern, int digitHeight)
{
    const int shortening = !showNumber_ ? 0 : pattern.guard ? digitHeight / 2 + 2 : digitHeight + 2;
    canvas_.SetBrush({clBlack, TBrushStyle::bsSolid});
    canvas_.SetPen({clBlack, 1});
    const QByteArray bits(pattern.bits);
    for (int start = 0; start < bits.size();) {
        if (bits[start] != '1') {
            ++start;
            continue;
        }
        int end = start;
        while (end < bits.size() && bits[end] == '1') ++end;
        DrawTurned({ModuleLeft(pattern.firstModule + start), barArea_.top, ModuleLeft(pattern.firstModule + end),
                    barArea_.bottom - shortening});
        start = end;
    }
}

void TJANCode::PaintDigit(char digit, int firstModule)
{
    digits_.SetText({QString(QChar::fromLatin1(digit))});
    // The layout puts the ink at the left of its box, so the width is the ink's.
    const int width = digits_.GetTextBounds({0, 0, 0, 0}).Width();
    const int height = digits_.LineHeight();
    const int span = ModuleLeft(firstModule + kCharacterModules) - ModuleLeft(firstModule);
    const int centred = (span - width) / 2;
    const int offset = width < span && centred != 0 ? centred : 1;
    const QPoint corner(ModuleLeft(firstModule) + offset, barArea_.bottom - height - 1);
    // The layout turns about the centre of its box: the box goes where the rotator takes that centre.
    const QPoint centre = rotator_.TransformPoint(corner + QPoint(width / 2, height / 2));
    const QPoint turnedCorner = centre - QPoint(width / 2, height / 2);
    digits_.Draw(canvas_, {turnedCorner.x(), turnedCorner.y(), turnedCorner.x() + width, turnedCorner.y() + height});
}

}  // namespace kestrel
