#include <gtest/gtest.h>

#include "document/stream/ObjectStream.h"
#include "objects/ArrangedPicture.h"
#include "platform/BoundedReader.h"
#include "platform/Canvas.h"
#include "platform/PictureCodecs.h"

namespace kestrel {
namespace {

std::unique_ptr<TLOArrangedImage> Arranged(TArrangeStyle style, TRect rect, int base)
{
    auto object = std::make_unique<TLOArrangedImage>();
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(qRgb(0, 0, 255));
    object->ImageData().Picture().SetGraphic(TGraphic(TGraphicClass::gcBitmap, EncodeBmp24(picture)));
    object->SetBounds(rect);
    object->SetArrangeStyle(style);
    object->SetBaseWidth(base);
    object->SetBaseHeight(base);
    return object;
}

TEST(ArrangedPicture, WritesItsPropertiesAfterThePictureInTheirOrder)
{
    auto object = Arranged(asRectTile, {0, 0, 100, 100}, 10);
    QByteArray out;
    WriteObject(out, *object);
    qsizetype at = out.indexOf("ImageSource");
    for (const char* name : {"BaseWidth", "BaseHeight", "ArrangeStyle", "Transform", "Rotate", "Reverse", "TileRepeat"}) {
        const qsizetype next = out.indexOf(name, at);
        EXPECT_GT(next, at) << name;
        at = next;
    }
    TBoundedReader in(out);
    std::unique_ptr<TComponent> back = ReadObject(in);
    auto* read = dynamic_cast<TLOArrangedImage*>(back.get());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->ArrangeStyle(), asRectTile);
    EXPECT_EQ(read->BaseWidth(), 10);
}

TEST(ArrangedPicture, TilesCirclesAndFixedPlaces)
{
    auto tiles = Arranged(asRectTile, {0, 0, 105, 50}, 20);
    EXPECT_EQ(tiles->Copies().size(), 10u);  // 5 whole columns, 2 whole rows, centred
    EXPECT_DOUBLE_EQ(tiles->Copies()[0].centre.x(), 2.5 + 10);
    tiles->SetTileRepeat(true);
    EXPECT_EQ(tiles->Copies().size(), 18u);  // 6 columns, 3 rows, the last cut off

    auto ring = Arranged(asCirCircum, {0, 0, 200, 200}, 20);
    const auto copies = ring->Copies();
    EXPECT_EQ(copies.size(), 28u);  // floor(2π × 90 / 20)
    EXPECT_NEAR(copies[0].centre.x(), 100, 1e-9);
    EXPECT_NEAR(copies[0].centre.y(), 10, 1e-9);
    EXPECT_EQ(copies[1].angle, 0);
    ring->SetRotate(true);
    EXPECT_GT(ring->Copies()[1].angle, 0);  // turned clockwise to follow the circle
    ring->SetReverse(true);
    EXPECT_LT(ring->Copies()[1].centre.x(), 100);

    auto fixed = Arranged(asFixed, {0, 0, 100, 60}, 10);
    fixed->SetTransform(true);
    const auto places = fixed->Copies();
    ASSERT_EQ(places.size(), 5u);
    EXPECT_EQ(places[4].centre, QPointF(50, 30));
    EXPECT_TRUE(places[1].mirrored);
    EXPECT_FALSE(places[2].mirrored);
}

TEST(ArrangedPicture, ScatteredCopiesAreTheSameEveryTime)
{
    auto first = Arranged(asRectRandom, {0, 0, 300, 200}, 30);
    first->SetRotate(true);
    QByteArray out;
    WriteObject(out, *first);
    TBoundedReader in(out);
    std::unique_ptr<TComponent> back = ReadObject(in);
    const auto a = first->Copies(), b = dynamic_cast<TLOArrangedImage&>(*back).Copies();
    ASSERT_EQ(a.size(), 66u);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].centre, b[i].centre);
        EXPECT_EQ(a[i].angle, b[i].angle);
        EXPECT_TRUE(QRectF(0, 0, 300, 200).contains(a[i].centre));
    }
}

TEST(ArrangedPicture, PaintsItsCopiesInsideTheRectangleOnly)
{
    auto tiles = Arranged(asRectTile, {10, 10, 90, 50}, 20);
    QImage surface(100, 60, QImage::Format_RGB32);
    surface.fill(qRgb(255, 255, 255));
    TCanvas canvas(surface);
    tiles->SetTileRepeat(true);
    tiles->Paint(canvas);
    EXPECT_EQ(surface.pixel(20, 20), qRgb(0, 0, 255));
    EXPECT_EQ(surface.pixel(85, 45), qRgb(0, 0, 255));
    EXPECT_EQ(surface.pixel(95, 55), qRgb(255, 255, 255));

    auto circle = Arranged(asCirCircle, {0, 0, 60, 60}, 0);
    surface.fill(qRgb(255, 255, 255));
    circle->Paint(canvas);
    EXPECT_EQ(surface.pixel(30, 30), qRgb(0, 0, 255));
    EXPECT_EQ(surface.pixel(2, 2), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace kestrel
