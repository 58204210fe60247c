#include "paper/FaceShape.h"

namespace kestrel {

const TEnumInfo& FaceShapeInfo()
{
    static const TEnumInfo info{"TFaceShape", {"fsRect", "fsDoughnut", "fsEllipse", "fsRoundRect", "fsRectCD", "fsBarrelCD"}};
    return info;
}

const TEnumInfo& CenterShapeInfo()
{
    static const TEnumInfo info{"TCenterShape", {"csEllipse", "csBarrel"}};
    return info;
}

QStringList FaceShapeDisplayNames()
{
    return QStringLiteral("角ラベル,CDラベル,丸ラベル,角丸ラベル,名刺CDラベル,樽CDラベル").split(u',');
}

}  // namespace kestrel
