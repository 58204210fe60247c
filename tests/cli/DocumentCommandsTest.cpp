#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include "CliRun.h"
#include "cli/DocumentCommands.h"
#include "document/storage/DocNameList.h"
#include "document/storage/DocStream.h"
#include "label/LabelDocumentFixtures.h"
#include "support/CfbTestSupport.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

using test::RunCli;

const QString TwoDiscPaper = QStringLiteral("A4 CDラベル 2面 (外径117mm/内径41mm)");

TEST(DocumentCommands, NewMakesADocumentThatInfoDescribes)
{
    const QString file = test::TestFolder() + "/new.mld";
    const test::TCliRun made = RunCli({"new", "--paper", TwoDiscPaper, "--sheets", "2", file});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    const test::TCliRun info = RunCli({"info", file});
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    const QStringList lines = info.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2 + 2 * 4) << info.out.toStdString();
    EXPECT_EQ(lines[1], "シート数\t2");
    EXPECT_EQ(lines[2], "シート1\t新規シート1");
    EXPECT_EQ(lines[3], "  用紙\t" + TwoDiscPaper + "\tCD-R・DVDラベル\t2100x2970\t面 2");
    EXPECT_EQ(lines[4], "  面1\tfsDoughnut\tCD\tオブジェクト 0");
    EXPECT_EQ(lines[6], "シート2\t新規シート2");
}

TEST(DocumentCommands, ALandscapeDocumentHasItsSheetTurnedInInfoAndRender)
{
    const QString file = test::TestFolder() + "/wide.mld", png = test::TestFolder() + "/wide.png";
    const test::TCliRun made = RunCli({"new", "--paper", QStringLiteral("A4 普通紙 (210×297mm)"), "--landscape", file});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    const test::TCliRun info = RunCli({"info", file});
    EXPECT_TRUE(info.out.contains("\t2970x2100\t面 1")) << info.out.toStdString();
    const test::TCliRun render = RunCli({"render", file, "--dpi", "254", "--out", png});
    ASSERT_EQ(render.exitCode, 0) << render.err.toStdString();
    EXPECT_EQ(QImage(png).size(), QSize(2970, 2100));
}

TEST(DocumentCommands, BadArgumentsAndUnknownPapersAreRefused)
{
    const QString file = test::TestFolder() + "/x.mld";
    EXPECT_EQ(RunCli({"new", file}).exitCode, 2);
    EXPECT_EQ(RunCli({"new", "--paper", TwoDiscPaper, "--sheets", "0", file}).exitCode, 2);
    const test::TCliRun unknown = RunCli({"new", "--paper", "ない用紙", file});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains("用紙「ない用紙」はカタログにありません")) << unknown.err.toStdString();
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(RunCli({"render", file, "--dpi", "0", "--out", "a.png"}).exitCode, 2);
}

TEST(DocumentCommands, DamagedDocumentsGiveTheOpenMessage)
{
    const QString file = test::TestFolder() + "/bad.mld";
    test::WriteFileBytes(file, test::PatternBytes(4096, 11));
    const test::TCliRun render = RunCli({"render", file, "--out", test::TestFolder() + "/bad.png"});
    EXPECT_EQ(render.exitCode, 1);
    EXPECT_FALSE(QFile::exists(test::TestFolder() + "/bad.png"));
    const test::TCliRun info = RunCli({"info", file});
    EXPECT_EQ(info.exitCode, 1);
    EXPECT_TRUE(info.err.contains("指定されたファイルは「Kestrel」のデータではありません")) << info.err.toStdString();

    // A document that opens but whose face stream holds garbage.
    const QString made = test::TestFolder() + "/made.mld";
    ASSERT_EQ(RunCli({"new", "--paper", TwoDiscPaper, made}).exitCode, 0);
    {
        TFileStorage document(made, ModeReadWrite);
        TDocStream::Open(document, ModeCreate, "Sheets\\NameList0\\NameList0")->WriteAll(test::PatternBytes(200, 4));
        TDocStreamList faces;
        faces.Open(*TDocStorage::Open(document, false, "Sheets\\NameList0"), "NameList");
        faces.Add("NameList0");
        document.Close();
    }
    const test::TCliRun garbage = RunCli({"info", made});
    EXPECT_EQ(garbage.exitCode, 1);
    EXPECT_TRUE(garbage.err.contains("指定されたファイルは「Kestrel」のデータではありません")) << garbage.err.toStdString();
    EXPECT_TRUE(garbage.out.contains("シート1")) << "the sheets before the damaged face are listed";
}

TEST(DocumentCommands, RenderPlacesTheFacesWhereThePaperPutsThem)
{
    test::RegisterTestObjects();
    const QString file = test::TestFolder() + "/discs.mld", png = test::TestFolder() + "/discs.png";
    {
        TLabelData document;
        document.SetPaper(*test::TwoDiscPaper());
        // Each face entirely covered; the shape keeps the colour off the hole and the corners.
        test::PutRects(document, 0, {{0, 0, 1190, 1190}});
        test::PutRects(document, 1, {{0, 0, 1190, 1190}});
        document.SaveToFile(file);
    }
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    ASSERT_EQ(RunRenderCommand({file, "--dpi", "254", "--out", png}, out, err), 0) << errText.toStdString();
    const QImage sheet(png);
    ASSERT_EQ(sheet.size(), QSize(2100, 2970));
    const auto isBlue = [&](int x, int y) { return sheet.pixel(x, y) == qRgb(0, 0, 255); };
    const auto isWhite = [&](int x, int y) { return sheet.pixel(x, y) == qRgb(255, 255, 255); };
    // Face 1 is centred at (1050, 800), face 2 at (1050, 2170); holes of radius 195 printed.
    EXPECT_TRUE(isBlue(1050, 800 - 400));
    EXPECT_TRUE(isWhite(1050, 800));
    EXPECT_TRUE(isBlue(1050, 2170 + 400));
    EXPECT_TRUE(isWhite(1050, 2170));
    EXPECT_TRUE(isWhite(470, 220));  // the face's square corner, outside the disc
    EXPECT_TRUE(isWhite(100, 100));  // paper

    const QString facePng = test::TestFolder() + "/face.png";
    ASSERT_EQ(RunRenderCommand({file, "--face", "2", "--dpi", "127", "--out", facePng}, out, err), 0);
    EXPECT_EQ(QImage(facePng).size(), QSize(595, 595));
}

}  // namespace
}  // namespace kestrel

namespace kestrel {
namespace {

// What the user typed wrong is named, with what it should have been.
TEST(DocumentCommands, EveryWrongArgumentIsNamed)
{
    const QString file = test::TestFolder() + "/one.mld";
    ASSERT_EQ(RunCli({"new", "--paper", TwoDiscPaper, file}).exitCode, 0);
    const auto firstLine = [](const QStringList& arguments) {
        const test::TCliRun run = RunCli(arguments);
        return std::make_pair(run.exitCode, run.err.section('\n', 0, 0));
    };
    const QString out = test::TestFolder() + "/out.png";
    EXPECT_EQ(firstLine({"render", file, "--sheet", "0", "--out", out}),
              std::make_pair(1, QString("エラー: --sheet 0: シート番号は1から1までです")));
    EXPECT_EQ(firstLine({"render", file, "--face", "3", "--out", out}),
              std::make_pair(1, QString("エラー: --face 3: 面番号は1から2までです")));
    EXPECT_EQ(firstLine({"render", file, "--dpi", "9999", "--out", out}),
              std::make_pair(2, QString("エラー: --dpi 9999: 解像度は1から2400までです")));
    EXPECT_EQ(firstLine({"render", file, "--dpi", "high", "--out", out}),
              std::make_pair(2, QString("エラー: --dpi high: 解像度は整数で指定してください")));
    EXPECT_EQ(firstLine({"render", file, "--out"}), std::make_pair(2, QString("エラー: --out: 値がありません")));
    EXPECT_EQ(firstLine({"render", file, "--colour", "red", "--out", out}),
              std::make_pair(2, QString("エラー: --colour: このオプションはありません")));
    EXPECT_EQ(firstLine({"render", file, "--out", test::TestFolder() + "/out.gif"}),
              std::make_pair(2, QString("エラー: --out " + test::TestFolder() +
                                        "/out.gif: 出力の形式は拡張子 .png .jpg .jpeg .bmp .pdf で指定してください")));
    EXPECT_EQ(firstLine({"new", "--paper", TwoDiscPaper, "--sheets", "0", file}),
              std::make_pair(2, QString("エラー: --sheets 0: シート数は1から1000までです")));
    EXPECT_EQ(firstLine({"info", file, "extra.mld"}),
              std::make_pair(2, QString("エラー: extra.mld: ファイルは一つだけ指定してください")));
    EXPECT_FALSE(QFile::exists(out));
}

TEST(DocumentCommands, AMissingOrForeignFileIsOneClearMessage)
{
    const QString missing = test::TestFolder() + "/missing.mld";
    const test::TCliRun info = RunCli({"info", missing});
    EXPECT_EQ(info.exitCode, 1);
    EXPECT_EQ(info.err, "エラー: ファイル「" + missing + "」が見つかりません\n");

    const QString text = test::TestFolder() + "/notes.mld";
    test::WriteFileBytes(text, "a text file\n");
    const test::TCliRun render = RunCli({"render", text, "--out", test::TestFolder() + "/x.png"});
    EXPECT_EQ(render.exitCode, 1);
    EXPECT_EQ(render.err, "エラー: 指定されたファイルは「Kestrel」のデータではありません\n  ファイル: " + text +
                              "\n  原因: 「notes.mld」は複合ファイルではありません\n");
}

TEST(DocumentCommands, RenderWritesTheFormatTheExtensionNames)
{
    const QString file = test::TestFolder() + "/formats.mld";
    ASSERT_EQ(RunCli({"new", "--paper", TwoDiscPaper, file}).exitCode, 0);
    const std::pair<QString, QByteArray> formats[] = {
        {"a.png", "\x89PNG"}, {"a.jpg", "\xFF\xD8\xFF"}, {"a.JPEG", "\xFF\xD8\xFF"}, {"a.bmp", "BM"}, {"a.pdf", "%PDF"}};
    for (const auto& [name, signature] : formats) {
        const QString target = test::TestFolder() + "/" + name;
        const QStringList arguments = {"render", file, "--face", "1", "--dpi", "50", "--out", target};
        const test::TCliRun run = RunCli(name.endsWith("pdf") ? QStringList{"render", file, "--out", target} : arguments);
        ASSERT_EQ(run.exitCode, 0) << name.toStdString() << run.err.toStdString();
        EXPECT_TRUE(test::ReadFileBytes(target).startsWith(signature)) << name.toStdString();
        if (!name.endsWith("pdf")) {
            EXPECT_EQ(QImage(target).size(), QSize(234, 234)) << name.toStdString();
        }
    }
    EXPECT_EQ(RunCli({"render", file, "--face", "1", "--out", test::TestFolder() + "/b.pdf"}).exitCode, 2);
}

TEST(DocumentCommands, NewKeepsAnExistingFileUnlessForced)
{
    const QString file = test::TestFolder() + "/kept.mld";
    test::WriteFileBytes(file, "precious");
    const test::TCliRun refused = RunCli({"new", "--paper", TwoDiscPaper, file});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "エラー: 「" + file + "」は既にあります。上書きするときは --force を付けてください\n");
    EXPECT_EQ(test::ReadFileBytes(file), "precious");
    ASSERT_EQ(RunCli({"new", "--paper", TwoDiscPaper, "--force", file}).exitCode, 0);
    EXPECT_EQ(RunCli({"info", file}).exitCode, 0);
}

// What a file manager runs: the output is PNG whatever its name, the longer side the size asked
// (256 without one).
TEST(DocumentCommands, ThumbnailWritesThePngAFileManagerAsksFor)
{
    const QString file = test::TestFolder() + "/t.mld", out = test::TestFolder() + "/thumbnail-XXXX";
    ASSERT_EQ(RunCli({"new", "--paper", TwoDiscPaper, file}).exitCode, 0);
    for (const auto& [arguments, height] : {std::pair{QStringList{file, out}, 256}, {QStringList{file, out, "64"}, 64}}) {
        const test::TCliRun run = RunCli(QStringList{"thumbnail"} + arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QByteArray bytes = test::ReadFileBytes(out);
        EXPECT_TRUE(bytes.startsWith("\x89PNG\r\n")) << "PNG without a .png name";
        const QImage thumbnail = QImage::fromData(bytes, "PNG");
        EXPECT_EQ(thumbnail.height(), height);
        EXPECT_NEAR(thumbnail.width(), height * 2100 / 2970, 1);
    }
}

TEST(DocumentCommands, ThumbnailReadsOnlyRegularDocuments)
{
    const QString out = test::TestFolder() + "/t.png";
    for (const auto& [source, cause] : {std::pair{QStringLiteral("/dev/zero"), "通常のファイルではありません"},
                                        std::pair{test::TestFolder(), "フォルダです"}}) {
        const test::TCliRun run = RunCli({"thumbnail", source, out});
        EXPECT_EQ(run.exitCode, 1) << source.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(cause))) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("データではありません")) << "an unreadable file is not foreign data";
    }
    const test::TCliRun tooLarge = RunCli({"thumbnail", "a.mld", out, "5000"});
    EXPECT_EQ(tooLarge.exitCode, 2);
    EXPECT_TRUE(tooLarge.err.startsWith("エラー: 大きさ 5000: 大きさは16から1024までです\n使い方: kestrel-cli thumbnail"))
        << tooLarge.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

}  // namespace
}  // namespace kestrel
