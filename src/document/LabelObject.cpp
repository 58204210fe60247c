#include "document/LabelObject.h"

#include <cstdlib>

#include "document/Designers.h"
#include "platform/Canvas.h"
#include "platform/Rounding.h"

namespace kestrel {

namespace {
bool& AllSurfacesArePrinters()
{
    static bool value = false;
    return value;
}
}  // namespace

void SetTreatAllSurfacesAsPrinter(bool value)
{
    AllSurfacesArePrinters() = value;
}

bool TreatAllSurfacesAsPrinter()
{
    return AllSurfacesArePrinters();
}

const TClassInfo& TLabelObject::StaticClass()
{
    static const TClassInfo info("TLabelObject", &TDrawObject::StaticClass(), {}, [] {
        return TPropsOf<TLabelObject>()
            .Bool("DontPrint", &TLabelObject::DontPrint, &TLabelObject::SetDontPrint, NoDefault)
            .Int("BlendRatio", &TLabelObject::BlendRatio, &TLabelObject::SetBlendRatio, 100)
            .Bool("BlendShade", &TLabelObject::BlendShade, &TLabelObject::SetBlendShade, 0)
            .Done();
    });
    return info;
}

void TLabelObject::SetDontPrint(bool value)
{
    if (value == dontPrint_) return;
    dontPrint_ = value;
    Changed();
    Notifier().Broadcast(this, NotifyPrintFlagChanged);
}

void TLabelObject::SetBlendRatio(int percent)
{
    if (percent == blendRatio_) return;
    blendRatio_ = percent;
    Changed();
}

void TLabelObject::SetBlendShade(bool value)
{
    if (value == blendShade_) return;
    blendShade_ = value;
    Changed();
}

void TLabelObject::CreatePivots()
{
    if (IObjectDesigners* designers = ObjectDesigners()) designers->CreatePivots(*this);
}

void TLabelObject::StartGhost(int handle)
{
    if (IObjectDesigners* designers = ObjectDesigners()) designers->StartGhost(*this, handle);
}

void TLabelObject::SetMovable(bool value)
{
    if (value != Movable()) Changed();
    TDrawObject::SetMovable(value);
}

void TLabelObject::PaintTo(TCanvas& canvas)
{
    if (dontPrint_ && (canvas.IsPrinter() || TreatAllSurfacesAsPrinter())) return;
    TDrawObject::PaintTo(canvas);
}

void TLabelObject::DblClick()
{
    IObjectDesigners* designers = ObjectDesigners();
    if (designers && designers->EditObject(*this) && Site()) Site()->ClearGhost(*this);
}

int ScaleRotatedSide(int side, int requested, int boundsSide)
{
    if (boundsSide == 0) return requested;
    return std::abs(MulDiv(side, requested, boundsSide));
}

QSize ScaleTurnedSize(QSize size, QSize requested, QSize bounds, int angle)
{
    const int halfTurn = ((angle % 180) + 180) % 180;
    if (halfTurn > 45 && halfTurn < 135) {
        return {ScaleRotatedSide(size.width(), requested.height(), bounds.height()),
                ScaleRotatedSide(size.height(), requested.width(), bounds.width())};
    }
    return {ScaleRotatedSide(size.width(), requested.width(), bounds.width()),
            ScaleRotatedSide(size.height(), requested.height(), bounds.height())};
}

const TClassInfo& TLORectBase::StaticClass()
{
    static const TClassInfo info("TLORectBase", &TLabelObject::StaticClass(), {}, [] {
        return TPropsOf<TLORectBase>()
            .Int("Left", &TLORectBase::Left, &TLORectBase::SetLeft, NoDefault)
            .Int("Top", &TLORectBase::Top, &TLORectBase::SetTop, NoDefault)
            .Int("Width", &TLORectBase::Width, &TLORectBase::SetWidth, NoDefault)
            .Int("Height", &TLORectBase::Height, &TLORectBase::SetHeight, NoDefault)
            .Done();
    });
    return info;
}

void TLORectBase::SetLeft(int value)
{
    SetBounds(rect_.Translated(value - rect_.left, 0));
}

void TLORectBase::SetTop(int value)
{
    SetBounds(rect_.Translated(0, value - rect_.top));
}

void TLORectBase::SetWidth(int value)
{
    SetBounds({rect_.left, rect_.top, rect_.left + value, rect_.bottom});
}

void TLORectBase::SetHeight(int value)
{
    SetBounds({rect_.left, rect_.top, rect_.right, rect_.top + value});
}

void TLORectBase::MoveBy(int dx, int dy)
{
    SetBounds(rect_.Translated(dx, dy));
}

int TLORectBase::HitTest(QPoint logical) const
{
    return rect_.Contains(logical) ? 1 : 0;
}

void TLORectBase::SetBounds(const TRect& rect)
{
    const TRect normalized = rect.Normalized();
    if (normalized == rect_) return;
    rect_ = normalized;
    if (Site()) Site()->UpdateElementBounds(*this);
    Changed();
}

}  // namespace kestrel
