// Shapes shown again from their kept pixels look exactly as if painted anew, and a change shows.

#include <gtest/gtest.h>

#include "ShapeFixtures.h"
#include "objects/LOLine.h"
#include "objects/LORect.h"

namespace kestrel {
namespace {

QImage ShownBySite(TDrawSite& site)
{
    QImage image(site.ElementSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(image);
    site.Paint(canvas, {0, 0, image.width(), image.height()});
    return image;
}

TEST(AppearanceCache, KeptPixelsMatchPaintingAnewAndFollowChanges)
{
    test::TShapeSite shapes(600, 600, 96);
    TDrawSite& site = shapes.Site();
    site.SetColor(clWhite);
    auto rect = std::make_unique<TLORect>();
    rect->SetBounds({100, 80, 420, 300});
    rect->SetFrameWidth(30);
    rect->SetRoundRect(true);
    rect->SetAngle(15);
    rect->SetFillInside(true);
    rect->FillColor().SetColor(0x00CC8844);
    rect->FrameColor().SetKind(cskGradation);
    TLORect& shownRect = shapes.Add(std::move(rect));
    auto curve = std::make_unique<TLOCurve>();
    curve->SetStartPoint({50, 500});
    curve->SetEndPoint({550, 420});
    curve->SetBulge(-90);
    curve->SetLineWidth(12);
    TLOCurve& shownCurve = shapes.Add(std::move(curve));

    const QImage first = ShownBySite(site);
    EXPECT_EQ(ShownBySite(site), first) << "shown again from the kept pixels";
    QImage anew(first.size(), QImage::Format_RGB32);
    anew.fill(Qt::white);
    {
        TCanvas canvas(anew);
        site.ApplyMapping(canvas);
        shownRect.Paint(canvas);
        shownCurve.Paint(canvas);
    }
    EXPECT_EQ(first, anew);

    const QPoint fill = site.LogToDev(QPoint(260, 190));
    shownRect.FillColor().SetColor(0x000000FF);
    EXPECT_EQ(ShownBySite(site).pixel(fill), qRgb(255, 0, 0)) << "a new fill drops the kept pixels";
    shownRect.MoveBy(40, 0);
    EXPECT_NE(ShownBySite(site), first);
}

}  // namespace
}  // namespace kestrel
