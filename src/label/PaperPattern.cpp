#include "label/PaperPattern.h"

#include "document/Capabilities.h"
#include "document/DOList.h"
#include "document/DrawObject.h"
#include "label/LabelData.h"
#include "paper/PaperInfo.h"
#include "paper/PaperRecords.h"

namespace kestrel {

namespace {

std::vector<std::unique_ptr<TDrawObject>> CopyOf(const TDOList& list)
{
    QByteArray bytes;
    list.SaveToStream(bytes);
    TDOList copy;
    copy.LoadFromBytes(bytes);
    return copy.ReleaseAll();
}

// Rotation capable objects turn a quarter counter-clockwise; the remainder keeps the dividend's sign.
void TurnAngle(TDrawObject& object)
{
    if (auto* rotatable = dynamic_cast<IDORotate*>(&object))
        rotatable->SetAngle((rotatable->Angle() - 90) % 360);
}

// The pattern was designed on the upright paper: each object moves to where its face lies on the
// turned sheet and turns with it. Objects stand in sheet coordinates meanwhile.
void TurnForLandscape(IDOEncloseBounds& movable, const TSheetRect& a, const TSheetRect& b)
{
    const TRect o = movable.GetBounds();
    const int x = o.left + o.right, y = o.top + o.bottom;
    const int x2 = x - 2 * a.left + 2 * b.left, y2 = y - 2 * a.top + 2 * b.top;
    const int dx = (y2 - (b.top + b.bottom) + (a.left + a.right) - x + 1) / 2;
    const int dy = ((a.top + a.bottom) - (x2 - (b.left + b.right)) - y + 1) / 2;
    movable.MoveBy(dx, dy);
}

}  // namespace

std::vector<std::unique_ptr<TDrawObject>> FacePatternObjects(const TLabelData& document, int n)
{
    const TImagePaperInfo& images = document.ImageInfo();
    const size_t index = images.SeparatelyDesign() ? size_t(n) : 0;
    if (index >= images.Lists().size()) return {};
    std::vector<std::unique_ptr<TDrawObject>> objects = CopyOf(images.Lists()[index]);
    const TPaperInfo& paper = *document.EffectivePaper();
    if (paper.Landscape()) {
        const TSheetRect a = paper.GetFaceOuterRect(n);
        const std::unique_ptr<TPaperInfo> upright = paper.Clone();
        upright->SetLandscape(false);
        const TSheetRect b = upright->GetFaceOuterRect(n);
        for (auto& object : objects) {
            if (auto* movable = dynamic_cast<IDOEncloseBounds*>(object.get())) {
                movable->MoveBy(a.left, a.top);
                TurnForLandscape(*movable, a, b);
                movable->MoveBy(-a.left, -a.top);
            }
            TurnAngle(*object);
        }
    }
    for (auto& object : objects) object->SetLayerGroup(PatternLayerGroup);
    return objects;
}

}  // namespace kestrel
