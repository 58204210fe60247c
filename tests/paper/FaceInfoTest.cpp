#include "paper/FaceInfo.h"

#include <gtest/gtest.h>

#include <QImage>

#include "platform/Canvas.h"

namespace kestrel {
namespace {

// A disc label 1200 wide with a 20 bleed: outer rectangle 1240 square, centre (620, 620) at origin.
TFaceInfo Disc(int margin = 20)
{
    TFaceInfo face;
    face.rect = {500, 300, 1700, 1500};
    face.margin = margin;
    face.shape = fsDoughnut;
    face.purpose = QStringLiteral("CD");
    return face;
}

struct TWhiteSurface {
    QImage image;
    std::unique_ptr<TCanvas> canvas;
    explicit TWhiteSurface(QSize size) : image(size, QImage::Format_RGB32)
    {
        image.fill(Qt::white);
        canvas = std::make_unique<TCanvas>(image);
        canvas->SetBrush({clWhite, TBrushStyle::bsClear});
    }
    bool IsWhite(int x, int y) const { return image.pixel(x, y) == QColor(Qt::white).rgb(); }
    int PaintedCount() const
    {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) count += !IsWhite(x, y);
        return count;
    }
    // Distance from x to the nearest painted pixel on row y, walking left from x.
    int PaintedLeftOf(int x, int y) const
    {
        for (int d = 0; d <= x; ++d)
            if (!IsWhite(x - d, y)) return d;
        return -1;
    }
};

TEST(FaceInfo, PrintedHoleShrinksByTheBleedButTheCutLineKeepsTheRealHole)
{
    const TFaceInfo face = Disc();
    TWhiteSurface drawn({1240, 1240});
    face.DrawHole(*drawn.canvas, true);
    EXPECT_NEAR(drawn.PaintedLeftOf(620, 620), 185, 1);  // 370 wide

    TWhiteSurface cut({1240, 1240});
    face.DrawCutLine(*cut.canvas, true);
    EXPECT_NEAR(cut.PaintedLeftOf(620, 620), 205, 1);      // 410 wide
    EXPECT_NEAR(cut.PaintedLeftOf(220, 620), 200, 1);  // the outline in F, 20 inside O
    EXPECT_TRUE(cut.IsWhite(10, 620));

    TWhiteSurface none({1240, 1240});
    Disc(0).DrawCutLine(*none.canvas, true);
    EXPECT_EQ(none.PaintedCount(), 0);
}

TEST(FaceInfo, DrawFaceWithCrossMarksTheHoleCentre)
{
    TWhiteSurface surface({1240, 1240});
    Disc().DrawFace(*surface.canvas, true, true);
    EXPECT_FALSE(surface.IsWhite(620, 620 - 40));
    EXPECT_FALSE(surface.IsWhite(620 + 40, 620));
    EXPECT_TRUE(surface.IsWhite(620 + 40, 620 + 40));
    EXPECT_TRUE(surface.IsWhite(620, 620 - 60));
}

TEST(FaceInfo, DrawFaceFillsTheFaceButNeverItsHole)
{
    TWhiteSurface surface({1240, 1240});
    surface.canvas->SetBrush({clRed, TBrushStyle::bsSolid});
    Disc().DrawFace(*surface.canvas, true, false);
    EXPECT_FALSE(surface.IsWhite(620 + 400, 620));  // the label's body
    EXPECT_TRUE(surface.IsWhite(620 + 100, 620));   // the hole (205 wide, less the bleed)
    EXPECT_TRUE(surface.IsWhite(620, 620));
}

TEST(FaceInfo, RegionHitsTheHoleOnlyWithoutIt)
{
    const TFaceInfo face = Disc();
    EXPECT_TRUE(face.Region(nullptr, false).Contains({1100, 900}));
    EXPECT_FALSE(face.Region(nullptr, true).Contains({1100, 900}));
    EXPECT_TRUE(face.Region(nullptr, true).Contains({1100, 500}));
    EXPECT_FALSE(face.Region(nullptr, false).Contains({490, 290}));  // outside the circle

    // A bleed wider than half the hole leaves no printed hole at all.
    TFaceInfo wide = Disc(300);
    EXPECT_TRUE(wide.Region(nullptr, true).Contains({1100, 900}));
    wide.centerShape = csBarrel;
    EXPECT_TRUE(wide.Region(nullptr, true).Contains({1100, 900}));

    // Device units of a surface at half size.
    TWhiteSurface surface({1000, 1000});
    surface.canvas->SetWindowExt({2, 2});
    const TRegion device = face.Region(surface.canvas.get(), true);
    EXPECT_EQ(device.Bounds(), (TRect{240, 140, 860, 760}));
    EXPECT_FALSE(device.Contains({550, 450}));
    EXPECT_TRUE(device.Contains({550, 250}));
}

TEST(FaceInfo, NewObjectsAreCentredWhereTheFacePrints)
{
    // The disc: outer rectangle from (0, 0), face from 20 to 1220, hole 410 wide from 415 to 825.
    EXPECT_EQ(Disc().NewObjectCentre(), QPoint(620, (20 + 415) / 2)) << "the ring above the hole";
    TFaceInfo card = Disc();
    card.shape = fsRoundRect;
    EXPECT_EQ(card.NewObjectCentre(), QPoint(620, 620));
}

TEST(FaceInfo, OuterRectAndFaceTypes)
{
    TFaceInfo face = Disc();
    face.SetOuterRect({0, 0, 1000, 800});
    EXPECT_EQ(face.rect, (TSheetRect{20, 20, 980, 780}));
    face.SetFromFaceType(9);
    EXPECT_EQ(face.shape, fsDoughnut);
    EXPECT_EQ(face.purpose, QStringLiteral("CD"));
    face.SetFromFaceType(3);
    EXPECT_EQ(face.shape, fsRect);
    EXPECT_EQ(face.purpose, QStringLiteral("CDCaseTray"));
    face.SetFromFaceType(7);
    EXPECT_TRUE(face.IsRounded());
    EXPECT_TRUE(face.purpose.isEmpty());
}

TEST(FaceInfo, PaintOutsideFaceFillsCornersAndHoleButNotTheLabel)
{
    TWhiteSurface surface({1240, 1240});
    surface.canvas->SetBrush({clRed, TBrushStyle::bsSolid});
    PaintOutsideFace(*surface.canvas, Disc());
    EXPECT_EQ(surface.canvas->Pixel({5, 5}), clRed);
    EXPECT_EQ(surface.canvas->Pixel({620, 620}), clRed);
    EXPECT_EQ(surface.canvas->Pixel({620 + 180, 620}), clRed);  // inside the 370 printed hole
    EXPECT_EQ(surface.canvas->Pixel({620 + 190, 620}), clWhite);
    EXPECT_EQ(surface.canvas->Pixel({620, 100}), clWhite);
    EXPECT_EQ(surface.canvas->Pixel({1200, 620}), clWhite);

    TWhiteSurface empty({100, 100});
    empty.canvas->SetBrush({clRed, TBrushStyle::bsSolid});
    TFaceInfo flat = Disc(0);
    flat.rect.right = flat.rect.left;
    PaintOutsideFace(*empty.canvas, flat);
    EXPECT_EQ(empty.canvas->Pixel({50, 50}), clWhite);
}

TEST(FaceInfo, PictureZoomFitsTheOuterRectangle)
{
    TFaceInfo face;
    face.rect = {0, 0, 1200, 600};
    QSize fitted;
    EXPECT_EQ(FacePictureZoom(face, {300, 300}, 100, 96, &fitted), 66);  // 300 * 100 * 254 / (1200 * 96)
    EXPECT_EQ(fitted, QSize(300, 150));
    EXPECT_EQ(FacePictureZoom(face, {400, 100}, 100, 96, &fitted), 44);  // the height binds: 200 wide
    EXPECT_EQ(fitted, QSize(200, 100));
    EXPECT_EQ(FacePictureZoom(face, {3000, 3000}, 100, 96), 100);
    EXPECT_EQ(FacePictureZoom(face, {10, 10}, -1, 96, &fitted), 100);
    EXPECT_EQ(fitted, QSize(454, 227));

    face.rect.right = 0;
    EXPECT_EQ(FacePictureZoom(face, {300, 300}, 100, 96, &fitted), 100);
    EXPECT_TRUE(fitted.isEmpty());
}

}  // namespace
}  // namespace kestrel
