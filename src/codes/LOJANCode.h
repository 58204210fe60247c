#pragma once

#include "document/TurnedRectObject.h"
#include "render/ColorSpec.h"
#include "text/PointBasedFont.h"

namespace kestrel {

// A JAN (EAN-13 or EAN-8) symbol on a label, with its digits under the bars and an optional
// frame, turned by its angle.
class TLOJANCode : public TLOTurnedRect, public IDOFont, public IDOTextColor {
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
    // The font of the digits; its colour is the text colour.
    const TPointBasedFont& Font() const { return font_; }
    TPointBasedFont& EditFont() { return font_; }

    const TPointBasedFont& DOFont() const override { return font_; }
    void SetDOFont(const TPointBasedFont& font) override { font_.Assign(font); }
    const TColorSpec& TextColorSpec() const override { return textColor_; }
    void SetTextColorSpec(const TColorSpec& spec) override;

    // Inside the turned rectangle.
    int HitTest(QPoint logical) const override;
    void Paint(TCanvas& canvas) override;

private:
    TPersistent* FontObject() { return &font_; }

    QString janCode_;
    bool showNumber_ = true;
    bool showFrame_ = false;
    TPointBasedFont font_;
    TColorSpec textColor_;
};

}  // namespace kestrel
