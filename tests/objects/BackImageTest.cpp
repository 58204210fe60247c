#include "objects/BackImage.h"

#include <gtest/gtest.h>

#include "document/stream/ObjectStream.h"
#include "platform/BoundedReader.h"
#include "platform/Canvas.h"
#include "support/PictureFixtures.h"

namespace kestrel {
namespace {

TFaceInfo Face(TFaceShape shape, int size, int margin, int hole = 410)
{
    TFaceInfo face;
    face.rect = {margin, margin, margin + size, margin + size};
    face.margin = margin;
    face.shape = shape;
    face.SetHoleSize(hole);
    return face;
}

QImage Render(TLOBackImage& background, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(1, 2, 3));
    TCanvas canvas(image);
    background.Paint(canvas);
    return image;
}

TEST(BackImage, ANewBackgroundIsPlainWhiteBehindEverythingAndNeverHit)
{
    TLOBackImage2004 background;
    EXPECT_TRUE(background.IsPlain());
    EXPECT_TRUE(background.IsBlank());
    EXPECT_EQ(background.LayerGroup(), TLOBackImage::BackgroundLayerGroup);
    background.SetFaceInfo(Face(fsRect, 1200, 20));
    EXPECT_EQ(background.Rect(), (TRect{0, 0, 1240, 1240})) << "it covers the face with its bleed";
    EXPECT_EQ(background.HitTest({600, 600}), 0);
    background.SetFrameWidth(30);
    EXPECT_FALSE(background.IsPlain());
    background.FillColor().SetColor(clRed);
    background.Clear();
    EXPECT_TRUE(background.IsPlain());
}

TEST(BackImage, ADiscKeepsItsHoleWhiteAndTheBleedShrinksTheHole)
{
    TLOBackImage background;
    background.SetFaceInfo(Face(fsDoughnut, 600, 10, 200));
    background.FillColor().SetKind(cskGradation);
    background.FillColor().GradColors().SetStop(0, clRed);
    background.FillColor().GradColors().SetStop(1, clBlue);
    const QImage image = Render(background, {620, 620});
    EXPECT_EQ(image.pixel(310, 310), qRgb(255, 255, 255)) << "the hole";
    // The hole is 200 across less the bleed on both sides: 180, so 95 from the centre is ring.
    EXPECT_NE(image.pixel(310 + 95, 310), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(310 + 85, 310), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(3, 3), qRgb(1, 2, 3)) << "outside the disc nothing is painted";
    const QRgb ring = image.pixel(310, 100);
    EXPECT_NE(ring, qRgb(1, 2, 3));
}

TEST(BackImage, AFrameBandRunsAlongTheOuterEdgeOfTheBleed)
{
    TLOBackImage background;
    background.SetFaceInfo(Face(fsRect, 500, 20));
    background.FrameColor().SetColor(clBlue);
    background.FillColor().SetColor(0x00FF00);
    background.SetFrameWidth(30);
    const QImage image = Render(background, {540, 540});
    EXPECT_EQ(image.pixel(0, 270), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(29, 270), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(30, 270), qRgb(0, 255, 0)) << "the fill starts 1.0 mm inside the label edge";
    EXPECT_EQ(image.pixel(270, 539), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(270, 270), qRgb(0, 255, 0));
}

TEST(BackImage, AnUntiledPictureCoversTheFaceCentredAndCutAtTheSides)
{
    TLOBackImage background;
    background.SetFaceInfo(Face(fsRect, 1200, 0));
    // Four upright bands of 100 pixels: red, green, blue, yellow.
    QImage bands(400, 300, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
    for (int x = 0; x < 400; ++x)
        for (int y = 0; y < 300; ++y) bands.setPixel(x, y, colours[x / 100]);
    background.FillColor().SetPicture(bands);
    background.FillColor().SetKind(cskBitmap);
    const QImage image = Render(background, {1200, 1200});
    // Drawn 1600 × 1200 from x = -200: x = 250 shows picture column 112 (green); stretched it
    // would be column 83 (red).
    EXPECT_EQ(qGreen(image.pixel(250, 600)), 255);
    EXPECT_EQ(qRed(image.pixel(250, 600)), 0);
    EXPECT_EQ(image.pixel(20, 600), colours[0]);
    EXPECT_EQ(image.pixel(1180, 600), colours[3]);
}

TEST(BackImage, ABlendPictureMovesTheFillTowardsTheBlendColourByTheRatio)
{
    TLOBackImage background;
    background.SetFaceInfo(Face(fsRect, 100, 0));
    background.FillColor().SetColor(clWhite);
    background.BlendColor().SetColor(clBlack);
    background.BlendPicture().SetImage(test::Solid(10, 10, qRgb(255, 255, 255)));
    background.SetBlendRatio(50);
    EXPECT_FALSE(background.IsPlain());
    // a = 255 × 50 / 100 rounded = 128: 255 + trunc(128 × (0 − 255) / 255) = 127.
    EXPECT_EQ(Render(background, {100, 100}).pixel(50, 50), qRgb(127, 127, 127));
    background.SetBlendRatio(100);
    EXPECT_EQ(Render(background, {100, 100}).pixel(50, 50), qRgb(0, 0, 0));
}

TEST(BackImage, TurningTheFillPictureKeepsItsSourceAndStreamsDoNotTurnItTwice)
{
    TLOBackImage2004 background;
    background.SetFaceInfo(Face(fsRect, 1200, 0));
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    background.FillColor().SetPicture(picture);
    background.FillColor().SetKind(cskBitmap);
    background.FillBackImage().SetRotateImage(rs90);
    background.FillBackImage().SetReverseHorz(true);
    const QImage turned = background.FillColor().ImageData().Picture().Image();
    EXPECT_EQ(turned.size(), QSize(100, 200));
    EXPECT_EQ(turned, TransformedPicture(picture, rs90, false, true));

    QByteArray bytes;
    WriteObject(bytes, background);
    TBoundedReader in(bytes);
    const std::unique_ptr<TComponent> read = ReadObject(in);
    auto* copy = dynamic_cast<TLOBackImage2004*>(read.get());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->FillColor().ImageData().Picture().Image().size(), QSize(100, 200)) << "read as it was saved";
    EXPECT_EQ(copy->FillBackImage().RotateImage(), rs90);
    copy->FillBackImage().SetRotateImage(rsNone);
    copy->FillBackImage().SetReverseHorz(false);
    EXPECT_EQ(copy->FillColor().ImageData().Picture().Image().convertToFormat(QImage::Format_RGB32),
              picture.convertToFormat(QImage::Format_RGB32))
        << "undoing the settings gives the source back";
}

TEST(BackImage, TheSuccessorBecomesAPlainBackgroundWithTheSamePaints)
{
    auto successor = std::make_unique<TLOBackImage2004>();
    successor->FillColor().SetColor(clRed);
    successor->SetFrameWidth(40);
    const std::unique_ptr<TDrawObject> plain = ToPlainBackground(std::move(successor));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->ClassName(), "TLOBackImage");
    const auto& background = dynamic_cast<const TLOBackImage&>(*plain);
    EXPECT_EQ(background.FillColor().Color(), clRed);
    EXPECT_EQ(background.FrameWidth(), 40);
    auto other = std::make_unique<TLOBackImage>();
    const TLOBackImage* kept = other.get();
    EXPECT_EQ(ToPlainBackground(std::move(other)).get(), kept);
}

}  // namespace
}  // namespace kestrel
