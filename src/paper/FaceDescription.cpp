#include "paper/FaceDescription.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace kestrel {

namespace {

// A strip at most this wide (0.1 mm) and this many times as long is a case's spine.
constexpr int kSpineMaxWidth = 200;
constexpr int kSpineMinRatio = 5;

struct TPurposeName {
    const char* id;
    const char* name;
};

constexpr TPurposeName kPurposeNames[] = {
    {"CD", "ディスク"},
    {"CDCover", "ジャケット表"},
    {"CDCaseTray", "インレイ"},
    {"DVDCover", "DVDジャケット"},
    {"MOSquare", "スクエアラベル"},
};

bool IsSpine(const TSheetRect& rect)
{
    const int narrow = std::min(rect.Width(), rect.Height());
    const int longSide = std::max(rect.Width(), rect.Height());
    return narrow > 0 && narrow <= kSpineMaxWidth && longSide >= narrow * kSpineMinRatio;
}

QString Millimetres(int tenths)
{
    return QString::number(tenths / 10.0, 'f', 1);
}

}  // namespace

QString FaceKindName(const TFaceGeometry& face)
{
    for (const TPurposeName& known : kPurposeNames)
        if (face.purpose.compare(QLatin1String(known.id), Qt::CaseInsensitive) == 0) return QString::fromUtf8(known.name);
    if (face.purpose.isEmpty() && IsSpine(face.rect)) return QStringLiteral("背");
    return face.purpose.isEmpty() ? QStringLiteral("ラベル") : face.purpose;
}

QString FaceDescription(const TFaceGeometry& face, int index)
{
    return QStringLiteral("面%1 %2 %3×%4mm")
        .arg(index + 1)
        .arg(FaceKindName(face), Millimetres(face.rect.Width()), Millimetres(face.rect.Height()));
}

int NeighbourFace(const std::vector<TSheetRect>& faces, int from, TFaceDirection direction)
{
    if (from < 0 || from >= int(faces.size())) return from;
    const auto centre = [](const TSheetRect& r) { return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); };
    const QPoint start = centre(faces[from]);
    int best = from;
    int64_t bestCost = std::numeric_limits<int64_t>::max();
    for (int i = 0; i < int(faces.size()); ++i) {
        const QPoint d = centre(faces[i]) - start;
        const bool horizontal = direction == TFaceDirection::Left || direction == TFaceDirection::Right;
        const int along = horizontal ? d.x() : d.y();
        const int across = horizontal ? d.y() : d.x();
        const bool forward = direction == TFaceDirection::Right || direction == TFaceDirection::Down;
        if (i == from || (forward ? along <= 0 : along >= 0)) continue;
        const int64_t cost = int64_t(std::abs(along)) + 2 * int64_t(std::abs(across));
        if (cost < bestCost) {
            bestCost = cost;
            best = i;
        }
    }
    return best;
}

}  // namespace kestrel
