#include <gtest/gtest.h>

#include <QDir>

#include "imaging/ImagePack.h"
#include "platform/Cp932.h"
#include "platform/PictureCodecs.h"
#include "support/CfbTestSupport.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

// Counts loads; picture i is i pixels wide.
class CountingPack : public TCachedImagePack {
public:
    int GetCount() const override { return 10; }
    std::vector<int> loads;

protected:
    void LoadImage(TPictureEx& picture, int i) override
    {
        loads.push_back(i);
        if (i == 7) throw EReadError("broken");
        picture.SetImage(QImage(i + 1, 1, QImage::Format_RGB32));
    }
};

TEST(ImagePack, TheCacheKeepsTheMostRecentPictures)
{
    CountingPack pack;
    TPictureEx picture;
    for (int i : {3, 5, 3}) pack.GetImage(picture, i);
    EXPECT_EQ(pack.loads, (std::vector<int>{3, 5, 3}));
    pack.SetCacheLimit(2);
    pack.GetImage(picture, 5);
    pack.GetImage(picture, 3);
    EXPECT_EQ(pack.loads.size(), 4u);  // 5 loaded again, then 3 came from the cache
    EXPECT_EQ(pack.GetImageRect(3), (TRect{0, 0, 4, 1}));
    // A picture that cannot be made shows the error picture; out of range gives nothing.
    pack.GetImage(picture, 7);
    EXPECT_EQ(picture.Graphic(), ErrorPicture());
    pack.GetImage(picture, 10);
    EXPECT_FALSE(picture.HasGraphic());
}

TEST(ImagePack, ListFilesGroupFoldersAndComments)
{
    const QString folder = test::TestFolder();
    test::WriteFileBytes(folder + "/list.txt", ToCp932("[猫]\r\n; a comment\r\n  FOLDER = Cats\r\ntom.bmp\r\n\r\nFOLDERS.bmp\r\n"));
    EXPECT_EQ(TFolderImagePack::ReadListFile(folder + "/list.txt"),
              (QStringList{"[猫]", folder + "/Cats/tom.bmp", folder + "/Cats/FOLDERS.bmp"}));
    EXPECT_TRUE(TFolderImagePack::ReadListFile(folder + "/missing.txt").isEmpty());
}

TEST(ImagePack, FolderMasksListSortedPicturesAndFilterByExtension)
{
    const QString folder = test::TestFolder();
    QImage red(4, 2, QImage::Format_RGB32);
    red.fill(Qt::red);
    test::WriteFileBytes(folder + "/b.bmp", EncodeBmp24(red));
    test::WriteFileBytes(folder + "/a.PNG", EncodePng(red));
    test::WriteFileBytes(folder + "/c.txt", "text");
    test::WriteFileBytes(folder + "/.hidden.bmp", EncodeBmp24(red));
    TFolderImagePack pack;
    int changes = 0;
    pack.OnChange = [&] { ++changes; };
    pack.SetFileMask(folder + "/*");
    EXPECT_EQ(pack.FileList(), (QStringList{folder + "/a.PNG", folder + "/b.bmp", folder + "/c.txt"}));
    pack.FilterByExtensions(".bmp;.png");
    EXPECT_EQ(pack.GetCount(), 2);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(pack.GetImageRect(1), (TRect{0, 0, 4, 2}));
}

TEST(ImagePack, MatrixCellsAreRoundedShares)
{
    TMatrixImagePack pack;
    QImage strip(100, 30, QImage::Format_RGB32);
    strip.fill(Qt::blue);
    pack.Image().SetImage(strip);
    pack.SetCountCol(3);
    EXPECT_EQ(pack.GetCount(), 3);
    EXPECT_EQ(pack.GetImageRect(0), (TRect{0, 0, 33, 30}));
    EXPECT_EQ(pack.GetImageRect(1), (TRect{33, 0, 67, 30}));
    EXPECT_EQ(pack.GetImageRect(2), (TRect{67, 0, 100, 30}));
    TPictureEx cell;
    pack.GetImage(cell, 1);
    EXPECT_EQ(cell.Width(), 34);
    pack.SetCountRow(0);
    EXPECT_EQ(pack.GetCount(), 0);
    EXPECT_TRUE(pack.GetImageRect(0).IsEmpty());
}

}  // namespace
}  // namespace kestrel
