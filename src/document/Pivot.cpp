#include "document/Pivot.h"

#include "document/DrawObject.h"
#include "platform/Canvas.h"

namespace kestrel {

namespace {
constexpr TColor kPivotFill = clWhite;
constexpr TColor kLockedPivotFill = RGBColor(0xA0, 0xA0, 0xA0);
}  // namespace

TPivot::TPivot(TDrawObject& owner, int code, TCursor cursor) : owner_(owner), code_(code)
{
    SetCursor(cursor);
}

TCursor TPivot::Cursor() const
{
    return owner_.Movable() ? TSiteElement::Cursor() : crDefault;
}

TColor TPivot::FillColor() const
{
    return owner_.Movable() ? kPivotFill : kLockedPivotFill;
}

// Filled rather than stroked, so that the edge scales with the surface like the square.
void TPivot::Paint(TCanvas& canvas)
{
    canvas.SetBrush({PivotEdgeColor, TBrushStyle::bsSolid});
    canvas.FillRect(Area());
    canvas.SetBrush({FillColor(), TBrushStyle::bsSolid});
    canvas.FillRect(Area().Inflated(-1));
}

}  // namespace kestrel
