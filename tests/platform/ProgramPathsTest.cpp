#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>

#include "platform/ProgramPaths.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

TEST(ProgramPaths, FoldersEndWithASlash)
{
    EXPECT_EQ(ExeDir(), QCoreApplication::applicationDirPath() + "/");
    EXPECT_EQ(ExeNameNoExt(), ExeDir() + "test_platform");
    EXPECT_EQ(AppDataDir(), test::TestFolder() + "/data/");
}

TEST(ProgramPaths, VersionComesFromTheBuild)
{
    EXPECT_EQ(ShortVer(), QString("%1.%2").arg(KESTREL_VERSION_MAJOR).arg(KESTREL_VERSION_MINOR));
    EXPECT_EQ(LongVer(),
              ShortVer() + QString(".%1.%2").arg(KESTREL_VERSION_PATCH).arg(KESTREL_VERSION_TWEAK));
}

// The programs in the build tree find the data the build wrote, as installed programs find the
// installed data: the same place relative to the program.
TEST(ProgramPaths, TheBuildTreeIsLaidOutAsAnInstallation)
{
    const QString buildPrograms = QStringLiteral(KESTREL_BINARY_DIR "/src/");
    const QStringList folders = DataFolders(buildPrograms);
    ASSERT_GE(folders.size(), 2);
    EXPECT_EQ(folders[0], buildPrograms);
    EXPECT_EQ(folders[1], QStringLiteral(KESTREL_DATA_DIR "/"));
    EXPECT_EQ(FindDataFolder("kestrel.ppr", buildPrograms), QStringLiteral(KESTREL_DATA_DIR "/"));

    const QStringList installed = DataFolders("/opt/kestrel/bin/");
    EXPECT_EQ(installed.mid(0, 2), QStringList({"/opt/kestrel/bin/", "/opt/kestrel/share/kestrel/"}));
    EXPECT_EQ(installed.size(), QSet<QString>(installed.begin(), installed.end()).size()) << "no folder twice";
}

TEST(ProgramPaths, DataBesideTheProgramComesBeforeTheInstalledData)
{
    const QString bin = test::TestFolder() + "/prefix/bin/", share = test::TestFolder() + "/prefix/share/kestrel/";
    for (const QString& file : QStringList{bin + "Effect.dat", share + "Effect.dat", share + "ILLUST/DecoLine/a.png"}) {
        QDir().mkpath(QFileInfo(file).path());
        QFile(file).open(QIODevice::WriteOnly);
    }
    EXPECT_EQ(FindDataFolder("Effect.dat", bin), bin);
    EXPECT_EQ(FindDataFolder("ILLUST\\DecoLine", bin), share);
    EXPECT_EQ(FindDataFolder("Template.dat", bin), "");
}

TEST(ProgramPaths, HelpIsFoundInTheDataFoldersOrNamedBesideTheProgram)
{
    const QString bin = test::TestFolder() + "/help-prefix/bin/", share = test::TestFolder() + "/help-prefix/share/kestrel/";
    QDir().mkpath(bin);
    QDir().mkpath(share + "help");
    EXPECT_EQ(HelpDir(bin), bin + "help/") << "an empty help folder is no help";
    QFile(share + "help/index.html").open(QIODevice::WriteOnly);
    EXPECT_EQ(HelpDir(bin), share + "help/");
    EXPECT_EQ(HelpDir(KESTREL_BINARY_DIR "/src/"), KESTREL_DATA_DIR "/help/") << "the build's own pages";
}

TEST(ProgramPaths, JoinPathUsesSlashesWhateverTheStoredSeparator)
{
    EXPECT_EQ(JoinPath("/opt/kestrel/", "Data\\Font"), "/opt/kestrel/Data/Font");
    EXPECT_EQ(JoinPath("/opt/kestrel", "Data/Template/Template.dat"),
              "/opt/kestrel/Data/Template/Template.dat");
    EXPECT_EQ(JoinPath("/opt/kestrel/", "\\Plugins"), "/opt/kestrel/Plugins");
    EXPECT_EQ(JoinPath("", "a\\b"), "a/b");
}

}  // namespace
}  // namespace kestrel
