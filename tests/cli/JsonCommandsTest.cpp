#include <gtest/gtest.h>

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

#include "CliRun.h"
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

}  // namespace
}  // namespace kestrel
