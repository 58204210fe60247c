#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "imaging/Effects.h"
#include "support/CfbTestSupport.h"

namespace kestrel {
namespace {

QImage ReadBgr(const QString& path)
{
    const QByteArray bytes = test::ReadFileBytes(path);
    const int w = qFromLittleEndian<uint32_t>(bytes.constData()), h = qFromLittleEndian<uint32_t>(bytes.constData() + 4);
    QImage image(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y) memcpy(image.scanLine(y), bytes.constData() + 8 + y * w * 3, size_t(w) * 3);
    return image;
}

std::unique_ptr<TGREffector> EffectorFor(const QStringList& c)
{
    if (c[0] == "blur") {
        auto e = std::make_unique<TGREffectBlur>();
        e->Passes = c[1].toInt();
        return e;
    }
    if (c[0] == "unsharp") {
        auto e = std::make_unique<TGREffectUnsharpMask>();
        e->Radius = c[1].toDouble();
        return e;
    }
    if (c[0] == "light") {
        auto e = std::make_unique<TGREffectBrightnessContrast>();
        e->Brightness = c[1].toInt();
        e->Contrast = c[2].toInt();
        return e;
    }
    if (c[0] == "mono") {
        auto e = std::make_unique<TGREffectMonoTone>();
        e->RefColor = c[1].toInt();
        return e;
    }
    auto e = std::make_unique<TGREffectColorChange>();
    e->FromColor = c[1].toInt();
    e->ToColor = c[2].toInt();
    return e;
}

QImage Effect(TGREffector& effector, const QImage& source, TRect rect = {})
{
    QImage dest;
    effector.Source = &source;
    effector.Dest = &dest;
    effector.SourceRect = rect;
    effector.Execute();
    return dest;
}

TEST(Effects, MatchAnIndependentReadingOfTheFormulasPixelForPixel)
{
    QTemporaryDir folder;
    test::RunProgram("/usr/bin/python3", {QStringLiteral(KESTREL_TEST_SOURCE_DIR "/imaging/effects_reference.py"), folder.path()});
    const QStringList lines = QString::fromLatin1(test::ReadFileBytes(folder.filePath("cases.txt"))).split('\n', Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 100);
    for (const QString& line : lines) {
        const QStringList c = line.split(' ');
        auto effector = EffectorFor(c);
        const QImage source = ReadBgr(folder.filePath(c[c.size() - 2]));
        const QImage expected = ReadBgr(folder.filePath(c.last()));
        EXPECT_EQ(Effect(*effector, source), expected) << line.toStdString();
        // 32-bit pictures give the same colours and keep their fourth byte.
        QImage words = source.convertToFormat(QImage::Format_ARGB32);
        words.setPixel(0, 0, qRgba(qRed(words.pixel(0, 0)), qGreen(words.pixel(0, 0)), qBlue(words.pixel(0, 0)), 77));
        QImage result = Effect(*effector, words);
        EXPECT_EQ(qAlpha(result.pixel(0, 0)), 77);
        result.setPixel(0, 0, result.pixel(0, 0) | 0xFF000000);
        EXPECT_EQ(result.convertToFormat(QImage::Format_BGR888), expected) << line.toStdString() << " (32 bits)";
    }
}

TEST(Effects, KnownValuesOfTheTables)
{
    TGREffectBrightnessContrast light;
    light.Brightness = 100;
    for (uint8_t v : light.Table()) EXPECT_EQ(v, 255);
    light.Brightness = 0;
    light.Contrast = 100;
    const auto hard = light.Table();
    EXPECT_EQ(hard[127], 0);
    EXPECT_EQ(hard[128], 255);
    light.Contrast = -100;
    for (uint8_t v : light.Table()) EXPECT_EQ(v, 128);
    TGREffectMonoTone mono;
    EXPECT_EQ(mono.Table()[76], qRgb(76, 76, 76));
    EXPECT_EQ(Luminance(255, 0, 0), 76);
}

TEST(Effects, OneWhitePixelBlursIntoItsNeighbours)
{
    QImage dark(5, 5, QImage::Format_BGR888);
    dark.fill(Qt::black);
    dark.setPixel(2, 2, qRgb(255, 255, 255));
    TGREffectBlur blur;
    const QImage result = Effect(blur, dark);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(qRed(result.pixel(x, y)), std::abs(x - 2) <= 1 && std::abs(y - 2) <= 1 ? 28 : 0);
}

TEST(Effects, RectanglesAreClippedToTheBitmapAndOtherFormatsAreLeftAlone)
{
    QImage source(4, 3, QImage::Format_BGR888);
    source.fill(QColor(10, 20, 30));
    TGREffectBrightnessContrast light;
    light.Brightness = 100;
    const QImage clipped = Effect(light, source, {2, 1, 50, 70});
    EXPECT_EQ(clipped.size(), QSize(2, 2));
    EXPECT_EQ(clipped.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_TRUE(Effect(light, source, {10, 10, 20, 20}).isNull());

    const QImage palette = source.convertToFormat(QImage::Format_Indexed8);
    QImage untouched(1, 1, QImage::Format_RGB32);
    untouched.fill(Qt::red);
    light.Source = &palette;
    light.Dest = &untouched;
    light.Execute();
    EXPECT_EQ(untouched.pixel(0, 0), qRgb(255, 0, 0));
}

TEST(Effects, ColourChangeIgnoresTheOpacityByte)
{
    QImage source(2, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, qRgba(1, 2, 3, 200));
    source.setPixel(1, 0, qRgba(1, 2, 4, 255));
    TGREffectColorChange change;
    change.FromColor = RGBColor(1, 2, 3);
    change.ToColor = RGBColor(9, 8, 7);
    const QImage result = Effect(change, source);
    EXPECT_EQ(result.pixel(0, 0), qRgba(9, 8, 7, 200));
    EXPECT_EQ(result.pixel(1, 0), qRgba(1, 2, 4, 255));
}

TEST(Effects, AnIllustrationTakesThePickedColourOnlyWhereItsGenreColourIs)
{
    // Drawn in the genre's blue with an anti-aliased edge pixel, on a transparent or white ground.
    const QRgb genre = qRgb(0, 64, 160), edge = qRgb(128, 160, 208);
    QImage drawing(3, 2, QImage::Format_ARGB32);
    drawing.fill(Qt::transparent);
    drawing.setPixel(0, 0, genre);
    drawing.setPixel(1, 0, edge);
    drawing.setPixel(2, 1, genre);
    const TColor genreColour = RGBColor(0, 64, 160), picked = RGBColor(200, 0, 30);
    const QImage changed = ChangeIllustrationColour(drawing, genreColour, picked);
    EXPECT_EQ(changed.pixel(0, 0), qRgb(200, 0, 30));
    EXPECT_EQ(changed.pixel(2, 1), qRgb(200, 0, 30));
    EXPECT_EQ(changed.pixel(1, 0), edge) << "only the exact colour changes";
    EXPECT_EQ(qAlpha(changed.pixel(0, 1)), 0) << "the ground stays clear";

    QImage opaque = drawing.convertToFormat(QImage::Format_RGB32);
    opaque.setPixel(0, 1, qRgb(255, 255, 255));
    const QImage copy = ChangeIllustrationColour(opaque, genreColour, picked);
    EXPECT_EQ(copy.format(), QImage::Format_BGR888) << "a 24-bit copy";
    EXPECT_EQ(copy.pixel(2, 1), qRgb(200, 0, 30));
    EXPECT_EQ(copy.pixel(0, 1), qRgb(255, 255, 255));
    EXPECT_EQ(opaque.pixel(2, 1), genre) << "the illustration itself is untouched";
    EXPECT_EQ(ChangeIllustrationColour(opaque, genreColour, genreColour).pixel(2, 1), genre);
}

class CountingProgress : public TPhasedProgressBase {
public:
    void BeginPhase(int n) override { planned += n; }
    void Step() override { ++steps; }
    void EndPhase() override { ++phases; }
    int planned = 0, steps = 0, phases = 0;
};

TEST(Effects, ProgressStepsEverySixtyFourRowsOfEachPass)
{
    QImage source(3, 130, QImage::Format_BGR888);
    source.fill(Qt::gray);
    CountingProgress progress;
    TGREffectBlur blur;
    blur.Passes = 2;
    blur.Progress = &progress;
    Effect(blur, source);
    EXPECT_EQ(progress.phases, 1);
    EXPECT_EQ(progress.steps, 6);  // rows 0, 64 and 128 of two passes
    EXPECT_LE(progress.steps, progress.planned);
}

}  // namespace
}  // namespace kestrel
