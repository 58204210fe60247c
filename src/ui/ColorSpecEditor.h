#pragma once

#include <QGroupBox>
#include <QPushButton>

#include "platform/Color.h"
#include "render/ColorSpec.h"

class QComboBox;
class QSpinBox;

namespace kestrel {

// A button showing a colour; clicking it picks another.
class TColorButton : public QPushButton {
public:
    explicit TColorButton(TColor colour, QWidget* parent = nullptr);
    TColor Colour() const { return colour_; }
    void SetColour(TColor colour);

private:
    void Pick();

    TColor colour_;
};

// Edits a fill: a solid colour, or a gradation between two colours of a kind and
// direction. A picture fill is kept as it is (pictures are chosen elsewhere).
class TColorSpecEditor : public QGroupBox {
public:
    TColorSpecEditor(const QString& title, const TColorSpec& spec, QWidget* parent = nullptr);

    // The edited fill written into spec.
    void ApplyTo(TColorSpec& spec) const;

    QComboBox& KindBox() const { return *kind_; }
    TColorButton& SolidButton() const { return *solid_; }
    TColorButton& FirstStopButton() const { return *first_; }
    TColorButton& LastStopButton() const { return *last_; }
    QComboBox& GradKindBox() const { return *gradKind_; }
    QSpinBox& GradAngleBox() const { return *gradAngle_; }

private:
    void ShowKind();

    TColorSpec original_;
    QComboBox* kind_;
    TColorButton* solid_;
    TColorButton* first_;
    TColorButton* last_;
    QComboBox* gradKind_;
    QSpinBox* gradAngle_;
};

}  // namespace kestrel
