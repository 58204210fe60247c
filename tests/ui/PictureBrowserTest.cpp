#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QListWidget>
#include <QTimer>
#include <sys/stat.h>

#include "imaging/PreviewCache.h"
#include "platform/PictureCodecs.h"
#include "support/CfbTestSupport.h"
#include "support/TestEnvironment.h"
#include "ui/PictureBrowser.h"

namespace kestrel {
namespace {

// Shows the folder and waits until every preview is there.
void ShowAll(TPictureBrowser& browser, const QString& folder)
{
    QEventLoop wait;
    QObject::connect(&browser, &TPictureBrowser::AllShown, &wait, &QEventLoop::quit);
    QTimer::singleShot(60000, &wait, &QEventLoop::quit);
    browser.ShowFolder(folder);
    if (!browser.Finished()) wait.exec();
    ASSERT_TRUE(browser.Finished());
}

// Many photographs, one damaged, and a pipe named like a picture.
class PictureBrowserTest : public ::testing::Test {
protected:
    static constexpr int kPhotos = 500;

    void SetUp() override
    {
        folder_ = test::TestFolder() + "/photos";
        QDir().mkpath(folder_);
        QImage photo(320, 240, QImage::Format_RGB32);
        for (int i = 0; i < kPhotos; ++i) {
            photo.fill(qRgb(i % 256, (i * 7) % 256, 90));
            test::WriteFileBytes(QStringLiteral("%1/photo%2.jpg").arg(folder_).arg(i, 3, 10, QLatin1Char('0')), EncodeJpeg(photo));
        }
        test::WriteFileBytes(folder_ + "/broken.jpg", EncodeJpeg(photo).left(40));
        ASSERT_EQ(mkfifo(QFile::encodeName(folder_ + "/pipe.png").constData(), 0600), 0);
        cacheFile_ = test::TestFolder() + "/ImageCache.ic";
        cache_.Open(cacheFile_, false);
    }

    QString folder_;
    QString cacheFile_;
    TImageCacheStorage cache_;
};

TEST_F(PictureBrowserTest, PreviewsAreMadeOnceAndTakenFromTheUsersCacheAfterwards)
{
    {
        TPictureBrowser browser(&cache_, nullptr);
        ShowAll(browser, folder_);
        EXPECT_EQ(browser.findChild<QListWidget*>()->count(), kPhotos + 1);  // never the pipe
        EXPECT_EQ(browser.Counts().decoded, kPhotos);
        EXPECT_EQ(browser.Counts().fromCache, 0);
        EXPECT_EQ(browser.Counts().failed, 1);
        EXPECT_GE(browser.FirstPreviewMilliseconds(), 0);
        // The preview shows the photo's own colour.
        const QImage shown = browser.findChild<QListWidget*>()->item(1)->icon().pixmap(64, 64).toImage();
        EXPECT_NEAR(qRed(shown.pixel(32, 32)), 0, 8);
        EXPECT_NEAR(qGreen(shown.pixel(32, 32)), 0, 8);
        EXPECT_NEAR(qBlue(shown.pixel(32, 32)), 90, 8);

        browser.findChild<QListWidget*>()->setCurrentRow(2);
        EXPECT_EQ(browser.ChosenFile(), folder_ + "/photo001.jpg");
    }
    TPictureBrowser again(&cache_, nullptr);
    ShowAll(again, folder_);
    EXPECT_EQ(again.Counts().decoded, 0);
    EXPECT_EQ(again.Counts().fromCache, kPhotos);
    cache_.Close();

    // An independent reader finds one record per photograph.
    const char* script = R"(
import sys, olefile
ole = olefile.OleFileIO(sys.argv[1])
print(sum(1 for e in ole.listdir() if e[-1].startswith("photo") and e[-1].endswith(".jpg")))
)";
    EXPECT_EQ(test::RunProgram("/usr/bin/python3", {"-c", script, cacheFile_}), QByteArray::number(kPhotos) + "\n");
}

TEST_F(PictureBrowserTest, AnotherFolderDropsWhatTheFirstWasStillMaking)
{
    TPictureBrowser browser(&cache_, nullptr);
    browser.ShowFolder(folder_);
    const QString other = test::TestFolder() + "/other";
    QDir().mkpath(other);
    QImage red(50, 50, QImage::Format_RGB32);
    red.fill(Qt::red);
    test::WriteFileBytes(other + "/red.png", EncodePng(red));
    ShowAll(browser, other);
    ASSERT_EQ(browser.findChild<QListWidget*>()->count(), 1);
    EXPECT_EQ(browser.Counts().decoded + browser.Counts().fromCache, 1);
    // Results of the first folder still arriving change nothing.
    QEventLoop settle;
    QTimer::singleShot(300, &settle, &QEventLoop::quit);
    settle.exec();
    EXPECT_EQ(browser.Counts().decoded + browser.Counts().fromCache, 1);
    EXPECT_EQ(browser.findChild<QListWidget*>()->count(), 1);
}

}  // namespace
}  // namespace kestrel
