#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "CddbImporter.h"
#include "CliRun.h"
#include "DiscImporter.h"
#include "DiscText.h"
#include "DiscToc.h"
#include "SaneScanner.h"
#include "app/AppFrame.h"
#include "app/PluginClient.h"
#include "app/PluginHost.h"
#include "app/PluginServers.h"
#include "objects/PictureObject.h"
#include "app/MacroString.h"
#include "app/ProgramMacros.h"
#include "platform/Cp932.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

using plugin::TDiscToc;

constexpr int kSectorBytes = 2352;

// Disc images made by the test: a data file of silence and a sheet beside it.
class DiscImageTest : public ::testing::Test {
protected:
    void SetUp() override { folder_ = test::TestFolder(); }

    void WriteBin(int sectors, const QString& name = "disc")
    {
        QFile bin(folder_ + '/' + name + ".bin");
        ASSERT_TRUE(bin.open(QIODevice::WriteOnly));
        bin.write(QByteArray(qsizetype(sectors) * kSectorBytes, '\0'));
    }

    QString WriteSheet(const QString& name, const QByteArray& bytes)
    {
        QFile sheet(folder_ + '/' + name);
        EXPECT_TRUE(sheet.open(QIODevice::WriteOnly));
        sheet.write(bytes);
        return sheet.fileName();
    }

    static QJsonObject Album(const test::TCliRun& run)
    {
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return QJsonDocument::fromJson(run.out.toUtf8()).object()["properties"].toObject();
    }

    static QStringList Field(const QJsonObject& album, const char* name)
    {
        QStringList values;
        for (const QJsonValue& track : album["Tracks"].toArray()) values << track.toObject()[name].toString();
        return values;
    }

    QString folder_;
};

// The cue sheet of three tracks at 0, 62 s and 3 min 20 s, 4 min 10 s in all.
const char* const CueSheet = "TITLE \"夜の散歩\"\r\nPERFORMER \"青い鳥\"\r\nFILE \"disc.bin\" BINARY\r\n"
                             "  TRACK 01 AUDIO\r\n    TITLE \"はじまり\"\r\n    PERFORMER \"青い鳥\"\r\n    INDEX 01 00:00:00\r\n"
                             "  TRACK 02 AUDIO\r\n    TITLE \"Second Walk\"\r\n    PERFORMER \"Guest\"\r\n    INDEX 01 01:02:00\r\n"
                             "  TRACK 03 AUDIO\r\n    TITLE \"終わり\"\r\n    PERFORMER \"青い鳥\"\r\n    INDEX 01 03:20:00\r\n";

TEST_F(DiscImageTest, CueImagesGiveTheSheetsTitlesAndDurationsWhateverTheirEncoding)
{
    WriteBin(250 * 75);
    for (const QByteArray& bytes : {QByteArray(CueSheet), ToCp932(QString::fromUtf8(CueSheet))}) {
        const QString sheet = WriteSheet("disc.cue", bytes);
        const QJsonObject album = Album(test::RunCli({"disc-info", "--image", sheet}));
        EXPECT_EQ(album["Title"].toString(), "夜の散歩");
        EXPECT_EQ(album["Artist"].toString(), "青い鳥");
        EXPECT_EQ(Field(album, "Title"), QStringList({"はじまり", "Second Walk", "終わり"}));
        EXPECT_EQ(Field(album, "Artist"), QStringList({"青い鳥", "Guest", "青い鳥"}));
        EXPECT_EQ(Field(album, "Time"), QStringList({"1:02", "2:18", "0:50"}));
    }
}

TEST_F(DiscImageTest, ASheetNamingADataFileOfAnotherNameIsReadToo)
{
    WriteBin(250 * 75, "2024 live take");
    QByteArray sheet(CueSheet);
    sheet.replace("FILE \"disc.bin\"", "FILE \"2024 live take.bin\"");
    const QJsonObject album = Album(test::RunCli({"disc-info", "--image", WriteSheet("concert.cue", sheet)}));
    EXPECT_FALSE(QFileInfo::exists(folder_ + "/concert.bin"));
    EXPECT_EQ(album["Title"].toString(), "夜の散歩");
    EXPECT_EQ(Field(album, "Title"), QStringList({"はじまり", "Second Walk", "終わり"}));
    EXPECT_EQ(Field(album, "Time"), QStringList({"1:02", "2:18", "0:50"}));
}

TEST_F(DiscImageTest, CdrdaoTocImagesGiveTheirCdText)
{
    WriteBin(100 * 75);
    const QString sheet = WriteSheet("disc.toc",
                                     "CD_DA\n"
                                     "CD_TEXT {\n  LANGUAGE_MAP { 0 : EN }\n  LANGUAGE 0 {\n    TITLE \"Album TOC\"\n"
                                     "    PERFORMER \"Band\"\n  }\n}\n"
                                     "TRACK AUDIO\nCD_TEXT {\n  LANGUAGE 0 {\n    TITLE \"First\"\n    PERFORMER \"Band\"\n  }\n}\n"
                                     "FILE \"disc.bin\" 0 00:40:00\n"
                                     "TRACK AUDIO\nCD_TEXT {\n  LANGUAGE 0 {\n    TITLE \"Second\"\n    PERFORMER \"Solo\"\n  }\n}\n"
                                     "FILE \"disc.bin\" 00:40:00 01:00:00\n");
    const QJsonObject album = Album(test::RunCli({"disc-info", "--plugin", "CD-TEXT", "--image", sheet}));
    EXPECT_EQ(album["Title"].toString(), "Album TOC");
    EXPECT_EQ(Field(album, "Title"), QStringList({"First", "Second"}));
    EXPECT_EQ(Field(album, "Artist"), QStringList({"Band", "Solo"}));
    EXPECT_EQ(Field(album, "Time"), QStringList({"0:40", "1:00"}));
}

TEST_F(DiscImageTest, FieldsCodePage932CannotHoldAreShownWithQuestionMarksAndReported)
{
    WriteBin(10 * 75);
    const QString sheet = WriteSheet("disc.cue", "TITLE \"Smile 😀 ok\"\nFILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n"
                                                 "    TITLE \"Caf\xC3\xA9 \xE2\x82\xAC\"\n    INDEX 01 00:00:00\n");
    const test::TCliRun run = test::RunCli({"disc-info", "--image", sheet});
    const QJsonObject album = Album(run);
    EXPECT_EQ(album["Title"].toString(), "Smile ? ok");
    EXPECT_EQ(Field(album, "Title"), QStringList({"Caf? ?"}));
    EXPECT_TRUE(run.err.contains("アルバムのタイトル「Smile ? ok」")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("トラック 1 のタイトル「Caf? ?」")) << run.err.toStdString();

    bool replaced = false;
    EXPECT_EQ(plugin::FitCp932(QStringLiteral("①髙﨑～"), &replaced), QStringLiteral("①髙﨑～"));
    EXPECT_FALSE(replaced);
}

TEST_F(DiscImageTest, BadImagesAreRefusedWithAReason)
{
    QDir().mkpath(folder_ + "/folder.cue");
    EXPECT_NE(test::RunCli({"disc-info", "--image", folder_ + "/folder.cue"}).exitCode, 0);
    const QString noData = WriteSheet("nodata.cue", "FILE \"missing.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
    const test::TCliRun missing = test::RunCli({"disc-info", "--image", noData});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("CD-TEXT (disc.so)")) << missing.err.toStdString();
    EXPECT_EQ(test::RunCli({"disc-info", "--image", folder_ + "/x.wav"}).exitCode, 2);
    EXPECT_EQ(test::RunCli({"disc-info"}).exitCode, 2);
}

TEST_F(DiscImageTest, CueSheetsWrittenByTheExporterReadBackUnchanged)
{
    plugin::TAlbumData album{{}, "書き出し", "歌手", {}, {{"一曲目", "歌手", "1:00"}, {"Two \"quoted\"", "Guest", "0:30"}}};
    WriteBin(90 * 75, "out");
    WriteSheet("out.cue", plugin::TCueSheetExporter::Sheet(album, "out.bin", {0, 60 * 75}));
    const QJsonObject read = Album(test::RunCli({"disc-info", "--image", folder_ + "/out.cue"}));
    EXPECT_EQ(read["Title"].toString(), "書き出し");
    EXPECT_EQ(Field(read, "Title"), QStringList({"一曲目", "Two 'quoted'"}));
    EXPECT_EQ(Field(read, "Artist"), QStringList({"歌手", "Guest"}));
    EXPECT_EQ(Field(read, "Time"), QStringList({"1:00", "0:30"}));
}

// The settings key the command line's plug-ins are handed.
QString ProgramRegistryKey()
{
    TAppFrame frame;
    frame.Macro().SetLines(ProgramMacroTable());
    frame.Loaded();
    return frame.Expand(QStringLiteral("$(SysRegistryKey)"));
}

TEST_F(DiscImageTest, TheCddbImporterAsksTheServerWithTheDiscIdOfTheFormula)
{
    WriteBin(250 * 75);
    const QString sheet = WriteSheet("disc.cue", CueSheet);
    const QString discId = [&] {
        QProcess formula;
        formula.start("/usr/bin/python3", {KESTREL_TEST_SOURCE_DIR "/support/scripts/cddb_discid.py", "150",
                                           QString::number(62 * 75 + 150), QString::number(200 * 75 + 150),
                                           QString::number(250 * 75 + 150)});
        EXPECT_TRUE(formula.waitForFinished(10000));
        return QString::fromUtf8(formula.readAllStandardOutput()).trimmed();
    }();
    ASSERT_EQ(discId.size(), 8);
    EXPECT_EQ(QStringLiteral("%1").arg(plugin::CddbDiscId(plugin::ReadDiscToc(sheet)), 8, 16, QLatin1Char('0')), discId);

    QFile entry(folder_ + "/entry.txt");
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    // An entry as CDDB servers send it: the header with the offsets, then the fields.
    entry.write(QStringLiteral("# xmcd\n#\n# Track frame offsets:\n#\t150\n#\t4800\n#\t15150\n#\n"
                               "# Disc length: 252 seconds\n#\n# Revision: 0\n#\nDISCID=%1\n"
                               "DTITLE=星の歌手 / 夜の散歩\nDYEAR=2001\nDGENRE=J-Pop\nTTITLE0=はじまり\n"
                               "TTITLE1=Second Walk\nTTITLE2=終わり\nEXTD=\nEXTT0=\nEXTT1=\nEXTT2=\nPLAYORDER=\n")
                    .arg(discId)
                    .toUtf8());
    entry.close();
    QProcess server;
    server.start("/usr/bin/python3", {KESTREL_TEST_SOURCE_DIR "/support/scripts/cddb_server.py", entry.fileName(),
                                      folder_ + "/queries.log"});
    ASSERT_TRUE(server.waitForReadyRead(10000));
    const QString port = QString::fromUtf8(server.readLine()).trimmed();
    plugin::TPluginSettings(ProgramRegistryKey(), "CDDB").Write("Servers", "127.0.0.1:" + port);

    const QJsonObject album = Album(test::RunCli({"disc-info", "--plugin", "CDDB - 127.0.0.1:" + port, "--image", sheet}));
    server.kill();
    server.waitForFinished();
    EXPECT_EQ(album["Title"].toString(), "夜の散歩");
    EXPECT_EQ(album["Artist"].toString(), "星の歌手");
    EXPECT_EQ(Field(album, "Title"), QStringList({"はじまり", "Second Walk", "終わり"}));
    EXPECT_EQ(Field(album, "Time"), QStringList({"1:02", "2:18", "0:50"}));
    QFile log(folder_ + "/queries.log");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString queries = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(queries.contains(QRegularExpression("cddb query " + discId + " 3 150 4800 15150 +252"))) << queries.toStdString();
}

TEST_F(DiscImageTest, TheCddbImporterWithoutAServerSaysSo)
{
    WriteBin(250 * 75);
    const QString sheet = WriteSheet("disc.cue", CueSheet);
    const test::TCliRun run = test::RunCli({"disc-info", "--plugin", "CDDB", "--image", sheet});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("CDDB サーバーが設定されていません")) << run.err.toStdString();
    EXPECT_THROW(plugin::TCddbServer::Parse("host:99999"), plugin::EPluginError);
    EXPECT_EQ(plugin::TCddbServer::Parse("http://db.example:8080/cgi").path, "/cgi");
}

// SANE with only its "test" backend, set to draw its colour pattern. SANE reads where its
// configuration is once per process, so one folder serves every test.
class ScannerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Outside the per-test folders, which go at the next test.
        static QTemporaryDir config(QStringLiteral("/tmp/kestrel-sane-XXXXXX"));
        QFile dll(config.filePath("dll.conf"));
        ASSERT_TRUE(dll.open(QIODevice::WriteOnly));
        dll.write("test\n");
        QFile system("/etc/sane.d/test.conf");
        ASSERT_TRUE(system.open(QIODevice::ReadOnly)) << "sane-utils / libsane1 is missing: run scripts/install-deps.sh";
        QByteArray options = system.readAll();
        options.replace("test-picture \"Solid black\"", "test-picture \"Color pattern\"");
        options.replace("mode Gray", "mode Color");
        QFile test(config.filePath("test.conf"));
        ASSERT_TRUE(test.open(QIODevice::WriteOnly));
        test.write(options);
        qputenv("SANE_CONFIG_DIR", QFile::encodeName(config.path()));
    }
};

// The test pattern as SANE's own scanimage reads it.
QImage ScanimageReference(const QString& device)
{
    QProcess scanimage;
    scanimage.start("scanimage", {"-d", device, "--format=pnm"});
    EXPECT_TRUE(scanimage.waitForFinished(30000)) << "sane-utils (scanimage) is missing";
    QImage reference;
    EXPECT_TRUE(reference.loadFromData(scanimage.readAllStandardOutput(), "PPM"));
    return reference.convertToFormat(QImage::Format_RGB32);
}

// How many pixels differ; the first difference is reported.
int DifferingPixels(const QImage& scanned, const QImage& reference)
{
    EXPECT_EQ(scanned.size(), reference.size());
    if (scanned.size() != reference.size()) return -1;
    const QImage a = scanned.convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != reference.pixel(x, y) && differing++ == 0)
                ADD_FAILURE() << "first difference at " << x << "," << y << ": " << std::hex << a.pixel(x, y) << " "
                              << reference.pixel(x, y);
    return differing;
}

TEST_F(ScannerTest, TheTestBackendListsItsTwoDevicesWithTheirChoices)
{
    const plugin::TSaneSession sane;
    QStringList names;
    for (const plugin::TScannerInfo& scanner : sane.Scanners()) names << scanner.name;
    EXPECT_EQ(names, QStringList({"test:0", "test:1"}));
    const plugin::TSaneSession::TOptions options = sane.Options("test:0");
    EXPECT_TRUE(options.modes.contains("Color"));
    EXPECT_TRUE(options.modes.contains("Gray"));
    EXPECT_EQ(options.mode, "Color");
    EXPECT_TRUE(options.resolutions.contains("50"));
}

TEST_F(ScannerTest, AScanEqualsTheTestPatternScanimageReads)
{
    const QString out = test::TestFolder() + "/scan.png";
    const test::TCliRun run = test::RunCli({"scan", "--device", "test:1", "--out", out});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage scanned(out);
    EXPECT_EQ(DifferingPixels(scanned, ScanimageReference("test:1")), 0);
    // The pattern has colour in it, not one flat tone.
    EXPECT_NE(scanned.pixel(0, 0), scanned.pixel(scanned.width() / 2, scanned.height() / 2));
}

TEST_F(ScannerTest, AGrayScanAtAnotherResolutionFollowsTheChoice)
{
    const plugin::TSaneSession sane;
    const plugin::TPixels pixels = sane.Scan({"test:0", "100", "Gray"}, [] { return false; });
    EXPECT_EQ(pixels.width, 2 * sane.Scan({"test:0", "50", "Gray"}, [] { return false; }).width);
    for (const uint32_t pixel : pixels.data) {
        ASSERT_EQ(pixel >> 16 & 0xFF, pixel & 0xFF);
        ASSERT_EQ(pixel >> 8 & 0xFF, pixel & 0xFF);
    }
    EXPECT_TRUE(sane.Scan({"test:0", {}, {}}, [] { return true; }).data.empty());
}

TEST_F(ScannerTest, ThePictureObjectTakesTheScannedPatternAsATwainPicture)
{
    TAppFrame frame;
    frame.Macro().SetValue("ScannerDevice", "test:1");
    TBCAppFrameClient client;
    TPluginList servers(ToUuid(KESTREL_CATID_IMAGE_SERVERS));
    servers.LoadFolder(KESTREL_SHIPPED_PLUGIN_DIR, client);
    ASSERT_EQ(servers.Count(), 1) << (servers.Refused().empty() ? std::string() : servers.Refused()[0].Reason.toStdString());
    SetScannerSource([&] { return AcquirePluginImage(servers.CreateServer(0, client), 0); });
    const auto reset = qScopeGuard([] { SetScannerSource(nullptr); });

    TLOImage image;
    AcquireScannedPicture(image);
    EXPECT_EQ(image.ImageSource(), isTwain);
    ASSERT_FALSE(image.ImageData().IsEmpty());
    EXPECT_EQ(DifferingPixels(image.ImageData().Picture().Graphic().Image(), ScanimageReference("test:1")), 0);

    SetScannerSource(nullptr);
    TLOImage none;
    EXPECT_THROW(AcquireScannedPicture(none), EKestrel);
}

}  // namespace
}  // namespace kestrel
