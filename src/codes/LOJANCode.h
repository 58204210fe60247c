#pragma once

#include "codes/TurnedRectObject.h"
#include "platform/Canvas.h"
#include "render/ColorSpec.h"

namespace kestrel {

// A JAN (EAN-13 or EAN-8) symbol on a label, with its digits under the bars and an optional
// frame, turned by its angle.
class TLOJANCode : public TLOTurnedRect, public IDOTextColor {
    KESTREL_PERSISTENT()
public:
    static constexpr int DefaultWidth = 300;
    static constexpr int DefaultHeight = 100;

    TLOJANCode();

    const QString& JANCode() const { return janCode_; }
    void SetJANCode(const QString& code);
    bool ShowNumber() const { return showNumber_; }
    void SetShowNumber(bool value);
    bool ShowFrame() const { return showFrame_; }
    void SetShowFrame(bool value);
    // The font of the digits (point sizes on 254 pixels per inch).
    const TFont& DigitFont() const { return font_; }
    void SetDigitFont(const TFont& font);

    const TColorSpec& TextColorSpec() const override { return textColor_; }
    void SetTextColorSpec(const TColorSpec& spec) override;

    // Inside the turned rectangle.
    int HitTest(QPoint logical) const override;
    void Paint(TCanvas& canvas) override;

protected:
    void AssignFrom(const TDrawObject& source) override;

private:
    QString janCode_;
    bool showNumber_ = true;
    bool showFrame_ = false;
    TFont font_;
    TColorSpec textColor_;
};

}  // namespace kestrel
