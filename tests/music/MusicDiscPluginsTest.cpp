#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "app/AppFrame.h"
#include "app/XMLIniFile.h"
#include "music/Albums.h"
#include "music/MusicDiscPlugins.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

const QString AppName = QStringLiteral("ケストレル試験");

// A plug-in folder of test libraries; each importer call is logged as "<call> <library>".
class MusicDiscPluginsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame_.Macro().SetValue("AppName", AppName);
        frame_.Macro().SetValue("SysRegistryKey", QStringLiteral("Software\\Test"));
        folder_ = test::TestFolder() + "/Plugins";
        QDir().mkpath(folder_);
        log_ = test::TestFolder() + "/calls.log";
        qputenv("KESTREL_TEST_PLUGIN_LOG", QFile::encodeName(log_));
    }
    void TearDown() override { qunsetenv("KESTREL_TEST_PLUGIN_LOG"); }

    void Add(const QString& name)
    {
        ASSERT_TRUE(QFile::copy(QStringLiteral(KESTREL_TEST_PLUGIN_DIR "/") + name + ".so", folder_ + '/' + name + ".so"));
    }

    QStringList Calls() const
    {
        QFile file(log_);
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    static QStringList Texts(const std::vector<TMusicSource>& sources)
    {
        QStringList texts;
        for (const TMusicSource& source : sources) texts << source.Text();
        return texts;
    }

    TAppFrame frame_;
    TBCAppFrameClient client_;
    QString folder_;
    QString log_;
};

// Records what a run shows; cancels after a number of status lines when asked to.
class TRecordingObserver : public TMusicRunObserver {
public:
    void ShowLabel(const QString& text) override { labels << text; }
    void ShowStatus(const QString& text) override
    {
        ++statusCount;
        if (cancelAfter > 0 && statusCount >= cancelAfter && !cancelled) {
            cancelled = true;
            if (CancelRunning) CancelRunning();
        }
    }
    void ShowProgress(int done, int total) override { progress << QStringLiteral("%1/%2").arg(done).arg(total); }
    bool Cancelled() const override { return cancelled; }

    QStringList labels;
    QStringList progress;
    int statusCount = 0;
    int cancelAfter = 0;
    bool cancelled = false;
};

TEST_F(MusicDiscPluginsTest, EachDataServerIsAnEntryWhoseRequestCarriesItsServer)
{
    Add("good");
    Add("exporter");
    TMusicPlugins importers(ToUuid(KESTREL_CATID_MUSIC_IMPORTERS));
    importers.Load(folder_, client_);
    ASSERT_EQ(importers.Count(), 1);
    EXPECT_EQ(Texts(importers.Sources()), QStringList({"テスト取得 - サーバーA", "テスト取得 - " + AppName}));

    TRecordingObserver observer;
    std::vector<TImportedAlbum> albums;
    QStringList warnings;
    ASSERT_TRUE(RunImport(importers, importers.Sources(), "/dev/cdrom", {}, observer, &albums, &warnings));
    ASSERT_EQ(albums.size(), 2u);
    EXPECT_EQ(albums[0].Title, "サーバーA");
    EXPECT_EQ(albums[1].Title, AppName);
    EXPECT_EQ(albums[1].Tracks.at(0).Time, "3:05");
    EXPECT_EQ(observer.labels.front(), "読み込み準備中");
    EXPECT_EQ(observer.progress, QStringList({"1/2", "2/2"}));
    // Both entries prepared before any import; one importer, finished once.
    EXPECT_EQ(Calls(), QStringList({"Prepare good", "Prepare good", "Import good", "Import good", "Finish good"}));

    TMusicPlugins exporters(ToUuid(KESTREL_CATID_MUSIC_EXPORTERS));
    exporters.Load(folder_, client_);
    EXPECT_EQ(Texts(exporters.Sources()), QStringList({"テスト登録"}));
}

TEST_F(MusicDiscPluginsTest, CancelStopsTheRunningImportAndTheRestButFinishesEveryImporter)
{
    Add("good");
    Add("hanging");
    TMusicPlugins importers(ToUuid(KESTREL_CATID_MUSIC_IMPORTERS));
    importers.Load(folder_, client_);
    const std::vector<TMusicSource> all = importers.Sources();
    ASSERT_EQ(Texts(all).last(), "終わらない取得");
    // The hanging importer first, then one of the good one.
    const std::vector<TMusicSource> checked = {all[2], all[0]};

    TRecordingObserver observer;
    observer.cancelAfter = 3;
    std::vector<TImportedAlbum> albums;
    QStringList warnings;
    EXPECT_TRUE(RunImport(importers, checked, "/dev/cdrom", {}, observer, &albums, &warnings));
    EXPECT_TRUE(albums.empty());
    EXPECT_FALSE(observer.CancelRunning);
    const QStringList calls = Calls();
    EXPECT_EQ(calls.filter("Import").size(), 1);
    EXPECT_TRUE(calls.contains("Cancel hanging"));
    EXPECT_EQ(calls.filter("Finish"), QStringList({"Finish good", "Finish hanging"}));
}

TEST_F(MusicDiscPluginsTest, AFailingImportStillFinishesEveryCheckedImporter)
{
    Add("good");
    Add("hanging");
    TMusicPlugins importers(ToUuid(KESTREL_CATID_MUSIC_IMPORTERS));
    importers.Load(folder_, client_);
    TRecordingObserver observer;  // never cancels: the hanging importer gives up with a failure
    std::vector<TImportedAlbum> albums;
    QStringList warnings;
    try {
        RunImport(importers, {importers.Sources()[2], importers.Sources()[0]}, "/dev/cdrom", {}, observer, &albums,
                  &warnings);
        FAIL() << "the failure of the import was not raised";
    } catch (const EPlugin& e) {
        EXPECT_TRUE(e.Message().contains("終わらない取得 (hanging.so)")) << e.Message().toStdString();
    }
    EXPECT_EQ(Calls().filter("Finish"), QStringList({"Finish good", "Finish hanging"}));
    EXPECT_EQ(Calls().filter("Import"), QStringList({"Import hanging"}));
}

TEST_F(MusicDiscPluginsTest, BrokenImportersAreRefusedByNameAndTheOthersOffered)
{
    Add("good");
    Add("throwing");
    Add("malformed");
    TMusicPlugins importers(ToUuid(KESTREL_CATID_MUSIC_IMPORTERS));
    importers.Load(folder_, client_);
    EXPECT_EQ(importers.Count(), 1);
    QStringList reasons;
    for (const TRefusedPlugin& refused : importers.Refused()) reasons << refused.Reason;
    EXPECT_EQ(reasons.filter("throwing.so").size(), 1) << reasons.join('\n').toStdString();
    EXPECT_EQ(reasons.filter("malformed.so").size(), 1) << reasons.join('\n').toStdString();
}

TEST(MusicDiscDocuments, RequestsCarryTheSourceServerAndPlainProxySettings)
{
    const TProxySettings proxy{false, "proxy.example", "8080", true, "user", "秘密"};
    TXMLIniFile request;
    request.LoadFromText(ImportRequest("/dev/sr0", "freedb", proxy));
    EXPECT_EQ(request.GetName(), "root");
    EXPECT_EQ(request.ReadString("source", {}), "/dev/sr0");
    EXPECT_EQ(request.ReadString("dataServer", {}), "freedb");
    const TXMLIniSection row = *request.FindSection("proxy");
    EXPECT_EQ(row.ReadString("direct", {}), "0");
    EXPECT_EQ(row.ReadString("server", {}), "proxy.example");
    EXPECT_EQ(row.ReadString("port", {}), "8080");
    EXPECT_EQ(row.ReadString("authorization", {}), "1");
    EXPECT_EQ(row.ReadString("account", {}), "user");
    EXPECT_EQ(row.ReadString("password", {}), "秘密");

    TAlbumInfo album;
    album.SetTitle("題");
    album.SetArtist("歌手");
    for (const char* title : {"一", "二"}) {
        TTrackInfo& track = album.Tracks().Add();
        track.SetTitle(QString::fromUtf8(title));
        track.SetTime("1:00");
    }
    TXMLIniFile exported;
    exported.LoadFromText(ExportRequest(album, "/dev/sr0", {}, TProxySettings{}));
    EXPECT_EQ(exported.ReadString("title", {}), "題");
    EXPECT_EQ(exported.FindSection("proxy")->ReadString("direct", {}), "1");
    const TXMLIniSectionList tracks = exported.GetSectionList("track");
    ASSERT_EQ(tracks.Count(), 2);
    EXPECT_EQ(tracks.Section(1).ReadString("title", {}), "二");
    EXPECT_EQ(tracks.Section(1).ReadString("time", {}), "1:00");
}

TEST(MusicDiscDocuments, ResultsAreReadWithinTheirBoundsAndErrorsNameThePlugin)
{
    const TImportResult result = ReadImportResult(
        "P", "<root><album source='s' title='t' artist='a' genre='g'><track title='x' time='1:02' artist='y'/>"
             "</album><warning text='w'/></root>");
    ASSERT_EQ(result.Albums.size(), 1u);
    EXPECT_EQ(result.Albums[0].Genre, "g");
    EXPECT_EQ(result.Albums[0].Tracks.at(0).Time, "1:02");
    EXPECT_EQ(result.Warnings, QStringList({"w"}));

    EXPECT_THROW(ReadImportResult("P", "<root><album"), EPlugin);
    EXPECT_THROW(ReadImportResult("P", "<root>" + QString("<album/>").repeated(kMaxImportedAlbums + 1) + "</root>"), EPlugin);
    EXPECT_THROW(ReadImportResult("P", "<root><album title='" + QString(5000, 'x') + "'/></root>"), EPlugin);
    try {
        ReadImportResult("CDDB (disc.so)", "<root><error text='サーバーがありません'/></root>");
        FAIL();
    } catch (const EPlugin& e) {
        EXPECT_EQ(e.Message(), "プラグイン「CDDB (disc.so)」: サーバーがありません");
    }
}

TEST(MusicDiscDocuments, TakenAlbumsReplaceOneEmptyAlbumAndOtherwiseFollowTheLast)
{
    const QString file = test::TestFolder() + "/Albums.dat";
    const std::vector<TImportedAlbum> imported = {{"s", "一枚目", "A", "g", {{"曲", "1:00", "A"}}},
                                                  {"s", "二枚目", "B", "g", {}}};
    TAlbums albums;
    albums.Open(file);
    albums.Store(TAlbumInfo(), -1);
    EXPECT_EQ(TakeAlbums(albums, imported), 1);
    ASSERT_EQ(albums.Count(), 2);
    EXPECT_EQ(albums.Album(0).Title(), "一枚目");
    EXPECT_EQ(albums.Album(0).Track(0).Time(), "1:00");
    EXPECT_EQ(TakeAlbums(albums, {imported[1]}), 2);
    EXPECT_EQ(albums.Count(), 3);
    EXPECT_EQ(albums.Album(2).Title(), "二枚目");
}

}  // namespace
}  // namespace kestrel
