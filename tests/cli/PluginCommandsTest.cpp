#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "cli/CliRun.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

// kestrel-cli plugins over a folder of the test plug-ins (tests/plugins) and a file that is no
// library.
class PluginCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = test::TestFolder() + "/Plugins";
        QDir().mkpath(folder_);
        for (const char* name : {"exporter", "failing", "good", "malformed", "throwing"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(KESTREL_TEST_PLUGIN_DIR "/%1.so").arg(name),
                                    QStringLiteral("%1/%2.so").arg(folder_, name)));
        QFile broken(folder_ + "/broken.so");
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("not a library");
    }

    QString folder_;
};

TEST_F(PluginCommandsTest, ListsUsableServersThenTheRefusedOnesWithTheirReasons)
{
    const test::TCliRun run = test::RunCli({"plugins", "--folder", folder_});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    const QString library = folder_ + '/';
    const int refusedAt = int(lines.indexOf("使えないプラグイン:"));
    ASSERT_GE(refusedAt, 0) << run.out.toStdString();
    // Usable servers in library name order, each as the program would create it.
    EXPECT_EQ(lines.mid(0, refusedAt),
              QStringList({"テスト登録\t曲名データの登録\t" + library + "exporter.so",
                           "テスト画像\t画像の取り込み\t" + library + "good.so",
                           "テスト取得\t曲名データの取得\t" + library + "good.so",
                           "巨大な画像\t画像の取り込み\t" + library + "malformed.so"}));
    const QStringList refused = lines.mid(refusedAt + 1);
    ASSERT_EQ(refused.size(), 4) << run.out.toStdString();
    EXPECT_TRUE(refused[0].startsWith(library + "broken.so\tプラグイン「broken.so」: ライブラリとして読み込めません"));
    EXPECT_EQ(refused[1], library + "failing.so\tプラグイン「failing.so」: 初期化に失敗しました (状態 0x80004005)");
    EXPECT_TRUE(refused[2].startsWith(library + "malformed.so\tプラグイン「不正な説明 (malformed.so)」: 説明の XML が正しくありません"))
        << refused[2].toStdString();
    EXPECT_EQ(refused[3], library + "throwing.so\tプラグイン「壊れた取得 (throwing.so)」: 初期化で例外が発生しました: "
                                    "no disc service configured");
}

TEST_F(PluginCommandsTest, AnEmptyFolderSaysSoAndAMissingOneIsAnError)
{
    const QString empty = test::TestFolder() + "/Empty";
    QDir().mkpath(empty);
    const test::TCliRun none = test::RunCli({"plugins", "--folder", empty});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out, "プラグインはありません (" + empty + ")\n");

    const test::TCliRun missing = test::RunCli({"plugins", "--folder", test::TestFolder() + "/nowhere"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains("フォルダがありません")) << missing.err.toStdString();
    EXPECT_TRUE(missing.err.contains("kestrel-cli plugins [--folder フォルダ]")) << missing.err.toStdString();
}

}  // namespace
}  // namespace kestrel
