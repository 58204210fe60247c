#include <gtest/gtest.h>

#include "paper/PaperInfo.h"
#include "document/stream/JsonCodec.h"
#include "paper/CatalogueJson.h"
#include "platform/Error.h"

namespace kestrel {
namespace {

TMatrixPaperInfo GridPaper()
{
    TMatrixPaperInfo paper;
    paper.SetPaperName("grid");
    paper.SetPortraitSize(2100, 2970);
    paper.SetFaceCountX(2);
    paper.SetFaceCountY(3);
    paper.SetFaceWidth(500);
    paper.SetFaceHeight(300);
    paper.SetLeftOffset(100);
    paper.SetTopOffset(200);
    paper.SetRightMargin(50);
    paper.SetBottomMargin(40);
    return paper;
}

TFaceItem& AddFace(TFreePaperInfo& paper, TSheetRect rect, TFaceShape shape, int margin = 0)
{
    TFaceItem& face = paper.Faces()->Add();
    face.SetRect(rect);
    face.SetFaceShape(shape);
    face.SetFaceMargin(margin);
    return face;
}

TEST(PaperGeometry, MatrixFacesRunRowByRow)
{
    const TMatrixPaperInfo paper = GridPaper();
    EXPECT_EQ(paper.GetFaceCount(), 6);
    EXPECT_EQ(paper.GetFaceRect(3), (TSheetRect{650, 540, 1150, 840}));
    EXPECT_EQ(paper.GetFaceRect(4), (TSheetRect{100, 880, 600, 1180}));
    EXPECT_THROW(paper.GetFaceRect(6), EKestrel);
    EXPECT_THROW(paper.GetFaceShape(-1), EKestrel);
}

TEST(PaperGeometry, LandscapeTurnsFacesAndSwapsHoleSizes)
{
    TMatrixPaperInfo paper = GridPaper();
    paper.SetFaceShape(fsDoughnut);
    paper.SetFaceMargin(10);
    paper.SetCutCenterWidth(300);
    paper.SetCutCenterHeight(200);
    paper.SetLandscape(true);
    EXPECT_EQ(paper.Width(), 2970);
    EXPECT_EQ(paper.Height(), 2100);
    // Face 0 is (100, 200, 600, 500) in portrait; the turn maps it to (T, W - R, B, W - L).
    EXPECT_EQ(paper.GetFaceOuterRect(0), (TSheetRect{190, 1490, 510, 2010}));
    TFaceGeometry face;
    paper.FillFaceInfo(0, face);
    EXPECT_EQ(face.rect, (TSheetRect{200, 1500, 500, 2000}));
    EXPECT_EQ(face.cutCenterWidth, 200);
    EXPECT_EQ(face.cutCenterHeight, 300);
    EXPECT_EQ(face.margin, 10);
}

std::vector<QByteArray> PropertyNames(const TClassInfo& info)
{
    std::vector<QByteArray> names;
    for (const TPropInfo& p : info.Properties()) names.push_back(p.name);
    return names;
}

TEST(PaperGeometry, PublishedPropertiesKeepTheirStreamOrder)
{
    const std::vector<QByteArray> base{"Tag", "Landscape", "Width", "Height", "PaperName", "GroupName", "ReadOnly", "PurposeList"};
    std::vector<QByteArray> matrix = base;
    for (const char* name : {"TopOffset", "LeftOffset", "BottomMargin", "RightMargin", "FaceWidth", "FaceHeight",
                             "FaceCountX", "FaceCountY", "FaceShape", "FacePurpose", "FaceMargin", "RoundSize",
                             "CenterShape", "CutCenterWidth", "CutCenterHeight"})
        matrix.push_back(name);
    EXPECT_EQ(PropertyNames(TMatrixPaperInfo::StaticClass()), matrix);
    std::vector<QByteArray> free = base;
    free.push_back("Faces");
    EXPECT_EQ(PropertyNames(TFreePaperInfo::StaticClass()), free);
    EXPECT_EQ(PropertyNames(TFaceItem::StaticClass()),
              (std::vector<QByteArray>{"Left", "Top", "Width", "Height", "FaceMargin", "FaceShape", "FacePurpose",
                                       "RoundSize", "CenterShape", "CutCenterWidth", "CutCenterHeight"}));
    EXPECT_EQ(PropertyNames(TPurposeInfo::StaticClass()), (std::vector<QByteArray>{"ID", "DisplayName", "ShapeMask"}));
    // None of the base paper properties has a default: all of them are always written.
    for (const TPropInfo& p : TPaperInfo::StaticClass().Properties()) {
        if (!p.IsOrdinal() || p.name == "Tag") continue;
        EXPECT_FALSE(p.OrdinalDefault().has_value()) << p.name.constData();
    }
}

TEST(PaperGeometry, LandscapeBeforeTheSizeSetsThePortraitSizeTurned)
{
    // The reader applies properties in stream order: Landscape, then Width and Height.
    TMatrixPaperInfo paper;
    TMatrixPaperInfo::StaticClass().FindProperty("Landscape")->SetOrdinal(paper, 1);
    TMatrixPaperInfo::StaticClass().FindProperty("Width")->SetOrdinal(paper, 1000);
    TMatrixPaperInfo::StaticClass().FindProperty("Height")->SetOrdinal(paper, 2000);
    EXPECT_EQ(paper.PortraitWidth(), 2000);
    EXPECT_EQ(paper.PortraitHeight(), 1000);
}

TEST(PaperGeometry, HoleIsCentredWithTruncatedHalvesAndShrunkByTheBleed)
{
    TFaceGeometry face;
    face.rect = {0, 0, 1171, 1170};
    face.margin = 15;
    face.cutCenterWidth = face.cutCenterHeight = 410;
    EXPECT_EQ(face.HoleRect(), (TSheetRect{380, 380, 790, 790}));
    EXPECT_EQ(face.PrintedHoleRect(), (TSheetRect{395, 395, 775, 775}));
    EXPECT_EQ(face.OuterRect(), (TSheetRect{-15, -15, 1186, 1185}));
}

TEST(PaperGeometry, WideBarrelHasStraightEdgesAtTheRoundedHalfChord)
{
    const QPolygon barrel = BarrelOutline({0, 0, 800, 600});
    // f = sqrt(400^2 - 300^2) = 264.575...; cx = 400: straight edges from 135 to 665.
    ASSERT_GE(barrel.size(), 4);
    EXPECT_EQ(barrel.first(), QPoint(135, 600));
    EXPECT_TRUE(barrel.contains(QPoint(135, 0)));
    const int topLeft = barrel.indexOf(QPoint(135, 0));
    EXPECT_EQ(barrel[topLeft + 1], QPoint(665, 0));
    EXPECT_EQ(barrel.last(), QPoint(665, 600));
    const QRect bounds = barrel.boundingRect();
    EXPECT_EQ(bounds.left(), 0);
    EXPECT_EQ(bounds.right(), 800);
    EXPECT_EQ(bounds.top(), 0);
    EXPECT_EQ(bounds.bottom(), 600);
    // The arcs are pieces of the circle of diameter 800 around the centre.
    for (const QPoint& p : barrel) EXPECT_NEAR(std::hypot(p.x() - 400.0, p.y() - 300.0), 400.0, 1.5) << p.x() << "," << p.y();
}

TEST(PaperGeometry, TallBarrelFlattensTheSides)
{
    const QPolygon barrel = BarrelOutline({100, 100, 700, 900});
    // a = 600 <= b = 800: cx = 400, cy = 500, y1 = 500 - 265, y2 = 500 + 265.
    EXPECT_EQ(barrel.first(), QPoint(100, 235));
    const int rightTop = barrel.indexOf(QPoint(700, 235));
    ASSERT_GT(rightTop, 0);
    EXPECT_EQ(barrel[rightTop + 1], QPoint(700, 765));
    EXPECT_EQ(barrel.last(), QPoint(100, 765));
    EXPECT_EQ(barrel.boundingRect(), QRect(QPoint(100, 100), QPoint(700, 900)));
}

TEST(PaperGeometry, HoleShapesCutTheFaceRegion)
{
    TFaceGeometry disc;
    disc.rect = {0, 0, 1000, 1000};
    disc.shape = fsDoughnut;
    EXPECT_TRUE(FaceRegion(disc, false).contains(QPoint(500, 500)));
    EXPECT_FALSE(FaceRegion(disc, true).contains(QPoint(500, 500)));
    EXPECT_FALSE(FaceRegion(disc, true).contains(QPoint(20, 20)));  // outside the circle
    disc.shape = fsRectCD;
    disc.roundSize = 100;
    EXPECT_TRUE(FaceRegion(disc, true).contains(QPoint(20, 500)));
    EXPECT_FALSE(FaceRegion(disc, true).contains(QPoint(2, 2)));  // rounded corner
    disc.shape = fsEllipse;
    EXPECT_TRUE(FaceRegion(disc, true).contains(QPoint(500, 500)));  // no hole
    EXPECT_TRUE(PrintedHolePath(disc).isEmpty());
}

TEST(PaperGeometry, FaceOutsideThePaperCountsItsMargin)
{
    TFreePaperInfo paper;
    paper.SetPortraitSize(1000, 1000);
    AddFace(paper, {0, 0, 500, 500}, fsRect);
    EXPECT_EQ(paper.FirstFaceOutsidePaper(), -1);
    AddFace(paper, {500, 500, 1000, 1000}, fsRect, 1);
    EXPECT_EQ(paper.FirstFaceOutsidePaper(), 1);
}

TEST(PaperGeometry, OverlapUsesTheOutlineWithItsMargin)
{
    TFreePaperInfo paper;
    paper.SetPortraitSize(3000, 3000);
    AddFace(paper, {0, 0, 1000, 1000}, fsEllipse);
    AddFace(paper, {0, 1000, 1000, 2000}, fsRect);        // shares an edge with the first box
    AddFace(paper, {880, -880, 1880, 120}, fsDoughnut);   // the boxes overlap, the circles do not
    EXPECT_EQ(paper.FirstOverlappingFace(), -1);
    paper.Faces()->Item(1).SetFaceMargin(5);  // the bleed reaches into the ellipse
    EXPECT_EQ(paper.FirstOverlappingFace(), 1);
}

TEST(PaperGeometry, HolePropertiesAreStoredOnlyWhenWidthAndHeightDiffer)
{
    TMatrixPaperInfo paper;
    const TPropInfo* width = TMatrixPaperInfo::StaticClass().FindProperty("CutCenterWidth");
    const TPropInfo* height = TMatrixPaperInfo::StaticClass().FindProperty("CutCenterHeight");
    ASSERT_TRUE(width && height);
    EXPECT_EQ(width->OrdinalDefault(), 410);
    EXPECT_FALSE(width->IsStoredFor(paper));
    EXPECT_FALSE(paper.CutCenterRecord());

    paper.SetCutCenterWidth(300);
    paper.SetCutCenterHeight(300);
    EXPECT_FALSE(width->IsStoredFor(paper));
    EXPECT_FALSE(height->IsStoredFor(paper));
    EXPECT_EQ(paper.CutCenterRecord(), 300);

    paper.SetCutCenterHeight(200);
    EXPECT_TRUE(width->IsStoredFor(paper));
    EXPECT_TRUE(height->IsStoredFor(paper));
    EXPECT_FALSE(paper.CutCenterRecord());

    paper.ReadCutCenter(0);
    EXPECT_EQ(paper.CutCenterWidth(), 410);
    EXPECT_EQ(paper.CutCenterHeight(), 410);

    // The same rules hold for free face items.
    TFaceItem item;
    item.SetCutCenterWidth(300);
    EXPECT_TRUE(TFaceItem::StaticClass().FindProperty("CutCenterHeight")->IsStoredFor(item));
}

TEST(PaperGeometry, HoleRecordsTravelThroughTheJsonCodec)
{
    const TJsonComponentCodec codec = CatalogueJsonCodec();
    TMatrixPaperInfo paper = GridPaper();
    paper.SetCutCenterWidth(300);
    paper.SetCutCenterHeight(300);
    QJsonObject props = ObjectToJson(paper).value("properties").toObject();
    EXPECT_EQ(props.value("CutCenter").toInt(), 300);
    EXPECT_FALSE(props.contains("CutCenterWidth"));
    EXPECT_FALSE(props.contains("RoundSize"));  // default
    EXPECT_FALSE(props.contains("PurposeList"));  // only while the catalogue stores the paper

    paper.SetCutCenterHeight(200);
    QJsonObject json = ObjectToJson(paper);
    props = json.value("properties").toObject();
    EXPECT_FALSE(props.contains("CutCenter"));
    auto back = codec.FromJson(json);
    auto& read = dynamic_cast<TMatrixPaperInfo&>(*back);
    EXPECT_EQ(read.CutCenterWidth(), 300);
    EXPECT_EQ(read.CutCenterHeight(), 200);
    EXPECT_EQ(read.GetFaceRect(3), paper.GetFaceRect(3));

    // The records are the class's own: an older "FaceType" is read, a key nobody knows is not.
    const auto withProperty = [&](const char* key, const QJsonValue& value) {
        QJsonObject changed = props;
        changed.insert(key, value);
        QJsonObject object = json;
        object.insert("properties", changed);
        return object;
    };
    EXPECT_EQ(dynamic_cast<TMatrixPaperInfo&>(*codec.FromJson(withProperty("FaceType", 6))).FaceShape(), fsEllipse);
    EXPECT_THROW(codec.FromJson(withProperty("CutCentre", 300)), EReadError);
    EXPECT_THROW(codec.FromJson(withProperty("CutCenter", "wide")), EReadError);
}

TEST(PaperGeometry, LegacyFaceTypeSetsShapeAndPurpose)
{
    TFaceItem item;
    const std::pair<int, std::pair<TFaceShape, QString>> cases[] = {
        {0, {fsRect, ""}},        {1, {fsDoughnut, "CD"}},  {2, {fsRect, "CDCover"}}, {3, {fsRect, "CDCaseTray"}},
        {4, {fsRect, "MOSquare"}}, {5, {fsRect, "MOSquare"}}, {6, {fsEllipse, ""}},     {7, {fsRoundRect, ""}},
        {8, {fsRect, ""}},        {-3, {fsRect, ""}},
    };
    for (const auto& [type, expected] : cases) {
        item.ReadFaceType(type);
        EXPECT_EQ(item.FaceShape(), expected.first) << type;
        EXPECT_EQ(item.FacePurpose(), expected.second) << type;
    }
}

TEST(PaperGeometry, LayoutValuesFromFilesAreRangeChecked)
{
    TMatrixPaperInfo paper = GridPaper();
    paper.SetFaceShape(fsDoughnut);
    EXPECT_NO_THROW(paper.CheckLayout());
    paper.SetFaceCountX(100);
    EXPECT_THROW(paper.CheckLayout(), EReadError);
    paper.SetFaceCountX(2);
    paper.SetFaceWidth(-5);
    try {
        paper.CheckLayout();
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_TRUE(e.Message().contains("FaceWidth"));
        EXPECT_TRUE(e.Message().contains("grid"));
    }
    TFreePaperInfo free;
    free.SetPortraitSize(1000, 1000);
    AddFace(free, {0, 0, 100, 100}, fsRect).SetCutCenterWidth(20000);
    EXPECT_THROW(free.CheckLayout(), EReadError);
}

TEST(PaperGeometry, FaceItemSettersMoveOrResize)
{
    TFaceItem item;
    item.SetRect({10, 20, 110, 220});
    item.SetLeft(50);
    EXPECT_EQ(item.Rect(), (TSheetRect{50, 20, 150, 220}));
    item.SetHeight(50);
    EXPECT_EQ(item.Rect(), (TSheetRect{50, 20, 150, 70}));
}

TEST(PaperGeometry, CloneKeepsClassAndLayout)
{
    TFreePaperInfo paper;
    paper.SetPaperName("free");
    paper.SetPortraitSize(1000, 800);
    AddFace(paper, {0, 0, 100, 100}, fsBarrelCD).SetCenterShape(csBarrel);
    const auto copy = paper.Clone();
    ASSERT_TRUE(dynamic_cast<TFreePaperInfo*>(copy.get()));
    EXPECT_EQ(copy->GetFaceCount(), 1);
    EXPECT_EQ(copy->GetCenterShape(0), csBarrel);
    EXPECT_EQ(copy->PortraitHeight(), 800);
}

}  // namespace
}  // namespace kestrel
