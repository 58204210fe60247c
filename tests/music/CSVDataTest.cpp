#include "platform/CSVData.h"

#include <gtest/gtest.h>

#include "platform/Cp932.h"

namespace kestrel {
namespace {

QList<QByteArray> Parse(QByteArrayView line)
{
    TCSVStringList row;
    row.ParseCSV(line);
    return row.Fields();
}

TEST(CSVData, RowsQuoteWhatNeedsQuotingAndParseBack)
{
    const TCSVStringList row({"a b", "c,d", "say \"hi\"", "", "plain"});
    EXPECT_EQ(row.ToCSV(), "\"a b\",\"c,d\",\"say \"\"hi\"\"\",,plain");
    EXPECT_EQ(Parse(row.ToCSV()), row.Fields());
    EXPECT_EQ(TCSVStringList({""}).ToCSV(), "\"\"");

    EXPECT_EQ(Parse("x,,y"), (QList<QByteArray>{"x", "", "y"}));
    EXPECT_EQ(Parse("x,y,"), (QList<QByteArray>{"x", "y"}));  // no empty last field
    EXPECT_EQ(Parse("\t x ,y"), (QList<QByteArray>{" x ", "y"}));  // control bytes skipped, blanks kept
    EXPECT_EQ(Parse("\"ab\"cd,e"), (QList<QByteArray>{"ab", "cd", "e"}));  // text after the quote stands alone
    EXPECT_EQ(Parse("\"open,end"), (QList<QByteArray>{"open,end"}));  // missing closing quote
}

TEST(CSVData, TrailBytesAreNeverTakenForDelimiters)
{
    // "ソ" is 0x83 0x5C and "表" 0x95 0x5C in code page 932; 0x2C after a lead byte is a trail.
    const QByteArray so = ToCp932(QStringLiteral("ソ表"));
    const QByteArray tricky = QByteArray("\x81\x2C", 2);  // lead byte + comma byte as its trail
    EXPECT_EQ(Parse(QByteArray(so + "," + tricky + "x,y")), (QList<QByteArray>{so, tricky + "x", "y"}));
}

TEST(CSVData, TableLoadsHeaderKeepsQuotedLineBreaksAndSaves)
{
    TCSVData table;
    table.SetHasHeader(true);
    table.LoadFromBytes("title,note\r\nA,\"two\r\nlines\"\nB,x\rC,\"y\"");
    EXPECT_EQ(table.Header().Fields(), (QList<QByteArray>{"title", "note"}));
    ASSERT_EQ(table.RowCount(), 3);
    EXPECT_EQ(table.GetRow(0).Field(1), "two\r\nlines");
    EXPECT_EQ(table.GetRow(2).Field(1), "y");
    EXPECT_EQ(table.GetRow(2).Field(9), "");
    EXPECT_FALSE(table.Modified());

    table.GetRow(1);
    table.SetCurrentField(3, "z");
    EXPECT_TRUE(table.Modified());
    EXPECT_EQ(table.SaveToBytes(), "title,note\r\nA,\"two\r\nlines\"\r\nB,x,,z\r\nC,\"y\"\r\n");
    EXPECT_FALSE(table.Modified());

    TCSVData single;
    single.SetHasHeader(true);
    single.LoadFromBytes("only\r\n");
    EXPECT_EQ(single.RowCount(), 1);  // one line stays a row
}

TEST(CSVData, FindSortAndIndexErrors)
{
    TCSVData table;
    for (const char* name : {"m", "c", "x", "a", "c"}) table.AddRow(TCSVStringList({name, "v"}));
    EXPECT_EQ(table.Find(0, "c"), 1);
    EXPECT_EQ(table.Find(5, ""), 0);  // a missing field reads as empty
    EXPECT_EQ(table.Find(0, "zz"), -1);
    table.Sort(0);
    QList<QByteArray> keys;
    for (int i = 0; i < table.RowCount(); ++i) keys << table.GetRow(i).Field(0);
    EXPECT_EQ(keys, (QList<QByteArray>{"a", "c", "c", "m", "x"}));

    EXPECT_THROW(table.GetRow(5), ECSVError);
    EXPECT_THROW(table.SetRow(-1, {}), ECSVError);
    try {
        table.Find(-1, "a");
        ADD_FAILURE();
    } catch (const ECSVError& e) {
        EXPECT_EQ(e.Message(), "Out Of Index in Find");
    }
}

TEST(CSVData, NulBytesSeparateLikeOtherControlBytesAndAreQuotedOnWrite)
{
    EXPECT_EQ(Parse(QByteArray("a\0b,c\0", 6)), (QList<QByteArray>{"a", "b", "c"}));
    EXPECT_EQ(Parse(QByteArray("\0\0", 2)), QList<QByteArray>{});
    const TCSVStringList row({QByteArray("x\0y", 3)});
    EXPECT_EQ(row.ToCSV(), QByteArray("\"x\0y\"", 5));
    EXPECT_EQ(Parse(row.ToCSV()), row.Fields());

    TCSVData table;
    table.LoadFromBytes(QByteArray("a\nb\0\n", 5));
    ASSERT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.GetRow(1).Fields(), QList<QByteArray>{"b"});
}

QString LoadError(TCSVData& table, const QByteArray& bytes)
{
    try {
        table.LoadFromBytes(bytes);
    } catch (const ECSVError& e) {
        return e.Message();
    }
    return {};
}

TEST(CSVData, RecordsFieldsAndRowsBeyondTheirBoundsAreRefusedNamingTheLine)
{
    TCSVData table;
    table.SetHasHeader(true);
    table.LoadFromBytes("h\r\nkept\r\n");
    // A quoted line break counts as a line, as an editor shows it.
    const QByteArray longRecord = "h\r\n\"a\nb\"\r\n" + QByteArray(MaxCSVRecordBytes + 1, 'x') + "\r\n";
    EXPECT_EQ(LoadError(table, longRecord), QStringLiteral("CSV の 4 行目: 1 行が 1048576 バイトを超えています"));

    QByteArray manyFields = "h\n";
    for (int i = 0; i <= MaxCSVFields; ++i) manyFields += "f,";
    EXPECT_EQ(LoadError(table, manyFields), QStringLiteral("CSV の 2 行目: 項目が 4096 個を超えています"));

    const QByteArray manyRows = "h\n" + QByteArray("r\n").repeated(MaxCSVRows + 1);
    EXPECT_EQ(LoadError(table, manyRows), QStringLiteral("CSV の 200002 行目: 行が 200000 行を超えています"));
    // A refused file leaves the table as it was.
    ASSERT_EQ(table.RowCount(), 1);
    EXPECT_EQ(table.GetRow(0).Field(0), "kept");

    EXPECT_TRUE(LoadError(table, "h\n" + QByteArray("r\n").repeated(MaxCSVRows)).isEmpty());
    EXPECT_EQ(table.RowCount(), MaxCSVRows);
}

}  // namespace
}  // namespace kestrel
