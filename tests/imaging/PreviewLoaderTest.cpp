#include "imaging/PreviewLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

#include "imaging/ImagePack.h"
#include "platform/PictureCodecs.h"
#include "support/CfbTestSupport.h"
#include "support/PictureFixtures.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

constexpr int PhotoCount = 24;

// Photos of different sizes and colours, so every preview is told apart.
QString WritePhotos(const QString& folder)
{
    QDir().mkpath(folder);
    for (int i = 0; i < PhotoCount; ++i)
        test::WriteFileBytes(QStringLiteral("%1/photo%2.jpg").arg(folder).arg(i, 2, 10, QLatin1Char('0')),
                             EncodeJpeg(test::Solid(600 + 10 * i, 400, qRgb(10 * i, 100, 200))));
    test::WriteFileBytes(folder + "/notes.txt", "not a picture");
    return folder;
}

bool WaitUntilIdle(const TPreviewLoader& loader)
{
    QElapsedTimer timer;
    timer.start();
    while (!loader.Idle() && timer.elapsed() < 60000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return loader.Idle();
}

struct TBrowser {
    TFolderImagePack pack;
    std::vector<int> ready;
    explicit TBrowser(const QString& folder)
    {
        pack.SetCacheLimit(PhotoCount);
        pack.SetFileMask(folder + "/*");
        pack.FilterByExtensions(DefaultImageFileExtensions());
    }
    QImage Shown(int i)
    {
        TPictureEx picture;
        pack.GetImage(picture, i);
        return picture.Image();
    }
};

QList<int> All()
{
    QList<int> all;
    for (int i = 0; i < PhotoCount; ++i) all << i;
    return all;
}

// A browser showing every photo of the folder through the user's cache file, all previews ready.
struct TOpenedFolder {
    TImageCacheStorage cache;
    TBrowser browser;
    std::unique_ptr<TPreviewLoader> loader;
    TOpenedFolder(const QString& folder, const QString& cacheFile) : browser(folder)
    {
        cache.Open(cacheFile, false);
        loader = std::make_unique<TPreviewLoader>(browser.pack, &cache);
        loader->Want(All());
        EXPECT_TRUE(WaitUntilIdle(*loader));
    }
};

TEST(PreviewLoader, TheWantedPreviewsComeFirstAndFillTheUsersCache)
{
    const QString folder = WritePhotos(test::TestFolder() + "/photos");
    const QString cacheFile = test::TestFolder() + "/ImageCache.ic";
    TImageCacheStorage cache;
    cache.Open(cacheFile, false);
    {
        TBrowser browser(folder);
        ASSERT_EQ(browser.pack.GetCount(), PhotoCount);
        TPreviewLoader loader(browser.pack, &cache);
        loader.OnReady = [&](int i) { browser.ready.push_back(i); };
        loader.Want({5, 3, 9});
        // Until a preview is made the browser shows the placeholder, without waiting.
        EXPECT_EQ(browser.Shown(3).size(), PreviewPlaceholder().Image().size());
        ASSERT_TRUE(WaitUntilIdle(loader));
        std::sort(browser.ready.begin(), browser.ready.end());
        EXPECT_EQ(browser.ready, (std::vector<int>{3, 5, 9}));
        EXPECT_EQ(browser.Shown(5).size(), QSize(200, 123));  // 650 × 400
        loader.Want(All());
        ASSERT_TRUE(WaitUntilIdle(loader));
        EXPECT_EQ(loader.Counts().decoded, PhotoCount);
        EXPECT_EQ(browser.ready.size(), size_t(PhotoCount));
    }
    cache.Close();
    // An independent reader finds one JPEG record per photo.
    const char* script = R"(
import sys, olefile
ole = olefile.OleFileIO(sys.argv[1])
records = [e for e in ole.listdir() if e[-1].startswith("photo")]
print(len(records), all(ole.openstream(e).read()[17:33] == b"TSafetyJPEGImage" for e in records))
)";
    EXPECT_EQ(test::RunProgram("/usr/bin/python3", {"-c", script, cacheFile}), QByteArray::number(PhotoCount) + " True\n");
}

TEST(PreviewLoader, ASecondOpeningDecodesNothing)
{
    const QString folder = WritePhotos(test::TestFolder() + "/photos");
    const QString cacheFile = test::TestFolder() + "/ImageCache.ic";
    std::vector<QImage> first;
    {
        TOpenedFolder opened(folder, cacheFile);
        for (int i = 0; i < PhotoCount; ++i) first.push_back(opened.browser.Shown(i));
    }
    // Every photo is spoilt, keeping its size and time: a preview decoded from it now would fail.
    for (const QString& name : QDir(folder).entryList({"*.jpg"})) {
        QFile file(folder + "/" + name);
        const QDateTime time = QFileInfo(file).lastModified();
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.write(QByteArray(int(file.size()), '\0'));
        file.flush();
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    }
    TOpenedFolder second(folder, cacheFile);
    EXPECT_EQ(second.loader->Counts().fromCache, PhotoCount);
    EXPECT_EQ(second.loader->Counts().decoded, 0);
    EXPECT_EQ(second.loader->Counts().failed, 0);
    for (int i = 0; i < PhotoCount; ++i) EXPECT_EQ(second.browser.Shown(i), first[size_t(i)]) << i;
}

TEST(PreviewLoader, AnotherFolderDropsTheWorkOfTheFirst)
{
    const QString photos = WritePhotos(test::TestFolder() + "/photos");
    const QString other = test::TestFolder() + "/other";
    QDir().mkpath(other);
    test::WriteFileBytes(other + "/wide.jpg", EncodeJpeg(test::Solid(400, 100, qRgb(0, 200, 0))));
    test::WriteFileBytes(other + "/broken.jpg", "not a jpeg");
    TBrowser browser(photos);
    TPreviewLoader loader(browser.pack, nullptr);
    loader.OnReady = [&](int i) { browser.ready.push_back(i); };
    loader.Want(All());
    browser.pack.SetFileMask(other + "/*");
    browser.ready.clear();
    loader.Want({0, 1});
    ASSERT_TRUE(WaitUntilIdle(loader));
    // Only the new folder's pictures were announced: the broken one with the error picture.
    std::sort(browser.ready.begin(), browser.ready.end());
    EXPECT_EQ(browser.ready, (std::vector<int>{0, 1}));
    EXPECT_EQ(browser.pack.FileList(), (QStringList{other + "/broken.jpg", other + "/wide.jpg"}));
    TPictureEx picture;
    browser.pack.GetImage(picture, 0);
    EXPECT_EQ(picture.Graphic(), ErrorPicture());
    EXPECT_EQ(browser.Shown(1).size(), QSize(200, 50));
    EXPECT_EQ(loader.Counts().failed, 1);
}

}  // namespace
}  // namespace kestrel
