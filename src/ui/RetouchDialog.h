#pragma once

#include <QDialog>
#include <memory>

#include "platform/Color.h"

class QCheckBox;
class QLabel;
class QSpinBox;

namespace kestrel {

class TLOImage;
class TObjectSite;

// "画像レタッチ": brightness, contrast, black and white, quarter turns and a mirror image of a
// picture object, tried on a copy with a live preview; the object is left alone until OK.
class TRetouchDialog : public QDialog {
public:
    TRetouchDialog(const TLOImage& image, QWidget* parent);
    ~TRetouchDialog() override;

    // The picture as retouched so far.
    const TLOImage& Retouched() const { return *copy_; }
    QLabel& Preview() const { return *preview_; }
    QSpinBox& Brightness() const { return *brightness_; }
    QSpinBox& Contrast() const { return *contrast_; }
    QCheckBox& Grey() const { return *grey_; }
    void TurnRight();
    void TurnLeft();
    void Mirror();

    // Retouches the site's selected picture, else its first; the result is one undo step. Says
    // so when there is no picture. False when nothing was changed.
    static bool Run(QWidget* parent, TObjectSite& site);

private:
    QWidget* EffectControls();
    QWidget* TurnButtons();
    void Turn(int degrees);
    void Apply();
    void ShowPreview();

    std::unique_ptr<TLOImage> copy_;
    // The tint to go back to when black and white is switched off (sepia, a colour, none).
    TColor tintBeforeGrey_;
    QLabel* preview_;
    QSpinBox* brightness_;
    QSpinBox* contrast_;
    QCheckBox* grey_;
};

}  // namespace kestrel
