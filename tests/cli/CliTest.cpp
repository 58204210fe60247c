#include <gtest/gtest.h>

#include "CliRun.h"
#include "platform/ProgramPaths.h"

namespace kestrel {
namespace {

using test::RunCli;
using TRun = test::TCliRun;

TEST(Cli, VersionPrintsTheBuildVersion)
{
    for (const char* option : {"--version", "version"}) {
        const TRun run = RunCli({option});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, "kestrel-cli " + LongVer() + "\n");
    }
}

TEST(Cli, HelpListsTheCommands)
{
    const TRun run = RunCli({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.startsWith("使い方: kestrel-cli <コマンド>")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QRegularExpression("\n  version +バージョンを表示します\n")));
}

TEST(Cli, UnknownOrMissingCommandsFailInJapanese)
{
    const TRun unknown = RunCli({"frobnicate", "x"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.out.isEmpty());
    EXPECT_TRUE(unknown.err.contains("「frobnicate」というコマンドはありません"))
        << unknown.err.toStdString();

    const TRun none = RunCli({});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_TRUE(none.err.contains("コマンドを指定してください"));
    EXPECT_TRUE(none.err.contains("使い方:"));
}

}  // namespace
}  // namespace kestrel
