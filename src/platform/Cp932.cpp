#include "platform/Cp932.h"

#include <iconv.h>

#include <QHash>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <memory>

namespace kestrel {

namespace {

constexpr char16_t kInvalid = 0;
constexpr char16_t kReplacement = 0xFFFD;

bool IsLeadByte(uint8_t b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The JIS X 0208 forms that input methods produce for characters the code page holds under the
// Microsoft form; storing the twin keeps the text looking the same.
constexpr std::array<std::pair<char16_t, char16_t>, 7> kJisTwins = {{
    {0x301C, 0xFF5E},  // wave dash
    {0x2016, 0x2225},  // double vertical line
    {0x2212, 0xFF0D},  // minus sign
    {0x00A2, 0xFFE0},  // cent sign
    {0x00A3, 0xFFE1},  // pound sign
    {0x00AC, 0xFFE2},  // not sign
    {0x2014, 0x2015},  // em dash
}};

class TIconv {
public:
    TIconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~TIconv()
    {
        if (Valid()) iconv_close(cd_);
    }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;
    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input or returns an empty array.
    QByteArray Convert(QByteArrayView in)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char outBuf[16];
        char* inPtr = const_cast<char*>(in.data());
        size_t inLeft = in.size();
        char* outPtr = outBuf;
        size_t outLeft = sizeof outBuf;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
            return {};
        return QByteArray(outBuf, outPtr - outBuf);
    }

private:
    iconv_t cd_;
};

// Both directions as tables, built once from glibc's CP932 converter: every single byte and every
// lead/trail pair is decoded, and each character met is encoded back so that where the code page
// holds a character twice (NEC and IBM rows) the encoder's own choice is kept.
class TCp932Tables {
public:
    TCp932Tables()
    {
        TIconv decoder("UTF-16LE", "CP932");
        TIconv encoder("CP932", "UTF-16LE");
        if (!decoder.Valid() || !encoder.Valid()) qFatal("glibc has no CP932 converter");
        encode_.insert(0, QByteArray(1, '\0'));
        for (int b = 1; b < 0x100; ++b)
            if (!IsLeadByte(b)) single_[b] = DecodeOne(decoder, encoder, QByteArray(1, char(b)));
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsLeadByte(lead)) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char bytes[] = {char(lead), char(trail)};
                pair_[PairIndex(lead, trail)] = DecodeOne(decoder, encoder, QByteArray(bytes, 2));
            }
        }
        for (const auto& [jis, microsoft] : kJisTwins)
            if (encode_.contains(microsoft)) encode_.insert(jis, encode_.value(microsoft));
    }

    char16_t Single(uint8_t b) const { return single_[b]; }
    char16_t Pair(uint8_t lead, uint8_t trail) const
    {
        return trail >= 0x40 && trail <= 0xFC ? pair_[PairIndex(lead, trail)] : kInvalid;
    }
    // Empty when the code page cannot hold the character.
    QByteArray Encode(char32_t c) const { return c > 0xFFFF ? QByteArray() : encode_.value(char16_t(c)); }

private:
    static int PairIndex(int lead, int trail) { return (lead - 0x81) * 0xBD + (trail - 0x40); }

    char16_t DecodeOne(TIconv& decoder, TIconv& encoder, const QByteArray& bytes)
    {
        const QByteArray utf16 = decoder.Convert(bytes);
        if (utf16.size() != 2) return kInvalid;
        const char16_t c = char16_t(uint8_t(utf16[0]) | uint8_t(utf16[1]) << 8);
        if (c == kInvalid) return kInvalid;
        if (!encode_.contains(c)) {
            const QByteArray preferred = encoder.Convert(utf16);
            encode_.insert(c, preferred.isEmpty() ? bytes : preferred);
        }
        return c;
    }

    std::array<char16_t, 0x100> single_{};
    std::array<char16_t, (0xFC - 0x81 + 1) * 0xBD> pair_{};
    QHash<char16_t, QByteArray> encode_;
};

const TCp932Tables& Tables()
{
    static const TCp932Tables tables;
    return tables;
}

}  // namespace

QByteArray ToCp932(const QString& text)
{
    // Names and most identifiers are plain ASCII, which the code page keeps as it is.
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; })) return text.toLatin1();
    const TCp932Tables& tables = Tables();
    QByteArray out;
    out.reserve(text.size() * 2);
    for (char32_t c : text.toUcs4()) {
        const QByteArray bytes = tables.Encode(c);
        out += bytes.isEmpty() ? QByteArray("?") : bytes;
    }
    return out;
}

QString FromCp932(QByteArrayView bytes)
{
    const TCp932Tables& tables = Tables();
    QString out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uint8_t b = bytes[i];
        if (b == 0) {
            out += QChar(u'\0');
            continue;
        }
        char16_t c = kInvalid;
        if (!IsLeadByte(b))
            c = tables.Single(b);
        else if (i + 1 < bytes.size() && (c = tables.Pair(b, bytes[i + 1])) != kInvalid)
            ++i;  // a broken pair consumes only its lead byte, so a plain trail byte survives
        out += QChar(c == kInvalid ? kReplacement : c);
    }
    return out;
}

bool CanEncodeCp932(const QString& text)
{
    const TCp932Tables& tables = Tables();
    for (char32_t c : text.toUcs4())
        if (tables.Encode(c).isEmpty()) return false;
    return true;
}

bool IsUtf8Text(QByteArrayView bytes)
{
    QStringDecoder probe(QStringDecoder::Utf8);
    const QString decoded = probe.decode(bytes);  // decoding happens only when the result is taken
    return !probe.hasError();
}

QString DecodeTextFile(QByteArrayView bytes)
{
    if (!IsUtf8Text(bytes)) return FromCp932(bytes);
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes = bytes.sliced(3);
    return QString::fromUtf8(bytes);
}

}  // namespace kestrel
