#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include "CliRun.h"
#include "support/SymbolReaders.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

using test::RunCli;

const QString ExamplesFolder = QStringLiteral(KESTREL_TEST_SOURCE_DIR "/../examples");

QJsonObject Dump(const QString& file)
{
    const test::TCliRun dump = RunCli({"dump", file});
    EXPECT_EQ(dump.exitCode, 0) << dump.err.toStdString();
    return QJsonDocument::fromJson(dump.out.toUtf8()).object();
}

void WriteText(const QString& file, const QByteArray& text)
{
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(text);
}

// Every shipped example composes, renders, and dumps to a scene that composes to the same dump.
TEST(JsonCommands, ExamplesComposeRenderAndSurviveDumpAndCompose)
{
    const QStringList scenes = QDir(ExamplesFolder).entryList({"*.json"});
    ASSERT_GE(scenes.size(), 2);
    for (const QString& scene : scenes) {
        SCOPED_TRACE(scene.toStdString());
        const QString document = test::TestFolder() + "/" + scene + ".mld";
        const test::TCliRun composed = RunCli({"compose", ExamplesFolder + "/" + scene, document});
        ASSERT_EQ(composed.exitCode, 0) << composed.err.toStdString();
        const test::TCliRun render = RunCli({"render", document, "--face", "1", "--dpi", "50", "--out", document + ".png"});
        EXPECT_EQ(render.exitCode, 0) << render.err.toStdString();
        EXPECT_FALSE(QImage(document + ".png").isNull());

        const QJsonObject dumped = Dump(document);
        WriteText(document + ".json", QJsonDocument(dumped).toJson());
        ASSERT_EQ(RunCli({"compose", document + ".json", document + "2.mld"}).exitCode, 0);
        EXPECT_EQ(Dump(document + "2.mld"), dumped);
    }
}

// The disc label's QR code reads back from a render, its photo is drawn and its title bends.
TEST(JsonCommands, TheDiscLabelExampleShowsItsPhotoAndAReadableCode)
{
    const QString document = test::TestFolder() + "/label.mld";
    ASSERT_EQ(RunCli({"compose", ExamplesFolder + "/cd-label.json", document}).exitCode, 0);
    const QString picture = test::TestFolder() + "/label.png";
    const test::TCliRun render = RunCli({"render", document, "--face", "1", "--dpi", "254", "--out", picture});
    ASSERT_EQ(render.exitCode, 0) << render.err.toStdString();
    const QImage face(picture);
    ASSERT_FALSE(face.isNull());
    // The sun of the photo (the picture's 165, 95 of 240 x 180 in 170, 760 - 430, 955).
    const QColor sun = face.pixelColor(170 + 165 * 260 / 240, 760 + 95 * 195 / 180);
    EXPECT_GT(sun.red(), 220);
    EXPECT_GT(sun.green(), 170);
    EXPECT_LT(sun.blue(), 110);

    const test::TDecodedSymbols symbols = test::DecodeSymbols({picture}).value(picture);
    EXPECT_EQ(symbols.zbar, QList<QByteArray>{"https://example.com/kestrel"});
    ASSERT_EQ(symbols.zxing.size(), 1);
    EXPECT_EQ(symbols.zxing[0].second, "https://example.com/kestrel");

    const QString dumped = QString::fromUtf8(QJsonDocument(Dump(document)).toJson());
    EXPECT_TRUE(dumped.contains("\"Bulge\": 262")) << dumped.toStdString();
}

TEST(JsonCommands, ABadSceneIsRefusedWithItsPathAndWritesNothing)
{
    const QString scene = test::TestFolder() + "/bad.json";
    WriteText(scene, R"json({"sheets": [{"paper": {"name": "A4 CDラベル 2面 (外径117mm/内径41mm)"},
        "faces": [{"objects": [{"class": "TDOGroup"}, {"class": "TDOGroup", "properties": {"Tag": "x"}}]}]}]})json");
    const QString target = test::TestFolder() + "/bad.mld";
    const test::TCliRun run = RunCli({"compose", scene, target});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("sheets[0].faces[0].objects[1].properties.Tag: 整数ではありません")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(target));

    WriteText(scene, R"json({"sheets": [{"paper": {"name": "ない紙"}}]})json");
    EXPECT_TRUE(RunCli({"compose", scene, target}).err.contains("sheets[0].paper.name: 用紙「ない紙」はカタログにありません"));
    EXPECT_EQ(RunCli({"compose", scene}).exitCode, 2);
    EXPECT_FALSE(QFile::exists(target));
}

TEST(JsonCommands, FillMakesOneDocumentPerRow)
{
    const QString templateFile = test::TestFolder() + "/label.mld";
    ASSERT_EQ(RunCli({"compose", ExamplesFolder + "/cd-label.json", templateFile}).exitCode, 0);
    const test::TCliRun fill =
        RunCli({"fill", templateFile, ExamplesFolder + "/tracks.csv", test::TestFolder() + "/{{row}}_{{artist}}.mld"});
    ASSERT_EQ(fill.exitCode, 0) << fill.err.toStdString();
    EXPECT_TRUE(fill.out.contains("2 件の文書を作りました"));
    const QString dumped = QString::fromUtf8(QJsonDocument(Dump(test::TestFolder() + "/2_渡り鳥.mld")).toJson());
    EXPECT_TRUE(dumped.contains("潮騒, その他")) << dumped.toStdString();
    EXPECT_FALSE(dumped.contains("{{title}}"));

    const test::TCliRun clash = RunCli({"fill", templateFile, ExamplesFolder + "/tracks.csv", test::TestFolder() + "/same.mld"});
    EXPECT_EQ(clash.exitCode, 1);
    EXPECT_FALSE(QFile::exists(test::TestFolder() + "/same.mld"));
}

// Each row printed into its own PDF, read by poppler's pdftotext.
TEST(JsonCommands, FillPrintsEachRowIntoAPdf)
{
    const QString templateFile = test::TestFolder() + "/label.mld";
    ASSERT_EQ(RunCli({"compose", ExamplesFolder + "/cd-label.json", templateFile}).exitCode, 0);
    const test::TCliRun fill =
        RunCli({"fill", templateFile, ExamplesFolder + "/tracks.csv", test::TestFolder() + "/{{row}}.pdf", "--pdf"});
    ASSERT_EQ(fill.exitCode, 0) << fill.err.toStdString();
    EXPECT_TRUE(fill.out.contains("2 件のPDFを作りました")) << fill.out.toStdString();
    for (const QString& name : {"1.pdf", "2.pdf"}) {
        QFile pdf(test::TestFolder() + "/" + name);
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_TRUE(pdf.read(5) == "%PDF-") << name.toStdString();
    }
    QProcess info;
    info.start("pdfinfo", {test::TestFolder() + "/2.pdf"});
    ASSERT_TRUE(info.waitForFinished(60000));
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QRegularExpression("Pages:\\s+1\\b"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression("Page size:\\s+595"))) << text.toStdString();  // A4
    // Nothing but the two PDFs: no replacement left behind, no document written.
    EXPECT_EQ(QDir(test::TestFolder()).entryList({"*.tmp", "1*.mld", "2*.mld"}, QDir::Files), QStringList());
}

}  // namespace
}  // namespace kestrel
