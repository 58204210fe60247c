#pragma once

// The text family of the label: an input field of the guided screens (TLOWizardText), with a
// soft shadow (TLOShadeText), and the class every text object is at run time. Streams naming
// "TLOText", "TLOWizardText" or "TLOShadeText" all read into TLOTextObject, which writes itself
// as "TLOText".

#include "document/Capabilities.h"
#include "text/LOText.h"

namespace kestrel {

class TLOWizardText : public TLOText, public IDOWizardInput {
    KESTREL_PERSISTENT()
public:
    bool WizInputEnable() const { return inputEnable_; }
    void SetWizInputEnable(bool value);
    const QString& WizInputCaption() const { return inputCaption_; }
    void SetWizInputCaption(const QString& caption);

    bool InputEnabled() const override { return inputEnable_; }
    void SetInputEnabled(bool value) override { SetWizInputEnable(value); }
    QString InputCaption() const override { return inputCaption_; }
    void SetInputCaption(const QString& caption) override { SetWizInputCaption(caption); }

private:
    bool inputEnable_ = false;
    QString inputCaption_;
};

class TLOShadeText : public TLOWizardText {
    KESTREL_PERSISTENT()
public:
    bool ShadeShadowEnable() const { return shadeEnable_; }
    void SetShadeShadowEnable(bool value);
    // Kept and copied; the drawing does not use it.
    int ShadeShadowSize() const { return shadeSize_; }
    void SetShadeShadowSize(int value);
    bool ShadeShadowBold() const { return shadeBold_; }
    void SetShadeShadowBold(bool value);

    // The soft shadow lies a tenth of the line height further out, and always below the text
    // unless it is lifted above it.
    QPoint ShadowOffset() const override;
    bool NeedsBlend() const override;
    void Paint(TCanvas& canvas) override;
    void PaintMask(TCanvas& mask) override;
    QImage RenderToBitmap(const TCanvas& reference, const TRect& device) override;

private:
    void Repaint();
    // The shadow's coverage, thickened when bold, blurred by a tenth of the line height.
    void PaintSoftShadowMask(TCanvas& mask, QPoint displacement);

    bool shadeEnable_ = false;
    int shadeSize_ = 0;
    bool shadeBold_ = false;
    // Only the colour part of blended drawing fills the bounds with the shadow colour: the
    // blurred coverage decides where it shows. Painted directly, the shadow stays sharp.
    bool paintingColours_ = false;
};

// The class every text object is at run time.
class TLOTextObject : public TLOShadeText {
    KESTREL_PERSISTENT()
};

}  // namespace kestrel
