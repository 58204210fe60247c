#include "imaging/Illustrations.h"

#include <QDir>
#include <gtest/gtest.h>

#include "app/AppFrame.h"
#include "platform/Error.h"
#include "support/CfbTestSupport.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

const char* const Square = R"(<svg xmlns="http://www.w3.org/2000/svg" width="40" height="20" viewBox="0 0 40 20">)"
                           R"(<rect x="0" y="0" width="20" height="20" fill="#336699"/></svg>)";

TEST(Illustrations, ClipArtCategoriesBecomeGenresWithEachPictureOnce)
{
    const QString root = test::TestFolder() + "/svg";
    for (const char* folder : {"animals/birds", "animals/cats", "food", "empty/nothing"}) QDir().mkpath(root + "/" + folder);
    for (const char* file : {"animals/owl.svg", "animals/birds/owl.svg", "animals/birds/crow.svg", "animals/cats/tom.svg",
                             "animals/readme.txt", "food/apple.svg"})
        test::WriteFileBytes(root + "/" + file, Square);
    const std::vector<TIllustrationGenre> genres = ClipArtGenres(root);
    ASSERT_EQ(genres.size(), 2u);  // "empty" holds no picture
    EXPECT_EQ(genres[0].caption, "animals");
    EXPECT_EQ(genres[0].drawingColor, clNone);
    EXPECT_EQ(genres[0].files, (QStringList{root + "/animals/owl.svg", root + "/animals/birds/crow.svg", root + "/animals/cats/tom.svg"}));
    EXPECT_EQ(genres[1].files, QStringList{root + "/food/apple.svg"});
    EXPECT_TRUE(ClipArtGenres(root + "/missing").empty());
}

TEST(Illustrations, PicturesAreDrawnToFitOnAClearGround)
{
    const QString file = test::TestFolder() + "/half.svg";
    test::WriteFileBytes(file, Square);
    const QImage image = RasteriseIllustration(file, 100);
    ASSERT_EQ(image.size(), QSize(100, 50));
    EXPECT_EQ(image.pixel(25, 25), qRgb(0x33, 0x66, 0x99));
    EXPECT_EQ(qAlpha(image.pixel(75, 25)), 0);
    const QImage sharp = RasteriseIllustration(file, 31, false);
    for (int y = 0; y < sharp.height(); ++y)
        for (int x = 0; x < sharp.width(); ++x)
            EXPECT_TRUE(sharp.pixel(x, y) == qRgb(0x33, 0x66, 0x99) || qAlpha(sharp.pixel(x, y)) == 0) << x << "," << y;
}

TEST(Illustrations, FilesThatAreNoSelfContainedPictureAreRefused)
{
    const QString folder = test::TestFolder();
    test::WriteFileBytes(folder + "/text.svg", "no picture at all");
    test::WriteFileBytes(folder + "/outside.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" )"
                                                  R"(viewBox="0 0 10 10"><image xlink:href="/dev/zero" width="10" height="10"/></svg>)");
    test::WriteFileBytes(folder + "/inside.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" )"
                                                 R"(viewBox="0 0 10 10"><defs><rect id="r" width="10" height="10"/></defs>)"
                                                 R"(<use xlink:href="#r" fill="#ff0000"/></svg>)");
    EXPECT_THROW(RasteriseIllustration(folder + "/text.svg", 50), EReadError);
    EXPECT_THROW(RasteriseIllustration(folder + "/outside.svg", 50), EReadError);
    EXPECT_THROW(RasteriseIllustration(folder + "/missing.svg", 50), EReadError);
    EXPECT_THROW(RasteriseIllustration(folder, 50), EReadError);
    EXPECT_EQ(RasteriseIllustration(folder + "/inside.svg", 10).pixel(5, 5), qRgb(255, 0, 0));
}

// The shipped illustrations, as the program finds them beside itself.
class ShippedIllustrations : public ::testing::Test {
protected:
    void SetUp() override { frame_.Macro().SetValue("ExeDir", QStringLiteral(KESTREL_BINARY_DIR "/src/")); }
    TAppFrame frame_;
};

TEST_F(ShippedIllustrations, FiveGenresOfAtLeastFortyPicturesWithTheirColours)
{
    const std::vector<TIllustrationGenre> genres = ReadIllustrationIndex(TAppFrame::FindDataFile(IllustrationIndexFile));
    ASSERT_EQ(genres.size(), 5u);
    QStringList captions;
    qsizetype pictures = 0;
    for (const TIllustrationGenre& genre : genres) {
        captions << genre.caption;
        pictures += genre.files.size();
        EXPECT_NE(genre.drawingColor, clNone) << genre.caption.toStdString();
    }
    EXPECT_EQ(captions, (QStringList{"音楽", "季節", "星とハート", "枠", "自然"}));
    EXPECT_GE(pictures, 40);
    EXPECT_EQ(genres[2].drawingColor, 0x601BD8);  // #D81B60 as 0x00BBGGRR
}

TEST_F(ShippedIllustrations, ProbePointsShowTheGenreColourAndClearGround)
{
    const std::vector<TIllustrationGenre> genres = ReadIllustrationIndex(TAppFrame::FindDataFile(IllustrationIndexFile));
    ASSERT_EQ(genres.size(), 5u);
    struct TProbe {
        int genre;
        const char* name;
        QPoint inked, clear;
    };
    for (const TProbe& probe : {TProbe{0, "disc", {100, 40}, {100, 100}}, TProbe{2, "heart", {100, 108}, {8, 8}},
                                TProbe{3, "frame_circle", {100, 16}, {100, 100}}, TProbe{4, "drop", {100, 170}, {74, 136}},
                                TProbe{1, "sun", {100, 100}, {100, 52}}}) {
        const TIllustrationGenre& genre = genres[size_t(probe.genre)];
        const QImage image = RasteriseIllustration(genre.folder + "/" + probe.name + ".svg", 200);
        EXPECT_EQ(image.pixel(probe.inked), ToQColor(genre.drawingColor).rgb()) << probe.name;
        EXPECT_EQ(qAlpha(image.pixel(probe.clear)), 0) << probe.name;
    }
}

TEST_F(ShippedIllustrations, EveryPictureIsDrawnInItsGenresColourAlone)
{
    for (const TIllustrationGenre& genre : ReadIllustrationIndex(TAppFrame::FindDataFile(IllustrationIndexFile))) {
        const QRgb colour = ToQColor(genre.drawingColor).rgb();
        for (const QString& file : genre.files) {
            const QImage image = RasteriseIllustration(file, 100, false);
            int inked = 0, other = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb pixel = image.pixel(x, y);
                    if (qAlpha(pixel) == 0) continue;
                    ++(pixel == colour ? inked : other);
                }
            EXPECT_GT(inked, 400) << file.toStdString();  // something is drawn
            EXPECT_EQ(other, 0) << file.toStdString();
        }
    }
}

}  // namespace
}  // namespace kestrel
