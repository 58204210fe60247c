#include <gtest/gtest.h>

#include <QImage>
#include <random>

#include "codes/JANCode.h"
#include "codes/LOJANCode.h"
#include "document/DOList.h"
#include "document/stream/ObjectStream.h"
#include "platform/BoundedReader.h"
#include "platform/Canvas.h"
#include "support/SymbolReaders.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

QString RandomDigits(int count, std::mt19937& random)
{
    QString digits;
    for (int i = 0; i < count; ++i) digits += QChar(char16_t(u'0' + random() % 10));
    return digits;
}

TEST(JANCode, CheckDigitCompletionAndValidity)
{
    EXPECT_EQ(JANCheckDigit("123456789012"), 8);
    EXPECT_EQ(JANCheckDigit("1234567"), 0);
    EXPECT_EQ(CompleteJAN("123456789012"), "1234567890128");
    EXPECT_EQ(CompleteJAN("1234567890123"), "1234567890128");
    EXPECT_EQ(CompleteJAN("12345"), "");
    for (const char* unusable : {"", "123456", "123456789", "1234567890", "12345678901", "12345678901234", "12345a7"})
        EXPECT_EQ(JANCheckDigit(unusable), -1) << unusable;
    EXPECT_TRUE(IsValidJAN("4901234567894"));
    EXPECT_TRUE(IsValidJAN("12345670"));
    EXPECT_FALSE(IsValidJAN("4901234567890"));
    EXPECT_FALSE(IsValidJAN("1234567"));
    EXPECT_EQ(AcceptedJANEntry("490123456789"), "4901234567894");
    EXPECT_EQ(AcceptedJANEntry("4901234567890"), "");
    EXPECT_EQ(AcceptedJANEntry("49012345678a"), "");
}

TEST(JANCode, CheckDigitsAgreeWithStdnumOverTenThousandCodes)
{
    std::mt19937 random(13);
    QStringList data;
    for (int i = 0; i < 10000; ++i) data << RandomDigits(i % 2 ? 12 : 7, random);
    const QList<QByteArray> answers = test::RunTestScript("ean_reference.py", {"check"}, data.join('\n').toLatin1() + '\n').split('\n');
    ASSERT_GE(answers.size(), data.size());
    for (qsizetype i = 0; i < data.size(); ++i) ASSERT_EQ(JANCheckDigit(data[i]), answers[i].toInt()) << data[i].toStdString();
}

TEST(JANCode, BarsEqualZintsForBothLengths)
{
    std::mt19937 random(7);
    QStringList codes = {"4901234567894", "12345670"};
    for (int i = 0; i < 20; ++i) codes << CompleteJAN(RandomDigits(i % 2 ? 12 : 7, random));
    const QList<QByteArray> bars = test::RunTestScript("ean_reference.py", {"zint"}, codes.join('\n').toLatin1() + '\n').split('\n');
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const QString modules = JANModules(codes[i]);
        ASSERT_EQ(modules.size(), codes[i].size() == 13 ? 109 : 81);
        EXPECT_EQ(modules.left(7), "0000000");
        EXPECT_EQ(modules.right(7), "0000000");
        EXPECT_EQ(modules.mid(7, modules.size() - 14), QString::fromLatin1(bars.value(i))) << codes[i].toStdString();
    }
    EXPECT_TRUE(JANModules("490123456789a").isEmpty());
    EXPECT_TRUE(JANModules("123456789").isEmpty());
}

QImage Render(TLOJANCode& symbol, QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(qRgb(200, 200, 200));
    TCanvas canvas(picture);
    symbol.Paint(canvas);
    return picture;
}

TEST(LOJANCode, BarsFollowTheModuleGridInsideTheFrame)
{
    TLOJANCode symbol;
    symbol.SetJANCode("4901234567894");
    symbol.SetShowNumber(false);
    symbol.SetShowFrame(true);
    symbol.SetBounds({0, 0, 20 + 109 * 3, 100});
    const QImage picture = Render(symbol, QSize(20 + 109 * 3, 100));
    const QString modules = JANModules("4901234567894");
    for (int m = 0; m < 109; ++m) {
        const QRgb expected = modules[m] == u'1' ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
        EXPECT_EQ(picture.pixel(10 + 3 * m + 1, 50), expected) << m;
        EXPECT_EQ(picture.pixel(10 + 3 * m + 1, 11), expected) << m;  // bars start at the inset
    }
    EXPECT_EQ(picture.pixel(1, 50), qRgb(0, 0, 0));          // frame
    EXPECT_EQ(picture.pixel(10 + 3 * 7 + 1, 5), qRgb(255, 255, 255));  // between frame and bars
}

TEST(LOJANCode, CodesThatCannotBeDrawnPaintNothing)
{
    for (const char* code : {"", "123456789", "490123456789a"}) {
        TLOJANCode symbol;
        symbol.SetJANCode(code);
        const QImage picture = Render(symbol, QSize(300, 100));
        EXPECT_EQ(picture.pixel(150, 50), qRgb(200, 200, 200)) << code;
        EXPECT_EQ(picture.pixel(1, 1), qRgb(200, 200, 200)) << code;
    }
}

TEST(LOJANCode, TurnedSymbolsHitTestByTheTurnedRectangle)
{
    TLOJANCode symbol;
    symbol.SetBounds({0, 0, 300, 100});
    symbol.SetAngle(90);
    EXPECT_EQ(symbol.GetBounds(), (TRect{100, -100, 200, 200}));
    EXPECT_EQ(symbol.HitTest({150, 180}), 1);
    EXPECT_EQ(symbol.HitTest({20, 50}), 0);
}

TEST(LOJANCode, ResizingATurnedSymbolScalesEachSideByTheChangeOfItsBoundsAxis)
{
    for (const int angle : {0, 90, 180, 270}) {
        TLOJANCode symbol;
        symbol.SetBounds({0, 0, 300, 100});
        symbol.SetAngle(angle);
        symbol.SetSize(250, 400);
        const TRect bounds = symbol.GetBounds();
        EXPECT_NEAR(bounds.Width(), 250, 2) << angle;
        EXPECT_NEAR(bounds.Height(), 400, 2) << angle;
    }
    TLOJANCode quarter;
    quarter.SetBounds({0, 0, 300, 100});
    quarter.SetAngle(90);
    quarter.SetSize(50, 600);
    EXPECT_EQ(quarter.Width(), 600);  // the unturned width stands upright
    EXPECT_EQ(quarter.Height(), 50);

    // An uneven group stretch of a symbol at 30 degrees: no exact solution squashes it.
    TLOJANCode turned;
    turned.SetBounds({0, 0, 300, 100});
    turned.SetAngle(30);
    turned.SetSize(387, 232);
    EXPECT_EQ(QSize(turned.Width(), turned.Height()), QSize(375, 98));
}

TEST(LOJANCode, AtFortyFiveDegreesAWiderRequestWidensTheSymbol)
{
    // Every bounding box is square here and at 44 degrees a wide one has no exact solution.
    for (const int angle : {45, 44, 136}) {
        TLOJANCode symbol;
        symbol.SetBounds({0, 0, 300, 100});
        symbol.SetAngle(angle);
        const TRect before = symbol.GetBounds();
        symbol.SetSize(before.Width() * 2, before.Height());
        EXPECT_EQ(symbol.Width(), 600) << angle;
        EXPECT_EQ(symbol.Height(), 100) << angle;
    }
}

TEST(LOJANCode, StreamKeepsTheCodeAndOptions)
{
    TLOJANCode symbol;
    symbol.SetJANCode("12345670");
    symbol.SetAngle(270);
    symbol.SetShowFrame(true);
    QByteArray stream;
    WriteObject(stream, symbol);
    EXPECT_TRUE(stream.contains("ShowNumber"));  // always stored
    TLOJANCode copy;
    TBoundedReader in(stream);
    ReadObjectInto(in, copy);
    EXPECT_EQ(copy.JANCode(), "12345670");
    EXPECT_EQ(copy.Angle(), 270);
    EXPECT_TRUE(copy.ShowFrame());
    EXPECT_TRUE(copy.ShowNumber());
}

TEST(LOJANCode, StoredDigitFontOpensAndKeepsTheTextColour)
{
    TLOJANCode symbol;
    symbol.SetJANCode("4901234567894");
    symbol.EditFont().SetName(QStringLiteral("ＭＳ 明朝"));
    symbol.EditFont().SetSize(12);
    symbol.EditFont().SetStyleFlag(fsBold, true);
    symbol.EditFont().SetColor(0x0000FF);
    EXPECT_EQ(symbol.TextColorSpec().Color(), TColor(0x0000FF));
    QByteArray stream;
    WriteObject(stream, symbol);
    ASSERT_TRUE(stream.contains("Font.Size"));
    ASSERT_LT(stream.indexOf("JANCode"), stream.indexOf("Font.Charset"));
    ASSERT_LT(stream.indexOf("Font.Style"), stream.indexOf("ShowNumber"));
    // Files from elsewhere also store the derived height, which is read and ignored.
    stream.insert(stream.indexOf("Font.Charset") - 1, QByteArray("\x0b" "Font.Height" "\x02\xf0"));

    TLOJANCode copy;
    TBoundedReader in(stream);
    ReadObjectInto(in, copy);
    EXPECT_EQ(copy.Font().Name(), QStringLiteral("ＭＳ 明朝"));
    EXPECT_EQ(copy.Font().Size(), 12);
    EXPECT_TRUE(copy.Font().HasStyle(fsBold));
    EXPECT_EQ(copy.TextColorSpec().Color(), TColor(0x0000FF));

    TColorSpec green;
    green.SetColor(0x00FF00);
    copy.SetTextColorSpec(green);
    EXPECT_EQ(copy.Font().Color(), TColor(0x00FF00));
    const std::unique_ptr<TDrawObject> clone = CloneObject(copy);
    EXPECT_EQ(static_cast<TLOJANCode&>(*clone).Font(), copy.Font());
}

TEST(LOJANCode, DigitsAreDrawnUnderTheBarsInTheFontColourAndSize)
{
    auto digitRows = [](int points) {
        TLOJANCode symbol;
        symbol.SetJANCode("4901234567894");
        symbol.EditFont().SetColor(0x0000FF);  // red
        symbol.EditFont().SetSize(points);
        symbol.SetBounds({0, 0, 109 * 3, 150});
        const QImage picture = Render(symbol, QSize(109 * 3, 150));
        int top = -1;
        for (int y = 0; y < 150 && top < 0; ++y)
            for (int x = 0; x < 109 * 3; ++x)
                if (qRed(picture.pixel(x, y)) > 200 && qGreen(picture.pixel(x, y)) < 80) {
                    top = y;
                    break;
                }
        return top;
    };
    const int small = digitRows(8);
    const int large = digitRows(16);
    ASSERT_GT(small, 100);  // under the bars, near the bottom
    EXPECT_LT(large, small - 10);  // a larger font reaches higher
}

TEST(LOJANCode, SymbolsDecodeWithBothReadersAtEveryQuarterTurn)
{
    const QString folder = test::TestFolder();
    QStringList files;
    QStringList codes = {"4901234567894", "12345670"};
    for (const QString& code : codes) {
        for (int angle : {0, 90, 180, 270}) {
            TLOJANCode symbol;
            symbol.SetJANCode(code);
            const int width = (code.size() == 13 ? 109 : 81) * 4;
            const int height = width * 2 / 5;
            symbol.SetBounds({50, 50, 50 + width, 50 + height});
            symbol.SetAngle(angle);
            QImage picture(width + 100, width + 100, QImage::Format_RGB32);
            picture.fill(Qt::white);
            {
                TCanvas canvas(picture);
                canvas.SetWindowOrg({symbol.GetBounds().left - 50, symbol.GetBounds().top - 50});
                symbol.Paint(canvas);
            }
            files << QStringLiteral("%1/jan-%2-%3.png").arg(folder, code).arg(angle);
            ASSERT_TRUE(picture.save(files.back()));
        }
    }
    const auto decoded = test::DecodeSymbols(files);
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QByteArray code = codes[i / 4].toLatin1();
        const test::TDecodedSymbols symbols = decoded.value(files[i]);
        EXPECT_EQ(symbols.zbar.size(), 1) << files[i].toStdString();
        EXPECT_TRUE(symbols.zbar.value(0).startsWith(code)) << files[i].toStdString();
        ASSERT_EQ(symbols.zxing.size(), 1) << files[i].toStdString();
        EXPECT_EQ(symbols.zxing[0].first, code.size() == 13 ? "EAN13" : "EAN8");
        EXPECT_EQ(symbols.zxing[0].second, code);
    }
}

}  // namespace
}  // namespace kestrel
