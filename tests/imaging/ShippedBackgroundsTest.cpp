// The background pictures shipped beside the program, their genre file and their ID index.

#include <QDir>
#include <gtest/gtest.h>

#include "imaging/ImagePack.h"
#include "platform/Graphic.h"
#include "support/CfbTestSupport.h"

namespace kestrel {
namespace {

const QString Program = QStringLiteral(KESTREL_DATA_DIR "/");

QImage Picture(const QString& relative) { return LoadGraphicFile(Program + relative).Image(); }

bool Near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

TEST(ShippedBackgrounds, GenresSubGenresAndIdsReadByAnIndependentParser)
{
    // Python's configparser reads both files as code page 932; every folder they name holds
    // pictures, each with one 4-character ID.
    const char* script = R"(
import configparser, os, sys
root = sys.argv[1]
def ini(name):
    p = configparser.ConfigParser(interpolation=None)
    p.optionxform = str
    p.read(os.path.join(root, "Data", "BackGrnd", name), encoding="cp932")
    return p
genres, ids = ini("BackGrnd.dat"), ini("BackGrnd.ids")
folders, tiled = [], 0
for section in genres.sections():
    g = genres[section]
    parts = [v.split(",") for k, v in g.items() if k.startswith("SubGenre")]
    folders += [p[1] for p in parts] + ([g["Genre"]] if "Genre" in g else [])
    tiled += sum(1 for p in parts if len(p) > 2 and int(p[2]) != 0)
    print(section, g["Caption"], len(parts))
pictures, codes = 0, set()
for folder in folders:
    names = sorted(os.listdir(os.path.join(root, folder.replace("\\", "/"))))
    pictures += len(names)
    for name in names:
        code = ids[folder][os.path.splitext(name)[0].upper()]
        assert len(code) == 4 and code not in codes, code
        codes.add(code)
print(len(folders), "folders", tiled, "tiled", pictures, "pictures")
)";
    const QString listing = QString::fromUtf8(test::RunProgram("/usr/bin/python3", {"-c", script, Program}));
    EXPECT_EQ(listing, "CD,* グラデーション 0\n"
                       "Stripe ストライプ・チェック 2\n"
                       "Dot ドット 2\n"
                       "CDCover,CDCaseTray 紙・テクスチャ 0\n"
                       "Wagara 和柄 5\n"
                       "11 folders 9 tiled 43 pictures\n");
}

TEST(ShippedBackgrounds, ProbePointsHaveTheDrawnColours)
{
    const QImage sky = Picture("Data/BackGrnd/Gradation/sky.jpg");
    ASSERT_EQ(sky.size(), QSize(1200, 1200));
    EXPECT_TRUE(Near(sky.pixel(600, 2), qRgb(0x3A, 0x8E, 0xE6), 6));
    EXPECT_TRUE(Near(sky.pixel(600, 1197), qRgb(0xE8, 0xF4, 0xFF), 6));
    const QImage ichimatsu = Picture("Data/BackGrnd/Wagara/Ichimatsu/ichimatsu_midori.png");
    EXPECT_EQ(ichimatsu.pixel(30, 30), qRgb(0x1A, 0x1A, 0x1A));
    EXPECT_EQ(ichimatsu.pixel(90, 30), qRgb(0x2E, 0x8B, 0x57));
    const QImage candy = Picture("Data/BackGrnd/Stripe/candy.png");
    EXPECT_EQ(candy.pixel(10, 80), qRgb(0xE5, 0x39, 0x50));
    EXPECT_EQ(candy.pixel(30, 80), qRgb(255, 255, 255));
    const QImage polka = Picture("Data/BackGrnd/Dot/polka_red.png");
    EXPECT_EQ(polka.pixel(20, 20), qRgb(255, 255, 255));  // a dot's centre
    EXPECT_EQ(polka.pixel(0, 0), qRgb(0xD9, 0x2B, 0x3A));
    // Paper is its colour on average, with blotches and grain.
    const QImage kraft = Picture("Data/BackGrnd/Paper/kraft.jpg");
    int r = 0, g = 0, b = 0;
    for (int y = 0; y < 1000; y += 10)
        for (int x = 0; x < 1000; x += 10) r += qRed(kraft.pixel(x, y)), g += qGreen(kraft.pixel(x, y)), b += qBlue(kraft.pixel(x, y));
    EXPECT_TRUE(Near(qRgb(r / 10000, g / 10000, b / 10000), qRgb(0xB8, 0x8A, 0x5A), 12));
}

// Mean difference between two columns (or rows) of a picture.
double LineDifference(const QImage& image, int a, int b, bool columns)
{
    const int n = columns ? image.height() : image.width();
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        const QRgb p = columns ? image.pixel(a, i) : image.pixel(i, a), q = columns ? image.pixel(b, i) : image.pixel(i, b);
        sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    }
    return sum / n;
}

// A tile joins its neighbours when its last column and row lead into its first no more abruptly
// than its own neighbouring columns and rows do.
TEST(ShippedBackgrounds, TiledPicturesJoinSeamlessly)
{
    int checked = 0;
    for (const char* folder : {"Stripe", "Check", "Dot", "Confetti", "Wagara/Seigaiha", "Wagara/Asanoha", "Wagara/Ichimatsu",
                                  "Wagara/Shippo", "Wagara/Yagasuri"}) {
        TFolderImagePack pack;
        pack.SetFileMask(Program + "Data/BackGrnd/" + folder + "/*.png");
        for (const QString& file : pack.FileList()) {
            const QImage tile = LoadGraphicFile(file).Image();
            for (bool columns : {true, false}) {
                const int size = columns ? tile.width() : tile.height();
                double largest = 0;
                for (int i = 0; i + 1 < size; ++i) largest = std::max(largest, LineDifference(tile, i, i + 1, columns));
                EXPECT_LE(LineDifference(tile, size - 1, 0, columns), largest + 1) << file.toStdString() << (columns ? " across" : " down");
            }
            ++checked;
        }
    }
    EXPECT_EQ(checked, 27);
}

}  // namespace
}  // namespace kestrel
