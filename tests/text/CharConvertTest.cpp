#include "text/CharConvert.h"

#include <QHash>
#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(CharConvert, FullWidthPairsVoicedKanaAndKeepsTheExceptionCharacter)
{
    EXPECT_EQ(ToFullWidth(u"ｶﾞｷﾞ-12"_qs, u'-'), u"ガギ-１２"_qs);
    EXPECT_EQ(ToFullWidth(u"ｶﾞｷﾞ-12"_qs), u"ガギ－１２"_qs);
    EXPECT_EQ(ToFullWidth(u"ﾜﾞ"_qs), u"ワ゛"_qs);  // no such pair: the mark goes on alone
    EXPECT_EQ(ToFullWidth(u"ｳﾞﾊﾟﾝ"_qs), u"ヴパン"_qs);
    EXPECT_EQ(ToFullWidth(u"Ab~ 漢字ｧ"_qs), u"Ａｂ″ 漢字ァ"_qs);
    EXPECT_EQ(ToFullWidth(u"ﾞ"_qs), u"゛"_qs);
}

TEST(CharConvert, HalfWidthKanaTakesTheFirstRowOfEachCharacter)
{
    EXPECT_EQ(ToHalfWidthKana(u"がっこう"_qs), u"ｶﾞｯｺｳ"_qs);
    EXPECT_EQ(ToHalfWidthKana(u"ヴヰヱ"_qs), u"ﾌﾞｬｭ"_qs);
    EXPECT_EQ(ToHalfWidth(u"がッコウ１２Ａ！"_qs), u"がｯｺｳ12A!"_qs);  // hiragana stay
    EXPECT_EQ(HiraganaToKatakana(u"ぶどうゐabc"_qs), u"ブドウヰabc"_qs);
    EXPECT_EQ(DigitsToKanji(u"２００５年12"_qs), u"二〇〇五年12"_qs);
}

// Python's cp932 codec and NFKC: for every character code page 932 holds, its byte count and
// its compatibility form.
struct TReference {
    QHash<char16_t, int> bytes;
    QHash<char16_t, QString> nfkc;
    QHash<QString, QString> nfkcPairs;  // half-width kana followed by a voicing mark
};

const TReference& Reference()
{
    static const TReference ref = [] {
        const char* script = R"(
import unicodedata
for c in range(0x20, 0x10000):
    if 0xD800 <= c < 0xE000: continue
    ch = chr(c)
    try: b = ch.encode('cp932')
    except UnicodeEncodeError: continue
    if b.decode('cp932') != ch: continue
    print('%x %d %s' % (c, len(b), ' '.join('%x' % ord(x) for x in unicodedata.normalize('NFKC', ch))))
for c in range(0xff61, 0xffa0):
    for mark in (0xff9e, 0xff9f):
        pair = chr(c) + chr(mark)
        print('%x%x 2 %s' % (c, mark, ' '.join('%x' % ord(x) for x in unicodedata.normalize('NFKC', pair))))
)";
        QProcess python;
        python.start("/usr/bin/python3", {"-c", script});
        EXPECT_TRUE(python.waitForFinished(60000));
        TReference r;
        for (const QByteArray& line : python.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() < 3) continue;
            QString n;
            for (qsizetype i = 2; i < parts.size(); ++i) n += QChar(char16_t(parts[i].toUInt(nullptr, 16)));
            const uint code = parts[0].toUInt(nullptr, 16);
            if (code > 0xFFFF) {
                r.nfkcPairs.insert(QString(QChar(char16_t(code >> 16))) + QChar(char16_t(code & 0xFFFF)), n);
                continue;
            }
            r.bytes.insert(char16_t(code), parts[1].toInt());
            r.nfkc.insert(char16_t(code), n);
        }
        return r;
    }();
    return ref;
}

QString Nfkc(const QString& s)
{
    if (Reference().nfkcPairs.contains(s)) return Reference().nfkcPairs.value(s);
    QString out;
    for (QChar c : s) out += Reference().nfkc.value(c.unicode(), QString(c));
    return out;
}

// Where the tables deliberately part from the compatibility forms, each with its reason.
const QHash<QString, const char*>& DeliberateDifferences()
{
    static const QHash<QString, const char*> list = {
        {u"\"”"_qs, "the double quote's full-width row is the closing quotation mark"},
        {u"'’"_qs, "the apostrophe's full-width row is the closing single quotation mark"},
        {u"*×"_qs, "the asterisk's full-width row is the multiplication sign"},
        {u"\\￥"_qs, "byte 0x5C is shown as a yen sign, so its full-width row is the full-width yen"},
        {u"~″"_qs, "the tilde's full-width row is the double prime"},
        {u"ﾞ゛"_qs, "the half-width voicing mark becomes the spacing full-width mark"},
        {u"ﾟ゜"_qs, "the half-width semi-voicing mark becomes the spacing full-width mark"},
        {u"ﾌﾞヴ"_qs, "ヴ shares the row of ブ, whose half-width pair comes first"},
        {u"ｶヵ"_qs, "small ヵ has no half-width form and shares the row of カ"},
        {u"ｹヶ"_qs, "small ヶ has no half-width form and shares the row of ケ"},
        {u"ｬヰ"_qs, "ヰ has no half-width form; its row is written with ｬ"},
        {u"ｭヱ"_qs, "ヱ has no half-width form; its row is written with ｭ"},
        {u"ﾜヮ"_qs, "small ヮ has no half-width form and shares the row of ワ"},
    };
    return list;
}

bool IsDeliberate(const QString& half, const QString& full)
{
    return DeliberateDifferences().contains(half + full);
}

int ByteCount(const QString& s)
{
    int n = 0;
    for (QChar c : s) n += Reference().bytes.value(c.unicode(), 0);
    return n;
}

QString Katakana(const QString& hiragana)
{
    QString out;
    for (QChar c : hiragana) out += QChar(char16_t(c.unicode() + 0x60));
    return out;
}

TEST(CharConvertReference, FullAndHalfWidthAgreeWithNfkcAndTheCodePage)
{
    const TReference& ref = Reference();
    ASSERT_GT(ref.bytes.size(), 7000);
    QSet<QString> usedDifferences;
    for (auto it = ref.bytes.cbegin(); it != ref.bytes.cend(); ++it) {
        const QString c(QChar(it.key()));
        EXPECT_EQ(IsSingleByteChar(c[0]), it.value() == 1) << c.toStdString();
        if (it.value() == 1) {
            const QString full = ToFullWidth(c);
            if (full == c) continue;
            EXPECT_EQ(ByteCount(full), 2) << c.toStdString();
            if (IsDeliberate(c, full))
                usedDifferences.insert(c + full);
            else
                EXPECT_EQ(Nfkc(full), Nfkc(c)) << c.toStdString() << " -> " << full.toStdString();
            continue;
        }
        for (bool kana : {false, true}) {
            const QString half = kana ? ToHalfWidthKana(c) : ToHalfWidth(c);
            if (half == c) continue;
            EXPECT_EQ(ByteCount(half), half.size()) << c.toStdString();
            const bool hiragana = it.key() >= u'ぁ' && it.key() <= u'ゖ';
            const QString expected = hiragana ? Katakana(c) : c;
            if (IsDeliberate(half, hiragana ? Katakana(c) : c))
                usedDifferences.insert(half + expected);
            else
                EXPECT_EQ(Nfkc(half), Nfkc(expected)) << c.toStdString() << " -> " << half.toStdString();
        }
        const QString katakana = HiraganaToKatakana(c);
        if (katakana != c) EXPECT_EQ(katakana, Katakana(c));
    }
    // Every full-width form and kana whose compatibility form is one half-width character converts
    // back, except the rows the table gives to another character.
    const QSet<QString> heldByOtherRows = {u"＂"_qs, u"＇"_qs, u"＊"_qs, u"～"_qs, u"￣"_qs, u"＼"_qs};
    for (auto it = ref.nfkc.cbegin(); it != ref.nfkc.cend(); ++it) {
        const QString c(QChar(it.key()));
        const bool fullWidthBlock = (it.key() >= 0xFF01 && it.key() <= 0xFFEF) || (it.key() > 0x3000 && it.key() <= 0x30FF);
        if (!fullWidthBlock || ref.bytes.value(it.key()) != 2 || it.value().size() != 1 ||
            ref.bytes.value(it.value()[0].unicode()) != 1)
            continue;
        if (heldByOtherRows.contains(c)) continue;
        EXPECT_EQ(ToHalfWidth(c), it.value()) << c.toStdString();
    }
    for (auto it = DeliberateDifferences().cbegin(); it != DeliberateDifferences().cend(); ++it)
        EXPECT_TRUE(usedDifferences.contains(it.key())) << "unused difference " << it.key().toStdString();
}

}  // namespace
}  // namespace kestrel
