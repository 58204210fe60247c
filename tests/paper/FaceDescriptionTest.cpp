#include "paper/FaceDescription.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TFaceGeometry Face(const QString& purpose, TSheetRect rect)
{
    TFaceGeometry face;
    face.purpose = purpose;
    face.rect = rect;
    return face;
}

TEST(FaceDescription, FacesAreNamedByWhatTheyAreFor)
{
    EXPECT_EQ(FaceDescription(Face("CD", {465, 150, 1635, 1320}), 0), "面1 ディスク 117.0×117.0mm");
    EXPECT_EQ(FaceDescription(Face("cdcover", {450, 1500, 1650, 2700}), 1), "面2 ジャケット表 120.0×120.0mm");
    EXPECT_EQ(FaceKindName(Face("CDCaseTray", {360, 200, 1740, 1380})), "インレイ");
    // Strips without a purpose are spines, whichever way they lie; other faces are plain labels.
    EXPECT_EQ(FaceDescription(Face("", {295, 200, 360, 1380}), 2), "面3 背 6.5×118.0mm");
    EXPECT_EQ(FaceKindName(Face("", {450, 1460, 1650, 1510})), "背");
    EXPECT_EQ(FaceKindName(Face("", {0, 0, 600, 600})), "ラベル");
    EXPECT_EQ(FaceKindName(Face("", {0, 0, 200, 600})), "ラベル") << "a third as wide is no spine";
    EXPECT_EQ(FaceKindName(Face("Sticker", {0, 0, 600, 600})), "Sticker") << "an unknown purpose keeps its name";
}

TEST(FaceDescription, ArrowsStepToTheNearestFaceThatWay)
{
    // Two columns of three discs, and a spine to the right of the top row.
    const std::vector<TSheetRect> faces = {
        {0, 0, 100, 100},     {200, 0, 300, 100},   {0, 200, 100, 300}, {200, 200, 300, 300},
        {0, 400, 100, 500},   {200, 400, 300, 500}, {350, 0, 360, 400},
    };
    EXPECT_EQ(NeighbourFace(faces, 0, TFaceDirection::Right), 1);
    EXPECT_EQ(NeighbourFace(faces, 0, TFaceDirection::Down), 2);
    EXPECT_EQ(NeighbourFace(faces, 3, TFaceDirection::Up), 1);
    EXPECT_EQ(NeighbourFace(faces, 3, TFaceDirection::Left), 2);
    EXPECT_EQ(NeighbourFace(faces, 1, TFaceDirection::Right), 6);
    EXPECT_EQ(NeighbourFace(faces, 5, TFaceDirection::Down), 5) << "nothing further down";
    EXPECT_EQ(NeighbourFace(faces, 0, TFaceDirection::Left), 0);
    EXPECT_EQ(NeighbourFace(faces, -1, TFaceDirection::Left), -1);
}

}  // namespace
}  // namespace kestrel
