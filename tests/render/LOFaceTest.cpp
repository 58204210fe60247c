#include "render/LOFace.h"

#include <gtest/gtest.h>

#include <QImage>

#include "paper/PaperInfo.h"
#include "platform/Canvas.h"
#include "render/DrawSiteFixtures.h"
#include "render/PaperSite.h"

namespace kestrel {
namespace {

// Two disc labels side by side: outer rectangles (80, 80)-(1320, 1320) and (1380, 80)-(2620, 1320).
TMatrixPaperInfo TwoDiscs()
{
    TMatrixPaperInfo paper;
    paper.SetPortraitSize(2800, 1500);
    paper.SetFaceCountX(2);
    paper.SetFaceCountY(1);
    paper.SetFaceWidth(1200);
    paper.SetFaceHeight(1200);
    paper.SetLeftOffset(100);
    paper.SetTopOffset(100);
    paper.SetRightMargin(100);
    paper.SetFaceMargin(20);
    paper.SetFaceShape(fsDoughnut);
    paper.SetFacePurpose(QStringLiteral("CD"));
    return paper;
}

// Three spine strips side by side, each narrower than its number at the usual size.
TMatrixPaperInfo ThreeSpines()
{
    TMatrixPaperInfo paper;
    paper.SetPortraitSize(200, 800);
    paper.SetFaceCountX(3);
    paper.SetFaceCountY(1);
    paper.SetFaceWidth(20);
    paper.SetFaceHeight(600);
    paper.SetLeftOffset(50);
    paper.SetTopOffset(100);
    paper.SetFaceMargin(0);
    return paper;
}

class LOFaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::SetUpDocumentSite(site, 2800, 1500);
        editing.Attach(site);
    }

    void Create(bool singleSelection, const TFaceFactory& factory = {}, bool editable = false)
    {
        CreateFaces(site, TwoDiscs(), singleSelection, factory, editable);
        for (int i = 0; i < FaceCount(site); ++i)
            FaceAt(site, i)->SetOnSelectChange([this](TLOFace& face) { changes.push_back(FaceIndex(face)); });
    }
    void Click(int x, int y, TMouseButton button = TMouseButton::mbLeft)
    {
        const QPoint device = site.LogToDev(QPoint(x, y));
        site.MouseDown({device, button});
        site.MouseUp({device, button});
    }
    bool Selected(int i) const { return FaceAt(site, i)->FaceSelected(); }

    test::TRecordingSession editing;
    TDrawSite site;
    std::vector<int> changes;
};

TEST_F(LOFaceTest, CreatedFacesTakeThePaperGeometryAndCountOnlyFaces)
{
    test::AddRect(site, {0, 0, 10, 10});
    Create(true, [] { return std::make_unique<TLOFaceForSheet>(); });
    ASSERT_EQ(FaceCount(site), 2);
    TLOFace* second = FaceAt(site, 1);
    EXPECT_NE(dynamic_cast<TLOFaceForSheet*>(second), nullptr);
    EXPECT_EQ(second->GetBounds(), (TRect{1380, 80, 2620, 1320}));
    EXPECT_EQ(second->Face().purpose, QStringLiteral("CD"));
    EXPECT_EQ(FaceIndex(*second), 1);
    EXPECT_EQ(FaceAt(site, 2), nullptr);
    EXPECT_EQ(SelectedFace(site), nullptr);

    // Placed and not editable: neither the record nor the bounds change.
    second->SetBounds({0, 0, 100, 100});
    TFaceInfo other = second->Face();
    other.rect = {0, 0, 50, 50};
    second->SetFace(other);
    EXPECT_EQ(second->GetBounds(), (TRect{1380, 80, 2620, 1320}));
    EXPECT_FALSE(second->Movable());
}

TEST_F(LOFaceTest, NumbersCountFromOneNameTheFaceAndStayInsideIt)
{
    Create(true);
    EXPECT_EQ(FaceAt(site, 0)->NumberLabel(), QStringLiteral("1 ディスク"));
    EXPECT_EQ(FaceAt(site, 1)->NumberLabel(), QStringLiteral("2 ディスク"));

    TDrawSite spines;
    test::SetUpDocumentSite(spines, 200, 800);
    CreateFaces(spines, ThreeSpines(), false);
    std::vector<TRect> labels;
    for (int i = 0; i < FaceCount(spines); ++i) {
        TLOFace& face = *FaceAt(spines, i);
        face.SetShowNumber(true);
        EXPECT_EQ(face.NumberLabel(), QStringLiteral("%1 背").arg(i + 1));
        QImage image(200, 800, QImage::Format_RGB32);
        image.fill(Qt::white);
        TCanvas canvas(image);
        labels.push_back(face.NumberBounds(canvas));
        EXPECT_FALSE(labels.back().IsEmpty());
        face.Paint(canvas);
        // Every bluish (number) pixel lies on the face itself.
        const TRect own = face.GetBounds();
        int blue = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (const QRgb pixel = image.pixel(x, y); qBlue(pixel) > qRed(pixel) + 40) {
                    ++blue;
                    EXPECT_TRUE(own.Contains({x, y})) << "face " << i << " at " << x << "," << y;
                }
        EXPECT_GT(blue, 0) << "face " << i;
    }
    for (size_t a = 0; a < labels.size(); ++a)
        for (size_t b = a + 1; b < labels.size(); ++b) EXPECT_FALSE(labels[a].Intersects(labels[b])) << a << " " << b;
}

TEST_F(LOFaceTest, SingleSelectionClicksKeepOneFaceSelected)
{
    Create(true);
    Click(700, 300);
    EXPECT_TRUE(Selected(0));
    Click(2000, 300);
    EXPECT_FALSE(Selected(0));
    EXPECT_TRUE(Selected(1));
    Click(2000, 300);  // clicking never deselects
    EXPECT_TRUE(Selected(1));
    Click(700, 700);  // the hole still hits the face
    EXPECT_TRUE(Selected(0));
    EXPECT_EQ(changes, (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(SelectedFace(site), FaceAt(site, 0));
    SelectFace(site, 1);
    EXPECT_FALSE(Selected(0));
}

TEST_F(LOFaceTest, WithoutSingleSelectionClicksToggleEachFace)
{
    Create(false);
    Click(700, 300);
    Click(2000, 300);
    EXPECT_TRUE(Selected(0) && Selected(1));
    Click(700, 300);
    EXPECT_FALSE(Selected(0));
    Click(700, 300, TMouseButton::mbRight);
    EXPECT_FALSE(Selected(0));
    Click(90, 90);  // the corner outside the disc is no part of the face
    EXPECT_FALSE(Selected(0));
    EXPECT_EQ(changes, (std::vector<int>{0, 1, 0}));
}

TEST(PaperSite, AFaceClickIsToldWhenTheButtonIsReleased)
{
    TPaperSite site;
    const TMatrixPaperInfo paper = TwoDiscs();
    site.ShowPaper(&paper);
    std::vector<int> clicks;
    site.OnFaceClick = [&](TPaperSite& clicked) { clicks.push_back(clicked.SelectedFace()); };
    const QPoint second = site.LogToDev(QPoint(2000, 300));
    site.MouseDown({second, TMouseButton::mbLeft});
    EXPECT_TRUE(clicks.empty()) << "not while the button is down";
    site.MouseUp({second, TMouseButton::mbLeft});
    EXPECT_EQ(clicks, std::vector<int>{1});
    const QPoint outside = site.LogToDev(QPoint(90, 90));
    site.MouseDown({outside, TMouseButton::mbLeft});
    site.MouseUp({outside, TMouseButton::mbLeft});
    EXPECT_EQ(clicks, std::vector<int>{1}) << "no face there";
}

TEST_F(LOFaceTest, EditableFacesResizeTheirRecord)
{
    Create(false, {}, true);
    TLOFace& face = *FaceAt(site, 0);
    EXPECT_TRUE(face.Movable());
    face.SetSize(1000, 500);
    EXPECT_EQ(face.GetBounds(), (TRect{80, 80, 1080, 580}));
    EXPECT_EQ(face.Face().rect, (TSheetRect{100, 100, 1060, 560}));
}

// A disc face painted at one device pixel per unit: outer (0, 0)-(420, 420), printed hole 80 wide.
struct TPaintedFace {
    QImage image{420, 420, QImage::Format_RGB32};
    TFaceInfo info;
    TPaintedFace()
    {
        image.fill(ToQColor(clGray));
        info.rect = {10, 10, 410, 410};
        info.margin = 10;
        info.shape = fsDoughnut;
        info.SetHoleSize(100);
    }
    TColor Paint(TLOFace& face, QPoint probe)
    {
        face.SetFace(info);
        TCanvas canvas(image);
        face.Paint(canvas);
        return canvas.Pixel(probe);
    }
};

TEST(LOFacePainting, SelectionFillsWithTheHighlightColour)
{
    TLOFace face;
    EXPECT_EQ(TPaintedFace().Paint(face, {210, 60}), clWhite);
    face.SetFaceSelected(true);
    TPaintedFace selected;
    EXPECT_EQ(selected.Paint(face, {210, 60}), TLOFace::DefaultHighlightColor);
    EXPECT_EQ(FromQColor(selected.image.pixelColor(2, 2)), clGray);  // outside the disc
}

TEST(LOFacePainting, PreviewsShowInsideTheShapeOnly)
{
    QImage red(10, 10, QImage::Format_RGB32);
    red.fill(Qt::red);
    int fetched = 0;
    TLOFaceWithPreview face;
    face.SetPreviewSource([&](const TLOFaceWithPreview&) { return ++fetched, red; });
    TPaintedFace painted;
    EXPECT_EQ(painted.Paint(face, {210, 60}), clRed);
    EXPECT_NE(FromQColor(painted.image.pixelColor(210, 210)), clRed);  // printed hole
    EXPECT_EQ(FromQColor(painted.image.pixelColor(2, 2)), clGray);
    TPaintedFace().Paint(face, {210, 60});
    EXPECT_EQ(fetched, 1);

    TLOFaceForPrintPaper print;
    print.SetPreview(red);
    EXPECT_EQ(TPaintedFace().Paint(print, {210, 60}), clWhite);
    print.SetFaceSelected(true);
    TPaintedFace chosen;
    EXPECT_EQ(chosen.Paint(print, {210, 60}), clRed);
    EXPECT_EQ(FromQColor(chosen.image.pixelColor(210, 1)), clBlue);  // the frame inside the edge
}

}  // namespace
}  // namespace kestrel
