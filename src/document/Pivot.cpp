#include "document/Pivot.h"

#include "document/DrawObject.h"
#include "platform/Canvas.h"

namespace kestrel {

TPivot::TPivot(TDrawObject& owner, int code, TCursor cursor, int size) : owner_(owner), code_(code), size_(size)
{
    SetCursor(cursor);
}

TCursor TPivot::Cursor() const
{
    return owner_.Movable() ? TSiteElement::Cursor() : crDefault;
}

void TPivot::Paint(TCanvas& canvas)
{
    if (owner_.Movable()) return canvas.InvertRect(Area());
    canvas.SetPen({clBlack, 1, TPenStyle::psSolid, TPenMode::pmCopy});
    canvas.SetBrush({clWhite, TBrushStyle::bsSolid});
    canvas.Rectangle(Area());
}

void TLabelPivot::Paint(TCanvas& canvas)
{
    if (!Owner().Movable()) return TPivot::Paint(canvas);
    canvas.SetPen({clWhite, 1, TPenStyle::psSolid, TPenMode::pmCopy});
    canvas.SetBrush({clBlack, TBrushStyle::bsSolid});
    canvas.Rectangle(Area());
}

}  // namespace kestrel
