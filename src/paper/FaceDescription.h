#pragma once

// How a face is named to the user: what it is for, in words, and its size.

#include <QString>
#include <vector>

#include "paper/FaceGeometry.h"

namespace kestrel {

// "ディスク", "ジャケット表", "インレイ", "背" ...: the face's purpose in words; a face without a
// purpose is a spine when it is a narrow strip, else a plain label.
QString FaceKindName(const TFaceGeometry& face);

// "面2 ジャケット表 120.0×120.0mm" for face index (counted from 0) of its sheet.
QString FaceDescription(const TFaceGeometry& face, int index);

enum class TFaceDirection { Left, Right, Up, Down };

// The face a step in direction leads to from face from: the nearest one whose centre lies that
// way, distance across the direction counting double so that a step stays in its row or
// column; from itself when there is none that way.
int NeighbourFace(const std::vector<TSheetRect>& faces, int from, TFaceDirection direction);

}  // namespace kestrel
