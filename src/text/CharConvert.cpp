#include "text/CharConvert.h"

#include <QStringView>
#include <array>
#include <optional>

namespace kestrel {

namespace {

// Half-width and full-width symbols, row by row; the first row holding a character counts.
constexpr std::array<std::pair<char16_t, char16_t>, 40> kSymbols = {{
    {u'!', u'！'}, {u'"', u'”'},  {u'#', u'＃'}, {u'$', u'＄'}, {u'%', u'％'}, {u'&', u'＆'}, {u'\'', u'’'},
    {u'(', u'（'}, {u')', u'）'}, {u'*', u'×'},  {u'+', u'＋'}, {u',', u'，'}, {u'-', u'－'}, {u'.', u'．'},
    {u'/', u'／'}, {u':', u'：'}, {u';', u'；'}, {u'<', u'＜'}, {u'=', u'＝'}, {u'>', u'＞'}, {u'?', u'？'},
    {u'@', u'＠'}, {u'_', u'＿'}, {u'^', u'＾'}, {u'[', u'［'}, {u'\\', u'￥'}, {u']', u'］'}, {u'`', u'｀'},
    {u'{', u'｛'}, {u'|', u'｜'}, {u'}', u'｝'}, {u'~', u'″'},  {u'｡', u'。'}, {u'｢', u'「'}, {u'｣', u'」'},
    {u'､', u'、'}, {u'･', u'・'}, {u'ｰ', u'ー'}, {u'ﾞ', u'゛'}, {u'ﾟ', u'゜'},
}};

struct TKanaRow {
    char16_t half;
    char16_t katakana;
    char16_t hiragana;
};

constexpr char16_t kKanaRows[] =
    u"ｱアあｧァぁｲイいｨィぃｳウうｩゥぅｴエえｪェぇｵオおｫォぉｶカかｶヵかｷキきｸクくｹケけｹヶけｺコこｻサさｼシしｽスすｾセせｿソそ"
    u"ﾀタたﾁチちﾂツつｯッっﾃテてﾄトとﾅナなﾆニにﾇヌぬﾈネねﾉノのﾊハはﾋヒひﾌフふﾍヘへﾎホほﾏマまﾐミみﾑムむﾒメめﾓモも"
    u"ﾔヤやｬャゃｬヰゐﾕユゆｭュゅｭヱゑﾖヨよｮョょﾗラらﾘリりﾙルるﾚレれﾛロろﾜワわﾜヮゎｦヲをﾝンん";

struct TVoicedRow {
    char16_t half;
    char16_t mark;
    char16_t katakana;
    char16_t hiragana;
};

constexpr char16_t kVoicedRows[] =
    u"ｶﾞガがｷﾞギぎｸﾞグぐｹﾞゲげｺﾞゴごｻﾞザざｼﾞジじｽﾞズずｾﾞゼぜｿﾞゾぞﾀﾞダだﾁﾞヂぢﾂﾞヅづﾃﾞデでﾄﾞドど"
    u"ﾊﾞバばﾋﾞビびﾌﾞブぶﾌﾞヴぶﾍﾞベべﾎﾞボぼﾊﾟパぱﾋﾟピぴﾌﾟプぷﾍﾟペぺﾎﾟポぽ";

constexpr int kKanaCount = (std::size(kKanaRows) - 1) / 3;
constexpr int kVoicedCount = (std::size(kVoicedRows) - 1) / 4;
static_assert(kKanaCount == 60 && (std::size(kKanaRows) - 1) % 3 == 0);
static_assert(kVoicedCount == 26 && (std::size(kVoicedRows) - 1) % 4 == 0);

TKanaRow KanaRow(int i)
{
    return {kKanaRows[3 * i], kKanaRows[3 * i + 1], kKanaRows[3 * i + 2]};
}

TVoicedRow VoicedRow(int i)
{
    return {kVoicedRows[4 * i], kVoicedRows[4 * i + 1], kVoicedRows[4 * i + 2], kVoicedRows[4 * i + 3]};
}

constexpr char16_t kHalfVoicing = u'ﾞ';
constexpr char16_t kHalfSemiVoicing = u'ﾟ';

// Offsets within contiguous runs: digits and Latin letters.
std::optional<char16_t> ShiftRange(char16_t c, char16_t first, char16_t last, char16_t targetFirst)
{
    if (c < first || c > last) return std::nullopt;
    return char16_t(targetFirst + (c - first));
}

std::optional<char16_t> AlnumToFull(char16_t c)
{
    if (auto r = ShiftRange(c, u'0', u'9', u'０')) return r;
    if (auto r = ShiftRange(c, u'A', u'Z', u'Ａ')) return r;
    return ShiftRange(c, u'a', u'z', u'ａ');
}

std::optional<char16_t> AlnumToHalf(char16_t c)
{
    if (auto r = ShiftRange(c, u'０', u'９', u'0')) return r;
    if (auto r = ShiftRange(c, u'Ａ', u'Ｚ', u'A')) return r;
    return ShiftRange(c, u'ａ', u'ｚ', u'a');
}

std::optional<char16_t> SymbolToFull(char16_t c)
{
    for (const auto& [half, full] : kSymbols)
        if (half == c) return full;
    return std::nullopt;
}

std::optional<char16_t> SymbolToHalf(char16_t c)
{
    for (const auto& [half, full] : kSymbols)
        if (full == c) return half;
    return std::nullopt;
}

// The voiced katakana for a half-width kana and its mark.
std::optional<char16_t> VoicedPairToKatakana(char16_t c, char16_t mark)
{
    if (c == u'ｳ' && mark == kHalfVoicing) return u'ヴ';
    for (int i = 0; i < kVoicedCount; ++i)
        if (VoicedRow(i).half == c && VoicedRow(i).mark == mark) return VoicedRow(i).katakana;
    return std::nullopt;
}

std::optional<TVoicedRow> FindVoiced(char16_t c, char16_t TVoicedRow::*column)
{
    for (int i = 0; i < kVoicedCount; ++i)
        if (VoicedRow(i).*column == c) return VoicedRow(i);
    return std::nullopt;
}

std::optional<TKanaRow> FindKana(char16_t c, char16_t TKanaRow::*column)
{
    for (int i = 0; i < kKanaCount; ++i)
        if (KanaRow(i).*column == c) return KanaRow(i);
    return std::nullopt;
}

std::optional<char16_t> SingleToFull(char16_t c)
{
    if (auto r = SymbolToFull(c)) return r;
    if (auto r = AlnumToFull(c)) return r;
    if (auto row = FindKana(c, &TKanaRow::half)) return row->katakana;
    return std::nullopt;
}

// Appends the half-width form of a double-byte character; false when it has none.
bool AppendHalf(QString& out, char16_t c, bool hiraganaToo)
{
    if (auto r = SymbolToHalf(c)) return out += QChar(*r), true;
    if (auto r = AlnumToHalf(c)) return out += QChar(*r), true;
    for (auto column : {&TVoicedRow::katakana, &TVoicedRow::hiragana}) {
        if (column == &TVoicedRow::hiragana && !hiraganaToo) break;
        if (auto row = FindVoiced(c, column)) return out += QChar(row->half), out += QChar(row->mark), true;
    }
    for (auto column : {&TKanaRow::katakana, &TKanaRow::hiragana}) {
        if (column == &TKanaRow::hiragana && !hiraganaToo) break;
        if (auto row = FindKana(c, column)) return out += QChar(row->half), true;
    }
    return false;
}

QString ConvertToHalf(const QString& text, bool hiraganaToo)
{
    QString out;
    out.reserve(text.size() * 2);
    for (QChar c : text)
        if (IsSingleByteChar(c) || !AppendHalf(out, c.unicode(), hiraganaToo)) out += c;
    return out;
}

}  // namespace

bool IsSingleByteChar(QChar c)
{
    // 0x80 and 0xA0, 0xFD-0xFF decode to U+0080 and U+F8F0-U+F8F3.
    const char16_t u = c.unicode();
    return u <= 0x80 || (u >= 0xFF61 && u <= 0xFF9F) || (u >= 0xF8F0 && u <= 0xF8F3);
}

QString ToFullWidth(const QString& text, QChar exceptChar)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!IsSingleByteChar(c) || (!exceptChar.isNull() && c == exceptChar)) {
            out += c;
            continue;
        }
        if (i + 1 < text.size() && (text[i + 1] == kHalfVoicing || text[i + 1] == kHalfSemiVoicing)) {
            if (auto voiced = VoicedPairToKatakana(c.unicode(), text[i + 1].unicode())) {
                out += QChar(*voiced);
                ++i;
                continue;
            }
        }
        const auto full = SingleToFull(c.unicode());
        out += full ? QChar(*full) : c;
    }
    return out;
}

QString ToHalfWidth(const QString& text)
{
    return ConvertToHalf(text, false);
}

QString ToHalfWidthKana(const QString& text)
{
    return ConvertToHalf(text, true);
}

QString HiraganaToKatakana(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        if (auto row = FindVoiced(c.unicode(), &TVoicedRow::hiragana))
            c = row->katakana;
        else if (auto kana = FindKana(c.unicode(), &TKanaRow::hiragana))
            c = kana->katakana;
    }
    return out;
}

QString FoldForSearch(const QString& text)
{
    return HiraganaToKatakana(ToFullWidth(text.toUpper()));
}

QString DigitsToKanji(const QString& text)
{
    static constexpr char16_t kKanji[] = u"〇一二三四五六七八九";
    QString out = text;
    for (QChar& c : out)
        if (c >= u'０' && c <= u'９') c = kKanji[c.unicode() - u'０'];
    return out;
}

}  // namespace kestrel
