#include "edit/EditDesigner.h"

#include "document/Capabilities.h"
#include "document/CapabilityOffer.h"
#include "document/LabelObject.h"
#include "document/Pivot.h"
#include "edit/GhostList.h"
#include "edit/Ghosts.h"
#include "platform/Canvas.h"
#include "render/DrawSite.h"

namespace kestrel {

namespace {
constexpr int kBulgeHandle = 2;

// Cursors of handles 0..7.
constexpr TCursor kHandleCursors[] = {crSizeNWSE, crSizeWE, crSizeNESW, crSizeNS,
                                      crSizeNS,   crSizeNESW, crSizeWE, crSizeNWSE};

// The arc's middle: a round handle, so that it does not read as a corner.
class TBulgePivot : public TPivot {
public:
    explicit TBulgePivot(TDrawObject& owner) : TPivot(owner, kBulgeHandle, crCross) {}
    void Paint(TCanvas& canvas) override
    {
        canvas.SetPen({PivotEdgeColor, 1});
        canvas.SetBrush({FillColor(), TBrushStyle::bsSolid});
        canvas.Ellipse(Area());
    }
};

TDrawSite* DrawSiteOf(TDrawObject& object)
{
    return dynamic_cast<TDrawSite*>(object.Site());
}

void AddPivot(TDrawSite& site, std::unique_ptr<TPivot> pivot, QPoint at)
{
    site.PlacePivot(site.AddPivot(std::move(pivot)), at);
}

// Turned objects turn their handles too; the corners right-top and left-bottom then turn the object.
void CreateRectPivots(TDrawSite& site, TLORectBase& object)
{
    const auto* turned = dynamic_cast<const IDORotate*>(&object);
    const int angle = turned ? turned->Angle() : 0;
    const TRect rect = object.Rect();
    for (int handle = 0; handle < 8; ++handle) {
        const bool rotates = turned && (handle == 2 || handle == 5);
        const QPoint at = RoundedPoint(TurnedAbout(HandlePoint(rect, handle), CentreOf(rect), angle));
        auto pivot = rotates ? std::make_unique<TPivot>(object, RotateHandle, crRotate)
                             : std::make_unique<TPivot>(object, handle, kHandleCursors[handle]);
        AddPivot(site, std::move(pivot), at);
    }
}

void CreateLinePivots(TDrawSite& site, TDrawObject& object, const IDOLine& line)
{
    AddPivot(site, std::make_unique<TPivot>(object, 0, crCross), line.StartPoint());
    AddPivot(site, std::make_unique<TPivot>(object, 1, crCross), line.EndPoint());
}

// The middle of the arc, for objects that offer their curve now (a text, unless distorted).
void CreateBulgePivot(TDrawSite& site, TDrawObject& object)
{
    if (const auto* curve = Offered<IDOCurve>(&object))
        AddPivot(site, std::make_unique<TBulgePivot>(object), curve->ViaPoint());
}

// Lines and arcs; a text offers the curve capability for its arc but is a box.
IDOLine* AsLine(TDrawObject& object)
{
    return dynamic_cast<TLORectBase*>(&object) ? nullptr : dynamic_cast<IDOLine*>(&object);
}

std::unique_ptr<TGhost> CreateGhost(TDrawObject& object)
{
    if (AsLine(object)) {
        if (dynamic_cast<IDOCurve*>(&object)) return std::make_unique<TCurveCreateGhost>(object);
        return std::make_unique<TLineCreateGhost>(object);
    }
    if (auto* rect = dynamic_cast<TLORectBase*>(&object)) return std::make_unique<TRectCreateGhost>(*rect);
    return nullptr;
}

std::unique_ptr<TGhost> HandleGhost(TDrawObject& object, int handle)
{
    if (handle == RotateHandle)
        return dynamic_cast<IDORotate*>(&object) ? std::make_unique<TRotateGhost>(object) : nullptr;
    if (handle == kBulgeHandle) return Offered<IDOCurve>(&object) ? std::make_unique<TCurveGhost>(object) : nullptr;
    if (AsLine(object)) return handle == 0 || handle == 1 ? std::make_unique<TLineGhost>(object, handle) : nullptr;
    if (auto* rect = dynamic_cast<TLORectBase*>(&object); rect && handle >= 0 && handle < 8)
        return std::make_unique<TRectGhost>(*rect, handle);
    return nullptr;
}
}  // namespace

bool TEditDesigner::CreatePivots(TDrawObject& object)
{
    TDrawSite* site = DrawSiteOf(object);
    if (!site) return false;
    if (const IDOLine* line = AsLine(object)) {
        CreateLinePivots(*site, object, *line);
    } else if (auto* rect = dynamic_cast<TLORectBase*>(&object)) {
        CreateRectPivots(*site, *rect);
    } else {
        return false;
    }
    CreateBulgePivot(*site, object);
    return true;
}

TEditDesigner::TEditDesigner(TGhostList& ghosts, const TMoveSettings& moveSettings)
    : ghosts_(ghosts), moveSettings_(moveSettings)
{
}

std::unique_ptr<TGhost> TEditDesigner::MakeGhost(TDrawObject& object, int handle) const
{
    if (handle == -2) return CreateGhost(object);
    if (handle == -1)
        return dynamic_cast<IDOEncloseBounds*>(&object) ? std::make_unique<TMoveGhost>(object, moveSettings_) : nullptr;
    return HandleGhost(object, handle);
}

bool TEditDesigner::StartGhost(TDrawObject& object, int handle)
{
    std::unique_ptr<TGhost> ghost = MakeGhost(object, handle);
    if (!ghost) return false;
    ghosts_.AddGhost(std::move(ghost));
    return true;
}

}  // namespace kestrel
