#include <gtest/gtest.h>

#include <functional>

#include "StreamTestClasses.h"
#include "document/stream/ValueCodec.h"
#include "platform/BoundedReader.h"
#include "platform/Cp932.h"
#include "platform/Error.h"

namespace kestrel {
namespace {

const QString ReadErrorText = QStringLiteral("ストリームからの読み込みエラー");
const QString FormatErrorText = QStringLiteral("不正なストリーム フォーマット");
const QString ValueErrorText = QStringLiteral("不正なプロパティの値です");

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

QByteArray Written(const std::function<void(TWriter&)>& write)
{
    QByteArray out;
    TWriter writer(out);
    write(writer);
    return out;
}

// Runs read on a reader over bytes and returns the message it failed with.
QString FailureOf(const QByteArray& bytes, const std::function<void(TReader&)>& read)
{
    TBoundedReader in(bytes);
    TReader reader(in);
    try {
        read(reader);
    } catch (const EReadError& e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}

TEST(ValueCodec, IntegersTakeTheSmallestTag)
{
    EXPECT_EQ(Written([](TWriter& w) { w.WriteInteger(127); }), Hex("027f"));
    EXPECT_EQ(Written([](TWriter& w) { w.WriteInteger(-128); }), Hex("0280"));
    EXPECT_EQ(Written([](TWriter& w) { w.WriteInteger(128); }), Hex("038000"));
    EXPECT_EQ(Written([](TWriter& w) { w.WriteInteger(-129); }), Hex("037fff"));
    EXPECT_EQ(Written([](TWriter& w) { w.WriteInteger(40000); }), Hex("04409c0000"));
    EXPECT_EQ(Written([](TWriter& w) { w.WriteInteger(int64_t(1) << 32); }), Hex("130000000001000000"));

    const QByteArray all =
        Hex("027f"
            "037fff"
            "04409c0000"
            "130000000001000000");
    TBoundedReader in(all);
    TReader reader(in);
    EXPECT_EQ(reader.ReadInteger(), 127);
    EXPECT_EQ(reader.ReadInteger(), -129);
    EXPECT_EQ(reader.ReadInt64(), 40000);
    EXPECT_EQ(reader.ReadInt64(), int64_t(1) << 32);
    EXPECT_EQ(FailureOf(Hex("130000000001000000"), [](TReader& r) { r.ReadInteger(); }), ValueErrorText);
    EXPECT_EQ(FailureOf(Hex("0603616263"), [](TReader& r) { r.ReadInteger(); }), ValueErrorText);
}

TEST(ValueCodec, StringsAreShortUpTo255BytesAndCodePage932)
{
    const QByteArray at255 = Written([](TWriter& w) { w.WriteString(QString(255, 'x')); });
    EXPECT_EQ(at255.size(), 257);
    EXPECT_EQ(at255.left(2), Hex("06ff"));
    const QByteArray at256 = Written([](TWriter& w) { w.WriteString(QString(256, 'x')); });
    EXPECT_EQ(at256.left(5), Hex("0c00010000"));
    EXPECT_EQ(at256.size(), 261);
    // 128 kana are 256 bytes in code page 932.
    const QString kana(128, QChar(0x3042));
    EXPECT_EQ(Written([&](TWriter& w) { w.WriteString(kana); }).left(7), Hex("0c0001000082a0"));
    EXPECT_EQ(Written([](TWriter& w) { w.WriteString(QStringLiteral("表")); }), Hex("0602955c"));

    const QByteArray bytes = at256 + Hex("0602955c"
                                         "1202000000 4230 5a00"
                                         "1406000000 e38182 414243");
    TBoundedReader in(bytes);
    TReader reader(in);
    EXPECT_EQ(reader.ReadString(), QString(256, 'x'));
    EXPECT_EQ(reader.ReadString(), QStringLiteral("表"));
    EXPECT_EQ(reader.ReadString(), QStringLiteral("あZ"));    // wide string
    EXPECT_EQ(reader.ReadString(), QStringLiteral("あABC"));  // UTF-8 string
    EXPECT_TRUE(in.AtEnd());
}

TEST(ValueCodec, OtherValueKindsAndTheirAlternativeTags)
{
    const QByteArray bytes = Written([](TWriter& w) {
        w.WriteFloat(1.0);
        w.WriteBoolean(true);
        w.WriteIdent("clRed");
        w.WriteBinary("\x01\x02");
        w.WriteSet(test::TestOptionInfo(), 0b101);
    });
    EXPECT_EQ(bytes, Hex("050000000000000080ff3f"
                         "09"
                         "0705636c526564"
                         "0a020000000102"
                         "0b07746f466972737407746f546869726400"));
    TBoundedReader in(bytes);
    TReader reader(in);
    EXPECT_EQ(reader.ReadFloat(), 1.0);
    EXPECT_TRUE(reader.ReadBoolean());
    EXPECT_EQ(reader.ReadIdent(), "clRed");
    EXPECT_EQ(reader.ReadBinary(), QByteArray("\x01\x02"));
    EXPECT_EQ(reader.ReadSet(test::TestOptionInfo()), 0b101u);

    // Single, currency, date and integers read as floats; the constant tags as identifiers.
    const QByteArray others =
        Hex("0f0000c03f"
            "10"
            "409c000000000000"
            "11"
            "0000000000000440"
            "02fe"
            "08090d00");
    TBoundedReader in2(others);
    TReader r2(in2);
    EXPECT_EQ(r2.ReadFloat(), 1.5);
    EXPECT_EQ(r2.ReadFloat(), 4.0);
    EXPECT_EQ(r2.ReadFloat(), 2.5);
    EXPECT_EQ(r2.ReadFloat(), -2.0);
    EXPECT_EQ(r2.ReadIdent(), "False");
    EXPECT_EQ(r2.ReadIdent(), "True");
    EXPECT_EQ(r2.ReadIdent(), "nil");
    EXPECT_EQ(r2.ReadIdent(), "Null");

    EXPECT_EQ(
        FailureOf(Hex("0b0a746f4e6f6e6578697374"), [](TReader& r) { r.ReadSet(test::TestOptionInfo()); }),
        ValueErrorText);
    EXPECT_EQ(FailureOf(Hex("15"), [](TReader& r) { r.ReadValueType(); }), FormatErrorText);
}

TEST(ValueCodec, SkipValuePassesOverEveryKind)
{
    const QByteArray bytes =
        Hex("01"
            "027f"
            "0603616263"
            "0e"
            "01"
            "0156"
            "0201"
            "00"
            "00"
            "00"
            "0b014100"
            "1201000000 4100"
            "0a0100000000"
            "09");
    TBoundedReader in(bytes);
    TReader reader(in);
    reader.SkipValue();  // list with an int, a string and a collection of one item
    reader.SkipValue();  // set
    reader.SkipValue();  // wide string
    reader.SkipValue();  // binary
    EXPECT_TRUE(reader.ReadBoolean());
    EXPECT_TRUE(in.AtEnd());
}

TEST(ValueCodec, HostileLengthsFailBeforeAllocating)
{
    auto readString = [](TReader& r) { r.ReadString(); };
    EXPECT_EQ(FailureOf(Hex("0cffffff7f616263"), readString), ReadErrorText);
    EXPECT_EQ(FailureOf(Hex("12ffffff3f4100"), readString), ReadErrorText);
    EXPECT_EQ(FailureOf(Hex("14ffffff7f41"), readString), ReadErrorText);
    EXPECT_EQ(FailureOf(Hex("0c00000080"), readString), FormatErrorText);  // negative length
    EXPECT_EQ(FailureOf(Hex("0606616263"), readString), ReadErrorText);
    EXPECT_EQ(FailureOf(Hex("0affffff7f00"), [](TReader& r) { r.ReadBinary(); }), ReadErrorText);
    EXPECT_EQ(FailureOf(Hex("05000000000000"), [](TReader& r) { r.ReadFloat(); }), ReadErrorText);
    EXPECT_EQ(FailureOf(Hex("0b0361"), [](TReader& r) { r.ReadSet(test::TestOptionInfo()); }), ReadErrorText);
    EXPECT_EQ(FailureOf(Hex("01020100"), [](TReader& r) { r.ReadStringList(); }), ValueErrorText);
    EXPECT_EQ(FailureOf(Hex("01060141"), [](TReader& r) { r.ReadStringList(); }), ReadErrorText);
}

TEST(ValueCodec, NestingIsCapped)
{
    const QByteArray deep = QByteArray(100, '\x01') + QByteArray(100, '\x00');
    EXPECT_EQ(FailureOf(deep, [](TReader& r) { r.SkipValue(); }), QStringLiteral("入れ子が 64 段を超えています"));
    const QByteArray shallow = QByteArray(10, '\x01') + QByteArray(10, '\x00');
    EXPECT_EQ(FailureOf(shallow, [](TReader& r) { r.SkipValue(); }), QStringLiteral("(no error)"));
    EXPECT_EQ(FailureOf(QByteArray(100, '\x01'), [](TReader& r) { r.SkipValue(); }), QStringLiteral("入れ子が 64 段を超えています"));
}

TEST(ValueCodec, StringsLongerThanALabelHoldsAreRefusedNamingTheLimit)
{
    const QString limit = QStringLiteral("文字列が 4194304 文字を超えています");
    const QString justOver(TReader::MaxStringCharacters + 1, u'x');
    EXPECT_EQ(FailureOf(Written([&](TWriter& w) { w.WriteString(justOver); }), [](TReader& r) { r.ReadString(); }), limit);
    // Many lines that are short each but long together.
    const QByteArray lines = Written([](TWriter& w) {
        w.WriteListBegin();
        for (int i = 0; i < 5; ++i) w.WriteString(QString(TReader::MaxStringCharacters / 4, u'y'));
        w.WriteListEnd();
    });
    EXPECT_EQ(FailureOf(lines, [](TReader& r) { r.ReadStringList(); }), limit);
    const QString atLimit(TReader::MaxStringCharacters, u'z');
    EXPECT_EQ(FailureOf(Written([&](TWriter& w) { w.WriteString(atLimit); }), [](TReader& r) { r.ReadString(); }),
              QStringLiteral("(no error)"));
}

TEST(Cp932, ConvertsBothWaysAndMarksWhatItCannotHold)
{
    EXPECT_EQ(ToCp932(QStringLiteral("ｱ表～")), Hex("b1955c8160"));
    EXPECT_EQ(FromCp932(Hex("b1955c8160")), QStringLiteral("ｱ表～"));
    EXPECT_TRUE(CanEncodeCp932(QStringLiteral("①髙")));
    EXPECT_FALSE(CanEncodeCp932(QStringLiteral("a😀")));
    EXPECT_EQ(ToCp932(QStringLiteral("a😀b")), QByteArray("a?b"));
    EXPECT_EQ(FromCp932(Hex("41 82")), QStringLiteral("A\uFFFD"));  // cut in the middle of a character
}

}  // namespace
}  // namespace kestrel
