#include <gtest/gtest.h>

#include <limits>

#include "codes/ArrayData.h"
#include "codes/QRCode.h"
#include "codes/QRMatrix.h"
#include "codes/ReedSolomon.h"
#include "platform/BoundedReader.h"
#include "support/SymbolReaders.h"

namespace kestrel {
namespace {

TEST(ArrayData, TouchingAnIndexGrowsTheArrayWithZeros)
{
    TIntArray array;
    EXPECT_EQ(array.Count(), 0);
    array.Set(3, 7);
    EXPECT_EQ(array.Count(), 4);
    EXPECT_EQ(array.Get(0), 0);
    EXPECT_EQ(array.Get(3), 7);
    EXPECT_EQ(array.Get(5), 0);
    EXPECT_EQ(array.Count(), 6);
    EXPECT_EQ(array.Get(-1), 0);
    array.Set(-1, 9);
    EXPECT_EQ(array.Count(), 6);
}

TEST(ArrayData, InsertShiftsAndZeroesTheSlot)
{
    TIntArray array;
    for (int i = 0; i < 3; ++i) array.Set(i, i + 1);
    array.Data().Insert(1);
    ASSERT_EQ(array.Count(), 4);
    EXPECT_EQ(array.Get(0), 1);
    EXPECT_EQ(array.Get(1), 0);
    EXPECT_EQ(array.Get(2), 2);
    EXPECT_EQ(array.Get(3), 3);
}

TEST(ArrayData, EmptyingAndResizingElementsZeroTheStorage)
{
    TArrayData data(4);
    data.Element(2)[0] = 5;
    data.SetCount(0);
    EXPECT_EQ(data.Count(), 0);
    EXPECT_EQ(data.Element(1)[0], 0);  // regrown storage is zeroed
    data.Element(1)[0] = 8;
    data.SetElementSize(2);
    EXPECT_EQ(data.ElementSize(), 2);
    EXPECT_EQ(data.Element(1)[0], 0);
    data.SetElementSize(0);
    EXPECT_EQ(data.ElementSize(), 2);
}

TEST(ArrayData, StreamRoundTripsAndRefusesCountsBeyondTheBytes)
{
    TIntArray array;
    array.Set(0, 0x01020304);
    array.Set(1, -1);
    const QByteArray stream = array.Data().Stream();
    EXPECT_EQ(stream.toHex(), QByteArray("040000000200000004030201ffffffff"));
    TArrayData copy;
    TBoundedReader reader(stream);
    copy.ReadStream(reader);
    EXPECT_EQ(copy.Stream(), stream);

    QByteArray hostile = stream;
    hostile[4] = 0x7f;  // count far beyond the bytes that follow
    TBoundedReader bad(hostile);
    EXPECT_THROW(copy.ReadStream(bad), EReadError);
}

TEST(ReedSolomon, GeneratorAndRemainderMatchTheWorkedExample)
{
    const auto generator = ReedSolomonGenerator(7);
    EXPECT_EQ(std::vector<uint8_t>(generator.begin(), generator.end()),
              (std::vector<uint8_t>{127, 122, 154, 164, 11, 68, 117}));
    // "HELLO WORLD" at version 1-M.
    const std::vector<uint8_t> data = {32, 91, 11, 120, 209, 114, 220, 77, 67, 64, 236, 17, 236, 17, 236, 17};
    std::vector<uint8_t> ec(10);
    ReedSolomonRemainder(data, ec);
    EXPECT_EQ(ec, (std::vector<uint8_t>{196, 35, 39, 119, 235, 215, 231, 226, 93, 23}));
}

TEST(QRCode, ModeFollowsTheData)
{
    EXPECT_EQ(QRModeOf("HELLO WORLD"), 'A');
    EXPECT_EQ(QRModeOf("Hello"), '8');
    EXPECT_EQ(QRModeOf("0123456789"), '0');
    EXPECT_EQ(QRModeOf(""), '8');
    EXPECT_EQ(QRModeOf("$%*+-./: 1"), 'A');
    EXPECT_EQ(QRModeOf("\x82\xa0"), '8');
}

TEST(QRCode, EmptyDataIsAnEmptyByteSegmentInVersionOne)
{
    TQRCode code;
    ASSERT_TRUE(code.Encode());
    EXPECT_EQ(code.EncodeMode(), '8');
    EXPECT_EQ(code.Version(), 1);
    EXPECT_EQ(code.Side(), 21);
    EXPECT_FALSE(code.Dirty());
}

TEST(QRCode, SymbolPixelsFollowTheModulesInsideTheMargin)
{
    TQRCode code;
    code.SetData("HELLO WORLD");
    ASSERT_TRUE(code.Encode());
    const QImage& symbol = code.Symbol();
    ASSERT_EQ(symbol.width(), code.Side() + 8);
    ASSERT_EQ(symbol.height(), code.Side() + 8);
    for (int row = -4; row < code.Side() + 4; ++row) {
        for (int column = -4; column < code.Side() + 4; ++column) {
            const QRgb expected = code.IsDark(column, row) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
            ASSERT_EQ(symbol.pixel(column + 4, row + 4), expected) << column << "," << row;
        }
    }
    EXPECT_TRUE(code.IsDark(0, 0));    // finder corner
    EXPECT_FALSE(code.IsDark(7, 7));   // separator
    EXPECT_TRUE(code.IsDark(8, 13));   // the dark module beside the lower finder

    code.SetMargin(0);
    ASSERT_TRUE(code.Encode());
    EXPECT_EQ(code.Symbol().size(), QSize(code.Side(), code.Side()));

    // A quiet zone from a damaged stream neither overflows the picture's size nor exhausts memory.
    code.SetMargin(std::numeric_limits<int>::max());
    ASSERT_TRUE(code.Encode());
    EXPECT_EQ(code.Margin(), std::numeric_limits<int>::max());
    EXPECT_EQ(code.Symbol().size(), QSize(code.Side() + 128, code.Side() + 128));
    EXPECT_EQ(code.Symbol().pixel(64, 64), qRgb(0, 0, 0));  // the finder's corner inside the drawn zone
}

TEST(QRCode, InvalidSettingsAreIgnoredAndEqualOnesLeaveTheSymbolClean)
{
    TQRCode code;
    code.Encode();
    code.SetErrorCorrectLevel('X');
    code.SetVersion(41);
    code.SetVersion(0);
    code.SetMaskNo(8);
    code.SetMargin(-1);
    code.SetEncodeMode('B');
    code.SetErrorCorrectLevel('M');
    EXPECT_FALSE(code.Dirty());
    EXPECT_EQ(code.ErrorCorrectLevel(), 'M');
    EXPECT_EQ(code.Margin(), 4);
    code.SetMargin(2);
    EXPECT_TRUE(code.Dirty());
    code.Encode();
    code.SetData("A");
    EXPECT_TRUE(code.Dirty());
}

TEST(QRCode, FixedModeTheDataDoesNotFitFallsBackToBytes)
{
    for (const char mode : {'0', 'A'}) {
        TQRCode fixed;
        fixed.SetAutoEncodeMode(false);
        fixed.SetEncodeMode(mode);
        fixed.SetData("12a:");
        ASSERT_TRUE(fixed.Encode());
        EXPECT_EQ(fixed.EncodeMode(), '8') << "stored documents hold the mode used";

        TQRCode bytes;
        bytes.SetData("12a:");
        bytes.SetMaskNo(fixed.MaskNo());
        bytes.SetAutoMask(false);
        ASSERT_TRUE(bytes.Encode());
        ASSERT_EQ(bytes.Side(), fixed.Side());
        for (int c = 0; c < fixed.Side(); ++c)
            for (int r = 0; r < fixed.Side(); ++r) ASSERT_EQ(fixed.IsDark(c, r), bytes.IsDark(c, r));
    }
}

TEST(QRCode, DataBeyondTheCapacityGivesNoSymbolAndSaysWhy)
{
    TQRCode code;
    code.SetErrorCorrectLevel('L');
    code.SetData(QByteArray(2953, 'a'));
    ASSERT_TRUE(code.Encode());
    EXPECT_EQ(code.Version(), 40);
    code.SetData(QByteArray(2954, 'a'));
    EXPECT_FALSE(code.Encode());
    EXPECT_TRUE(code.Symbol().isNull());
    EXPECT_EQ(code.Problem(), TQRProblem::qpTooLong);
    EXPECT_FALSE(code.ProblemMessage().isEmpty());

    code.SetData("HELLO WORLD, THIS IS TOO LONG FOR VERSION 1");
    code.SetAutoVersion(false);
    code.SetVersion(1);
    EXPECT_FALSE(code.Encode());
    EXPECT_EQ(code.Problem(), TQRProblem::qpTooLongForVersion);
    EXPECT_TRUE(code.ProblemMessage().contains(u"バージョン1"));
}

// Builds a square of data modules (masked bit = dark) from rows of '0'/'1'.
std::vector<uint8_t> DataModules(const std::vector<const char*>& rows, uint8_t extra = 0)
{
    const int side = static_cast<int>(rows.size());
    std::vector<uint8_t> modules(size_t(side) * side);
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c) modules[size_t(c) * side + r] = (rows[r][c] == '1' ? kQRMasked : 0) | extra;
    return modules;
}

TEST(QRPenalty, HandWorkedMatrices)
{
    // 5 x 5 light: runs 10 x 3, blocks 16 x 3, balance 10 x (50 / 5).
    const std::vector<const char*> light = {"00000", "00000", "00000", "00000", "00000"};
    EXPECT_EQ(QRPenalty(DataModules(light), 5), 30 + 48 + 100);
    // Dark function modules count as light; there are no data modules to balance.
    EXPECT_EQ(QRPenalty(DataModules(light, kQRFunction | kQRDarkFunction), 5), 30 + 48);
    // One finder-like row in light: light columns 1 and 5 (5 each), six light rows (5 each),
    // the finder stretch 40, 24 light blocks, balance 10 x (|50 - 500 / 49| / 5).
    const std::vector<const char*> finder = {"0000000", "0000000", "0000000", "1011101",
                                             "0000000", "0000000", "0000000"};
    EXPECT_EQ(QRPenalty(DataModules(finder), 7), 10 + 30 + 40 + 72 + 80);
}

TEST(QRPenalty, AutomaticMaskTakesTheLowestPenaltyAndTheLowerNumberOnTies)
{
    struct TProbe {
        const char* data;
        char level;
    };
    // "K26" at 1-M ties masks 0 and 4. segno adds a zero codeword after a stream that ends on a
    // byte boundary short of the capacity; the probes avoid that case (bytes only at capacity).
    const std::vector<TProbe> probes = {{"K26", 'M'}, {"HELLO WORLD", 'Q'}, {"http://example.co", 'L'},
                                        {"012345678901234", 'H'}, {"HTTPS://BAND.EXAMPLE.JP/LIVE", 'M'}};
    QByteArray request;
    std::vector<TQRCode> codes;
    for (const TProbe& probe : probes) {
        TQRCode& code = codes.emplace_back();
        code.SetErrorCorrectLevel(probe.level);
        code.SetData(probe.data);
        ASSERT_TRUE(code.Encode());
        request += QByteArray::number(code.Version()) + ' ' + probe.level + ' ' + code.EncodeMode() + ' ' +
                   QByteArray(probe.data).toHex() + '\n';
    }
    const QList<QByteArray> lines = test::RunTestScript("qr_mask_penalties.py", {}, request).split('\n');
    for (size_t i = 0; i < probes.size(); ++i) {
        const QList<QByteArray> scores = lines.value(qsizetype(i)).split(' ');
        ASSERT_EQ(scores.size(), 8) << probes[i].data;
        int best = 0;
        for (int m = 1; m < 8; ++m)
            if (scores[m].toInt() < scores[best].toInt()) best = m;
        EXPECT_EQ(codes[i].MaskNo(), best) << probes[i].data << ": " << lines.value(qsizetype(i)).toStdString();
    }
    EXPECT_EQ(codes[0].MaskNo(), 0);
}

}  // namespace
}  // namespace kestrel
