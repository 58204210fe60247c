#include "text/ShadeText.h"

#include "document/CanvasMixing.h"
#include "document/ObjectSite.h"
#include "imaging/GreyBlur.h"
#include "platform/Canvas.h"
#include "platform/Rounding.h"

namespace kestrel {

namespace {
constexpr int BoldStep = 10;

int DeviceLength(const TCanvas& canvas, int logical)
{
    return std::abs(canvas.LogToDev(QPoint(logical, 0)).x() - canvas.LogToDev(QPoint(0, 0)).x());
}
}  // namespace

const TClassInfo& TLOWizardText::StaticClass()
{
    static const TClassInfo info("TLOWizardText", &TLOText::StaticClass(), FactoryOf<TLOWizardText>(), [] {
        using C = TLOWizardText;
        return TPropsOf<C>()
            .Bool("wizInputEnable", &C::WizInputEnable, &C::SetWizInputEnable, false)
            .String("wizInputCaption", &C::WizInputCaption, &C::SetWizInputCaption)
            .Done();
    });
    return info;
}

void TLOWizardText::SetWizInputEnable(bool value)
{
    if (value == inputEnable_) return;
    inputEnable_ = value;
    Changed(ckState);
}

void TLOWizardText::SetWizInputCaption(const QString& caption)
{
    if (caption == inputCaption_) return;
    inputCaption_ = caption;
    Changed(ckState);
}

const TClassInfo& TLOShadeText::StaticClass()
{
    static const TClassInfo info("TLOShadeText", &TLOWizardText::StaticClass(), FactoryOf<TLOShadeText>(), [] {
        using C = TLOShadeText;
        return TPropsOf<C>()
            .Bool("ShadeShadowEnable", &C::ShadeShadowEnable, &C::SetShadeShadowEnable, false)
            .Int("ShadeShadowSize", &C::ShadeShadowSize, &C::SetShadeShadowSize, 0)
            .Bool("ShadeShadowBold", &C::ShadeShadowBold, &C::SetShadeShadowBold, false)
            .Done();
    });
    return info;
}

void TLOShadeText::Repaint()
{
    if (Site()) {
        Site()->UpdateElementBounds(*this);
        Site()->InvalidateElement(*this);
    }
}

void TLOShadeText::SetShadeShadowEnable(bool value)
{
    if (value == shadeEnable_) return;
    shadeEnable_ = value;
    Repaint();
}

void TLOShadeText::SetShadeShadowSize(int value)
{
    if (value == shadeSize_) return;
    shadeSize_ = value;
    Repaint();
}

void TLOShadeText::SetShadeShadowBold(bool value)
{
    if (value == shadeBold_) return;
    shadeBold_ = value;
    Repaint();
}

QPoint TLOShadeText::ShadowOffset() const
{
    QPoint d = TLOText::ShadowOffset();
    if (!shadeEnable_) return d;
    const int a = int(RoundHalfAway(Layout().LineHeight() * 10 / 100.0));
    if (ShadowOffsetX() > 0) d.rx() += a;
    if (ShadowOffsetX() < 0) d.rx() -= a;
    d.ry() += ShadowOffsetY() < 0 ? -a : a;
    return d;
}

bool TLOShadeText::NeedsBlend() const
{
    return shadeEnable_ || TLOText::NeedsBlend();
}

void TLOShadeText::Paint(TCanvas& canvas)
{
    if (shadeEnable_ && paintingColours_ && !ShadowDisplacement().isNull()) {
        TCanvasStateSaver saver(canvas);
        canvas.SetPen({clBlack, 1, TPenStyle::psClear});
        canvas.SetBrush({ShadowColor().Color(), TBrushStyle::bsSolid});
        canvas.FillRect(GetBounds());
    }
    TLOText::Paint(canvas);
}

QImage TLOShadeText::RenderToBitmap(const TCanvas& reference, const TRect& device)
{
    paintingColours_ = true;
    QImage colours;
    try {
        colours = TLOText::RenderToBitmap(reference, device);
    } catch (...) {
        paintingColours_ = false;
        throw;
    }
    paintingColours_ = false;
    return colours;
}

void TLOShadeText::PaintMask(TCanvas& mask)
{
    const QPoint shadow = ShadowDisplacement();
    if (!shadeEnable_ || shadow.isNull()) return TLOText::PaintMask(mask);
    PaintSoftShadowMask(mask, shadow);
    PaintBodyMask(mask);
}

void TLOShadeText::PaintSoftShadowMask(TCanvas& mask, QPoint displacement)
{
    const QPaintDevice& device = mask.Device();
    QImage soft(std::max(1, device.width()), std::max(1, device.height()), QImage::Format_Grayscale8);
    soft.fill(0);
    {
        TCanvas canvas(soft);
        AlignWith(canvas, mask, {0, 0});
        PaintShadowMask(canvas, displacement);
        if (shadeBold_)
            for (QPoint step : {QPoint(BoldStep, 0), QPoint(-BoldStep, 0), QPoint(0, BoldStep), QPoint(0, -BoldStep)})
                PaintShadowMask(canvas, displacement + step);
    }
    const int radius = DeviceLength(mask, Layout().LineHeight() / 10);
    BlurGrey8(soft, radius, radius);
    QPainter& painter = mask.Painter();
    painter.save();
    painter.resetTransform();
    painter.setCompositionMode(QPainter::CompositionMode_Lighten);
    painter.drawImage(0, 0, soft);
    painter.restore();
}

const TClassInfo& TLOTextObject::StaticClass()
{
    static const TClassInfo info("TLOText", &TLOShadeText::StaticClass(), FactoryOf<TLOTextObject>(), {});
    return info;
}

}  // namespace kestrel
