#include <gtest/gtest.h>

#include <QTimer>

#include "app/InternetEnvironment.h"
#include "paper/PPRDownload.h"
#include "platform/ZlibContainer.h"
#include "support/CfbTestSupport.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/UpdateFixtures.h"

namespace kestrel {
namespace {

using test::TLocalHttpServer;
using TEnd = TLocalHttpServer::TEnd;

class PPRDownloadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalogue = test::PatternBytes(50000, 3);
        download.SetUpdaterURL(server.Url("/updater/KestrelMusic/ppr/KestrelMusic.vup"));
        download.HTTP().SetTimeout(1500);
    }
    void Announce(const QByteArray& numberAndDate, const QByteArray& name)
    {
        server.Serve("/updater/KestrelMusic/ppr/KestrelMusic.vup", test::VersionUpText(numberAndDate, name));
    }

    TLocalHttpServer server;
    TPPRDownload download;
    QByteArray catalogue;
};

TEST_F(PPRDownloadTest, APackedCatalogueNextToTheVersionFileIsFetchedAndUnpacked)
{
    Announce("12,\"2005/04/01 10:30:00\"", "KestrelMusic.ppz");
    server.Serve("/updater/KestrelMusic/ppr/KestrelMusic.ppz", PackContainer(catalogue));
    ASSERT_TRUE(download.Check()) << download.ErrorText().toStdString();
    EXPECT_EQ(download.Version(), 12);
    EXPECT_DOUBLE_EQ(download.Date(), 38443 + 10.5 / 24);
    EXPECT_EQ(download.CatalogueURL(), server.Url("/updater/KestrelMusic/ppr/KestrelMusic.ppz"));
    EXPECT_TRUE(QFileInfo(download.DownloadFileName()).fileName().startsWith("PPR"));
    ASSERT_TRUE(download.Download()) << download.ErrorText().toStdString();
    EXPECT_EQ(test::ReadFileBytes(download.DownloadFileName()), catalogue);
    // Only the unpacked catalogue is left.
    EXPECT_EQ(test::UpdateTempFiles(), QStringList{QFileInfo(download.DownloadFileName()).fileName()});
}

TEST_F(PPRDownloadTest, ACatalogueNamedInCapitalsIsTakenAsItIs)
{
    Announce("3,2005/04/01 10:30:00", "KestrelMusic.PPR");
    server.Serve("/updater/KestrelMusic/ppr/KestrelMusic.PPR", catalogue);
    ASSERT_TRUE(download.Check());
    EXPECT_DOUBLE_EQ(download.Date(), 38443.0);  // unquoted, the time is an item of its own
    EXPECT_EQ(test::UpdateTempFiles().filter("PPZ").size(), 0);
    ASSERT_TRUE(download.Download());
    EXPECT_EQ(test::ReadFileBytes(download.DownloadFileName()), catalogue);
}

TEST_F(PPRDownloadTest, ACheckFailsOnAnythingButAVersionFile)
{
    EXPECT_FALSE(download.Check());  // nothing served: 404
    EXPECT_EQ(download.ErrorText(), "サーバーがエラーを返しました(HTTP 404 Not Found)");
    server.Serve("/updater/KestrelMusic/ppr/KestrelMusic.vup", "<html>moved</html>");
    EXPECT_FALSE(download.Check());
    EXPECT_EQ(download.ErrorText(), "更新情報ファイルの内容が正しくありません");
    EXPECT_EQ(download.Version(), 0);
    EXPECT_TRUE(download.DownloadFileName().isEmpty());
    EXPECT_TRUE(test::UpdateTempFiles().isEmpty());
    // A number 0 or an impossible date is a well-formed file that announces nothing.
    Announce("0,2005/04/01", "x.ppz");
    EXPECT_TRUE(download.Check());
    EXPECT_EQ(download.Version(), 0);
    Announce("5,2005/13/01", "x.ppz");
    EXPECT_TRUE(download.Check());
    EXPECT_EQ(download.Date(), 0);
}

// Each broken transfer fails with its cause in Japanese and leaves no file behind.
TEST_F(PPRDownloadTest, ABrokenCatalogueTransferLeavesNothingBehind)
{
    const QString path = "/updater/KestrelMusic/ppr/KestrelMusic.PPR";
    const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: 50000\r\nConnection: close\r\n\r\n";
    const struct {
        QByteArray bytes;
        TEnd end;
        const char* cause;
    } cases[] = {
        {test::HttpResponse("gone", 404), TEnd::Close, "サーバーがエラーを返しました(HTTP 404 Not Found)"},
        {head + catalogue.left(20000), TEnd::Reset, "との接続が途中で切れました"},
        {head + catalogue.left(20000), TEnd::Close, ""},
        {head + catalogue.left(20000), TEnd::Stall, "からの応答が途絶えました(時間切れ)"},
        {"HTTP/1.1 500 Internal Server Error\r\nContent-Length: 5\r\n\r\nerror", TEnd::Close, "HTTP 500"},
    };
    Announce("3,2005/04/01", "KestrelMusic.PPR");
    for (const auto& broken : cases) {
        server.ServeRaw(path, broken.bytes, broken.end);
        ASSERT_TRUE(download.Check());
        EXPECT_FALSE(download.Download()) << broken.cause;
        EXPECT_TRUE(download.ErrorText().contains(QString::fromUtf8(broken.cause))) << download.ErrorText().toStdString();
        EXPECT_FALSE(download.ErrorText().isEmpty());
        EXPECT_TRUE(download.DownloadFileName().isEmpty());
        EXPECT_TRUE(test::UpdateTempFiles().isEmpty()) << test::UpdateTempFiles().join(' ').toStdString();
    }
}

TEST_F(PPRDownloadTest, APackedNameWithoutAContainerOrWithADamagedOneIsRefused)
{
    Announce("3,2005/04/01", "KestrelMusic.ppz");
    for (const QByteArray& body : {catalogue, PackContainer(catalogue).left(40)}) {
        server.Serve("/updater/KestrelMusic/ppr/KestrelMusic.ppz", body);
        ASSERT_TRUE(download.Check());
        EXPECT_FALSE(download.Download());
        EXPECT_FALSE(download.ErrorText().isEmpty());
        EXPECT_TRUE(test::UpdateTempFiles().isEmpty());
    }
}

TEST_F(PPRDownloadTest, AbortingDuringTheTransferLeavesNothingBehind)
{
    Announce("3,2005/04/01", "KestrelMusic.ppz");
    server.ServeRaw("/updater/KestrelMusic/ppr/KestrelMusic.ppz",
                    "HTTP/1.1 200 OK\r\nContent-Length: 90000\r\n\r\n" + PackContainer(catalogue).left(100), TEnd::Stall);
    download.HTTP().SetTimeout(30000);
    ASSERT_TRUE(download.Check());
    download.HTTP().OnPacketRecieved = [this] { download.Abort(); };
    EXPECT_FALSE(download.Download());
    EXPECT_EQ(download.ErrorText(), "中断しました");
    EXPECT_TRUE(test::UpdateTempFiles().isEmpty());
}

// The proxy sees the address whole, and the account only when one is set.
TEST_F(PPRDownloadTest, AProxyGetsTheAccountInTheFirstRequest)
{
    TLocalHttpServer proxy;
    proxy.Serve("/updater/KestrelMusic/ppr/KestrelMusic.vup", test::VersionUpText("3,2005/04/01", "x.ppz"));
    TProxySettings settings;
    settings.noProxy = false;
    settings.address = "127.0.0.1";
    settings.port = QString::number(proxy.Port());
    settings.useAccount = true;
    settings.account = "ユーザー";
    settings.password = "p:w";
    download.UseProxy(settings);
    ASSERT_TRUE(download.Check()) << download.ErrorText().toStdString();
    settings.account.clear();
    download.UseProxy(settings);
    ASSERT_TRUE(download.Check());
    settings.account = "user";
    settings.useAccount = false;
    download.UseProxy(settings);
    ASSERT_TRUE(download.Check());

    ASSERT_EQ(proxy.Requests().size(), 3);
    const QByteArray requestLine = "GET " + server.Url("/updater/KestrelMusic/ppr/KestrelMusic.vup").toLatin1();
    EXPECT_TRUE(proxy.Requests()[0].startsWith(requestLine));
    const QByteArray account = QByteArray("\x83\x86\x81\x5b\x83\x55\x81\x5b:p:w").toBase64();
    const QByteArray authorization = "\r\nProxy-Authorization: Basic " + account + "\r\n";
    EXPECT_TRUE(proxy.Requests()[0].contains(authorization)) << proxy.Requests()[0].toStdString();
    for (int i : {1, 2}) EXPECT_FALSE(proxy.Requests()[i].contains("Proxy-Authorization")) << i;
    EXPECT_TRUE(server.Requests().isEmpty());
}

TEST(HTTPDownload, PercentRoundsToTheNearestWholeNumberAndNeedsAnAnnouncedSize)
{
    test::TLocalHttpServer server;
    server.Serve("/three", "abc");
    THTTPDownload http;
    http.SetURL(server.Url("/three"));
    http.Get();
    ASSERT_TRUE(http.Succeeded()) << http.ErrorText().toStdString();
    EXPECT_EQ(http.DownloadFileStr(), "abc");
    EXPECT_EQ(http.BytesTotal(), 3);
    EXPECT_EQ(http.BytesPercent(), 100);
    server.ServeRaw("/none", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nabc");
    http.SetURL(server.Url("/none"));
    http.Get();
    EXPECT_TRUE(http.Succeeded());
    EXPECT_EQ(http.BytesTotal(), 0);
    EXPECT_EQ(http.BytesPercent(), 0);
    http.SetMaxBytes(2);
    http.Get();
    EXPECT_FALSE(http.Succeeded());
    EXPECT_EQ(http.ErrorText(), "受信するデータが大きすぎます(上限 2 バイト)");
    http.SetURL(QStringLiteral("ftp://127.0.0.1/x"));
    http.Get();
    EXPECT_EQ(http.ErrorText(), "「ftp://127.0.0.1/x」は HTTP のアドレスではありません");
}

TEST(HTTPDownload, ARefusedConnectionIsAConnectionFailure)
{
    quint16 closedPort = 0;
    {
        test::TLocalHttpServer gone;
        closedPort = gone.Port();
    }
    THTTPDownload http;
    int failures = 0, connectionFailures = 0;
    http.OnFailure = [&] { ++failures; };
    http.OnConnectionFailed = [&] { ++connectionFailures; };
    http.SetURL(QStringLiteral("http://127.0.0.1:%1/x").arg(closedPort));
    http.Get();
    EXPECT_FALSE(http.Succeeded());
    EXPECT_EQ(connectionFailures, 1);
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(http.ErrorText(), "サーバー「127.0.0.1」に接続できません(接続が拒否されました)");
}

}  // namespace
}  // namespace kestrel
