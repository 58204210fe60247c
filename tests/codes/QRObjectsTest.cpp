#include <gtest/gtest.h>

#include "codes/LOQRStd.h"
#include "codes/QRCompose.h"
#include "document/stream/ObjectStream.h"
#include "platform/BoundedReader.h"
#include "platform/Canvas.h"
#include "platform/Cp932.h"

namespace kestrel {
namespace {

// Full-width ASCII to half-width, as the text layer's conversion does for these characters.
QString FoldFullWidthAscii(const QString& text)
{
    QString folded = text;
    for (QChar& c : folded)
        if (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E) c = QChar(char16_t(c.unicode() - 0xFEE0));
    return folded;
}

class QRCompose : public ::testing::Test {
protected:
    void SetUp() override { SetQRHalfWidthKana(FoldFullWidthAscii); }
    void TearDown() override { SetQRHalfWidthKana({}); }
};

TEST_F(QRCompose, DoCoMoPhoneBookSplitsAndEscapes)
{
    TQRPhoneFields fields;
    fields.name = QStringLiteral("山田 太郎");
    fields.tel1 = "03;1234";
    fields.email1 = "a,b@example.jp";
    EXPECT_EQ(ComposeQRText(sqtDoCoMo, sqkTel, fields),
              QStringLiteral("MECARD:N:山田 太郎;TEL:03\\;1234;EMAIL:a\\,b@example.jp;;"));
    fields.splitName = true;
    fields.furigana = QStringLiteral("ｙａｍａｄａ  ｔａｒｏ ｊｒ");
    EXPECT_EQ(ComposeQRText(sqtDoCoMo, sqkTel, fields),
              QStringLiteral("MECARD:N:山田,太郎;SOUND:yamada,taro jr;TEL:03\\;1234;EMAIL:a\\,b@example.jp;;"));
    fields.halfWidthReading = false;
    EXPECT_TRUE(ComposeQRText(sqtDoCoMo, sqkTel, fields).contains(QStringLiteral("SOUND:ｙａｍａｄａ,ｔａｒｏ ｊｒ;")));
    EXPECT_EQ(ComposeQRText(sqtAU, sqkTel, fields), "");
}

TEST_F(QRCompose, QuotedStretchesStayWholeWithoutTheirQuotes)
{
    const auto parts = SplitFamilyGiven(QStringLiteral("\"Van Halen\" Eddie  Lee"));
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->first, "Van Halen");
    EXPECT_EQ(parts->second, "Eddie Lee");
    EXPECT_FALSE(SplitFamilyGiven(QStringLiteral("  \"The Band\"  ")));
    EXPECT_EQ(SplitFamilyGiven("a:b c")->first, "a\\:b");
}

TEST_F(QRCompose, EmptyRecordsComposeNothing)
{
    const TQRPhoneFields empty;
    for (const TStdQRType type : {sqtDoCoMo, sqtVodafone, sqtAU})
        for (const TStdQRKind kind : {sqkTel, sqkURL, sqkTEXT}) EXPECT_EQ(ComposeQRText(type, kind, empty), "");
}

TEST_F(QRCompose, VodafoneRecordsAreUnescapedAndAddressesGetAScheme)
{
    TQRPhoneFields fields;
    fields.name = "Band";
    fields.tel1 = "03;1234";
    EXPECT_EQ(ComposeQRText(sqtVodafone, sqkTel, fields), "MEMORY:\r\nNAME1:Band\r\nTEL1:03;1234\r\n");
    fields.url = QStringLiteral("ｂａｎｄ.example.jp");
    fields.urlTitle = "ignored";
    EXPECT_EQ(ComposeQRText(sqtVodafone, sqkURL, fields), "http://band.example.jp");
    fields.url = "HtTpS://band.example.jp";
    EXPECT_EQ(ComposeQRText(sqtVodafone, sqkURL, fields), "HtTpS://band.example.jp");
    EXPECT_EQ(ComposeQRText(sqtDoCoMo, sqkURL, fields), "MEBKM:TITLE:ignored;URL:HtTpS\\://band.example.jp;;");
    fields.text = QStringList{"a", "b"};
    EXPECT_EQ(ComposeQRText(sqtVodafone, sqkTEXT, fields), "a\r\nb\r\n");
    EXPECT_EQ(ComposeQRText(sqtDoCoMo, sqkTEXT, fields), "a\r\nb\r\n");
}

QByteArray Streamed(const TComponent& object)
{
    QByteArray stream;
    WriteObject(stream, object);
    return stream;
}

template <class T>
void ReadBack(const QByteArray& stream, T& into)
{
    TBoundedReader in(stream);
    ReadObjectInto(in, into);
}

TEST(LOQRStd, ReopensWithItsFieldsComposedAgainAndItsGuid)
{
    for (const TStdQRType type : {sqtDoCoMo, sqtVodafone}) {
        TLOQRStd original;
        original.SetQRType(type);
        original.SetQRName(QStringLiteral("山田 太郎"));
        original.SetQRTel1("0312345678");
        original.SetLink(TLOQRStd::lnTel1, 8);
        original.SetErrorCorrectLevel('Q');
        const QByteArray stream = Streamed(original);
        EXPECT_FALSE(stream.contains("QRData"));
        EXPECT_TRUE(stream.contains("ProfileGuid"));

        TLOQRStd copy;
        ReadBack(stream, copy);
        EXPECT_EQ(copy.QRType(), type);
        EXPECT_EQ(copy.Data(), original.Data());
        EXPECT_FALSE(copy.Data().isEmpty());
        EXPECT_EQ(copy.ProfileGuid(), original.ProfileGuid());
        EXPECT_EQ(copy.Link(TLOQRStd::lnTel1), 8);
        EXPECT_EQ(copy.ErrorCorrectLevel(), 'Q');
        EXPECT_FALSE(copy.Encoded().Dirty());
        EXPECT_TRUE(copy.Problem().isEmpty());
    }
}

TEST(LOQRStd, AnAUObjectComposesNothingAndKeepsTheDataItHas)
{
    TLOQRStd object;
    object.SetQRName("A");
    const QByteArray data = object.Data();
    object.SetQRType(sqtAU);
    object.SetQRName("B");
    object.SetQRKind(sqkURL);
    object.SetQRUrl("http://example.jp/");
    EXPECT_EQ(object.Data(), data);
    // Stored documents keep the fields but not the data: opened, such an object holds nothing.
    const QByteArray stream = Streamed(object);
    EXPECT_FALSE(stream.contains("QRData"));
    TLOQRStd copy;
    ReadBack(stream, copy);
    EXPECT_EQ(copy.QRType(), sqtAU);
    EXPECT_EQ(copy.QRName(), "B");
    EXPECT_TRUE(copy.Data().isEmpty());
    EXPECT_EQ(copy.Encoded().Side(), 21);
}

TEST(LOQRStd, LinksOfThePhoneBookDoNotRecomposeAndCopiesKeepTheGuid)
{
    TLOQRStd object;
    object.SetQRName("A");
    const QByteArray data = object.Data();
    EXPECT_EQ(data, "MECARD:N:A;;");
    object.SetLink(TLOQRStd::lnName, 1);
    EXPECT_EQ(object.Data(), data);

    TLOQRStd copy;
    EXPECT_NE(copy.ProfileGuid(), object.ProfileGuid());
    copy.Assign(object);
    EXPECT_EQ(copy.ProfileGuid(), object.ProfileGuid());
    EXPECT_EQ(copy.QRName(), "A");
    EXPECT_EQ(copy.Link(TLOQRStd::lnName), 1);
    EXPECT_EQ(copy.Data(), data);
}

TEST(LOQRStd, AllEmptyFieldsEncodeAnEmptyByteSymbol)
{
    TLOQRStd object;
    const TQRCode& code = object.Encoded();
    EXPECT_TRUE(object.Data().isEmpty());
    EXPECT_EQ(code.EncodeMode(), '8');
    EXPECT_EQ(code.Side(), 21);
}

TEST(LOQRCode, RawDataRoundTripsAndHostileCountsAreRefused)
{
    TLOQRCode object;
    object.SetData(QByteArray("\x00\xff" "abc", 5));
    object.SetAutoVersion(false);
    object.SetVersion(3);
    const QByteArray stream = Streamed(object);
    TLOQRCode copy;
    ReadBack(stream, copy);
    EXPECT_EQ(copy.Data(), QByteArray("\x00\xff" "abc", 5));
    EXPECT_EQ(copy.Version(), 3);
    EXPECT_FALSE(copy.AutoVersion());
    EXPECT_FALSE(copy.Encoded().Dirty());

    // The count says more bytes than the record holds.
    QByteArray hostile = stream;
    const qsizetype count = hostile.indexOf(QByteArray("\x05\x00\x00\x00", 4));
    ASSERT_GT(count, 0);
    hostile[count] = 0x40;
    TLOQRCode damaged;
    EXPECT_THROW(ReadBack(hostile, damaged), EReadError);
}

TEST(LOQRCode, AFixedModeTheDataDoesNotFitIsStoredAsTheByteModeItUses)
{
    TLOQRCode object;
    object.SetAutoEncodeMode(false);
    object.SetEncodeMode('0');
    object.SetData("12a:");
    TLOQRCode copy;
    ReadBack(Streamed(object), copy);
    EXPECT_FALSE(copy.AutoEncodeMode());
    EXPECT_EQ(copy.EncodeMode(), '8');
    EXPECT_EQ(copy.Encoded().EncodeMode(), '8');
}

TEST(LOQRCode, DataThatDoesNotFitDrawsNothingAndSaysWhy)
{
    TLOQRCode object;
    object.SetAutoVersion(false);
    object.SetVersion(1);
    object.SetData(QByteArray(40, 'x'));
    EXPECT_TRUE(object.Problem().contains(u"バージョン1"));
    QImage picture(200, 200, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    {
        TCanvas canvas(picture);
        object.Paint(canvas);
    }
    EXPECT_EQ(picture.pixel(100, 100), QColor(Qt::gray).rgb());
}

TEST(LOQRCode, TurnedSymbolsLeaveWhatTheTurnUncoversUnpainted)
{
    TLOQRCode object;
    object.SetData("HELLO");
    object.SetBounds({100, 100, 300, 300});
    object.SetAngle(45);
    const TRect bounds = object.GetBounds();
    QImage picture(400, 400, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    {
        TCanvas canvas(picture);
        object.Paint(canvas);
    }
    EXPECT_EQ(picture.pixel(bounds.left + 3, bounds.top + 3), QColor(Qt::gray).rgb());  // uncovered corner
    EXPECT_EQ(picture.pixel(200, 108), qRgb(255, 255, 255));  // the turned margin near the top corner
}

TEST(LOQRCode, TurnedObjectsHitTestTheirUnturnedRectangle)
{
    TLOQRCode object;
    object.SetBounds({0, 0, 300, 100});
    object.SetAngle(45);
    EXPECT_EQ(object.HitTest({290, 10}), 1);   // a corner the turn moved away
    EXPECT_EQ(object.HitTest({150, 150}), 0);  // inside the turned shape only
    EXPECT_GT(object.GetBounds().Height(), 100);
    EXPECT_TRUE(object.KeepsAspect());
}

}  // namespace
}  // namespace kestrel
