#include "codes/LOJANCode.h"

#include "codes/JANCode.h"
#include "platform/Geometry.h"

namespace kestrel {

namespace {
constexpr int kDefaultDigitPoints = 8;
}

const TClassInfo& TLOJANCode::StaticClass()
{
    // The digit font joins the properties (as "Font", after "JANCode") with the point-based font.
    static const TClassInfo info("TLOJANCode", &TLORectBase::StaticClass(), FactoryOf<TLOJANCode>(), [] {
        return TPropsOf<TLOJANCode>()
            .Int("Angle", &TLOJANCode::Angle, &TLOJANCode::SetAngle, NoDefault)
            .String("JANCode", &TLOJANCode::JANCode, &TLOJANCode::SetJANCode)
            .Bool("ShowNumber", &TLOJANCode::ShowNumber, &TLOJANCode::SetShowNumber, NoDefault)
            .Bool("ShowFrame", &TLOJANCode::ShowFrame, &TLOJANCode::SetShowFrame, 0)
            .Done();
    });
    return info;
}

TLOJANCode::TLOJANCode()
{
    font_.size = kDefaultDigitPoints;
    font_.color = clBlack;
    textColor_.SetColor(clBlack);
    // The owned colour and the font colour are one setting.
    textColor_.SetOnChange([this] {
        if (font_.color == textColor_.Color()) return;
        font_.color = textColor_.Color();
        Changed();
    });
    SetBounds({0, 0, DefaultWidth, DefaultHeight});
}

void TLOJANCode::SetJANCode(const QString& code)
{
    if (code == janCode_) return;
    janCode_ = code;
    Changed();
}

void TLOJANCode::SetShowNumber(bool value)
{
    if (value == showNumber_) return;
    showNumber_ = value;
    Changed();
}

void TLOJANCode::SetShowFrame(bool value)
{
    if (value == showFrame_) return;
    showFrame_ = value;
    Changed();
}

void TLOJANCode::SetDigitFont(const TFont& font)
{
    if (font == font_) return;
    font_ = font;
    textColor_.SetColor(font.color);
    Changed();
}

void TLOJANCode::SetTextColorSpec(const TColorSpec& spec)
{
    textColor_.SetColor(spec.Color());
}

int TLOJANCode::HitTest(QPoint logical) const
{
    return TurnedPolygon().containsPoint(logical, Qt::OddEvenFill) ? 1 : 0;
}

void TLOJANCode::Paint(TCanvas& canvas)
{
    TCanvasStateSaver saver(canvas);
    canvas.SetFont(font_);
    canvas.SetFontResolution(LogicalUnitsPerInch);
    TJANCode(canvas, Rect(), Angle(), showNumber_, showFrame_).Paint(janCode_);
}

void TLOJANCode::AssignFrom(const TDrawObject& source)
{
    TLOTurnedRect::AssignFrom(source);
    const auto* other = dynamic_cast<const TLOJANCode*>(&source);
    if (!other) return;
    SetDigitFont(other->font_);
}

}  // namespace kestrel
