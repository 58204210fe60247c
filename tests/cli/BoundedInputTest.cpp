// What kestrel-cli says about hostile and damaged inputs: only our own Japanese lines, never
// Qt's English ones, and honest refusals of special files.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>

#include <QtEndian>

#include "CliRun.h"
#include "document/storage/DocStorage.h"
#include "document/storage/DocStream.h"
#include "support/CfbTestSupport.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

using test::RunCli;

const QString CorpusFolder = QStringLiteral(KESTREL_TEST_SOURCE_DIR "/fuzz/corpus");

// Each line a user reads on the terminal is ours: Japanese.
void ExpectOnlyJapaneseLines(const test::TCliRun& run, const QString& what)
{
    for (const QString& line : run.err.split(u'\n', Qt::SkipEmptyParts)) {
        const bool japanese = std::any_of(line.begin(), line.end(), [](QChar c) { return c.unicode() >= 0x3000; });
        EXPECT_TRUE(japanese) << what.toStdString() << ": " << line.toStdString();
    }
}

QStringList CorpusFiles(const QString& target)
{
    const QDir folder(CorpusFolder + u'/' + target);
    QStringList files;
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) files << folder.filePath(name);
    return files;
}

TEST(BoundedInput, NoEnglishLineReachesStandardErrorOnTheFuzzCorpora)
{
    const QString png = test::TestFolder() + "/out.png";
    for (const QString& file : CorpusFiles("LabelDocument") + CorpusFiles("CompoundFile")) {
        for (const QStringList& command : {QStringList{"info", file}, QStringList{"dump", file},
                                           QStringList{"render", file, "--dpi", "30", "--anyway", "--out", png},
                                           QStringList{"tree", file}})
            ExpectOnlyJapaneseLines(RunCli(command), command.join(u' '));
    }
    ExpectOnlyJapaneseLines(RunCli({"papers", "--catalogue", CorpusFiles("PaperCatalogue").first()}), "papers");
    // Every picture of the picture corpora in a scene, composed and rendered.
    const QString folder = test::TestFolder();
    for (const QString& target : {"Metafile", "Jpeg", "Png", "Gif", "Bitmap"}) {
        for (const QString& file : CorpusFiles(target)) {
            const QString scene = folder + "/scene.json", document = folder + "/scene.mld";
            test::WriteFileBytes(scene, QStringLiteral(R"json({"sheets": [{"paper": {"name": "A4 CDラベル 2面 (外径117mm/内径41mm)"},
                "faces": [{"face": 1, "objects": [{"class": "TLOImage", "properties": {"Left": 100, "Top": 100,
                "Width": 800, "Height": 600, "ImageData": {"Picture": {"Data": {"file": "%1"}}}}}]}]}]})json")
                                                .arg(file)
                                                .toUtf8());
            ExpectOnlyJapaneseLines(RunCli({"compose", scene, document}), "compose " + file);
            ExpectOnlyJapaneseLines(RunCli({"render", document, "--face", "1", "--dpi", "60", "--anyway", "--out", png}),
                                    "render " + file);
        }
    }
}

TEST(BoundedInput, SpecialFilesAreRefusedAtOnceByEveryCommandThatReads)
{
    const QString folder = test::TestFolder();
    const QString fifo = folder + "/pipe";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", folder + "/zero.mld"));
    ASSERT_TRUE(QFile::link("/dev/zero", folder + "/zero.jpg"));
    test::WriteFileBytes(folder + "/picture.json",
                         R"json({"sheets": [{"paper": {"name": "A4 CDラベル 2面 (外径117mm/内径41mm)"}, "faces": [{"face": 1,
                         "objects": [{"class": "TLOImage", "properties": {"ImageData": {"Picture": {"Data": {"file": "zero.jpg"}}}}}]}]}]})json");
    QElapsedTimer timer;
    timer.start();
    for (const QStringList& command :
         {QStringList{"info", fifo}, QStringList{"info", folder + "/zero.mld"}, QStringList{"compose", fifo, folder + "/a.mld"},
          QStringList{"compose", folder + "/picture.json", folder + "/b.mld"}, QStringList{"fill", folder + "/zero.mld", fifo, folder + "/{{row}}.mld"},
          QStringList{"papers", "--catalogue", folder + "/zero.mld"}}) {
        const test::TCliRun run = RunCli(command);
        EXPECT_EQ(run.exitCode, 1) << command.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("通常のファイルではありません"))) << run.err.toStdString();
    }
    EXPECT_LT(timer.elapsed(), 20000);  // none waited for the pipe or read the device
    EXPECT_FALSE(QFile::exists(folder + "/a.mld") || QFile::exists(folder + "/b.mld"));
}

TEST(BoundedInput, AMailMergeOverACsvWithNulBytesEnds)
{
    const QString folder = test::TestFolder();
    const test::TCliRun made = RunCli({"new", "--paper", "A4 CDラベル 2面 (外径117mm/内径41mm)", folder + "/t.mld"});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    test::WriteFileBytes(folder + "/nul.csv", QByteArray("a\nb\0\n", 5));
    const test::TCliRun fill = RunCli({"fill", folder + "/t.mld", folder + "/nul.csv", folder + "/{{row}}-out.mld"});
    EXPECT_EQ(fill.exitCode, 0) << fill.err.toStdString();
    EXPECT_TRUE(QFile::exists(folder + "/1-out.mld"));
}

const QString Paper = QStringLiteral("A4 CDラベル 2面 (外径117mm/内径41mm)");

// A document composed from one face of objects; fails the test when it cannot be made.
QString Composed(const QString& name, const QString& objects)
{
    const QString scene = test::TestFolder() + u'/' + name + ".json", document = test::TestFolder() + u'/' + name + ".mld";
    test::WriteFileBytes(scene, QStringLiteral(R"({"sheets": [{"paper": {"name": "%1"}, "faces": [{"face": 1, "objects": [%2]}]}]})")
                                    .arg(Paper, objects)
                                    .toUtf8());
    const test::TCliRun run = RunCli({"compose", scene, document});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    return document;
}

QString QrObject(int bytes)
{
    QByteArray record(4, '\0');
    qToLittleEndian<int32_t>(bytes, record.data());
    record += QByteArray(bytes, 'x');
    return QStringLiteral(R"({"class": "TLOQRCode", "properties": {"Left": 100, "Top": 100, "Width": 300, "Height": 300, "QRData": "%1"}})")
        .arg(QString::fromLatin1(record.toBase64()));
}

TEST(BoundedInput, AQrCodeThatCannotHoldItsDataIsReportedAndStopsOutputUnlessAskedAnyway)
{
    const QString document = Composed("qr", QrObject(7000));
    const QString png = test::TestFolder() + "/qr.png", pdf = test::TestFolder() + "/qr.pdf";
    const test::TCliRun info = RunCli({"info", document});
    EXPECT_EQ(info.exitCode, 0);
    EXPECT_TRUE(info.err.startsWith(QStringLiteral("警告: シート1 の面1 のオブジェクト1（TLOQRCode）: データが多すぎるため"))) << info.err.toStdString();

    const test::TCliRun render = RunCli({"render", document, "--out", png});
    EXPECT_EQ(render.exitCode, 1);
    EXPECT_TRUE(render.err.contains(QStringLiteral("--anyway"))) << render.err.toStdString();
    EXPECT_TRUE(render.err.contains(QStringLiteral("QR コード: データが多すぎるため"))) << render.err.toStdString();
    EXPECT_FALSE(QFile::exists(png));
    const test::TCliRun anyway = RunCli({"render", document, "--anyway", "--out", png});
    EXPECT_EQ(anyway.exitCode, 0) << anyway.err.toStdString();
    EXPECT_TRUE(anyway.err.startsWith(QStringLiteral("警告: "))) << anyway.err.toStdString();
    EXPECT_TRUE(QFile::exists(png));

    EXPECT_EQ(RunCli({"print", document, "--pdf", pdf}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(RunCli({"print", document, "--anyway", "--pdf", pdf}).exitCode, 0);
    EXPECT_TRUE(QFile::exists(pdf));
}

TEST(BoundedInput, AFaceWhoseObjectsAreLostOpensWithAWarningNamingIt)
{
    const QString document = Composed("lost", R"({"class": "TDOGroup"})");
    {
        TFileStorage file(document, ModeReadWrite);
        TDocStream::Open(file, ModeCreate, "Sheets\\NameList0\\NameList0")->WriteAll({});
        file.Close();
    }
    const test::TCliRun info = RunCli({"info", document});
    EXPECT_EQ(info.exitCode, 0);
    EXPECT_TRUE(info.err.contains(QStringLiteral("警告: シート1 の面1: オブジェクトのストリーム「Sheets\\NameList0\\NameList0」が空です")))
        << info.err.toStdString();
    EXPECT_EQ(RunCli({"render", document, "--out", test::TestFolder() + "/lost.png"}).exitCode, 1);
}

TEST(BoundedInput, LargeRendersAreDrawnInBandsAndTooLargeOnesRefusedNamingTheLimit)
{
    const QString document = Composed("bands", R"({"class": "TLORect", "properties": {"Left": 100, "Top": 100, "Width": 400, "Height": 300, "FillInside": true,
        "FillColor": {"Color": "clRed"}}})");
    const QString png = test::TestFolder() + "/bands.png";
    // 1000 dpi: a face of 4685 x 4685 pixels (119 mm with its bleed), drawn in three bands.
    const test::TCliRun render = RunCli({"render", document, "--face", "1", "--dpi", "1000", "--out", png});
    ASSERT_EQ(render.exitCode, 0) << render.err.toStdString();
    const QImage picture(png);
    EXPECT_EQ(picture.size(), QSize(4685, 4685));
    EXPECT_EQ(picture.pixel(1200, 1000), qRgb(255, 0, 0));  // inside the rectangle, in the first band
    EXPECT_EQ(picture.pixel(1200, 2000), qRgb(255, 255, 255));  // past it, in the second
    const QString bmp = test::TestFolder() + "/bands.bmp";
    ASSERT_EQ(RunCli({"render", document, "--face", "1", "--dpi", "1000", "--out", bmp}).exitCode, 0);
    EXPECT_EQ(QImage(bmp).pixel(1200, 1000), qRgb(255, 0, 0));

    const test::TCliRun huge = RunCli({"render", document, "--dpi", "2400", "--out", png});
    EXPECT_EQ(huge.exitCode, 1);
    EXPECT_EQ(huge.err, QStringLiteral("エラー: シート1 を 2400 dpi で描くと 19843×28063 ピクセルになり、上限の 26843 万ピクセルを超えます。"
                                       "解像度を下げてください\n"));
}

TEST(BoundedInput, ScenesAreRefusedForTheirRealCause)
{
    const QString scene = test::TestFolder() + "/scene.json", target = test::TestFolder() + "/scene.mld";
    test::WriteFileBytes(scene, "null");
    EXPECT_EQ(RunCli({"compose", scene, target}).err,
              QStringLiteral("エラー: 全体をオブジェクトか配列で書いてください（null だけが書かれています）\n"));
    test::WriteFileBytes(scene, QByteArray(2000, '[') + QByteArray(2000, ']'));
    EXPECT_TRUE(RunCli({"compose", scene, target}).err.contains(QStringLiteral("入れ子が深すぎます（1024 段まで）")));
    QStringList groups;
    for (int i = 0; i < 10000; ++i) groups << QStringLiteral(R"({"class": "TDOGroup"})");
    test::WriteFileBytes(scene, QStringLiteral(R"({"sheets": [{"paper": {"name": "%1"}, "faces": [{"face": 1, "objects": [%2]}]}]})")
                                    .arg(Paper, groups.join(u','))
                                    .toUtf8());
    const test::TCliRun many = RunCli({"compose", scene, target});
    EXPECT_EQ(many.err, QStringLiteral("エラー: sheets[0].faces[0].objects: オブジェクトが 10000 個あり、1 面に置ける 9999 個を超えています\n"));
    EXPECT_FALSE(QFile::exists(target));

    // A sheet whose paper record is gone.
    const QString paperless = Composed("paperless", R"({"class": "TDOGroup"})");
    {
        TFileStorage file(paperless, ModeReadWrite);
        ASSERT_TRUE(file.DeleteElement("Sheets\\NameList0\\PaperInfo"));
        file.Close();
    }
    EXPECT_EQ(RunCli({"render", paperless, "--out", test::TestFolder() + "/blank.png"}).err,
              QStringLiteral("エラー: シートに用紙がありません\n"));
}

}  // namespace
}  // namespace kestrel
