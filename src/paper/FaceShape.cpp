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

std::optional<TFaceTypePreset> FaceTypePreset(int type)
{
    struct Entry {
        TFaceShape shape;
        const char16_t* purpose;
    };
    static const Entry table[] = {
        {fsRect, u""},         {fsDoughnut, u"CD"},    {fsRect, u"CDCover"}, {fsRect, u"CDCaseTray"},
        {fsRect, u"MOSquare"}, {fsRect, u"MOSquare"}, {fsEllipse, u""},     {fsRoundRect, u""},
    };
    if (type < 0 || type >= int(std::size(table))) return std::nullopt;
    return TFaceTypePreset{table[type].shape, QString::fromUtf16(table[type].purpose)};
}

}  // namespace kestrel
