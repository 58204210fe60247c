#include <gtest/gtest.h>

#include "document/stream/ObjectStream.h"
#include "imaging/ImagePack.h"
#include "objects/LODecoString.h"
#include "platform/BoundedReader.h"
#include "platform/Canvas.h"
#include "support/PictureFixtures.h"

namespace kestrel {
namespace {

// Picture p is (20 + p) × 30 pixels of blue.
struct TWideningLetters {
    TCustomImagePack pack;
    TWideningLetters()
    {
        pack.OnGetCount = [] { return 64; };
        pack.OnGetImage = [](TCustomImagePack&, TPictureEx& picture, int p) { picture.SetImage(test::Solid(20 + p, 30, qRgb(0, 0, 255))); };
    }
};

QImage Render(TLODecoString& string)
{
    QImage image(600, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(image);
    string.Paint(canvas);
    return image;
}

TEST(DecoString, ABSpaceCAtHeight90IsThreeLettersAndABlankLaidOutByAlignment)
{
    TWideningLetters letters;
    TLODecoString string(&letters.pack);
    string.SetText(QStringLiteral("AB C"));
    string.SetBounds({10, 10, 229, 100});
    EXPECT_EQ(string.ImageFont().Height(), 90) << "the font follows the rectangle's height";
    EXPECT_EQ(string.LetterPositions(), (std::vector<int>{0, 60, 123, 153}));
    string.SetBounds({10, 10, 310, 100});
    string.SetAlign(2);
    EXPECT_EQ(string.LetterPositions(), (std::vector<int>{81, 141, 204, 234}));
    string.SetAlign(1);
    EXPECT_EQ(string.LetterPositions(), (std::vector<int>{40, 100, 163, 193}));
    string.SetAlign(3);
    const std::vector<int> spread = string.LetterPositions();
    EXPECT_EQ(spread.front(), 0);
    EXPECT_EQ(spread.back() + 66, 300) << "justified, the last letter ends at the right edge";

    string.SizeToText();
    // At height 100: 67 + 70 + 33 + 73.
    EXPECT_EQ(string.Rect(), (TRect{0, 0, 243, 100}));
}

TEST(DecoString, LettersArePaintedInTheirBoxesAndTheBlankStaysEmpty)
{
    TWideningLetters letters;
    TLODecoString string(&letters.pack);
    string.SetText(QStringLiteral("AB C"));
    string.SetBounds({100, 100, 319, 190});
    const QImage image = Render(string);
    EXPECT_EQ(image.pixel(130, 150), qRgb(0, 0, 255)) << "A";
    EXPECT_EQ(image.pixel(190, 150), qRgb(0, 0, 255)) << "B";
    EXPECT_EQ(image.pixel(238, 150), qRgb(255, 255, 255)) << "the blank";
    EXPECT_EQ(image.pixel(290, 150), qRgb(0, 0, 255)) << "C";
    EXPECT_EQ(image.pixel(330, 150), qRgb(255, 255, 255));

    string.SetAngle(-90);
    EXPECT_EQ(string.Angle(), 270);
    const TRect bounds = string.GetBounds();
    EXPECT_NEAR(bounds.Width(), 90, 1);
    EXPECT_NEAR(bounds.Height(), 219, 1);
    const QImage turned = Render(string);
    // Turned anticlockwise on screen the first letter lands at the bottom.
    const QPoint centre((100 + 319) / 2, (100 + 190) / 2);
    EXPECT_EQ(turned.pixel(centre.x(), bounds.bottom - 20), qRgb(0, 0, 255));
    EXPECT_EQ(turned.pixel(centre.x(), centre.y() - 28), qRgb(255, 255, 255)) << "the blank, turned";
    EXPECT_EQ(turned.pixel(130, 150), qRgb(255, 255, 255)) << "nothing outside the turned rectangle";
    EXPECT_EQ(string.HitTest({centre.x(), bounds.top + 5}), 1);
    EXPECT_EQ(string.HitTest({130, 110}), 0);
}

TEST(DecoString, ThePropertyScreenAcceptsOnlyTheLetterSet)
{
    EXPECT_EQ(DecoratedStringError(QString()), QStringLiteral("文字列が入力されていません"));
    EXPECT_EQ(DecoratedStringError(QStringLiteral("Hello World!?09")), QString());
    for (const char* bad : {"ab-c", "Ａ", "a.b", "タイトル"})
        EXPECT_EQ(DecoratedStringError(QString::fromUtf8(bad)),
                  QStringLiteral("飾り文字には「A～Z、a～z、0～9、?、!」しか使えません"))
            << bad;
}

TEST(DecoString, StreamsKeepTextFontAlignmentAndAngle)
{
    TLODecoString string;
    string.SetText(QStringLiteral("Jazz"));
    string.SetFontNo(3);
    string.SetAlign(3);
    string.SetBounds({10, 20, 410, 120});
    string.SetAngle(30);
    QByteArray bytes;
    WriteObject(bytes, string);
    TBoundedReader in(bytes);
    const std::unique_ptr<TComponent> read = ReadObject(in);
    const auto* copy = dynamic_cast<const TLODecoString*>(read.get());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Text(), QStringLiteral("Jazz"));
    EXPECT_EQ(copy->FontNo(), 3);
    EXPECT_EQ(copy->Align(), 3);
    EXPECT_EQ(copy->Angle(), 30);
    EXPECT_EQ(copy->Rect(), string.Rect());
    EXPECT_EQ(copy->ImageFont().Height(), 100);
}

}  // namespace
}  // namespace kestrel
