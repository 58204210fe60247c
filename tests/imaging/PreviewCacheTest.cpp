#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "app/DataMain.h"
#include "document/storage/DocStorage.h"
#include "document/storage/DocStream.h"
#include "imaging/PreviewCache.h"
#include "platform/PictureCodecs.h"
#include "support/CfbTestSupport.h"
#include "support/PictureFixtures.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

using test::Solid;

TEST(PreviewCache, PreviewSizesFitTheSquareAndNeverVanish)
{
    EXPECT_EQ(PreviewSize(100, 50), QSize(200, 100));
    EXPECT_EQ(PreviewSize(50, 400), QSize(25, 200));
    EXPECT_EQ(PreviewSize(30000, 1), QSize(200, 1));
    EXPECT_EQ(PreviewSize(1, 30000), QSize(1, 200));
    EXPECT_TRUE(PreviewSize(0, 10).isEmpty());
}

TEST(PreviewCache, LargeJpegsArePreviewedThroughTheDct)
{
    const QString path = test::TestFolder() + "/big.jpg";
    test::WriteFileBytes(path, EncodeJpeg(Solid(1700, 900, qRgb(0, 0, 250)), 90));
    const QImage preview = MakePreview(path);
    EXPECT_EQ(preview.size(), QSize(200, 106));
    EXPECT_LE(std::abs(qBlue(preview.pixel(100, 50)) - 250), 3);
    test::WriteFileBytes(path, "not a picture");
    EXPECT_THROW(MakePreview(path), EReadError);
}

TEST(PreviewCache, RecordsRoundTripAndDamagedOnesAreDeleted)
{
    const QString file = test::TestFolder() + "/ImageCache.ic";
    TImageCacheItem item;
    item.fileSize = 1234;
    item.fileTime = 133000000000000000LL;
    item.picture = TGraphic(TGraphicClass::gcJpeg, EncodeJpeg(Solid(4, 4, 0)));
    {
        TImageCacheStorage cache;
        cache.Open(file, false);
        cache.Write("C:/photos/cat.jpg", item);
        cache.Write("D:/photos/cat.jpg", TImageCacheItem{});
        cache.Close();
    }
    TImageCacheStorage cache;
    cache.Open(file, false);
    TImageCacheItem read;
    ASSERT_TRUE(cache.Read("C:/photos/cat.jpg", read));
    EXPECT_EQ(read.fileSize, 1234u);
    EXPECT_EQ(read.fileTime, item.fileTime);
    EXPECT_EQ(read.picture, item.picture);
    // Another drive is another record: an empty one here.
    ASSERT_TRUE(cache.Read("D:/photos/cat.jpg", read));
    EXPECT_TRUE(read.picture.IsEmpty());
    EXPECT_FALSE(cache.Read("E:/photos/cat.jpg", read));
    EXPECT_EQ(TImageCacheStorage::StreamPath("C:/photos/cat.jpg"), "C?Drive\\photos\\cat.jpg");

    cache.Close();
    {
        TFileStorage raw(file, ModeReadWrite | ShareExclusive);
        TDocStream::Open(raw, ModeCreate, "C?Drive\\photos\\cat.jpg")->WriteAll(QByteArray("\0\0\0\0\1\2", 6));
        raw.Close();
    }
    cache.Open(file, false);
    EXPECT_THROW(cache.Read("C:/photos/cat.jpg", read), EReadError);
    EXPECT_FALSE(cache.Read("C:/photos/cat.jpg", read));  // deleted: it will be made again
}

TEST(PreviewCache, FolderPreviewsAreReusedUntilTheFileChanges)
{
    const QString folder = test::TestFolder() + "/pictures";
    QDir().mkpath(folder);
    test::WriteFileBytes(folder + "/a.jpg", EncodeJpeg(Solid(300, 200, qRgb(200, 0, 0))));
    test::WriteFileBytes(folder + "/b.png", EncodePng(Solid(50, 400, qRgb(0, 200, 0))));
    test::WriteFileBytes(folder + "/c.jpg", "damaged");
    test::WriteFileBytes(folder + "/notes.txt", "not a picture");
    int lastDone = 0, lastTotal = 0;
    TThumbnailCounts first = FillFolderPreviews(folder, [&](int done, int total) { lastDone = done, lastTotal = total; });
    EXPECT_EQ(first.decoded, 2);
    EXPECT_EQ(first.failed, 1);
    EXPECT_EQ(lastDone, 3);
    EXPECT_EQ(lastTotal, 3);
    TThumbnailCounts second = FillFolderPreviews(folder);
    EXPECT_EQ(second.fromCache, 2);
    EXPECT_EQ(second.decoded, 0);

    test::WriteFileBytes(folder + "/a.jpg", EncodeJpeg(Solid(310, 200, qRgb(200, 0, 0))));
    QFile::remove(folder + "/b.png");
    TThumbnailCounts third = FillFolderPreviews(folder);
    EXPECT_EQ(third.decoded, 1);
    EXPECT_EQ(third.fromCache, 0);
    TImageCacheStorage cache;
    cache.Open(folder + "/Preview.ic", true);
    EXPECT_EQ(cache.TopRecords(), QStringList{"a.jpg"});  // the record of the removed picture went
}

TEST(PreviewCache, AnIndependentReaderFindsAJpegInEachRecord)
{
    const QString folder = test::TestFolder() + "/pictures";
    QDir().mkpath(folder);
    test::WriteFileBytes(folder + "/wide.jpg", EncodeJpeg(Solid(100, 50, qRgb(0, 0, 200))));
    test::WriteFileBytes(folder + "/tall.bmp", EncodeBmp24(Solid(50, 400, qRgb(200, 200, 0))));
    FillFolderPreviews(folder);
    const char* script = R"(
import io, sys, olefile
from PIL import Image
ole = olefile.OleFileIO(sys.argv[1])
for entry in sorted(ole.listdir()):
    data = ole.openstream(entry).read()
    n = data[16]
    count = int.from_bytes(data[17 + n:21 + n], "little")
    image = Image.open(io.BytesIO(data[21 + n:21 + n + count]))
    print(entry[0], data[17:17 + n].decode(), image.format, image.size[0], image.size[1])
)";
    const QByteArray listing = test::RunProgram("/usr/bin/python3", {"-c", script, folder + "/Preview.ic"});
    EXPECT_EQ(listing, "tall.bmp TSafetyJPEGImage JPEG 25 200\nwide.jpg TSafetyJPEGImage JPEG 200 100\n");
}

TEST(PreviewCache, ALimitPrunesTheCacheAndStopsNewRecords)
{
    const QString file = test::TestFolder() + "/ImageCache.ic";
    TImageCacheItem big;
    big.picture = TGraphic(TGraphicClass::gcBitmap, EncodeBmp24(Solid(700, 700, qRgb(1, 2, 3))));  // about 1.4 MiB
    TImageCacheStorage cache;
    cache.Open(file, false);
    cache.Write("/p/one.bmp", big);
    cache.Write("/p/two.bmp", big);
    cache.Commit();
    EXPECT_GT(cache.FileSize(), 2 * 1024 * 1024);
    cache.SetLimit(2);
    EXPECT_LE(cache.FileSize(), 2 * 1024 * 1024);
    TImageCacheItem read;
    EXPECT_FALSE(cache.Read("/p/one.bmp", read));
    cache.SetLimit(0);
    cache.Write("/p/three.bmp", big);
    cache.Commit();
    EXPECT_FALSE(cache.Read("/p/three.bmp", read));
}

}  // namespace
}  // namespace kestrel

namespace kestrel {
namespace {

TEST(PreviewCache, BrowsersPreferTheFolderCacheThenAValidUserRecord)
{
    const QString folder = test::TestFolder() + "/photos";
    QDir().mkpath(folder);
    const QString photo = folder + "/cat.jpg";
    test::WriteFileBytes(photo, EncodeJpeg(Solid(100, 50, qRgb(200, 0, 0))));
    TImageCacheStorage user;
    user.Open(test::TestFolder() + "/ImageCache.ic", false);
    const TGraphic first = LoadPreview(photo, &user);
    EXPECT_EQ(first.Image().size(), QSize(200, 100));
    TImageCacheItem stored;
    ASSERT_TRUE(user.Read(photo, stored));
    EXPECT_EQ(stored.picture, first);
    EXPECT_EQ(LoadPreview(photo, &user), first);

    // A changed file (here of another length, as its time may not have moved yet) gets a new preview.
    test::WriteFileBytes(photo, EncodeJpeg(Solid(50, 120, qRgb(200, 0, 0))));
    EXPECT_EQ(LoadPreview(photo, &user).Image().size(), QSize(83, 200));

    // The folder's own cache wins, even when its preview is older than the file.
    FillFolderPreviews(folder);
    test::WriteFileBytes(photo, EncodeJpeg(Solid(100, 100, qRgb(200, 0, 0))));
    EXPECT_EQ(LoadPreview(photo, &user).Image().size(), QSize(83, 200));
    user.Close();

    // An independent reader finds the record below the folders of the path.
    const char* script = R"(
import sys, olefile
ole = olefile.OleFileIO(sys.argv[1])
print(sorted("/".join(e) for e in ole.listdir())[0].endswith("photos/cat.jpg"))
)";
    EXPECT_EQ(test::RunProgram("/usr/bin/python3", {"-c", script, test::TestFolder() + "/ImageCache.ic"}), "True\n");
}

}  // namespace
}  // namespace kestrel

namespace kestrel {
namespace {

TEST(PreviewCache, LongNamesAreCachedUnderDigestsThatDoNotCollide)
{
    const QString folder = test::TestFolder() + "/photos with a folder name longer than thirty-one";
    QDir().mkpath(folder);
    const QString first = folder + "/holiday at the sea, the first evening.jpg";
    const QString second = folder + "/holiday at the sea, the second evening.jpg";
    test::WriteFileBytes(first, EncodeJpeg(Solid(100, 50, qRgb(200, 0, 0))));
    test::WriteFileBytes(second, EncodeJpeg(Solid(50, 100, qRgb(0, 0, 200))));
    TImageCacheStorage user;
    user.Open(test::TestFolder() + "/ImageCache.ic", false);
    LoadPreview(first, &user);
    LoadPreview(second, &user);
    TImageCacheItem stored;
    ASSERT_TRUE(user.Read(first, stored));
    EXPECT_EQ(stored.picture.Image().size(), QSize(200, 100));
    ASSERT_TRUE(user.Read(second, stored));
    EXPECT_EQ(stored.picture.Image().size(), QSize(100, 200));
    // Names that fit keep their old form, so caches written before still answer; element
    // names hold no backslash or exclamation mark.
    EXPECT_EQ(TImageCacheStorage::StreamPath("/home/mio/cat.jpg"), "home\\mio\\cat.jpg");
    const QString odd = TImageCacheStorage::StreamPath("/home/mio/wow!.jpg");
    EXPECT_TRUE(odd.startsWith("home\\mio\\?"));
    EXPECT_EQ(odd.size(), QString("home\\mio\\").size() + 31);
    EXPECT_NE(TImageCacheStorage::StreamPath(first), TImageCacheStorage::StreamPath(second));
}

TEST(PreviewCache, ClearingEmptiesTheCacheAndKeepsItUsable)
{
    const QString file = test::TestFolder() + "/ImageCache.ic";
    TImageCacheStorage cache;
    cache.Open(file, false);
    TImageCacheItem item;
    item.picture = TGraphic(TGraphicClass::gcJpeg, EncodeJpeg(Solid(4, 4, 0)));
    cache.Write("/a/cat.jpg", item);
    cache.Commit();
    cache.Clear();
    TImageCacheItem read;
    EXPECT_FALSE(cache.Read("/a/cat.jpg", read));
    cache.Write("/a/dog.jpg", item);
    EXPECT_TRUE(cache.Read("/a/dog.jpg", read));
    EXPECT_EQ(CacheLimitFromSettings(false, 50), 0);
    EXPECT_EQ(CacheLimitFromSettings(true, 0), INT_MAX);
    EXPECT_EQ(CacheLimitFromSettings(true, 30), 30);
}

TEST(PreviewCache, StartUpOpensTheUsersCacheWithItsLimit)
{
    TStartupHooks hooks;
    InstallImageCacheHooks(hooks);
    const QString file = test::TestFolder() + "/ImageCache.ic";
    hooks.openImageCache(file, true, 0);
    EXPECT_TRUE(ImageCache().IsOpen());
    EXPECT_EQ(ImageCache().Limit(), INT_MAX);
    hooks.freeImageCache();
    hooks.openImageCache(file, false, 50);
    EXPECT_EQ(ImageCache().Limit(), 0);
    hooks.freeImageCache();
    EXPECT_FALSE(ImageCache().IsOpen());
}

}  // namespace
}  // namespace kestrel
