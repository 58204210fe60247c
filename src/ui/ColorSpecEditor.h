#pragma once

#include <QGroupBox>
#include <QPushButton>

#include "platform/Color.h"
#include "render/ColorSpec.h"

class QCheckBox;
class QComboBox;
class QLabel;
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

// Edits a fill: a solid colour, a picture (stretched or tiled) chosen from a file, or a gradation
// between two colours of a kind and direction. Confirmed with another kind, the fill drops its
// picture.
class TColorSpecEditor : public QGroupBox {
public:
    TColorSpecEditor(const QString& title, const TColorSpec& spec, QWidget* parent = nullptr);

    // The edited fill written into spec.
    void ApplyTo(TColorSpec& spec) const;

    QComboBox& KindBox() const { return *kind_; }
    TColorButton& SolidButton() const { return *solid_; }
    // The picture of a picture fill, as chosen so far.
    TPictureEx& Picture() { return original_.ImageData().Picture(); }
    QCheckBox& TileBox() const { return *tile_; }
    QCheckBox& TileShiftBox() const { return *tileShift_; }
    // Asks for the picture file.
    void ChoosePicture();
    // A picture of the program's library as the fill, tiled or stretched.
    void SetLibraryPicture(const QString& file, bool tile);
    TColorButton& FirstStopButton() const { return *first_; }
    TColorButton& LastStopButton() const { return *last_; }
    QComboBox& GradKindBox() const { return *gradKind_; }
    QSpinBox& GradAngleBox() const { return *gradAngle_; }

private:
    void ShowKind();
    void ShowPicture();
    QWidget* PictureRow();

    TColorSpec original_;
    QComboBox* kind_;
    TColorButton* solid_;
    QLabel* picture_;
    QCheckBox* tile_;
    QCheckBox* tileShift_;
    TColorButton* first_;
    TColorButton* last_;
    QComboBox* gradKind_;
    QSpinBox* gradAngle_;
};

}  // namespace kestrel
