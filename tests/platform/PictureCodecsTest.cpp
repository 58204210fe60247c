#include <gtest/gtest.h>

#include <cmath>

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "platform/BoundedReader.h"
#include "platform/Graphic.h"
#include "platform/PictureCodecs.h"
#include "platform/ZlibContainer.h"
#include "support/CfbTestSupport.h"
#include "support/PictureFixtures.h"

namespace kestrel {
namespace {

using test::Bitmap;
using test::ReadFileBytes;
using test::Solid;

// Pictures of every layout, with Pillow's pixels for each, in the test's own folder.
class ReferencePictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RunProgram("/usr/bin/python3",
                         {QStringLiteral(KESTREL_TEST_SOURCE_DIR "/platform/make_reference_pictures.py"), folder_.path()});
    }
    QString Path(const QString& name) const { return folder_.filePath(name); }

    // Pillow's pixels as non-premultiplied ARGB words.
    QImage Expected(const QString& name) const
    {
        const QByteArray bytes = ReadFileBytes(Path(name + ".rgba"));
        const int w = qFromLittleEndian<uint32_t>(bytes.constData()), h = qFromLittleEndian<uint32_t>(bytes.constData() + 4);
        return QImage(reinterpret_cast<const uchar*>(bytes.constData() + 8), w, h, QImage::Format_RGBA8888)
            .convertToFormat(QImage::Format_ARGB32);
    }

    // Transparent pixels compare by opacity alone; colours within tolerance per channel.
    void ExpectSamePixels(const QString& name, int tolerance = 0) const
    {
        const QImage expected = Expected(name);
        const QImage actual = LoadGraphicFile(Path(name)).Image().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(actual.size(), expected.size()) << name.toStdString();
        int mismatches = 0;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x) {
                const QRgb e = expected.pixel(x, y), a = actual.pixel(x, y);
                const bool same = qAlpha(e) == qAlpha(a) &&
                                  (qAlpha(e) == 0 || (std::abs(qRed(e) - qRed(a)) <= tolerance &&
                                                      std::abs(qGreen(e) - qGreen(a)) <= tolerance &&
                                                      std::abs(qBlue(e) - qBlue(a)) <= tolerance));
                if (!same && mismatches++ < 3)
                    ADD_FAILURE() << name.toStdString() << " at " << x << "," << y << ": " << std::hex << a
                                  << " instead of " << e;
            }
        EXPECT_EQ(mismatches, 0) << name.toStdString();
    }

    QTemporaryDir folder_;
};

TEST_F(ReferencePictures, BitmapsOfEveryDepthAndRowOrderMatchPillow)
{
    for (const char* name : {"one.bmp", "four.bmp", "eight.bmp", "colour.bmp", "topdown.bmp", "topdown8.bmp",
                             "words.bmp", "runs.bmp"})
        ExpectSamePixels(name);
}

TEST_F(ReferencePictures, PngAndGifLayoutsMatchPillow)
{
    for (const char* name : {"palette.png", "grey.png", "greyalpha.png", "alpha.png", "deep.png", "interlaced.gif",
                             "transparent.gif"})
        ExpectSamePixels(name);
}

TEST_F(ReferencePictures, BaselineJpegsMatchPillowWithinTheIdctTolerance)
{
    ExpectSamePixels("colour.jpg", 2);
    ExpectSamePixels("grey.jpg", 2);
}

TEST_F(ReferencePictures, OtherJpegLayoutsAreRefusedWithTheirOwnMessage)
{
    for (const char* name : {"progressive.jpg", "arithmetic.jpg", "cmyk.jpg"}) {
        try {
            DecodeJpeg(ReadFileBytes(Path(name)));
            ADD_FAILURE() << name << " was decoded";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("未対応のJPEG形式です")) << name;
        }
        // The file-loading path shows the general message with the cause below it.
        try {
            LoadGraphicFile(Path(name));
            ADD_FAILURE() << name << " was loaded";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("イメージの読み込みに失敗しました\n未対応のJPEG形式です"));
        }
    }
}

TEST_F(ReferencePictures, DataRecordsKeepTheOriginalBytes)
{
    for (const char* name : {"colour.bmp", "colour.jpg", "alpha.png", "interlaced.gif"}) {
        const TGraphic graphic = LoadGraphicFile(Path(name));
        EXPECT_EQ(graphic.Bytes(), ReadFileBytes(Path(name)));
        QByteArray data;
        WriteGraphicData(data, graphic);
        TBoundedReader in(data);
        const TGraphic again = ReadGraphicData(in);
        EXPECT_TRUE(in.AtEnd());
        EXPECT_EQ(again.Bytes(), graphic.Bytes());
        EXPECT_EQ(again.Image(), graphic.Image());
    }
}

TEST_F(ReferencePictures, CompressedBitmapsReadAsTheBitmapTheyHoldAndStayCompressed)
{
    const QByteArray bmp = ReadFileBytes(Path("colour.bmp"));
    const QString cbm = Path("packed.cbm");
    test::WriteFileBytes(cbm, PackContainer(bmp));
    const TGraphic graphic = LoadGraphicFile(cbm);
    EXPECT_EQ(graphic.Class(), TGraphicClass::gcBitmap);
    EXPECT_EQ(graphic.Image(), LoadGraphicFile(Path("colour.bmp")).Image());
    EXPECT_TRUE(HasContainerSignature(graphic.Bytes()));
    // A ".cbm" file that is a plain BMP reads as one.
    test::WriteFileBytes(cbm, bmp);
    EXPECT_EQ(LoadGraphicFile(cbm).Bytes(), bmp);
}

TEST_F(ReferencePictures, TheSizeLimitScalesLargePicturesIntoAPlainBitmap)
{
    const TGraphic limited = LoadGraphicFile(Path("colour.jpg"), 10);  // 40 x 24
    EXPECT_EQ(limited.Class(), TGraphicClass::gcBitmap);
    EXPECT_EQ(limited.Image().size(), QSize(10, 6));
    EXPECT_EQ(LoadGraphicFile(Path("colour.jpg"), 40).Class(), TGraphicClass::gcJpeg);
}

// A BMP header declaring the given size and depth over a few bytes of pixels.
QByteArray BmpHeader(int32_t width, int32_t height, uint16_t bits, uint32_t compression = 0)
{
    QByteArray out(54, '\0');
    auto* p = reinterpret_cast<uchar*>(out.data());
    p[0] = 'B', p[1] = 'M';
    qToLittleEndian<uint32_t>(54, p + 10);
    qToLittleEndian<uint32_t>(40, p + 14);
    qToLittleEndian<int32_t>(width, p + 18);
    qToLittleEndian<int32_t>(height, p + 22);
    qToLittleEndian<uint16_t>(1, p + 26);
    qToLittleEndian<uint16_t>(bits, p + 28);
    qToLittleEndian<uint32_t>(compression, p + 30);
    return out + QByteArray(16, '\x55');
}

TEST(PictureCodecs, DamagedOrHugeBitmapsAreRefusedBeforeAllocating)
{
    for (const QByteArray& bytes :
         {BmpHeader(1 << 20, 1 << 20, 24), BmpHeader(100, 100, 24), BmpHeader(4, INT32_MIN, 24), BmpHeader(0, 4, 24),
          BmpHeader(4, 4, 7), BmpHeader(4, 4, 24, 1), BmpHeader(4, -4, 8, 1), BmpHeader(4, 4, 24).left(30),
          QByteArray("BM")}) {
        EXPECT_THROW(DecodeBmp(bytes), EReadError);
    }
    EXPECT_NO_THROW(DecodeBmp(BmpHeader(2, 2, 24)));
}

TEST_F(ReferencePictures, TruncatedFilesOfEveryFormatFailCleanly)
{
    for (const char* name : {"colour.bmp", "runs.bmp", "alpha.png", "interlaced.gif"}) {
        const QByteArray bytes = ReadFileBytes(Path(name));
        TGraphicClass graphicClass;
        ASSERT_TRUE(GraphicClassForExtension(QFileInfo(name).suffix(), graphicClass));
        // A cut header is refused when the picture is read; a cut past the header when the
        // pixels are decoded, with the cause.
        for (qsizetype cut : {qsizetype(0), qsizetype(10)})
            EXPECT_THROW(TGraphic(graphicClass, bytes.left(cut)), EReadError) << name << " cut at " << cut;
        for (qsizetype cut : {bytes.size() / 2, bytes.size() * 3 / 4}) {
            try {
                const TGraphic cutShort(graphicClass, bytes.left(cut));
                EXPECT_TRUE(cutShort.Image().isNull()) << name << " cut at " << cut;
                EXPECT_FALSE(cutShort.DecodeProblem().isEmpty()) << name << " cut at " << cut;
                EXPECT_THROW(cutShort.ImageCovering({4, 4}), EReadError) << name << " cut at " << cut;
            } catch (const EReadError&) {
                // the cut reached into the header
            }
        }
    }
    // JPEG damage past the header decodes as far as it goes, like other readers; the header itself must be there.
    EXPECT_THROW(DecodeJpeg(ReadFileBytes(Path("colour.jpg")).left(20)), EReadError);
    // No bytes at all is an error libjpeg raises as soon as it is given the input.
    EXPECT_THROW(DecodeJpeg(QByteArrayView()), EReadError);
    EXPECT_THROW(JpegImageSize(QByteArrayView()), EReadError);
}

TEST(PictureCodecs, DataRecordsWithImpossibleCountsOrUnknownClassesAreRefused)
{
    auto read = [](const QByteArray& data) {
        TBoundedReader in(data);
        return ReadGraphicData(in);
    };
    EXPECT_THROW(read(QByteArray("\x07TBitmap\xFF\xFF\xFF\x7F", 12)), EReadError);
    EXPECT_THROW(read(QByteArray("\x07TBitmap\xFF\xFF\xFF\xFF", 12)), EReadError);
    EXPECT_THROW(read(QByteArray("\x07TBitmap\x00\x00\x00\x00", 12)), EReadError);
    EXPECT_THROW(read(QByteArray("\x08TUnknown")), EReadError);
    EXPECT_THROW(read(QByteArray("\x20TBit")), EReadError);
}

TEST(PictureCodecs, EncodersRoundTripThroughTheDecoders)
{
    QImage picture(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) picture.setPixel(x, y, qRgb(40 * x, 80 * y, 200));
    EXPECT_EQ(DecodeBmp(EncodeBmp24(picture)), picture);
    EXPECT_EQ(DecodePng(EncodePng(picture)).convertToFormat(QImage::Format_RGB32), picture);
    const QImage jpeg = DecodeJpeg(EncodeJpeg(picture, 100));
    EXPECT_EQ(jpeg.size(), picture.size());
    // A bitmap made of a transparent picture keeps its transparency as a PNG.
    QImage clear(2, 2, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    EXPECT_EQ(TGraphic::FromImage(clear).Class(), TGraphicClass::gcPng);
    EXPECT_EQ(TGraphic::FromImage(picture).Class(), TGraphicClass::gcBitmap);
}

TEST(PictureCodecs, HeadersGiveTheSizeWithoutDecodingAndTooLargeOnesSayTheLimit)
{
    const QImage picture = Solid(40, 24, qRgb(10, 200, 30));
    EXPECT_EQ(BmpImageSize(EncodeBmp24(picture)), QSize(40, 24));
    EXPECT_EQ(PngImageSize(EncodePng(picture)), QSize(40, 24));
    EXPECT_EQ(JpegImageSize(EncodeJpeg(picture)), QSize(40, 24));
    const TGraphic packed(TGraphicClass::gcBitmap, PackContainer(EncodeBmp24(picture)));
    EXPECT_EQ(QSize(packed.Width(), packed.Height()), QSize(40, 24));
    try {
        CheckPictureSize(40000, 10);
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("画像が大きすぎます（40000×10 ピクセル。一辺 30000 ピクセル、全体で 6710 万ピクセルまで）"));
    }
}

TEST(PictureCodecs, APictureIsDecodedOnlyAsFineAsItIsWanted)
{
    const QImage picture = Solid(800, 600, qRgb(200, 120, 40));
    for (const TGraphic& graphic : {TGraphic(TGraphicClass::gcJpeg, EncodeJpeg(picture)), TGraphic(TGraphicClass::gcPng, EncodePng(picture)),
                                    Bitmap(picture)}) {
        EXPECT_EQ(graphic.CoveringSize({100, 75}), QSize(100, 75));
        EXPECT_EQ(graphic.CoveringSize({101, 75}), QSize(200, 150));
        EXPECT_EQ(graphic.CoveringSize({2000, 10}), QSize(800, 600));
        const QImage reduced = graphic.ImageCovering({100, 75});
        EXPECT_EQ(reduced.size(), QSize(100, 75));
        EXPECT_NEAR(qRed(reduced.pixel(50, 40)), 200, 4);
    }
    // JPEG pictures are never held whole on the way: their DCT gives the reduced size. PNG
    // pictures are reduced row by row but inflated whole, and charged so.
    EXPECT_EQ(TGraphic(TGraphicClass::gcJpeg, EncodeJpeg(picture)).DecodingBytes({100, 75}), 100 * 75 * 4);
    EXPECT_EQ(TGraphic(TGraphicClass::gcPng, EncodePng(picture)).DecodingBytes({100, 75}), 800 * 600 * 4);
}

// The block average of Pillow's pixels, colours weighted by alpha.
QRgb BlockAverage(const QImage& whole, int left, int top, int shrink)
{
    double colour[3] = {}, alpha = 0;
    int count = 0;
    for (int y = top; y < std::min(top + shrink, whole.height()); ++y)
        for (int x = left; x < std::min(left + shrink, whole.width()); ++x, ++count) {
            const QRgb p = whole.pixel(x, y);
            const double a = qAlpha(p);
            colour[0] += qRed(p) * a, colour[1] += qGreen(p) * a, colour[2] += qBlue(p) * a, alpha += a;
        }
    const auto channel = [&](double sum) { return alpha > 0 ? int(std::lround(sum / alpha)) : 0; };
    return qRgba(channel(colour[0]), channel(colour[1]), channel(colour[2]), int(std::lround(alpha / count)));
}

TEST_F(ReferencePictures, PngsDecodeAtReducedSizesRowByRowAsBlockAverages)
{
    for (const QString name : {"palette", "grey", "greyalpha", "alpha", "deep"}) {
        const QImage whole = Expected(name + ".png");
        const QImage reduced = DecodePng(ReadFileBytes(Path(name + ".png")), 3).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(reduced.size(), QSize((whole.width() + 2) / 3, (whole.height() + 2) / 3)) << name.toStdString();
        for (int y = 0; y < reduced.height(); ++y)
            for (int x = 0; x < reduced.width(); ++x) {
                const QRgb got = reduced.pixel(x, y), want = BlockAverage(whole, 3 * x, 3 * y, 3);
                ASSERT_LE(std::abs(qRed(got) - qRed(want)) + std::abs(qGreen(got) - qGreen(want)) + std::abs(qBlue(got) - qBlue(want)) +
                              std::abs(qAlpha(got) - qAlpha(want)),
                          4)
                    << name.toStdString() << " at " << x << "," << y;
            }
    }
}

TEST_F(ReferencePictures, JpegsDecodeAtReducedSizesThroughTheDct)
{
    const QByteArray bytes = ReadFileBytes(Path("colour.jpg"));  // 40 x 24
    EXPECT_EQ(DecodeJpeg(bytes, 2).size(), QSize(20, 12));
    EXPECT_EQ(DecodeJpeg(bytes, 4).size(), QSize(10, 6));
    EXPECT_EQ(DecodeJpeg(bytes, 8).size(), QSize(5, 3));
}

}  // namespace
}  // namespace kestrel
