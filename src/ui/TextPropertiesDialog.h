#pragma once

// The properties dialog of text objects: lines, font, colours, alignment, writing direction,
// spacing, arc, distortion preset, outline ring and shadow. It edits the object it is given.

#include <QDialog>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace kestrel {

class TCDDFile;
class TCoonsDistortion;
class TDrawObject;
class TLOText;

class TTextPropertiesDialog : public QDialog {
public:
    TTextPropertiesDialog(TLOText& text, QWidget* parent = nullptr);
    ~TTextPropertiesDialog() override;

    // The dialog's entry in the properties table; false when cancelled.
    static bool Edit(QWidget* parent, TDrawObject& object);

    void accept() override;

private:
    void BuildControls();
    void LoadFrom(const TLOText& text);
    void ApplyTo(TLOText& text) const;
    void UpdatePreview();
    // The chosen preset, or an empty distortion when distortion is off.
    TCoonsDistortion ChosenDistortion() const;

    TLOText& text_;
    std::unique_ptr<TCDDFile> presets_;
    QPlainTextEdit* lines_;
    QComboBox* font_;
    QComboBox* size_;
    QCheckBox* bold_;
    QCheckBox* italic_;
    QCheckBox* underline_;
    QCheckBox* strikeOut_;
    QPushButton* textColor_;
    QComboBox* align_;
    QCheckBox* vertical_;
    QSpinBox* charSpacing_;
    QSpinBox* lineSpacing_;
    QComboBox* feedAngle_;
    QSpinBox* bulge_;
    QCheckBox* distort_;
    QComboBox* preset_;
    QSpinBox* ratio_;
    QLabel* preview_;
    QCheckBox* outline_;
    QSpinBox* outlineWidth_;
    QPushButton* outlineColor_;
    QComboBox* shadow_;
    QPushButton* shadowColor_;
    QCheckBox* hanToZen_;
    QCheckBox* minusExc_;
    QCheckBox* numToKnj_;
};

}  // namespace kestrel
