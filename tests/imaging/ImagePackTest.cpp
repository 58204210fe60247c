#include <gtest/gtest.h>

#include <QDir>

#include "imaging/ImagePack.h"
#include "platform/Canvas.h"
#include "platform/Graphic.h"
#include "platform/Cp932.h"
#include "platform/EmfWriter.h"
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

TEST(ImagePack, TheErrorPictureIsAMetafileSizedToItsRedTextOnWhite)
{
    const TGraphic& error = ErrorPicture();
    ASSERT_TRUE(error.IsMetafile());
    TFont font;
    font.size = 12;
    const QSize line = MetafileTextExtent(QStringLiteral("イメージ処理"), font);
    EXPECT_GE(error.Width(), line.width());
    EXPECT_LE(error.Width(), line.width() + 12);
    EXPECT_GE(error.Height(), 2 * line.height());
    EXPECT_LE(error.Height(), 2 * line.height() + 12);
    const QImage& shown = error.Image();
    QRect red;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb p = shown.pixel(x, y);
            if (qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60) red |= QRect(x, y, 1, 1);
        }
    ASSERT_FALSE(red.isEmpty());
    EXPECT_NEAR(red.center().x(), shown.width() / 2, 2) << "centred";
    EXPECT_GT(red.height(), line.height()) << "two lines";
    EXPECT_EQ(shown.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(shown.pixel(shown.width() - 1, shown.height() - 1), qRgb(255, 255, 255));
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

// Picture i is a (i + 1) × 2 picture of colour i; the owner counts its calls.
struct TOwnerPictures {
    int count = 3;
    int served = 0;
    std::vector<QUuid> heard;
    TListener listener{[this](TPersistent*, const QUuid& kind) { heard.push_back(kind); }};

    void Attach(TCustomImagePack& pack)
    {
        pack.OnGetCount = [this] { return count; };
        pack.OnGetImage = [this](TCustomImagePack&, TPictureEx& picture, int i) {
            ++served;
            QImage image(i + 1, 2, QImage::Format_RGB32);
            image.fill(QColor(40 * i, 0, 0));
            picture.SetImage(image);
        };
        listener.ListenTo(pack.Notify());
    }
};

TEST(ImagePack, ACustomPackServesItsOwnersPicturesThroughTheCache)
{
    TCustomImagePack pack;
    EXPECT_EQ(pack.GetCount(), 0);  // no handler yet
    TOwnerPictures owner;
    owner.Attach(pack);
    pack.SetCacheLimit(4);
    EXPECT_EQ(pack.GetCount(), 3);
    TPictureEx picture;
    pack.GetImage(picture, 2);
    pack.GetImage(picture, 2);
    EXPECT_EQ(owner.served, 1);
    EXPECT_EQ(pack.GetImageRect(2), (TRect{0, 0, 3, 2}));
    pack.GetImage(picture, 3);  // beyond the owner's count
    EXPECT_FALSE(picture.HasGraphic());

    int changes = 0;
    pack.OnChange = [&] { ++changes; };
    pack.Invalidate();
    pack.Refresh();
    EXPECT_EQ(owner.heard, (std::vector<QUuid>{NotifyImagePackChanging, NotifyImagePackChanged}));
    EXPECT_EQ(changes, 1);
    pack.GetImage(picture, 2);
    EXPECT_EQ(owner.served, 2);  // the refresh dropped the cache
}

TEST(ImagePack, ChangingTheFileListIsAnnouncedBeforeAndAfter)
{
    TFileImagePack pack;
    TOwnerPictures owner;
    owner.listener.ListenTo(pack.Notify());
    pack.SetFileList({QStringLiteral("a.bmp")});
    EXPECT_EQ(owner.heard, (std::vector<QUuid>{NotifyImagePackChanging, NotifyImagePackChanged}));
}

TEST(ImagePack, DrawPutsThePicturesRectangleAtThePoint)
{
    TCustomImagePack pack;
    TOwnerPictures owner;
    owner.Attach(pack);
    QImage surface(10, 6, QImage::Format_RGB32);
    surface.fill(Qt::white);
    {
        TCanvas canvas(surface);
        pack.Draw(canvas, 4, 3, 2);  // a 3 × 2 picture
    }
    EXPECT_EQ(surface.pixel(4, 3), qRgb(80, 0, 0));
    EXPECT_EQ(surface.pixel(6, 4), qRgb(80, 0, 0));
    EXPECT_EQ(surface.pixel(7, 4), qRgb(255, 255, 255));
    EXPECT_EQ(surface.pixel(3, 3), qRgb(255, 255, 255));
}

TEST(ImagePack, MetafilesAreDrawnAsVectors)
{
    // A red rectangle without outline over the left half of a 10 × 10 frame, drawn 30 times larger.
    const QByteArray wmf = QByteArray::fromHex(
        "d7cdc69a0000000000000a000a00a00500000000b152"  // placeable header: 10 × 10
        "0100090000032a000000100008000000" "0000"
        "08000000fa0205000100000000000000"  // null pen
        "07000000fc020000ff0000000000"  // red brush
        "040000002d010000" "040000002d010100"
        "070000001b040a0005000000000003000000" "0000");
    TCustomImagePack pack;
    pack.OnGetCount = [] { return 1; };
    pack.OnGetImage = [&](TCustomImagePack&, TPictureEx& picture, int) {
        picture.SetGraphic(TGraphic(TGraphicClass::gcMetafile, wmf));
    };
    QImage surface(300, 300, QImage::Format_RGB32);
    surface.fill(Qt::white);
    {
        TCanvas canvas(surface);
        pack.StretchDraw(canvas, {0, 0, 300, 300}, 0);
    }
    // Sharp edges at the scaled rectangle's border: no picture pixels were stretched.
    EXPECT_EQ(surface.pixel(149, 150), qRgb(255, 0, 0));
    EXPECT_EQ(surface.pixel(150, 150), qRgb(255, 255, 255));
    EXPECT_EQ(surface.pixel(148, 296), qRgb(255, 0, 0));
}

}  // namespace
}  // namespace kestrel
