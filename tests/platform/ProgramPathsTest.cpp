#include <gtest/gtest.h>

#include <QCoreApplication>

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
