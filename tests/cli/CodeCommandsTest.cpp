#include <gtest/gtest.h>

#include <QImage>

#include "CliRun.h"
#include "codes/LOQRStd.h"
#include "document/DOList.h"
#include "label/LabelDocumentFixtures.h"
#include "platform/Cp932.h"
#include "support/SymbolReaders.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

using test::RunCli;

struct TQrRequest {
    QString text;
    QStringList options;
};

TEST(QrCommand, EverySymbolDecodesWithBothReadersToTheExactBytes)
{
    const std::vector<TQrRequest> requests = {
        {"http://example.com/", {}},
        {"0123456789", {"--level", "H"}},
        {"HELLO WORLD", {"--level", "Q", "--mask", "5"}},
        {QStringLiteral("ザ・バンド 東京公演"), {}},
        {QStringLiteral("MECARD:N:山田,太郎;SOUND:ﾔﾏﾀﾞ,ﾀﾛｳ;TEL:03-1234-5678;EMAIL:a\\;b@example.jp;;"), {"--level", "L"}},
        {"MEBKM:TITLE:Band;URL:http\\://band.example.jp/;;", {"--version", "6"}},
        {"MEMORY:\r\nNAME1:Band\r\nTEL1:0312345678\r\n", {}},
        {"12AB", {"--mode", "0"}},  // falls back to 8-bit
        {QString(400, u'あ'), {"--level", "M"}},
    };
    QStringList files;
    for (size_t i = 0; i < requests.size(); ++i) {
        const QString file = test::TestFolder() + QStringLiteral("/qr%1.png").arg(i);
        const test::TCliRun run = RunCli(QStringList{"qr", requests[i].text, "--out", file, "--scale", "3"} + requests[i].options);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        files << file;
    }
    const auto decoded = test::DecodeSymbols(files);
    for (size_t i = 0; i < requests.size(); ++i) {
        const QByteArray expected = ToCp932(requests[i].text);
        const test::TDecodedSymbols symbols = decoded.value(files[qsizetype(i)]);
        EXPECT_EQ(symbols.zbar, QList<QByteArray>{expected}) << i;
        ASSERT_EQ(symbols.zxing.size(), 1) << i;
        EXPECT_EQ(symbols.zxing[0].first, "QRCode");
        EXPECT_EQ(symbols.zxing[0].second, expected) << i;
    }
}

TEST(QrCommand, WithoutAScaleTheSymbolIsLargeEnoughToScan)
{
    const QString file = test::TestFolder() + "/url.png";
    const test::TCliRun run = RunCli({"qr", "https://example.com/kestrel", "--out", file});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage symbol(file);
    EXPECT_EQ(symbol.size(), QSize(37 * 8, 37 * 8));  // version 3 and its quiet zone, 8 pixels a module
    EXPECT_EQ(test::DecodeSymbols({file}).value(file).zbar, QList<QByteArray>{"https://example.com/kestrel"});
}

TEST(QrCommand, ScaleMultipliesTheSymbolAndSettingsAreReported)
{
    const QString file = test::TestFolder() + "/q.png";
    const test::TCliRun run = RunCli({"qr", "HELLO WORLD", "--out", file, "--scale", "4", "--mask", "3", "--level", "Q"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("バージョン 1  誤り訂正レベル Q  マスク 3  モード A"))) << run.out.toStdString();
    EXPECT_EQ(QImage(file).size(), QSize(29 * 4, 29 * 4));
}

TEST(QrCommand, DataThatDoesNotFitAndBadOptionsWriteNothing)
{
    const QString file = test::TestFolder() + "/none.png";
    const test::TCliRun tooLong = RunCli({"qr", QString(100, u'x'), "--version", "2", "--out", file});
    EXPECT_EQ(tooLong.exitCode, 1);
    EXPECT_TRUE(tooLong.err.contains(QStringLiteral("バージョン2"))) << tooLong.err.toStdString();
    EXPECT_EQ(RunCli({"qr", "A", "--level", "X", "--out", file}).exitCode, 2);
    EXPECT_EQ(RunCli({"qr", "A", "--version", "41", "--out", file}).exitCode, 2);
    EXPECT_EQ(RunCli({"qr", "A"}).exitCode, 2);
    EXPECT_EQ(RunCli({"qr", QStringLiteral("😀"), "--out", file}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(file));
}

TEST(JanCommand, SymbolsDecodeWithBothReadersAndBadCodesAreRefused)
{
    const QString folder = test::TestFolder();
    const test::TCliRun thirteen = RunCli({"jan", "490123456789", "--out", folder + "/13.png"});
    ASSERT_EQ(thirteen.exitCode, 0) << thirteen.err.toStdString();
    EXPECT_EQ(thirteen.out.trimmed(), "4901234567894");
    ASSERT_EQ(RunCli({"jan", "12345670", "--out", folder + "/8.png"}).exitCode, 0);
    const auto decoded = test::DecodeSymbols({folder + "/13.png", folder + "/8.png"});
    EXPECT_TRUE(decoded.value(folder + "/13.png").zbar.value(0).startsWith("4901234567894"));
    EXPECT_EQ(decoded.value(folder + "/13.png").zxing.value(0).second, "4901234567894");
    EXPECT_TRUE(decoded.value(folder + "/8.png").zbar.value(0).startsWith("12345670"));
    EXPECT_EQ(decoded.value(folder + "/8.png").zxing.value(0).second, "12345670");

    for (const char* bad : {"4901234567890", "49012345678a", "12345"}) {
        const test::TCliRun run = RunCli({"jan", bad, "--out", folder + "/bad.png"});
        EXPECT_EQ(run.exitCode, 1) << bad;
        EXPECT_TRUE(run.err.contains(QStringLiteral("JANコードが正しくありません。")));
    }
    EXPECT_EQ(RunCli({"jan", "490123456789"}).exitCode, 2);
    EXPECT_FALSE(QFile::exists(folder + "/bad.png"));
}

// Four faces, each with one QR object turned by a quarter more than the one before.
TEST(QrCommand, FaceRendersOfQrObjectsDecodeAtEveryQuarterTurn)
{
    const QString file = test::TestFolder() + "/qr.mld";
    std::vector<std::unique_ptr<TLOQRCode>> objects;
    auto phoneBook = std::make_unique<TLOQRStd>();
    phoneBook->SetQRName(QStringLiteral("山田 太郎"));
    phoneBook->SetQRNameCommaDevide(true);
    phoneBook->SetQRTel1("03-1234;5678");
    phoneBook->SetQREmail1("taro@example.jp");
    objects.push_back(std::move(phoneBook));
    auto bookmark = std::make_unique<TLOQRStd>();
    bookmark->SetQRKind(sqkURL);
    bookmark->SetQRUrlTitle(QStringLiteral("バンド"));
    bookmark->SetQRUrl("http://band.example.jp/");
    objects.push_back(std::move(bookmark));
    auto memory = std::make_unique<TLOQRStd>();
    memory->SetQRType(sqtVodafone);
    memory->SetQRName(QStringLiteral("ザ・バンド"));
    memory->SetQRTel1("0312345678");
    objects.push_back(std::move(memory));
    auto raw = std::make_unique<TLOQRCode>();
    raw->SetData(QByteArray("\x00\x01" "binary" "\xff\x82\xa0", 11));
    raw->SetErrorCorrectLevel('H');
    objects.push_back(std::move(raw));
    {
        TLabelData document;
        document.SetPaper(*test::SquarePaper(2));
        for (int face = 0; face < 4; ++face) {
            objects[face]->SetBounds({100, 100, 500, 500});
            objects[face]->SetAngle(90 * face);
            TDOList list;
            list.Add(*objects[face]);
            document.SaveFaceObjects(face, list);
        }
        document.SaveToFile(file);
    }
    QStringList pictures;
    for (int face = 1; face <= 4; ++face) {
        pictures << test::TestFolder() + QStringLiteral("/face%1.png").arg(face);
        const test::TCliRun run = RunCli({"render", file, "--face", QString::number(face), "--out", pictures.back()});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    }
    const auto decoded = test::DecodeSymbols(pictures);
    for (int face = 0; face < 4; ++face) {
        const QByteArray expected = objects[face]->Data();
        ASSERT_FALSE(expected.isEmpty());
        const test::TDecodedSymbols symbols = decoded.value(pictures[face]);
        EXPECT_EQ(symbols.zbar, QList<QByteArray>{expected}) << face;
        ASSERT_EQ(symbols.zxing.size(), 1) << face;
        EXPECT_EQ(symbols.zxing[0].second, expected) << face;
    }
}

}  // namespace
}  // namespace kestrel
