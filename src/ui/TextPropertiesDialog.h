#pragma once

// The properties dialog of text objects: lines, font, colours, alignment, writing direction,
// spacing, arc, distortion preset, outline ring and shadow. It edits the object it is given.

#include <QDialog>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "text/LOText.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;

namespace kestrel {

class TCDDFile;
class TColorSpecEditor;

// A named spacing the property screens offer.
struct TSpacingPreset {
    const char16_t* caption;
    int value;
};

// One spacing: a named preset or, with "詳細設定", a value of the user's own.
class TSpacingChooser : public QWidget {
public:
    TSpacingChooser(std::span<const TSpacingPreset> presets, QWidget* parent = nullptr);
    int Value() const;
    void SetValue(int value);

    QComboBox& PresetBox() const { return *preset_; }
    QSpinBox& DetailBox() const { return *detail_; }

private:
    std::vector<TSpacingPreset> presets_;
    QComboBox* preset_;
    QSpinBox* detail_;
};

class TPointBasedFont;

// A choice of the text screens and the format tool bar.
struct TNamedChoice {
    const char16_t* caption;
    int value;
};
// The alignments (start, centre, end, spread) and the feed angles texts offer.
std::span<const TNamedChoice> TextAlignChoices();
std::span<const TNamedChoice> FeedAngleChoices();

// A font's face, from the program's substitutes and the installed outline fonts, and its size
// in points, both editable.
class TFontChooser : public QWidget {
public:
    explicit TFontChooser(QWidget* parent = nullptr);
    void Load(const TPointBasedFont& font);
    // A size that is not a positive number leaves the font's size as it is.
    void ApplyTo(TPointBasedFont& font) const;

    QComboBox& FaceBox() const { return *face_; }
    QComboBox& SizeBox() const { return *size_; }

private:
    QComboBox* face_;
    QComboBox* size_;
};

class TCoonsDistortion;
class TDrawObject;
class TLOShadeText;
class TLOText;

// The window a text dialog opens over answers, when it holds a document, what its information
// fields show; choosing a field then fills the text in.
class IInformationHolder {
public:
    virtual ~IInformationHolder() = default;
    // One text per item of the set, its lines joined by line feeds.
    virtual QStringList InformationTexts(TFieldType set) = 0;
};

class TTextPropertiesDialog : public QDialog {
public:
    TTextPropertiesDialog(TLOText& text, QWidget* parent = nullptr);
    ~TTextPropertiesDialog() override;

    // The dialog's entry in the properties table; false when cancelled.
    static bool Edit(QWidget* parent, TDrawObject& object);

    void accept() override;
    // An album from the album dialog, as the lines of the text.
    void InsertAlbum();
    // The music files of a folder as the lines of the text.
    void InsertFolder();
    // Where InsertFolder takes its folder from (a folder dialog unless set).
    std::function<QString()> chooseFolder;

private:
    void BuildControls();
    void LoadFrom(const TLOText& text);
    void ApplyTo(TLOText& text) const;
    void UpdatePreview();
    // The item choice of the chosen information set, with fieldNo chosen.
    void ShowFieldItems(int fieldNo);
    // Puts the text of the chosen information item into the lines.
    void FillChosenField();
    // The chosen preset, or an empty distortion when distortion is off.
    TCoonsDistortion ChosenDistortion() const;
    // The soft shadow and the input prompt of the guided screens, for texts that have them.
    void BuildSoftShadowControls(QFormLayout& form);
    void BuildInputPromptControls(QFormLayout& form);
    void LoadShadeFrom(const TLOShadeText& text);
    void ApplyShadeTo(TLOShadeText& text) const;

    TLOText& text_;
    std::unique_ptr<TCDDFile> presets_;
    QPlainTextEdit* lines_;
    TFontChooser* fontChooser_;
    QComboBox* font_;
    QComboBox* size_;
    QCheckBox* bold_;
    QCheckBox* italic_;
    QCheckBox* underline_;
    QCheckBox* strikeOut_;
    TColorSpecEditor* textColor_;
    QComboBox* align_;
    QCheckBox* vertical_;
    TSpacingChooser* charSpacing_;
    TSpacingChooser* lineSpacing_;
    QComboBox* feedAngle_;
    QSpinBox* bulge_;
    QRadioButton* distort_;
    QRadioButton* noDistort_;
    QComboBox* preset_;
    QSpinBox* ratio_;
    QLabel* preview_;
    QCheckBox* outline_;
    QSpinBox* outlineWidth_;
    TColorSpecEditor* outlineColor_;
    QComboBox* shadow_;
    TColorSpecEditor* shadowColor_;
    // Null for texts without an input prompt and soft shadow.
    QCheckBox* inputEnable_ = nullptr;
    QLineEdit* inputCaption_ = nullptr;
    QCheckBox* softShadow_ = nullptr;
    QCheckBox* softShadowBold_ = nullptr;
    QCheckBox* hanToZen_;
    QCheckBox* minusExc_;
    QCheckBox* numToKnj_;
    QComboBox* fieldSet_;
    QComboBox* fieldItem_;
};

}  // namespace kestrel
