// Reading only regular files, and replacing files without listing their folder.

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <optional>

#include "platform/RegularFile.h"
#include "platform/ReplacingFile.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

using TCause = EFileRefused::TCause;

QString WriteFile(const QString& name, const QByteArray& bytes)
{
    const QString path = test::TestFolder() + u'/' + name;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

// The cause a read is refused for; nullopt when it is read.
std::optional<TCause> Refusal(const QString& path, qint64 maxBytes = 1024)
{
    try {
        ReadRegularFile(path, maxBytes);
        return std::nullopt;
    } catch (const EFileRefused& e) {
        EXPECT_TRUE(e.Message().contains(path)) << e.what();
        return e.Cause();
    }
}

TEST(RegularFile, DevicesFifosAndLinksToThemAreRefusedWithoutReadingOrWaiting)
{
    const QString folder = test::TestFolder();
    const QString fifo = folder + "/pipe.mld";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zeroLink = folder + "/zero.jpg", fifoLink = folder + "/pipe-link.csv";
    ASSERT_TRUE(QFile::link("/dev/zero", zeroLink));
    ASSERT_TRUE(QFile::link(fifo, fifoLink));

    QElapsedTimer timer;
    timer.start();
    for (const QString& path : {QStringLiteral("/dev/zero"), fifo, zeroLink, fifoLink})
        EXPECT_EQ(Refusal(path), TCause::fcNotRegular) << path.toStdString();
    EXPECT_EQ(Refusal(folder), TCause::fcNotRegular);
    EXPECT_LT(timer.elapsed(), 1000);  // nothing waited for a writer
}

TEST(RegularFile, RegularFilesAndLinksToThemAreReadWithinTheirLimit)
{
    const QString path = WriteFile("data.csv", "a,b\r\n");
    const QString link = test::TestFolder() + "/link.csv";
    ASSERT_TRUE(QFile::link(path, link));
    EXPECT_EQ(ReadRegularFile(link, 5), "a,b\r\n");
    EXPECT_EQ(Refusal(path, 4), TCause::fcTooLarge);
    EXPECT_EQ(Refusal(test::TestFolder() + "/missing.csv"), TCause::fcMissing);
    try {
        ReadRegularFile(path, 4);
    } catch (const EFileRefused& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("「%1」を読み込めません（4 バイトを超えています）").arg(path));
    }
}

QStringList Entries(const QString& folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System); }

bool Replace(const QString& target, const QByteArray& bytes)
{
    TReplacingFile file(target);
    return file.Open() && file.Device().write(bytes) == bytes.size() && file.Commit();
}

TEST(ReplacingFile, ALongNameIsSavedAndItsTemporaryNameFitsTheFileSystem)
{
    // 241 bytes: 79 three-byte characters and ".mld".
    const QString name = QString(79, QChar(0x3042)) + ".mld";
    ASSERT_EQ(QFile::encodeName(name).size(), 241);
    for (const QString& longName : QStringList{name, QString(251, 'x') + ".mld"}) {
        const QString target = test::TestFolder() + u'/' + longName;
        EXPECT_LE(QFile::encodeName(QFileInfo(TReplacingFile::TemporaryName(target, 7)).fileName()).size(), 255);
        ASSERT_TRUE(Replace(target, "new")) << longName.size();
        EXPECT_EQ(Entries(test::TestFolder()).filter(".tmp"), QStringList());
    }
    EXPECT_EQ(Entries(test::TestFolder()).size(), 2);
}

TEST(ReplacingFile, WhatAKilledSaveLeftIsTakenOverAndAnUnfinishedOneRemoved)
{
    const QString target = WriteFile("doc.mld", "old");
    WriteFile(QFileInfo(TReplacingFile::TemporaryName(target, 0)).fileName(), "half a save");
    ASSERT_TRUE(Replace(target, "new"));
    EXPECT_EQ(Entries(test::TestFolder()), QStringList{"doc.mld"});
    {
        TReplacingFile unfinished(target);
        ASSERT_TRUE(unfinished.Open());
        unfinished.Device().write("never committed");
    }
    EXPECT_EQ(Entries(test::TestFolder()), QStringList{"doc.mld"});
    QFile stored(target);
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), "new");
}

TEST(ReplacingFile, SavesOfOneTargetAtOnceEachGetTheirOwnFile)
{
    const QString target = test::TestFolder() + "/doc.mld";
    TReplacingFile first(target), second(target);
    ASSERT_TRUE(first.Open());
    ASSERT_TRUE(second.Open());
    first.Device().write("first");
    second.Device().write("second");
    EXPECT_TRUE(first.Commit());
    EXPECT_TRUE(second.Commit());
    EXPECT_EQ(Entries(test::TestFolder()), QStringList{"doc.mld"});
}

TEST(ReplacingFile, ALinkPlantedAtTheTemporaryNameIsNeverFollowed)
{
    const QString victim = WriteFile("victim.txt", "keep");
    const QString target = test::TestFolder() + "/doc.mld";
    ASSERT_TRUE(QFile::link(victim, TReplacingFile::TemporaryName(target, 0)));
    TReplacingFile file(target);
    EXPECT_FALSE(file.Open());
    EXPECT_FALSE(file.ErrorString().isEmpty());
    QFile kept(victim);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "keep");
}

// A save that lists its folder costs as much as the folder holds: a mail merge into one folder
// would grow with the square of its rows. inotify sees every opening of the folder itself.
TEST(ReplacingFile, ASaveNeverListsItsFolder)
{
    const QString folder = test::TestFolder();
    for (int i = 0; i < 20; ++i) WriteFile(QStringLiteral("other%1.mld").arg(i), "x");
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, QFile::encodeName(folder).constData(), IN_OPEN), 0);
    ASSERT_TRUE(Replace(folder + "/doc.mld", "new"));
    alignas(inotify_event) char buffer[4096];
    bool folderOpened = false;
    for (ssize_t n; (n = read(watch, buffer, sizeof buffer)) > 0;)
        for (char* p = buffer; p < buffer + n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(p);
            folderOpened |= (event->mask & IN_ISDIR) && event->len == 0;
            p += sizeof(inotify_event) + event->len;
        }
    close(watch);
    EXPECT_FALSE(folderOpened);
}

}  // namespace
}  // namespace kestrel
