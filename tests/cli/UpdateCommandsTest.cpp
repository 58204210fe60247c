#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <csignal>

#include "CliRun.h"
#include "paper/CatalogueStartup.h"
#include "platform/ZlibContainer.h"
#include "support/CfbTestSupport.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/UpdateFixtures.h"

namespace kestrel {
namespace {

using test::RunCliServing;

class UpdateCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::WriteCatalogueFile(catalogue, {"旧用紙"}, 7);
        test::WriteCatalogueFile(fresh, {"新用紙"}, 12);
        server.Serve("/ppr/KestrelMusic.vup", test::VersionUpText("12,\"2005/04/01 10:30:00\"", "KestrelMusic.ppz"));
        server.Serve("/ppr/KestrelMusic.ppz", PackContainer(test::ReadFileBytes(fresh)));
    }

    const QString folder = test::TestFolder();
    const QString catalogue = folder + "/kestrel.ppr";
    const QString fresh = folder + "/fresh.ppr";
    test::TLocalHttpServer server;
};

TEST_F(UpdateCommands, CheckShowsWhatTheServerOffers)
{
    const QByteArray before = test::ReadFileBytes(catalogue);
    const test::TCliRun run =
        RunCliServing({"update-papers", "--check", "--url", server.Url("/ppr/KestrelMusic.vup"), "--catalogue", catalogue});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "最新のパターン番号：0012\n最新のファイル日付：2005年4月1日\n");
    EXPECT_EQ(test::ReadFileBytes(catalogue), before);
    EXPECT_EQ(server.Requests().size(), 1);
}

TEST_F(UpdateCommands, AnUpdateDownloadsUnpacksAndInstalls)
{
    const test::TCliRun run =
        RunCliServing({"update-papers", "--url", server.Url("/ppr/KestrelMusic.vup"), "--catalogue", catalogue});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.endsWith("更新後のパターン番号：0012\n更新後のファイル日付：2005年4月1日\n"
                                 "用紙/メディア情報のアップデートが正常に終了しました。\n"))
        << run.out.toStdString();
    EXPECT_EQ(test::ReadFileBytes(catalogue), test::ReadFileBytes(fresh));
    EXPECT_TRUE(test::UpdateTempFiles().isEmpty());
}

TEST_F(UpdateCommands, AFailedDownloadLeavesTheCatalogueAsItWas)
{
    const QByteArray before = test::ReadFileBytes(catalogue);
    server.ServeRaw("/ppr/KestrelMusic.ppz", "HTTP/1.1 200 OK\r\nContent-Length: 9000\r\n\r\nZLIBCompress", 
                    test::TLocalHttpServer::TEnd::Reset);
    const test::TCliRun run =
        RunCliServing({"update-papers", "--url", server.Url("/ppr/KestrelMusic.vup"), "--catalogue", catalogue});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith("エラー: アップデートファイルの取得に失敗しました\n  サーバー「127.0.0.1」"))
        << run.err.toStdString();
    EXPECT_EQ(test::ReadFileBytes(catalogue), before);

    const test::TCliRun missing =
        RunCliServing({"update-papers", "--url", server.Url("/elsewhere.vup"), "--catalogue", catalogue});
    EXPECT_EQ(missing.err, "エラー: アップデートファイルの取得に失敗しました\n  サーバーがエラーを返しました(HTTP 404 Not Found)\n");
    EXPECT_EQ(test::ReadFileBytes(catalogue), before);
}

TEST_F(UpdateCommands, AFileFromDiskGoesThroughTheSameChecks)
{
    const QString packed = folder + "/update.ppz";
    test::WriteFileBytes(packed, PackContainer(test::ReadFileBytes(fresh)));
    const test::TCliRun check = RunCliServing({"update-papers", "--check", "--file", packed, "--catalogue", catalogue});
    EXPECT_EQ(check.out, "更新ファイルのパターン番号：0012\n更新ファイルのファイル日付：2005年4月1日\n");
    const QString withoutPrinters = folder + "/plain.ppr";
    test::WriteCatalogueFile(withoutPrinters, {"新用紙"}, 13, 38443, false);
    const test::TCliRun refused = RunCliServing({"update-papers", "--file", withoutPrinters, "--catalogue", catalogue});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "エラー: この用紙/メディア情報更新ファイルは使用できません\n  (プリンタ情報「DirectPrinter」がありません)\n");
    const test::TCliRun run = RunCliServing({"update-papers", "--file", packed, "--catalogue", catalogue});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(test::ReadFileBytes(catalogue), test::ReadFileBytes(fresh));
    EXPECT_TRUE(QFile::exists(packed));  // the user's file stays
    EXPECT_EQ(RunCliServing({"update-papers", "--file", packed, "--url", "http://x/"}).exitCode, 2);
}

TEST_F(UpdateCommands, UserPapersGoInAndOut)
{
    const QString mine = folder + "/mine.ppr";
    test::WriteCatalogueFile(mine, {"自分の用紙"}, 0, 0, false, true);
    const test::TCliRun in = RunCliServing({"papers", "--catalogue", catalogue, "--import", mine});
    ASSERT_EQ(in.exitCode, 0) << in.err.toStdString();
    EXPECT_EQ(in.out, "1 件のユーザー用紙を取り込みました\n");
    const QString out = folder + "/out.ppr";
    const test::TCliRun exported = RunCliServing({"papers", "--catalogue", catalogue, "--export", out});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    EXPECT_EQ(exported.out, "1 件のユーザー用紙を「" + out + "」に保存しました\n");
    const test::TCliRun listed = RunCliServing({"papers", "--catalogue", out});
    EXPECT_TRUE(listed.out.startsWith("自分の用紙\tユーザー\t2100x2970\t2\n")) << listed.out.toStdString();
    EXPECT_EQ(test::ListWithOlefile(out).streams.count("Papers/$00000001"), 1);
    EXPECT_EQ(RunCliServing({"papers", "--import", mine, "--export", out}).exitCode, 2);
}

// The catalogue on disk is always whole, the old or the new one, wherever the program is killed.
// KESTREL_KILL_TRIALS sets the number of trials (scripts/kill-install-trials.sh runs 100).
TEST_F(UpdateCommands, AnInstallKilledAtAnyMomentLeavesTheOldOrTheNewCatalogue)
{
    QStringList many;
    for (int i = 0; i < 300; ++i) many << QStringLiteral("用紙%1").arg(i);
    test::WriteCatalogueFile(fresh, many, 12);
    const QByteArray versions[] = {test::ReadFileBytes(catalogue), test::ReadFileBytes(fresh)};
    const QString sources[] = {folder + "/old.ppr", fresh};
    test::WriteFileBytes(sources[0], versions[0]);

    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(RunCliServing({"update-papers", "--file", sources[0], "--catalogue", catalogue}).exitCode, 0);
    const qint64 full = clock.elapsed();

    const int trials = qEnvironmentVariableIsSet("KESTREL_KILL_TRIALS") ? qEnvironmentVariableIntValue("KESTREL_KILL_TRIALS") : 10;
    int completed = 0;
    for (int trial = 0; trial < trials; ++trial) {
        const int next = trial % 2 == 0 ? 1 : 0;
        const QByteArray before = test::ReadFileBytes(catalogue);
        QProcess cli;
        cli.start(KESTREL_BINARY_DIR "/src/kestrel-cli", {"update-papers", "--file", sources[next], "--catalogue", catalogue});
        ASSERT_TRUE(cli.waitForStarted());
        const int delay = QRandomGenerator::global()->bounded(static_cast<int>(full * 11 / 10) + 1);
        if (!cli.waitForFinished(delay)) {
            // A process that ended just now has no id any more; kill(0) would hit this test.
            if (const qint64 pid = cli.processId(); pid > 0) kill(static_cast<pid_t>(pid), SIGKILL);
            cli.waitForFinished(30000);
        }
        ASSERT_EQ(cli.state(), QProcess::NotRunning) << "trial " << trial;
        if (cli.exitStatus() == QProcess::NormalExit) ++completed;
        const QByteArray after = test::ReadFileBytes(catalogue);
        EXPECT_TRUE(after == before || after == versions[next]) << "trial " << trial << " after " << delay << " ms";
        TPaperCatalogue opened;
        EXPECT_NO_THROW(opened.OpenSystem(catalogue)) << "trial " << trial;
    }
    RecordProperty("completed", completed);
}

}  // namespace
}  // namespace kestrel
