#include <gtest/gtest.h>

#include <QHash>
#include <QProcess>

#include "platform/Cp932.h"

namespace kestrel {
namespace {

// Python's cp932 codec as the independent reference: every single byte and every lead/trail
// pair, decoded ("-" where Python refuses it).
QHash<QByteArray, QString> PythonDecodeTable()
{
    const char* script = R"(
import sys
def emit(b):
    try: s = b.decode('cp932')
    except UnicodeDecodeError: s = None
    print(b.hex(), '-' if s is None else ' '.join('%x' % ord(c) for c in s))
for i in range(1, 256):
    if not (0x81 <= i <= 0x9f or 0xe0 <= i <= 0xfc): emit(bytes([i]))
for lead in list(range(0x81, 0xa0)) + list(range(0xe0, 0xfd)):
    for trail in range(0x40, 0xfd): emit(bytes([lead, trail]))
)";
    QProcess python;
    python.start("/usr/bin/python3", {"-c", script});
    EXPECT_TRUE(python.waitForFinished(60000));
    QHash<QByteArray, QString> table;
    for (const QByteArray& line : python.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() < 2 || parts[1] == "-") continue;
        QString text;
        for (qsizetype i = 1; i < parts.size(); ++i) text += QChar(char16_t(parts[i].toUInt(nullptr, 16)));
        table.insert(QByteArray::fromHex(parts[0]), text);
    }
    return table;
}

const QHash<QByteArray, QString>& Reference()
{
    static const QHash<QByteArray, QString> table = PythonDecodeTable();
    return table;
}

TEST(Cp932, DecodesEveryByteSequenceAsPythonDoes)
{
    ASSERT_GT(Reference().size(), 7000);
    // Python's codec gives 0x80, 0xA0 and 0xFD-0xFF private meanings that glibc does not have.
    const QList<QByteArray> pythonOnly = {"\x80", "\xa0", "\xfd", "\xfe", "\xff"};
    int compared = 0;
    for (auto it = Reference().cbegin(); it != Reference().cend(); ++it) {
        if (pythonOnly.contains(it.key())) {
            EXPECT_EQ(FromCp932(it.key()), QString(QChar(0xFFFD)));
            continue;
        }
        EXPECT_EQ(FromCp932(it.key()), it.value()) << it.key().toHex().constData();
        ++compared;
    }
    EXPECT_GT(compared, 7000);
}

TEST(Cp932, EveryCharacterTheCodePageHoldsRoundTripsThroughPython)
{
    for (auto it = Reference().cbegin(); it != Reference().cend(); ++it) {
        const QString& character = it.value();
        if (character.size() != 1 || character[0] == QChar(0xFFFD) || FromCp932(it.key()) != character)
            continue;
        const QByteArray encoded = ToCp932(character);
        // Characters held twice (NEC and IBM rows) may come out as either; Python must read them back.
        EXPECT_EQ(Reference().value(encoded), character) << it.key().toHex().constData();
        EXPECT_TRUE(CanEncodeCp932(character));
    }
}

TEST(Cp932, KnownCharactersEncodeToTheirCodePageBytes)
{
    EXPECT_EQ(ToCp932(u"ｱｶﾞ"_qs), QByteArray("\xb1\xb6\xde"));
    EXPECT_EQ(ToCp932(u"～"_qs), QByteArray("\x81\x60"));
    EXPECT_EQ(ToCp932(u"①㈱"_qs), QByteArray("\x87\x40\x87\x8a"));
    EXPECT_EQ(ToCp932(u"髙"_qs), QByteArray("\xfb\xfc"));
    EXPECT_EQ(ToCp932(u"ⅰ"_qs), QByteArray("\xfa\x40"));
    EXPECT_EQ(ToCp932(QString(QChar(0xE000))), QByteArray("\xf0\x40"));
    EXPECT_EQ(ToCp932(u"abc\\~"_qs), QByteArray("abc\\~"));
}

TEST(Cp932, JisFormsAreStoredAsTheirCodePageTwins)
{
    EXPECT_EQ(ToCp932(u"\u301C"_qs), ToCp932(u"\uFF5E"_qs));
    EXPECT_EQ(ToCp932(u"\u2212"_qs), ToCp932(u"\uFF0D"_qs));
    EXPECT_EQ(ToCp932(u"\u00AC"_qs), ToCp932(u"\uFFE2"_qs));
    EXPECT_TRUE(CanEncodeCp932(u"\u301C"_qs));
}

TEST(Cp932, CharactersOutsideTheCodePageAreRefusedAndBecomeQuestionMarks)
{
    // The yen sign must not turn into the backslash byte: it would change paths and text.
    for (const QString& text : {u"¥"_qs, u"¦"_qs, u"한"_qs, u"😀"_qs, u"é"_qs}) {
        EXPECT_FALSE(CanEncodeCp932(text)) << text.toStdString();
        EXPECT_EQ(ToCp932(text), QByteArray("?")) << text.toStdString();
    }
    EXPECT_EQ(ToCp932(u"a😀b"_qs), QByteArray("a?b"));
    EXPECT_FALSE(CanEncodeCp932(u"ラベル¥"_qs));
    EXPECT_TRUE(CanEncodeCp932(u"ラベル\\"_qs));
}

TEST(Cp932, BrokenInputDecodesWithReplacementCharacters)
{
    EXPECT_EQ(FromCp932("\x81"), u"\uFFFD"_qs);
    // A lead byte with an impossible trail loses only itself; the plain trail byte survives.
    EXPECT_EQ(FromCp932("\x81\x20x"), u"\uFFFD x"_qs);
    EXPECT_EQ(FromCp932("\x85\x40"), u"\uFFFD@"_qs);
    EXPECT_EQ(FromCp932(QByteArray("a\0b", 3)), QString::fromUtf16(u"a\0b", 3));
    EXPECT_EQ(ToCp932(QString::fromUtf16(u"a\0b", 3)), QByteArray("a\0b", 3));
    EXPECT_EQ(FromCp932(ToCp932(u"ラベル印刷 ～ Kestrel"_qs)), u"ラベル印刷 ～ Kestrel"_qs);
}

}  // namespace
}  // namespace kestrel
