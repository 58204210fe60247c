#include "objects/ShapeKinds.h"

#include "document/DODesigner.h"
#include "objects/LOLine.h"
#include "objects/LORect.h"

namespace kestrel {

namespace {
constexpr int DefaultLineLength = 400;
constexpr int DefaultRectWidth = 400;
constexpr int DefaultRectHeight = 300;
constexpr int DefaultCircleSize = 300;

void PrepareLine(TDrawObject& object, TObjectSite&)
{
    if (auto* line = dynamic_cast<TLOLine*>(&object)) line->SetEndPoint({DefaultLineLength, 0});
}

// White inside, so that ticking the fill shows a white shape rather than a black one.
void PrepareFrame(TDrawObject& object, int width, int height)
{
    if (auto* rect = dynamic_cast<TLORect*>(&object)) {
        rect->SetBounds({0, 0, width, height});
        rect->FillColor().SetColor(clWhite);
    }
}
}  // namespace

void InstallShapeKinds()
{
    const auto placed = [](std::function<void(TDrawObject&, TObjectSite&)> prepare) {
        return TKindSetup{std::move(prepare), false, false};
    };
    TLOCreator::SetKindSetup("TLOLine", placed(PrepareLine));
    TLOCreator::SetKindSetup("TLOCurve", placed(PrepareLine));
    TLOCreator::SetKindSetup("TLORect", placed([](TDrawObject& o, TObjectSite&) {
                                 PrepareFrame(o, DefaultRectWidth, DefaultRectHeight);
                             }));
    TLOCreator::SetKindSetup("TLOCircle", placed([](TDrawObject& o, TObjectSite&) {
                                 PrepareFrame(o, DefaultCircleSize, DefaultCircleSize);
                             }));
}

}  // namespace kestrel
