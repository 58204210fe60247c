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
    // Drawn out with the mouse; the preparation gives what the drag does not.
    const auto dragged = [](std::function<void(TDrawObject&, TObjectSite&)> prepare) {
        return TKindSetup{std::move(prepare), false, true};
    };
    TLOCreator::SetKindSetup("TLOLine", dragged(PrepareLine));
    TLOCreator::SetKindSetup("TLOCurve", dragged(PrepareLine));
    TLOCreator::SetKindSetup("TLORect", dragged([](TDrawObject& o, TObjectSite&) {
                                 PrepareFrame(o, DefaultRectWidth, DefaultRectHeight);
                             }));
    TLOCreator::SetKindSetup("TLOCircle", dragged([](TDrawObject& o, TObjectSite&) {
                                 PrepareFrame(o, DefaultCircleSize, DefaultCircleSize);
                             }));
}

}  // namespace kestrel
