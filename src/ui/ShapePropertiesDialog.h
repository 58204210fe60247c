#pragma once

#include <QDialog>

class QCheckBox;
class QListWidget;
class QDoubleSpinBox;
class QSpinBox;

namespace kestrel {

class TColorSpecEditor;
class TDrawObject;
class TLOCurve;
class TLODecoLine;
class TLOLine;
class TLORect;

// The properties of a line, curve, rectangle or ellipse: its line or frame, its fill, its
// corners, bulge and angle, and its opacity. Only the rows that apply to the shape are shown.
class TShapePropertiesDialog : public QDialog {
public:
    // Null when the object is not a shape.
    static TShapePropertiesDialog* Create(TDrawObject& object, QWidget* parent);

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

private:
    TShapePropertiesDialog(TDrawObject& object, TLOLine* line, TLORect* rect, QWidget* parent);
    void BuildLineRows(TLOLine& line);
    void BuildRectRows(TLORect& rect);
    void BuildPatternRows();
    void ApplyPattern(TLODecoLine& line) const;

    TDrawObject& object_;
    TLOLine* line_;
    TLORect* rect_;
    TLOCurve* curve_;
    TLODecoLine* decoLine_;
    QDoubleSpinBox* width_ = nullptr;
    QSpinBox* angle_ = nullptr;
    QDoubleSpinBox* bulge_ = nullptr;
    QSpinBox* opacity_ = nullptr;
    QCheckBox* fillInside_ = nullptr;
    QCheckBox* roundRect_ = nullptr;
    TColorSpecEditor* lineColor_ = nullptr;
    TColorSpecEditor* fillColor_ = nullptr;
    QListWidget* patterns_ = nullptr;
};

// The properties editor of the shape kinds; false when cancelled.
bool EditShapeProperties(QWidget* parent, TDrawObject& object);

}  // namespace kestrel
