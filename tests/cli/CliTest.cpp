#include <gtest/gtest.h>

#include "CliRun.h"
#include "cli/Commands.h"
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

// Every command answers --help (wherever it stands among the arguments) with its summary and
// usage on standard output, and does nothing else.
TEST(Cli, EveryCommandPrintsItsOwnHelp)
{
    for (const cli::TCliCommand& command : cli::Commands()) {
        for (const QStringList& arguments : {QStringList{"--help"}, QStringList{"x.mld", "-h"}}) {
            QString out, err;
            QTextStream outStream(&out), errStream(&err);
            const int code = cli::RunCommandLine(QStringList{"kestrel-cli", command.name} + arguments, outStream, errStream);
            outStream.flush();
            EXPECT_EQ(code, 0) << command.name;
            EXPECT_TRUE(err.isEmpty()) << command.name;
            const QStringList lines = out.split('\n');
            EXPECT_EQ(lines.value(0), QString::fromUtf8(command.summary));
            EXPECT_EQ(lines.value(2), QString(QStringLiteral("使い方: kestrel-cli ") + command.name + ' ' + command.usage).trimmed());
        }
    }
    const TRun run = RunCli({"thumbnail", "--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("使い方: kestrel-cli thumbnail 文書.mld 出力.png [大きさ]\n")) << run.out.toStdString();
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

// Each wrong argument is refused before any file is read, naming the argument, its value and the
// problem on the first line, with the command's usage below it.
TEST(Cli, WrongArgumentsAreNamedWithTheirProblem)
{
    const struct {
        QStringList arguments;
        QString firstLine;
    } cases[] = {
        {{"qr", "A", "--level", "X", "--out", "a.png"}, "エラー: --level X: 誤り訂正レベルは L M Q H のどれかです"},
        {{"qr", "A", "--version", "41", "--out", "a.png"}, "エラー: --version 41: バージョンは1から40までです"},
        {{"qr", "A", "--mask", "x", "--out", "a.png"}, "エラー: --mask x: マスク番号は整数で指定してください"},
        {{"qr", "A", "--out"}, "エラー: --out: 値がありません"},
        {{"qr", "A"}, "エラー: --out: 出力ファイルを指定してください"},
        {{"qr", "A", "B", "--out", "a.png"}, "エラー: B: ファイルは一つだけ指定してください"},
        {{"jan", "490123456789"}, "エラー: --out: 出力ファイルを指定してください"},
        {{"jan", "490123456789", "--size", "3", "--out", "a.png"}, "エラー: --size: このオプションはありません"},
        {{"print", "a.mld", "--copies", "0", "--pdf", "a.pdf"}, "エラー: --copies 0: 部数は1から99までです"},
        {{"print", "a.mld", "--offset", "100,0", "--pdf", "a.pdf"}, "エラー: --offset 100,0: ずらす量は -99.9 から 99.9 mm までです"},
        {{"print", "a.mld"}, "エラー: --pdf: --pdf か --printer で出力先を指定してください"},
        {{"dump", "a.mld", "--sheet", "0"}, "エラー: --sheet 0: シート番号は1から1000までです"},
        {{"compose", "a.json"}, "エラー: 出力.mld: 作る文書のファイル名を指定してください"},
        {{"fill", "a.mld", "a.csv"}, "エラー: 出力パターン: 指定してください"},
        {{"fill", "a.mld", "a.csv", "{{row}}.mld", "--pfd"}, "エラー: --pfd: このオプションはありません"},
    };
    for (const auto& c : cases) {
        const TRun run = RunCli(c.arguments);
        EXPECT_EQ(run.exitCode, 2) << c.arguments.join(' ').toStdString();
        const QStringList lines = run.err.split('\n');
        EXPECT_EQ(lines.value(0), c.firstLine) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(lines.value(1).startsWith("使い方: kestrel-cli " + c.arguments[0])) << run.err.toStdString();
    }
}

}  // namespace
}  // namespace kestrel
