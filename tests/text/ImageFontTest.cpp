#include "text/ImageFont.h"

#include <QDir>
#include <gtest/gtest.h>

#include "app/AppFrame.h"
#include "imaging/ImagePack.h"
#include "platform/Canvas.h"
#include "platform/PictureCodecs.h"
#include "support/CfbTestSupport.h"
#include "support/PictureFixtures.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

// Picture p is (20 + p) × 30 pixels.
struct TWideningPictures {
    TCustomImagePack pack;
    explicit TWideningPictures(int count)
    {
        pack.OnGetCount = [count] { return count; };
        pack.OnGetImage = [](TCustomImagePack&, TPictureEx& picture, int p) { picture.SetImage(test::Solid(20 + p, 30, qRgb(0, 0, 255))); };
        pack.SetCacheLimit(8);
    }
};

TEST(ImageFont, LettersAreIndexedInTheirSetOrder)
{
    EXPECT_EQ(LetterIndex(u'A'), 0);
    EXPECT_EQ(LetterIndex(u'a'), 26);
    EXPECT_EQ(LetterIndex(u'0'), 52);
    EXPECT_EQ(LetterIndex(u'!'), 62);
    EXPECT_EQ(LetterIndex(u'?'), 63);
    EXPECT_EQ(LetterIndex(u' '), -1);
    EXPECT_EQ(LetterIndex(u'Ａ'), -1);
}

TEST(ImageFont, ABSpaceCAtHeight90IsThreeLettersAndABlank)
{
    TWideningPictures pictures(128);
    TImageFont font(&pictures.pack);
    font.SetHeight(90);
    // Pictures 0, 1 and 2 are 20, 21 and 22 pixels wide and 30 high: three times as wide at 90.
    EXPECT_EQ(font.LetterWidths("AB C"), (QList<int>{60, 63, 30, 66}));
    EXPECT_EQ(font.MeasureString("AB C"), 219);
    EXPECT_EQ(font.LetterSize(u'B'), QSize(63, 90));
    // The second font starts 64 pictures on; numbers wrap round the pack.
    font.SetFontNo(2);
    EXPECT_EQ(font.PictureIndex(0), 64);
    EXPECT_EQ(font.LetterSize(u'A'), QSize(252, 90));
    font.SetFontNo(3);
    EXPECT_EQ(font.PictureIndex(1), 1);
    font.SetFontNo(-1);  // from a damaged document
    EXPECT_EQ(font.PictureIndex(0), 0);
    // Rounded widths: 23 × 16 / 30 = 12.27.
    font.SetFontNo(1);
    font.SetHeight(16);
    EXPECT_EQ(font.LetterSize(u'D').width(), 12);
}

TEST(ImageFont, ChangesAreReportedOnceEach)
{
    TWideningPictures pictures(64);
    TImageFont font(&pictures.pack);
    int changes = 0;
    TListener listener([&](TPersistent*, const QUuid&) { ++changes; });
    listener.ListenTo(font.Notify());
    font.SetHeight(16);  // unchanged
    font.SetHeight(40);
    font.SetFontNo(2);
    EXPECT_EQ(changes, 2);
    TImageFont copy(&pictures.pack);
    copy.Assign(font);
    EXPECT_EQ(copy.Height(), 40);
    EXPECT_EQ(copy.FontNo(), 2);
}

// A font folder with one letter picture: a red bar on the key colour.
QString WriteFontFolder()
{
    const QString folder = test::TestFolder() + "/Font";
    for (const char* name : {"2", "10", "1", "x"}) QDir().mkpath(folder + "/" + name);
    QImage letter = test::Solid(10, 20, qRgb(0xF0, 0xF0, 0xF0));
    for (int y = 0; y < 20; ++y)
        for (int x = 3; x < 7; ++x) letter.setPixel(x, y, qRgb(255, 0, 0));
    for (const char* font : {"1", "2", "10"}) {
        test::WriteFileBytes(folder + "/" + font + "/00.bmp", EncodeBmp24(letter));
        test::WriteFileBytes(folder + "/" + font + "/01.bmp", EncodeBmp24(letter));
        test::WriteFileBytes(folder + "/" + font + "/notes.txt", "not a picture");
    }
    test::WriteFileBytes(folder + "/3.bmp", EncodeBmp24(letter));  // a file, not a font
    return folder;
}

TEST(ImageFont, FontsAreTheNumberedFoldersInNumberOrder)
{
    const QString folder = WriteFontFolder();
    EXPECT_EQ(DecoratedFontNumbers(folder), (QList<int>{1, 2, 10}));
    EXPECT_EQ(DecoratedLetterFiles(folder), (QStringList{folder + "/1/00.bmp", folder + "/1/01.bmp", folder + "/2/00.bmp",
                                                         folder + "/2/01.bmp", folder + "/10/00.bmp", folder + "/10/01.bmp"}));
    EXPECT_TRUE(DecoratedFontNumbers(folder + "/missing").isEmpty());
    EXPECT_TRUE(DecoratedLetterFiles(QString()).isEmpty());
}

TEST(ImageFont, LettersAreDrawnScaledWithTheKeyColourSeeThrough)
{
    TFileImagePack pack;
    pack.SetTransparent(true);
    pack.SetFileList(DecoratedLetterFiles(WriteFontFolder()));
    TImageFont font(&pack);
    font.SetHeight(40);  // the 10 × 20 letter drawn 20 × 40
    QImage surface = test::Solid(60, 50, qRgb(255, 255, 255));
    {
        TCanvas canvas(surface);
        font.DrawLetter(canvas, 5, 5, u'A');
        font.DrawLetter(canvas, 30, 5, u' ');
    }
    EXPECT_EQ(surface.pixel(15, 20), qRgb(255, 0, 0));       // the bar, 6 to 14 wide scaled
    EXPECT_EQ(surface.pixel(7, 20), qRgb(255, 255, 255));    // key colour: the white shows
    EXPECT_EQ(surface.pixel(24, 44), qRgb(255, 255, 255));   // inside the box, key colour
    EXPECT_EQ(surface.pixel(15, 46), qRgb(255, 255, 255));   // below the box
    EXPECT_EQ(font.LetterSize(u' '), QSize(13, 40));
}

TEST(ImageFont, WithoutPicturesLettersTakeNoRoomAndDrawNothing)
{
    TFileImagePack empty;
    TImageFont font(&empty);
    font.SetHeight(90);
    EXPECT_EQ(font.LetterWidths("A A"), (QList<int>{0, 30, 0}));
    EXPECT_EQ(font.PictureIndex(0), -1);
    QImage surface = test::Solid(20, 20, qRgb(255, 255, 255));
    {
        TCanvas canvas(surface);
        font.DrawLetter(canvas, 0, 0, u'A');
    }
    EXPECT_EQ(surface, test::Solid(20, 20, qRgb(255, 255, 255)));
}

}  // namespace
}  // namespace kestrel

namespace kestrel {
namespace {

TEST(ImageFont, TheShippedFontsHaveEveryLetterOnTheKeyColour)
{
    TAppFrame frame;
    frame.Macro().SetValue("ExeDir", QStringLiteral(KESTREL_BINARY_DIR "/src/"));
    const QString folder = DecoratedLetterFolder();
    ASSERT_FALSE(folder.isEmpty());
    const QList<int> fonts = DecoratedFontNumbers(folder);
    EXPECT_GE(fonts.size(), 6);
    EXPECT_EQ(fonts.first(), 1);
    TFileImagePack pack;
    pack.SetTransparent(true);
    pack.SetFileList(DecoratedLetterFiles(folder));
    ASSERT_EQ(pack.GetCount(), ImageFontLetterCount * fonts.size());
    for (int i = 0; i < pack.GetCount(); ++i) {
        TPictureEx picture;
        pack.GetImage(picture, i);
        const QImage& letter = picture.Image();
        ASSERT_EQ(letter.height(), 120) << pack.FileList()[i].toStdString();
        // Clear margins all round, ink inside.
        int opaque = 0;
        for (int y = 0; y < letter.height(); ++y)
            for (int x = 0; x < letter.width(); ++x) opaque += qAlpha(letter.pixel(x, y)) == 255;
        EXPECT_EQ(qAlpha(letter.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(letter.pixel(letter.width() - 1, 60)), 0);
        EXPECT_GT(opaque, 300) << pack.FileList()[i].toStdString();
    }
    // The fonts differ: the gradient font's "A" is warm, the outlined one's white and blue.
    TPictureEx gradientA, outlineA;
    pack.GetImage(gradientA, 0);
    pack.GetImage(outlineA, ImageFontLetterCount);
    EXPECT_NE(gradientA.Image(), outlineA.Image());
}

}  // namespace
}  // namespace kestrel

namespace kestrel {
namespace {

TEST(ImageFont, TheLetterFolderMacroWinsOverTheProgramsData)
{
    TAppFrame frame;
    frame.Macro().SetValue("ExeDir", QStringLiteral(KESTREL_BINARY_DIR "/src/"));
    const QString fixture = WriteFontFolder();
    frame.Macro().SetValue("ImageFontFolder", fixture);
    EXPECT_EQ(DecoratedLetterFolder(), fixture);
    frame.Macro().SetValue("ImageFontFolder", fixture + "/missing");
    EXPECT_EQ(DecoratedLetterFolder(), QString());  // no fallback to the program's data
    frame.Macro().SetValue("ImageFontFolder", "");
    EXPECT_EQ(DecoratedLetterFolder(), QStringLiteral(KESTREL_DATA_DIR "/Data/Font"));
}

}  // namespace
}  // namespace kestrel
