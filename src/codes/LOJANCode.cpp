#include "codes/LOJANCode.h"

#include "codes/JANCode.h"

namespace kestrel {

namespace {
constexpr int kDefaultDigitPoints = 8;
}

const TClassInfo& TLOJANCode::StaticClass()
{
    static const TClassInfo info("TLOJANCode", &TLORectBase::StaticClass(), FactoryOf<TLOJANCode>(), [] {
        return TPropsOf<TLOJANCode>()
            .Int("Angle", &TLOJANCode::Angle, &TLOJANCode::SetAngle, NoDefault)
            .String("JANCode", &TLOJANCode::JANCode, &TLOJANCode::SetJANCode)
            .Nested("Font", &TLOJANCode::FontObject)
            .Bool("ShowNumber", &TLOJANCode::ShowNumber, &TLOJANCode::SetShowNumber, NoDefault)
            .Bool("ShowFrame", &TLOJANCode::ShowFrame, &TLOJANCode::SetShowFrame, 0)
            .Done();
    });
    return info;
}

TLOJANCode::TLOJANCode()
{
    font_.SetSize(kDefaultDigitPoints);
    font_.SetColor(clBlack);
    textColor_.SetColor(clBlack);
    // The owned colour and the font colour are one setting.
    font_.SetOnChange([this] {
        textColor_.SetColor(font_.Color());
        Changed();
    });
    textColor_.SetOnChange([this] { font_.SetColor(textColor_.Color()); });
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
    TJANCode(canvas, Rect(), Angle(), showFrame_, showNumber_ ? &font_ : nullptr).Paint(janCode_);
}

}  // namespace kestrel
