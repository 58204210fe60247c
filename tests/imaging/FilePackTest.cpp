#include <gtest/gtest.h>

#include <QDir>

#include "app/AppFrame.h"
#include "imaging/ImagePack.h"
#include "platform/PictureCodecs.h"
#include "support/CfbTestSupport.h"
#include "support/PictureFixtures.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

// Keeps a rectangle per picture, as packs over one large picture do.
class TRectanglePack : public TImagePack {
public:
    std::vector<TRect> rects{{10, 20, 40, 60}};
    int GetCount() const override { return int(rects.size()); }
    TRect GetImageRect(int i) override { return rects.at(i); }
    void SetImageRect(int i, const TRect& rect) override { rects.at(i) = rect; }
    void GetImage(TPictureEx& picture, int) override { picture.Clear(); }
};

TEST(FilePack, PacksRefuseCountsAndRectanglesTheyCannotTake)
{
    TFileImagePack pack;
    try {
        pack.SetCount(3);
        FAIL() << "a file pack took a count";
    } catch (const EImagePack& e) {
        EXPECT_EQ(e.Message(), "Cannot set count of ImagePack");
    }
    try {
        pack.SetImageRect(0, {0, 0, 1, 1});
        FAIL() << "a file pack took a rectangle";
    } catch (const EImagePack& e) {
        EXPECT_EQ(e.Message(), "Cannot set ImageRect of ImagePack");
    }
    EXPECT_THROW(pack.SetImageWidth(0, 5), EImagePack);
}

TEST(FilePack, EdgesMoveTheRectangleAndSizesKeepItsCorner)
{
    TRectanglePack pack;
    EXPECT_EQ(pack.GetImageLeft(0), 10);
    EXPECT_EQ(pack.GetImageTop(0), 20);
    EXPECT_EQ(pack.GetImageWidth(0), 30);
    EXPECT_EQ(pack.GetImageHeight(0), 40);
    pack.SetImageLeft(0, 0);
    EXPECT_EQ(pack.rects[0], (TRect{0, 20, 30, 60}));
    pack.SetImageTop(0, 5);
    EXPECT_EQ(pack.rects[0], (TRect{0, 5, 30, 45}));
    pack.SetImageWidth(0, 12);
    pack.SetImageHeight(0, 7);
    EXPECT_EQ(pack.rects[0], (TRect{0, 5, 12, 12}));
}

// A 4 × 1 bitmap: key grey, red, key grey, blue.
QString WriteKeyedBitmap()
{
    QImage image = test::Solid(4, 1, qRgb(0xF0, 0xF0, 0xF0));
    image.setPixel(1, 0, qRgb(255, 0, 0));
    image.setPixel(3, 0, qRgb(0, 0, 255));
    const QString file = test::TestFolder() + "/keyed.bmp";
    test::WriteFileBytes(file, EncodeBmp24(image));
    return file;
}

TEST(FilePack, TransparentPacksMakeTheKeyColourSeeThrough)
{
    TFileImagePack pack;
    pack.SetFileList({WriteKeyedBitmap()});
    EXPECT_FALSE(pack.Transparent());
    EXPECT_EQ(pack.TransparentColor(), 0xF0F0F0);
    TPictureEx picture;
    pack.GetImage(picture, 0);
    EXPECT_EQ(qAlpha(picture.Image().pixel(0, 0)), 255);

    int changes = 0;
    pack.OnChange = [&] { ++changes; };
    pack.SetTransparent(true);
    pack.GetImage(picture, 0);
    EXPECT_EQ(qAlpha(picture.Image().pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(picture.Image().pixel(2, 0)), 0);
    EXPECT_EQ(picture.Image().pixel(1, 0), qRgb(255, 0, 0));

    // Another key colour reloads the pictures with it.
    pack.SetTransparentColor(0xFF0000);  // blue
    pack.GetImage(picture, 0);
    EXPECT_EQ(qAlpha(picture.Image().pixel(0, 0)), 255);
    EXPECT_EQ(qAlpha(picture.Image().pixel(3, 0)), 0);
    EXPECT_EQ(changes, 2);

    // A file that cannot be read shows the error picture, untouched by the key.
    pack.SetTransparentColor(0xFFFFFF);
    pack.SetFileList({test::TestFolder() + "/missing.bmp"});
    pack.GetImage(picture, 0);
    EXPECT_EQ(picture.Graphic(), ErrorPicture());
}

TEST(FilePack, AMatrixPackLoadsItsPictureFromTheProgramsData)
{
    const QString folder = test::TestFolder();
    QDir().mkpath(folder + "/ILLUST");
    test::WriteFileBytes(folder + "/ILLUST/Strip.bmp", EncodeBmp24(test::Solid(90, 30, qRgb(0, 128, 0))));
    TAppFrame frame;
    frame.Macro().SetValue("ExeDir", folder + "/");
    TMatrixImagePack pack;
    pack.SetCountCol(3);
    pack.ImageLoader().SetResourceName("ILLUST\\Strip.bmp");
    pack.Loaded();
    EXPECT_EQ(pack.GetImageRect(2), (TRect{60, 0, 90, 30}));
    EXPECT_TRUE(pack.Image().NoEmbed());

    TMatrixImagePack missing;
    missing.ImageLoader().SetResourceName("ILLUST\\None.bmp");
    missing.Loaded();
    EXPECT_FALSE(missing.Image().HasGraphic());
}

}  // namespace
}  // namespace kestrel
