#pragma once

#include <QDialog>
#include <memory>

class QCheckBox;
class QLabel;
class QListWidget;
class QDoubleSpinBox;
class QSpinBox;

namespace kestrel {

class TColorSpecEditor;
class TDrawObject;
class TLOAlphaMask;
class TLOCurve;
class TLODecoLine;
class TLOLine;
class TLORect;
class TPictureEx;

// The properties of a line, curve, rectangle, ellipse or shade shape: its line or frame, its
// fill, its corners, bulge and angle, the shade's picture and blur, and its opacity. Only the
// rows that apply to the shape are shown.
class TShapePropertiesDialog : public QDialog {
public:
    // Null when the object is not a shape.
    static TShapePropertiesDialog* Create(TDrawObject& object, QWidget* parent);
    ~TShapePropertiesDialog() override;

    // Writes the dialog's values into the shape it was made for.
    void Apply();

    // Lengths are shown in millimetres.
    QDoubleSpinBox* WidthBox() const { return width_; }
    QSpinBox* AngleBox() const { return angle_; }
    QDoubleSpinBox* BulgeBox() const { return bulge_; }
    QSpinBox* OpacityBox() const { return opacity_; }
    QCheckBox* FillInsideBox() const { return fillInside_; }
    QCheckBox* RoundRectBox() const { return roundRect_; }
    TColorSpecEditor* LineColorEditor() const { return lineColor_; }
    TColorSpecEditor* FillColorEditor() const { return fillColor_; }
    // The shipped patterns of a decorated line; the file of each item is its data.
    QListWidget* PatternList() const { return patterns_; }
    // The shade shape's blur in pixels of its picture.
    QSpinBox* ShadeSizeBox() const { return shadeSize_; }
    // The picture the shade shape gets; empty until one is chosen.
    TPictureEx& ChosenPicture() const { return *chosenPicture_; }
    // Asks for the shade shape's picture file.
    void ChooseShadePicture();

private:
    TShapePropertiesDialog(TDrawObject& object, TLOLine* line, TLORect* rect, TLOAlphaMask* shade,
                           QWidget* parent);
    void BuildLineRows(TLOLine& line);
    void BuildRectRows(TLORect& rect);
    void BuildShadeRows(TLOAlphaMask& shade);
    void BuildPatternRows();
    void ApplyPattern(TLODecoLine& line) const;
    void ApplyShade(TLOAlphaMask& shade) const;
    void ShowShadePicture(const TPictureEx& picture);

    TDrawObject& object_;
    TLOLine* line_;
    TLORect* rect_;
    TLOCurve* curve_;
    TLODecoLine* decoLine_;
    TLOAlphaMask* shade_;
    QDoubleSpinBox* width_ = nullptr;
    QSpinBox* angle_ = nullptr;
    QDoubleSpinBox* bulge_ = nullptr;
    QSpinBox* opacity_ = nullptr;
    QCheckBox* fillInside_ = nullptr;
    QCheckBox* roundRect_ = nullptr;
    TColorSpecEditor* lineColor_ = nullptr;
    TColorSpecEditor* fillColor_ = nullptr;
    QListWidget* patterns_ = nullptr;
    QSpinBox* shadeSize_ = nullptr;
    QLabel* shadePreview_ = nullptr;
    std::unique_ptr<TPictureEx> chosenPicture_;
};

// The properties editor of the shape kinds; false when cancelled.
bool EditShapeProperties(QWidget* parent, TDrawObject& object);

}  // namespace kestrel
