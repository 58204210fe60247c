#include <gtest/gtest.h>

#include <QDateTime>

#include "paper/VersionUpFile.h"
#include "platform/Cp932.h"

namespace kestrel {
namespace {

// 1 April 2005 10:30:00 as days since 30 December 1899.
const double AprilFoolsMorning = 38443 + 10.5 / 24;

TEST(ReadUpdateDateTime, AnySingleCharacterSeparatesAndBlanksBetweenAreSkipped)
{
    EXPECT_DOUBLE_EQ(ReadUpdateDateTime("2005/04/01 10:30:00"), AprilFoolsMorning);
    EXPECT_DOUBLE_EQ(ReadUpdateDateTime("2005-4-1 10:30:00"), AprilFoolsMorning);
    EXPECT_DOUBLE_EQ(ReadUpdateDateTime("  2005 . 4 . 1\t10 : 30 : 00  "), AprilFoolsMorning);
    // Double-byte separators and a full-width space.
    EXPECT_DOUBLE_EQ(ReadUpdateDateTime(ToCp932(QStringLiteral("2005／4／1　10：30：00"))), AprilFoolsMorning);
    // No separator is read between day and hour: a day's "日" becomes the hour, and so on.
    EXPECT_DOUBLE_EQ(ReadUpdateDateTime(ToCp932(QStringLiteral("2005年4月1日 10時30分"))), 38443.0);
    EXPECT_DOUBLE_EQ(ReadUpdateDateTime("2005.4.1"), 38443.0);
}

TEST(ReadUpdateDateTime, AnImpossibleDateOrTimeGivesZero)
{
    EXPECT_EQ(ReadUpdateDateTime("2005/13/01"), 0);
    EXPECT_EQ(ReadUpdateDateTime("2005/02/29"), 0);
    EXPECT_EQ(ReadUpdateDateTime("2005/04/01 24:00:00"), 0);
    EXPECT_EQ(ReadUpdateDateTime("2005/04/01 10:60"), 0);
    EXPECT_EQ(ReadUpdateDateTime("0/1/1"), 0);
    EXPECT_EQ(ReadUpdateDateTime("20050401"), 0);  // one number: no month
    EXPECT_EQ(ReadUpdateDateTime("9999999999/1/1"), 0);
    EXPECT_EQ(ReadUpdateDateTime(""), 0);
    EXPECT_EQ(ReadUpdateDateTime("x"), 0);
}

// A lead byte at the very end (or a full-width space cut in half) is one character of its own.
TEST(ReadUpdateDateTime, NeverReadsPastTheEndOfItsText)
{
    const QByteArray whole("2005/4/1\x81\x40" "10:30:00\x81\x40");
    for (qsizetype length = 0; length <= whole.size(); ++length) {
        const QByteArray cut = whole.left(length);  // its own allocation, so a sanitizer sees an overread
        ReadUpdateDateTime(cut);
    }
    EXPECT_DOUBLE_EQ(ReadUpdateDateTime(whole), AprilFoolsMorning);
    EXPECT_DOUBLE_EQ(ReadUpdateDateTime(QByteArray("2005/4/1 \x81")), 38443.0);
    EXPECT_EQ(ReadUpdateDateTime(QByteArray("2005\x88")), 0);
}

TEST(SplitCommaText, CommasAndBlanksSeparateExceptInQuotes)
{
    EXPECT_EQ(SplitCommaText("12,\"2005/04/01 10:30:00\""), (QList<QByteArray>{"12", "2005/04/01 10:30:00"}));
    EXPECT_EQ(SplitCommaText("12,2005/04/01 10:30:00"), (QList<QByteArray>{"12", "2005/04/01", "10:30:00"}));
    EXPECT_EQ(SplitCommaText(" a , \"say \"\"hi\"\"\" ,,b,"), (QList<QByteArray>{"a", "say \"hi\"", "", "b", ""}));
    EXPECT_EQ(SplitCommaText("\"open"), QList<QByteArray>{"open"});
    EXPECT_TRUE(SplitCommaText("   ").isEmpty());
    EXPECT_EQ(SplitCommaText(QByteArray("a,b\0c", 5)), (QList<QByteArray>{"a", "b"}));
}

TEST(ReadVersionUpFile, ThreeLinesGiveNumberDateAndCatalogue)
{
    const auto found = ReadVersionUpFile("CORVIDNET VERSION UP FILE\r\n12,\"2005/04/01 10:30:00\"\r\nKestrelMusic.ppz\r\n");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->version, 12);
    EXPECT_DOUBLE_EQ(found->date, AprilFoolsMorning);
    EXPECT_EQ(found->catalogue, "KestrelMusic.ppz");
    EXPECT_TRUE(found->Compressed());

    // Lower case, bare line feeds, no break after the third line, a date without quotes (the
    // time becomes a third item), a catalogue in capitals.
    const auto plain = ReadVersionUpFile("corvidnet version up file\n7,2005/04/01 10:30:00\nKestrelMusic.PPR");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->version, 7);
    EXPECT_DOUBLE_EQ(plain->date, 38443.0);
    EXPECT_FALSE(plain->Compressed());
    EXPECT_TRUE(ReadVersionUpFile("CORVIDNET VERSION UP FILE\r12,2005/4/1\rx.ppr\r"));
}

TEST(ReadVersionUpFile, AnythingButExactlyTheThreeLinesIsRefused)
{
    EXPECT_FALSE(ReadVersionUpFile("CORVIDNET VERSION UP FILE\r\n12,2005/4/1\r\nx.ppz\r\n\r\n"));  // a fourth, empty line
    EXPECT_FALSE(ReadVersionUpFile("CORVIDNET VERSION UP FILE\r\n12,2005/4/1\r\n"));
    EXPECT_FALSE(ReadVersionUpFile("CORVIDNET VERSION UP FILE \r\n12,2005/4/1\r\nx.ppz"));  // more on line 1
    EXPECT_FALSE(ReadVersionUpFile("<html>\r\n12,2005/4/1\r\nx.ppz"));
    EXPECT_FALSE(ReadVersionUpFile("CORVIDNET VERSION UP FILE\r\n12\r\nx.ppz"));  // a short line 2
    EXPECT_FALSE(ReadVersionUpFile("CORVIDNET VERSION UP FILE\r\n12,2005/4/1\r\n  "));  // no catalogue
    EXPECT_FALSE(ReadVersionUpFile(""));
    EXPECT_FALSE(ReadVersionUpFile(QByteArray(MaxVersionUpFileSize + 1, '\n')));
    // A number that is none counts as 0, which the dialog shows as nothing new.
    EXPECT_EQ(ReadVersionUpFile("CORVIDNET VERSION UP FILE\r\nabc,2005/4/1\r\nx.ppz")->version, 0);
}

TEST(VersionTexts, PatternNumbersHaveFourDigitsAndDatesAreJapanese)
{
    EXPECT_EQ(PatternNumberText(7), "0007");
    EXPECT_EQ(PatternNumberText(12345), "12345");
    EXPECT_EQ(UpdateDateText(AprilFoolsMorning), "2005年4月1日");
    EXPECT_EQ(UpdateDateText(0.75), "未更新");
    EXPECT_EQ(UpdateDateText(-3), "未更新");
    EXPECT_EQ(UpdateDateTimeText(AprilFoolsMorning), "2005/04/01 10:30:00");
    EXPECT_DOUBLE_EQ(ReadUpdateDateTime(ToCp932(UpdateDateTimeText(AprilFoolsMorning))), AprilFoolsMorning);
    EXPECT_EQ(UpdateDateTimeText(0), "");
}

}  // namespace
}  // namespace kestrel
